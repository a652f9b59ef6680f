#include "SimLog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <stdexcept>

#include "HexBytes.h"

namespace UpsLink::Testing {

std::vector<LoggedFrame> ReadSimLog(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("no frame log at " + path);
    std::vector<LoggedFrame> log;
    std::string line;
    while (std::getline(in, line)) {
        const QJsonObject entry = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const std::string direction = entry.value(QLatin1String("dir")).toString().toStdString();
        if (!entry.value(QLatin1String("t")).isDouble() || (direction != ">" && direction != "<") ||
            !entry.value(QLatin1String("hex")).isString())
            throw std::runtime_error("not a frame log line: " + line);
        log.push_back({entry.value(QLatin1String("t")).toDouble(), direction[0],
                       Bytes(entry.value(QLatin1String("hex")).toString().toStdString())});
    }
    return log;
}

std::vector<std::vector<uint8_t>> FramesIn(const std::vector<LoggedFrame>& log, char direction)
{
    std::vector<std::vector<uint8_t>> frames;
    for (const LoggedFrame& entry : log)
        if (entry.Direction == direction) frames.push_back(entry.Bytes);
    return frames;
}

}  // namespace UpsLink::Testing
