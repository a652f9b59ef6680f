// zentrel-sim: the simulated UPS on a pseudo-terminal, in real time.

#include <QCoreApplication>
#include <QSaveFile>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "PtyLine.h"
#include "SimFiles.h"
#include "SimOptions.h"
#include "UpsModel.h"
#include "platform/LineFile.h"
#include "platform/qt/FileNames.h"
#include "platform/qt/StopRequest.h"
#include "platform/qt/SystemClock.h"

using namespace UpsLink;

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "zentrel-sim: %s\n", message.c_str());
    return 2;
}

// Replaces the file whole, so that a reader never finds half of it. Empty, or why it could not.
std::string WriteEeprom(const std::string& path, const std::string& text)
{
    QSaveFile file(FromFileName(path));
    if (file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) == qint64(text.size()) &&
        file.commit())
        return "";
    return file.errorString().toLocal8Bit().toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SimSettings settings;
    const SimOptionsOutcome outcome = ParseSimOptions(QCoreApplication::arguments(), settings);
    if (!outcome.Run) {
        if (outcome.ExitCode != 0) return Fail(outcome.Message + " (see --help)");
        std::fputs(outcome.Message.c_str(), stdout);
        return 0;
    }

    std::unique_ptr<LineFile> log;
    if (!settings.LogPath.empty()) {
        std::string refusal;
        log = LineFile::OpenNamed(settings.LogPath, "log", refusal);
        if (!log) return Fail(refusal);
    }

    // No event loop runs here: the serve loop itself watches for a stop request.
    CatchStopRequests();

    try {
        UpsModel model(settings.Model);
        PtyLine line(model, settings.BaudRate);
        const double startOfDay = SystemClock().Timer();
        std::printf("%s\n", line.SlavePath().c_str());
        std::fflush(stdout);

        std::size_t logged = 0;
        std::map<int, std::vector<uint8_t>> eepromWritten;
        bool eepromFailed = false;
        line.Serve(StopRequestDescriptor(), [&] {
            for (; logged < model.Log().size(); ++logged) {
                const UpsModel::LogEntry& entry = model.Log()[logged];
                if (log)
                    log->WriteLine(FrameLogLine(std::fmod(startOfDay + entry.AtMs / 1000.0, 86400.0), entry.Direction,
                                                entry.Bytes));
            }
            // The unit goes on serving; what its records lost is told once.
            if (const std::string failure = log ? log->TakeWriteFailure() : ""; !failure.empty())
                std::fprintf(stderr, "zentrel-sim: %s\n", failure.c_str());
            if (!settings.EepromPath.empty() && model.Eeprom() != eepromWritten) {
                eepromWritten = model.Eeprom();
                const std::string failure = WriteEeprom(settings.EepromPath, EepromText(eepromWritten));
                if (!failure.empty() && !eepromFailed) {
                    eepromFailed = true;
                    std::fprintf(stderr, "zentrel-sim: cannot write EEPROM file %s: %s\n", settings.EepromPath.c_str(),
                                 failure.c_str());
                }
            }
        });
    } catch (const std::runtime_error& error) {
        return Fail(error.what());
    }
    return 0;
}
