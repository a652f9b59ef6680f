#include "SimFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "common/Text.h"

namespace UpsLink {

std::string FrameLogLine(double secondsSinceMidnight, char direction, const std::vector<uint8_t>& bytes)
{
    const QJsonObject entry{{"t", std::round(secondsSinceMidnight * 1000.0) / 1000.0},
                            {"dir", QString(QChar::fromLatin1(direction))},
                            {"hex", QString::fromStdString(HexBytes(bytes))}};
    return QJsonDocument(entry).toJson(QJsonDocument::Compact).toStdString();
}

std::string EepromText(const std::map<int, std::vector<uint8_t>>& eeprom)
{
    std::string text;
    for (const auto& [record, data] : eeprom) text += std::to_string(record) + ": " + HexBytes(data) + "\n";
    return text;
}

}  // namespace UpsLink
