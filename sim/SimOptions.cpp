#include "SimOptions.h"

#include <QCommandLineParser>
#include <cmath>

#include "common/AppTitle.h"
#include "platform/qt/FileNames.h"

namespace UpsLink {

namespace {

struct BadOption {
    QString Message;
};

struct OptionEntry {
    const char* Name;
    const char* ValueName;  // nullptr: a switch
    const char* Description;
};

const OptionEntry Entries[] = {
    {"type", "N", "Type code answered to 36 (default 280)."},
    {"module-type", "N", "Type code answered to 36 after a module select (default 281)."},
    {"commands", "HEX,...", "Command codes answered to 40 (default 40,A0,36,CE,78,CF,FF)."},
    {"modules", "N,...", "Module numbers fitted, in list order (default 2,5); \"\" for none."},
    {"first-hop", "N", "First path address of path addressing (default 4)."},
    {"second-hop", "N", "Second path address of path addressing (default 1)."},
    {"cpus", "MM.mm,...", "Processor entries in block order, major.minor as hex digits (default 01.23)."},
    {"rating", "N", "Rating byte of the identification block; 0 adds an extended rating (default 10)."},
    {"extended-rating", "N", "Extended rating sent when the rating is 0 (default 0)."},
    {"text", "TEXT", "Text of the identification block (default \"ZENTREL SIM UPS\")."},
    {"meter-map", "HEX,...", "Meter map (default 01,02,03)."},
    {"alarm-map", "HEX,...",
     "Alarm map; its last byte is sent as the configuration block length's low byte "
     "(default 04,05)."},
    {"config-length", "N", "Configuration block length (default 320)."},
    {"statistics-map", "HEX,...", "Statistics map (default 06)."},
    {"cut", "N", "Leave N bytes off the end of the identification block."},
    {"busy-first", "K", "Answer busy (0x33) to the first K frames that want an answer."},
    {"busy-percent", "P", "Answer busy to about P% of the frames that want an answer, drawn from --seed."},
    {"busy-always", nullptr, "Answer busy to every frame that wants an answer."},
    {"silent", nullptr, "Never answer."},
    {"late", "MS", "Start every answer MS milliseconds late; with --late-percent, only some of them."},
    {"late-percent", "P", "Start about P% of the answers, drawn from --seed, each up to MS milliseconds late."},
    {"seed", "N", "Seed of the busy and late draws (default 1): the same seed gives the same answers."},
    {"stall-after", "BYTES", "Pause every answer after BYTES bytes (with --stall)."},
    {"stall", "MS", "Length of that pause in milliseconds."},
    {"bad-checksum", "N", "Send the N-th answer with a wrong checksum."},
    {"stray-byte", "N", "Send a stray byte before the N-th answer."},
    {"refuse-record", "R", "Refuse writes of record R (with --refuse-code)."},
    {"refuse-code", "CODE", "Acknowledgement code of the refusal, 0x34 to 0x37 (default 0x34)."},
    {"answer-delay", "MS", "The unit's turnaround before an answer starts (default 20)."},
    {"baud", "N", "Line speed that paces the answers, bits per second (default 19200)."},
    {"log", "FILE", "Append every frame received and every answer sent to FILE as JSON lines."},
    {"eeprom", "FILE", "Rewrite FILE with the EEPROM's records after every record taken."},
};

QString Range(long long low, long long high)
{
    return QStringLiteral("%1 to %2").arg(low).arg(high);
}

// Decimal, or hexadecimal after 0x.
long long Number(const QString& name, const QString& text, long long low, long long high)
{
    const QString t = text.trimmed();
    bool ok = false;
    const long long value =
        t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        throw BadOption{QStringLiteral("--%1 wants a number from %2, not \"%3\"").arg(name, Range(low, high), text)};
    return value;
}

// A decimal number from 0 to high; range is how the refusal names it.
double Decimal(const QString& name, const QString& text, double high, const char* range)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > high)
        throw BadOption{QStringLiteral("--%1 wants %2, not \"%3\"").arg(name, QLatin1String(range), text)};
    return value;
}

double Milliseconds(const QString& name, const QString& text)
{
    return Decimal(name, text, 3600000, "milliseconds from 0 to 3600000");
}

double Percent(const QString& name, const QString& text)
{
    return Decimal(name, text, 100, "a share from 0 to 100");
}

