# Sourced by the scripts: installs what the build needs from Debian's packages (only when
# something is missing) and configures and builds into build/.

ZENTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZENTREL_BUILD=${ZENTREL_BUILD:-$ZENTREL_ROOT/build}
# Three tests per core: the end-to-end cases spend their time waiting on the line, not computing.
ZENTREL_CTEST_JOBS=$((3 * $(nproc)))
ZENTREL_PACKAGES="cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev libgtest-dev libgmock-dev googletest"

zentrel_install_packages() {
    local missing=()
    for pkg in $ZENTREL_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # Through env, since sudo drops the caller's environment.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# A Wine prefix of its own in DIR for what follows, made the first time: no display, no dialogs,
# no .NET or browser installers.
zentrel_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY WAYLAND_DISPLAY
    [ -d "$WINEPREFIX" ] || wineboot --init
}

zentrel_build() {
    cmake -S "$ZENTREL_ROOT" -B "$ZENTREL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$ZENTREL_BUILD" -j"$(nproc)" "$@"
}
