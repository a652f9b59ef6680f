// The zentrel program itself, run offscreen: --log across runs ended by a terminate request, and
// the runs that end before any window: --help, --version and the refusals.

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

    // Waits for the end of the program and gives its exit code.
    int Finished()
    {
        EXPECT_TRUE(program.waitForFinished(StartTimeoutMs));
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QTemporaryDir dir;
    QProcess program;
};

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
        const std::size_t before = AppTest::FileLines(log).size();
        Start(arguments);
        QElapsedTimer waited;
        waited.start();
        while (AppTest::FileLines(log).size() == before && waited.elapsed() < StartTimeoutMs) QThread::msleep(20);
        program.terminate();
        EXPECT_EQ(Finished(), 0);
    }
    const auto lines = AppTest::FileLines(log);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "kept from before");
    const QRegularExpression boardLine(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  Invalid port number$)");
    EXPECT_TRUE(boardLine.match(QString::fromStdString(lines[1])).hasMatch()) << lines[1];
    EXPECT_TRUE(boardLine.match(QString::fromStdString(lines[2])).hasMatch()) << lines[2];
}

TEST_F(ZentrelProgram, HelpVersionAndRefusalsEndBeforeAnyWindow)
{
    const QString missing = dir.filePath("no-such-folder/board.log");
    const QString missingTrace = dir.filePath("no-such-folder/wire.trace");
    const struct {
        QStringList arguments;
        int status;
        QString says;  // on standard output with status 0, else in the one line on standard error
    } cases[] = {
        {{"--version"}, 0, "Zentrel " ZENTREL_VERSION "\n"},
        {{"--help"}, 0, "--trace <FILE>"},
        {{"--log", missing}, 2, "zentrel: cannot open log file " + missing + ": No such file or directory\n"},
        {{"--trace", missingTrace},
         2,
         "zentrel: cannot open trace file " + missingTrace + ": No such file or directory\n"},
        {{"--log", dir.path()}, 2, "zentrel: cannot open log file " + dir.path() + ": Is a directory\n"},
        {{"--logfile", "x"}, 2, "logfile"},
        {{"stray"}, 2, "stray"},
        {{"--log"}, 2, "--log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        Start(c.arguments);
        EXPECT_EQ(Finished(), c.status);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_TRUE((c.status == 0 ? out : error).contains(c.says)) << out.toStdString() << error.toStdString();
        EXPECT_EQ(error.count('\n'), c.status == 0 ? 0 : 1);
        EXPECT_EQ(out.isEmpty(), c.status != 0);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder")));
}

}  // namespace
