#!/usr/bin/env python3
"""Runs a program under Wine with a COM port whose far end is here: a pseudo-terminal mapped to
COM7 (told to the program as ZENTREL_TEST_COM) that echoes what it is sent. 0xFE asks for the
line's settings as the terminal holds them ("19200 8N1\\n"); 0xFD hangs up."""
import os
import select
import subprocess
import sys
import termios
import threading
import tty

ASK_SETTINGS, HANG_UP = 0xFE, 0xFD
RATES = {getattr(termios, f"B{rate}"): rate for rate in (300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


def settings_text(fd):
    cflag, speed = termios.tcgetattr(fd)[2], termios.tcgetattr(fd)[5]
    parity = "N" if not cflag & termios.PARENB else "O" if cflag & termios.PARODD else "E"
    stop = 2 if cflag & termios.CSTOPB else 1
    return f"{RATES.get(speed, 0)} {SIZES[cflag & termios.CSIZE]}{parity}{stop}\n".encode()


def serve(master, slave, stop):
    while not stop.is_set():
        if not select.select([master], [], [], 0.05)[0]:
            continue
        try:
            data = os.read(master, 4096)
        except OSError:
            return
        for i, byte in enumerate(data):
            if byte == ASK_SETTINGS:
                os.write(master, settings_text(slave))
            elif byte == HANG_UP:
                os.close(master)
                os.close(slave)
                return
            else:
                os.write(master, data[i:i + 1])


def main():
    if "--gtest_list_tests" in sys.argv:
        sys.exit(subprocess.run(sys.argv[1:]).returncode)
    master, slave = os.openpty()
    tty.setraw(slave)
    # COM7 stands for a link in the Wine prefix, pointed at this run's terminal. Wine reads its
    # ports at the server's start, so a first mapping waits for it to end; the COM tests run one at a time.
    prefix = os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine"))
    link, key = os.path.join(prefix, "com-peer"), r"HKLM\Software\Wine\Ports"
    mapped = subprocess.run(["wine", "reg", "query", key, "/v", "COM7"], capture_output=True, text=True).stdout
    if link not in mapped:
        subprocess.run(["wine", "reg", "add", key, "/v", "COM7", "/d", link, "/f"], check=True, capture_output=True)
        subprocess.run(["wineserver", "-w"], check=False)
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    stop = threading.Event()
    peer = threading.Thread(target=serve, args=(master, slave, stop))
    peer.start()
    try:
        status = subprocess.run(sys.argv[1:], env={**os.environ, "ZENTREL_TEST_COM": "COM7"}).returncode
    finally:
        stop.set()
        peer.join()
    sys.exit(status)


if __name__ == "__main__":
    main()