QStringList Items(const QString& text)
{
    return text.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

uint8_t HexByte(const QString& name, const QString& item)
{
    bool ok = false;
    const uint value = item.trimmed().toUInt(&ok, 16);
    if (!ok || value > 0xFF || item.trimmed().size() > 2)
        throw BadOption{QStringLiteral("--%1 wants hexadecimal bytes such as 40,A0, not \"%2\"").arg(name, item)};
    return static_cast<uint8_t>(value);
}

std::vector<uint8_t> HexBytes(const QString& name, const QString& text)
{
    std::vector<uint8_t> bytes;
    for (const QString& item : Items(text)) bytes.push_back(HexByte(name, item));
    return bytes;
}

std::vector<uint8_t> ByteNumbers(const QString& name, const QString& text)
{
    std::vector<uint8_t> bytes;
    for (const QString& item : Items(text)) bytes.push_back(static_cast<uint8_t>(Number(name, item, 0, 255)));
    return bytes;
}

std::vector<CpuEntry> Cpus(const QString& name, const QString& text)
{
    std::vector<CpuEntry> cpus;
    for (const QString& item : Items(text)) {
        const QStringList parts = item.split(QLatin1Char('.'));
        if (parts.size() != 2)
            throw BadOption{QStringLiteral("--%1 wants entries such as 01.23, not \"%2\"").arg(name, item)};
        cpus.push_back({HexByte(name, parts[1]), HexByte(name, parts[0])});
    }
    return cpus;
}

void Apply(const QCommandLineParser& parser, SimSettings& settings)
{
    UpsModelConfig& m = settings.Model;
    const auto given = [&parser](const char* name) { return parser.isSet(QLatin1String(name)); };
    const auto value = [&parser](const char* name) { return parser.value(QLatin1String(name)); };
    const auto number = [&](const char* name, long long low, long long high) {
        return Number(QLatin1String(name), value(name), low, high);
    };

    if (given("type")) m.TypeCode = static_cast<int>(number("type", 0, 0xFFFF));
    if (given("module-type")) m.ModuleTypeCode = static_cast<int>(number("module-type", 0, 0xFFFF));
    if (given("commands")) m.Commands = HexBytes(QStringLiteral("commands"), value("commands"));
    if (given("modules")) m.Modules = ByteNumbers(QStringLiteral("modules"), value("modules"));
    if (given("first-hop")) m.FirstHop = static_cast<uint8_t>(number("first-hop", 0, 255));
    if (given("second-hop")) m.SecondHop = static_cast<uint8_t>(number("second-hop", 0, 255));
    if (given("cpus")) m.Cpus = Cpus(QStringLiteral("cpus"), value("cpus"));
    if (given("rating")) m.Rating = static_cast<uint8_t>(number("rating", 0, 255));
    if (given("extended-rating")) m.ExtendedRating = static_cast<uint16_t>(number("extended-rating", 0, 0xFFFF));
    if (given("text")) m.Text = value("text").toLatin1().toStdString();
    if (given("meter-map")) m.MeterMap = HexBytes(QStringLiteral("meter-map"), value("meter-map"));
    if (given("alarm-map")) m.AlarmMap = HexBytes(QStringLiteral("alarm-map"), value("alarm-map"));
    if (given("config-length")) m.ConfigBlockLength = static_cast<uint16_t>(number("config-length", 0, 0xFFFF));
    if (given("statistics-map")) m.StatisticsMap = HexBytes(QStringLiteral("statistics-map"), value("statistics-map"));
    if (given("cut")) m.IdentificationCut = static_cast<int>(number("cut", 0, 100000));
    if (given("busy-first")) m.BusyFirstFrames = static_cast<int>(number("busy-first", 0, 1000000));
    if (given("busy-percent")) m.BusyPercent = Percent(QStringLiteral("busy-percent"), value("busy-percent"));
    if (given("busy-always")) m.BusyAlways = true;
    if (given("silent")) m.Silent = true;
    if (given("late")) m.LateMs = Milliseconds(QStringLiteral("late"), value("late"));
    if (given("late-percent")) m.LatePercent = Percent(QStringLiteral("late-percent"), value("late-percent"));
    if (given("seed")) m.Seed = static_cast<unsigned>(number("seed", 0, 0xFFFFFFFF));
    if (given("stall-after")) m.StallAfterBytes = static_cast<int>(number("stall-after", 0, 100000));
    if (given("stall")) m.StallMs = Milliseconds(QStringLiteral("stall"), value("stall"));
    if (given("bad-checksum")) m.BadChecksumReply = static_cast<int>(number("bad-checksum", 0, 1000000));
    if (given("stray-byte")) m.StrayByteReply = static_cast<int>(number("stray-byte", 0, 1000000));
    if (given("refuse-record")) m.RefuseRecord = static_cast<int>(number("refuse-record", 0, 255));
    if (given("refuse-code")) m.RefuseCode = static_cast<uint8_t>(number("refuse-code", 0x34, 0x37));
    if (given("answer-delay")) m.AnswerDelayMs = Milliseconds(QStringLiteral("answer-delay"), value("answer-delay"));
    if (given("baud")) settings.BaudRate = static_cast<int>(number("baud", 50, 4000000));
    if (given("log")) settings.LogPath = ToFileName(value("log"));
    if (given("eeprom")) settings.EepromPath = ToFileName(value("eeprom"));
    if ((m.StallMs > 0) != (m.StallAfterBytes > 0))
        throw BadOption{QStringLiteral("--stall and --stall-after go together")};
}

}  // namespace

SimOptionsOutcome ParseSimOptions(const QStringList& arguments, SimSettings& settings)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves a simulated UPS on a pseudo-terminal and prints the terminal's path on its first line.\n"
                       "Point the program's port at it, for example ZENTREL_COM1=<path>. Stops on SIGTERM or SIGINT.\n"
                       "Numbers are decimal, or hexadecimal after 0x."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and the licence."));
    parser.addOption(help);
    parser.addOption(version);
    for (const OptionEntry& entry : Entries) {
        if (entry.ValueName)
            parser.addOption(
                {QLatin1String(entry.Name), QLatin1String(entry.Description), QLatin1String(entry.ValueName)});
        else
            parser.addOption({QLatin1String(entry.Name), QLatin1String(entry.Description)});
    }

    if (!parser.parse(arguments)) return {false, 2, parser.errorText().toStdString()};
    if (parser.isSet(help)) return {false, 0, parser.helpText().toStdString()};
    if (parser.isSet(version)) return {false, 0, std::string("zentrel-sim " ZENTREL_VERSION "\n") + LicenceNotice};
    if (!parser.positionalArguments().isEmpty())
        return {false, 2, "unexpected argument \"" + parser.positionalArguments().first().toStdString() + "\""};
    try {
        Apply(parser, settings);
    } catch (const BadOption& bad) {
        return {false, 2, bad.Message.toStdString()};
    }
    return {};
}

}  // namespace UpsLink
