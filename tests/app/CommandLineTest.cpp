// The zentrel program itself, run offscreen: --log and --trace, the refusals, --help and --version,
// and ending on a terminate request through the shutdown sequence.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "AppEnvironment.h"

namespace {

constexpr int StartTimeoutMs = 20000;

class ZentrelProgram : public ::testing::Test {
protected:
    // Starts zentrel with no device behind COM1.
    void Start(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", dir.path());
        environment.insert("ZENTREL_COM1", dir.filePath("no-device"));
        program.setProcessEnvironment(environment);
        program.start(ZENTREL_BINARY, arguments);
        ASSERT_TRUE(program.waitForStarted());
    }

    // Runs zentrel to its end without asking it to stop: for the runs that must not get a window.
    int RunToEnd(const QStringList& arguments)
    {
        Start(arguments);
        EXPECT_TRUE(program.waitForFinished(StartTimeoutMs));
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    // Waits until the file has this many lines.
    std::vector<std::string> WaitForLines(const QString& path, std::size_t count)
    {
        QElapsedTimer waited;
        waited.start();
        std::vector<std::string> lines = AppTest::FileLines(path);
        while (lines.size() < count && waited.elapsed() < StartTimeoutMs) {
            QThread::msleep(20);
            lines = AppTest::FileLines(path);
        }
        return lines;
    }

    // Asks the program to end as a desktop would (SIGTERM) and gives its exit code.
    int Terminate()
    {
        program.terminate();
        EXPECT_TRUE(program.waitForFinished(StartTimeoutMs));
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QString Stderr() { return QString::fromLocal8Bit(program.readAllStandardError()); }

    QTemporaryDir dir;
    QProcess program;
};

// A board line: date, time with milliseconds, two blanks, then the text.
void ExpectBoardLine(const std::string& line, const QString& text)
{
    static const QRegularExpression form(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  (.*)$)");
    const auto match = form.match(QString::fromStdString(line));
    ASSERT_TRUE(match.hasMatch()) << line;
    EXPECT_EQ(match.captured(1), text);
}

TEST_F(ZentrelProgram, LogHoldsTheLinesOfAStartWithNoDeviceAndTheProgramEndsOnTerminate)
{
    const QString log = dir.filePath("board.log");
    Start({"--log", log});
    const auto lines = WaitForLines(log, 1);
    EXPECT_EQ(Terminate(), 0);
    ASSERT_EQ(lines.size(), 1u);
    ExpectBoardLine(lines[0], "Invalid port number");
    EXPECT_EQ(AppTest::FileLines(log), lines);
}

TEST_F(ZentrelProgram, LogIsAppendedToAcrossRuns)
{
    const QString log = dir.filePath("board.log");
    {
        QFile existing(log);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("kept from before\n");
    }
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        Start({"--log=" + log});
        WaitForLines(log, std::size_t(run) + 1);
        EXPECT_EQ(Terminate(), 0);
    }
    const auto lines = AppTest::FileLines(log);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "kept from before");
    ExpectBoardLine(lines[1], "Invalid port number");
    ExpectBoardLine(lines[2], "Invalid port number");
}

TEST_F(ZentrelProgram, FileThatCannotBeOpenedIsRefusedBeforeAnyWindow)
{
    struct Case {
        const char* option;
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {"--log", dir.filePath("no-such-folder/board.log"), "No such file or directory"},
        {"--trace", dir.filePath("no-such-folder/wire.trace"), "No such file or directory"},
        {"--log", dir.path(), "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        EXPECT_EQ(RunToEnd({c.option, c.path}), 2);
        const QString error = Stderr();
        EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
        EXPECT_TRUE(error.contains(c.path)) << error.toStdString();
        EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder")));
}

TEST_F(ZentrelProgram, TraceOfAStartWithNoDeviceIsEmptyAndTheBoardLogUnaffected)
{
    const QString trace = dir.filePath("wire.trace");
    const QString log = dir.filePath("board.log");
    Start({"--trace", trace, "--log", log});
    WaitForLines(log, 1);
    EXPECT_EQ(Terminate(), 0);
    EXPECT_TRUE(QFile::exists(trace));
    EXPECT_TRUE(AppTest::FileLines(trace).empty());
    EXPECT_EQ(AppTest::FileLines(log).size(), 1u);
}

TEST_F(ZentrelProgram, UnknownOptionOrArgumentIsAClearErrorWithStatus2)
{
    EXPECT_EQ(RunToEnd({"--logfile", "x"}), 2);
    EXPECT_TRUE(Stderr().contains("logfile"));
    EXPECT_EQ(RunToEnd({"stray"}), 2);
    EXPECT_TRUE(Stderr().contains("stray"));
    EXPECT_EQ(RunToEnd({"--log"}), 2);
    EXPECT_TRUE(Stderr().contains("--log"));
}

TEST_F(ZentrelProgram, HelpAndVersionNeedNoWindow)
{
    EXPECT_EQ(RunToEnd({"--version"}), 0);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardOutput()).trimmed(), "Zentrel " ZENTREL_VERSION);
    EXPECT_EQ(RunToEnd({"--help"}), 0);
    const QString help = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_TRUE(help.contains("--log <FILE>"));
    EXPECT_TRUE(help.contains("--trace <FILE>"));
    EXPECT_TRUE(help.contains("ZENTREL_COM"));
}

}  // namespace
