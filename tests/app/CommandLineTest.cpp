// The zentrel program itself, run offscreen: --log, the refusals, --help and --version, and
// ending on a terminate request through the shutdown sequence.

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

// Two runs with no device behind COM1, each ended as a desktop would (SIGTERM): the log keeps
// what it held and gets the one board line of each start.
TEST_F(ZentrelProgram, LogIsAppendedToAcrossRunsAndTheProgramEndsOnTerminate)
{
    const QString log = dir.filePath("board.log");
    {
        QFile existing(log);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("kept from before\n");
    }
    for (const QStringList& arguments : {QStringList{"--log", log}, QStringList{"--log=" + log}}) {
        Start(arguments);
        WaitForLines(log, AppTest::FileLines(log).size() + 1);
        EXPECT_EQ(Terminate(), 0);
    }
    const auto lines = AppTest::FileLines(log);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "kept from before");
    ExpectBoardLine(lines[1], "Invalid port number");
    ExpectBoardLine(lines[2], "Invalid port number");
}

TEST_F(ZentrelProgram, BadCommandLinesAreRefusedWithStatus2BeforeAnyWindow)
{
    const struct {
        QStringList arguments;
        QString named;   // the error names this
        QString reason;  // and gives this reason
    } cases[] = {
        {{"--log", dir.filePath("no-such-folder/board.log")},
         dir.filePath("no-such-folder/board.log"),
         "No such file or directory"},
        {{"--trace", dir.filePath("no-such-folder/wire.trace")},
         dir.filePath("no-such-folder/wire.trace"),
         "No such file or directory"},
        {{"--log", dir.path()}, dir.path(), "Is a directory"},
        {{"--logfile", "x"}, "logfile", ""},
        {{"stray"}, "stray", ""},
        {{"--log"}, "--log", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(RunToEnd(c.arguments), 2);
        const QString error = Stderr();
        EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
        EXPECT_TRUE(error.contains(c.named) && error.contains(c.reason)) << error.toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder")));
}

TEST_F(ZentrelProgram, HelpAndVersionNeedNoWindow)
{
    EXPECT_EQ(RunToEnd({"--version"}), 0);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardOutput()).trimmed(), "Zentrel " ZENTREL_VERSION);
    EXPECT_EQ(RunToEnd({"--help"}), 0);
    const QString help = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_TRUE(help.contains("--log <FILE>") && help.contains("--trace <FILE>") && help.contains("ZENTREL_COM"));
}

}  // namespace
