// zentrel: the program's entry point. Reads the command line, then hands over to start-up.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "Application.h"
#include "Icons.h"
#include "Main.h"
#include "common/AppTitle.h"
#include "frmMain.h"
#include "platform/LineFile.h"
#include "platform/qt/FileNames.h"
#include "platform/qt/SerialPort.h"
#include "platform/qt/StopRequest.h"
#include "platform/qt/SystemClock.h"

namespace {

constexpr int UsageError = 2;

void Refuse(const QString& message)
{
    std::fprintf(stderr, "zentrel: %s\n", message.toLocal8Bit().constData());
}

// Opens a --log or --trace file for appending; on failure says why on standard error.
bool OpenLineFile(const QString& path, const char* what, std::unique_ptr<UpsLink::LineFile>& file)
{
    std::string refusal;
    file = UpsLink::LineFile::OpenNamed(UpsLink::ToFileName(path), what, refusal);
    if (!file) Refuse(UpsLink::FromFileName(refusal));
    return file != nullptr;
}

#ifdef Q_OS_WIN
// The wide command line: argv holds only the characters of the code page.
QStringList CommandLine(int, char*[])
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    for (int i = 0; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

// A window program has no console of its own: --help, --version and a refused option are told
// in the console it was started from, if any, unless they are redirected.
void UseParentConsole()
{
    if (GetStdHandle(STD_ERROR_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
#else
QStringList CommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void UseParentConsole() {}
#endif

}  // namespace

int main(int argc, char* argv[])
{
    UseParentConsole();
    QCoreApplication::setApplicationName(UpsLink::AppTitle);
    QCoreApplication::setApplicationVersion(ZENTREL_VERSION);

    const QStringList arguments = CommandLine(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zentrel updates configuration information of a UPS or of one of its attached modules over a "
                       "serial port.\nCOM port n is the device named by --com n=DEVICE, else by the environment "
                       "variable ZENTREL_COMn, else ") +
        UpsLink::UnnamedDevice +
        QStringLiteral(". A device may be a port of a console server, rfc2217://HOST:PORT or tcp://HOST:PORT."));
    // Not addHelpOption: its --help-all lists Qt's own options, which this parser refuses.
    const QCommandLineOption helpOption({"h", "help"}, "Displays help on commandline options.");
    parser.addOption(helpOption);
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption logOption(
        "log", "Append every line of the status board to FILE, with its date and time; a clear of the board "
               "writes an empty line.",
        "FILE");
    const QCommandLineOption traceOption(
        "trace", "Append every write to the serial port and every read from it to FILE, in hexadecimal.", "FILE");
    const QCommandLineOption comOption(
        "com", "Name DEVICE as COM port N for this run, before ZENTREL_COMn; may be given for several ports.",
        "N=DEVICE");
    parser.addOption(logOption);
    parser.addOption(traceOption);
    parser.addOption(comOption);

    if (!parser.parse(arguments)) {
        Refuse(parser.errorText() + " (see zentrel --help)");
        return UsageError;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Refuse(QStringLiteral("unexpected argument '%1' (see zentrel --help)").arg(parser.positionalArguments()[0]));
        return UsageError;
    }
    if (parser.isSet(helpOption) || parser.isSet(versionOption)) {
        // Neither needs a display.
        QCoreApplication textOnly(argc, argv);
        if (parser.isSet(helpOption)) parser.showHelp(0);
        std::printf("%s %s\n%s", UpsLink::AppTitle, ZENTREL_VERSION, UpsLink::LicenceNotice);
        return 0;
    }

    // The port map takes --com first; ZENTREL_COMn names only the numbers left.
    static const QRegularExpression comName(QStringLiteral("^([1-9][0-9]{0,2})=(.+)$"));
    for (const QString& named : parser.values(comOption)) {
        const QRegularExpressionMatch match = comName.match(named);
        if (!match.hasMatch()) {
            Refuse(QStringLiteral("--com wants N=DEVICE, not '%1' (see zentrel --help)").arg(named));
            return UsageError;
        }
        UpsLink::NamePort(match.captured(1).toInt(), match.captured(2));
    }
    UpsLink::NamePortsFromEnvironment();

    // Refused before any window appears.
    std::unique_ptr<UpsLink::LineFile> boardLog;
    std::unique_ptr<UpsLink::LineFile> wireTrace;
    if (parser.isSet(logOption) && !OpenLineFile(parser.value(logOption), "log", boardLog)) return UsageError;
    if (parser.isSet(traceOption) && !OpenLineFile(parser.value(traceOption), "trace", wireTrace)) return UsageError;

    UpsLink::Application app(argc, argv);
    // The main window's shutdown sequence ends the event loop with its exit status.
    QApplication::setQuitOnLastWindowClosed(false);
    app.setWindowIcon(UpsLink::WindowIcon());

    UpsLink::SerialPort port;
    UpsLink::SystemClock clock;
    if (wireTrace) UpsLink::TraceWire(port, *wireTrace);

    // A request to end the process closes the main window, which runs the shutdown sequence.
    UpsLink::CatchStopRequests();
    UpsLink::OnStopRequest(&app, [&app] {
        if (app.MainWindow)
            app.MainWindow->Form_Terminate();
        else
            QCoreApplication::exit(1);
    });

    const std::unique_ptr<frmMain> window = UpsLink::Main(port, clock, [&] {
        auto loaded = std::make_unique<frmMain>(boardLog.get(), wireTrace.get());
        app.MainWindow = loaded.get();
        return loaded;
    });
    if (!window) return 1;
    return app.exec();
}
