#include "ManyPorts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <list>

#include "platform/qt/FileNames.h"
#include "platform/qt/StopRequest.h"

namespace UpsLink {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QStringList WorkerArguments(const CliOptions& options, const std::string& port)
{
    QStringList arguments{"--port", Q(port), "--baud", Q(options.Baud), "--json", "--quiet"};
    if (!options.LogPath.empty()) arguments << "--log" << FromFileName(options.LogPath);
    if (!options.TracePath.empty()) arguments << "--trace" << FromFileName(options.TracePath);
    arguments << Q(options.Command);
    if (options.Command != "update") return arguments;
    arguments << FromFileName(options.File) << "--from" << QString::number(options.From);
    if (options.Module) arguments << "--module" << QString::number(*options.Module);
    if (options.Yes) arguments << "--yes";
    return arguments;
}

// One port's process and what it reported.
struct Worker {
    QString Port;
    QProcess Process;
    int Status = Exit::Unit;  // also when it could not start or crashed
    QString Type = "-";
    QString Written = "-";
};

// One JSON line of a worker: passed on with its port, or as "[PORT] text".
void Relay(Worker& worker, const QByteArray& line, bool json)
{
    QJsonObject event = QJsonDocument::fromJson(line).object();
    const QString kind = event.value("event").toString();
    if (kind == "result") {
        if (event.contains("type")) worker.Type = QString::number(event.value("type").toInt());
        if (event.contains("written")) worker.Written = QString::number(event.value("written").toInt());
    }
    if (json) {
        event.insert("port", worker.Port);
        std::printf("%s\n", QJsonDocument(event).toJson(QJsonDocument::Compact).constData());
    } else if (kind == "board" || kind == "line") {
        std::printf("[%s] %s\n", qPrintable(worker.Port), event.value("text").toString().toLocal8Bit().constData());
    }
    std::fflush(stdout);
}

void PrintSummary(const std::list<Worker>& workers)
{
    std::vector<QStringList> rows{{"port", "type", "written", "result"}};
    for (const Worker& w : workers)
        rows.push_back({w.Port, w.Type, w.Written, w.Status == Exit::Ok ? "ok" : QStringLiteral("exit %1").arg(w.Status)});
    std::vector<qsizetype> widths(4, 0);
    for (const QStringList& row : rows)
        for (int i = 0; i < 4; ++i) widths[i] = std::max(widths[i], row[i].size());
    for (const QStringList& row : rows) {
        QString line;
        for (int i = 0; i < 4; ++i) line += row[i].leftJustified(i < 3 ? widths[i] + 2 : 0);
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
}

}  // namespace

int CombinedStatus(const std::vector<int>& statuses)
{
    int status = Exit::Ok;
    bool lostLine = false;
    for (int each : statuses) {
        if (each == Exit::WriteFailed)
            lostLine = true;
        else
            status = std::max(status, each);
    }
    return status == Exit::Ok && lostLine ? Exit::WriteFailed : status;
}

int RunOnManyPorts(const CliOptions& options)
{
    std::list<Worker> workers;
    QEventLoop allDone;
    int running = 0;
    for (const std::string& port : options.Ports) {
        Worker& worker = workers.emplace_back();
        worker.Port = Q(port);
        QProcess& process = worker.Process;
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [&worker, &options] {
            while (worker.Process.canReadLine()) Relay(worker, worker.Process.readLine().trimmed(), options.Json);
        });
        QObject::connect(&process, &QProcess::readyReadStandardError, [&worker] {
            const QByteArray text = worker.Process.readAllStandardError();
            for (const QByteArray& line : text.split('\n'))
                if (!line.isEmpty()) std::fprintf(stderr, "[%s] %s\n", qPrintable(worker.Port), line.constData());
        });
        QObject::connect(&process, &QProcess::finished, [&, w = &worker](int code, QProcess::ExitStatus how) {
            w->Status = how == QProcess::NormalExit ? code : Exit::Unit;
            if (--running == 0) allDone.quit();
        });
        QObject::connect(&process, &QProcess::errorOccurred, [&](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart && --running == 0) allDone.quit();
        });
        ++running;
        process.start(QCoreApplication::applicationFilePath(), WorkerArguments(options, port));
    }
    OnStopRequest(&allDone, [&] {
        for (Worker& worker : workers) worker.Process.terminate();
    });
    if (running > 0) allDone.exec();

    std::vector<int> statuses;
    for (const Worker& worker : workers) statuses.push_back(worker.Status);
    const int status = CombinedStatus(statuses);
    if (options.Json)
        std::printf("%s\n", QJsonDocument(QJsonObject{{"event", "result"}, {"ok", status == Exit::Ok}, {"exit", status}})
                                .toJson(QJsonDocument::Compact)
                                .constData());
    else
        PrintSummary(workers);
    return status;
}

}  // namespace UpsLink
