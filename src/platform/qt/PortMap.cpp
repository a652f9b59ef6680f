#include "PortMap.h"

#include <QProcessEnvironment>
#include <QRegularExpression>

namespace UpsLink {

namespace {

std::map<int, QString>& Named()
{
    static std::map<int, QString> named;
    return named;
}

}  // namespace

void NamePort(int number, const QString& what) { Named()[number] = what; }

void NamePortsFromEnvironment()
{
    static const QRegularExpression variable(QStringLiteral("^ZENTREL_COM([1-9][0-9]{0,3})$"));
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        const QRegularExpressionMatch match = variable.match(name);
        const QString what = environment.value(name);
        if (match.hasMatch() && !what.isEmpty()) Named().try_emplace(match.captured(1).toInt(), what);
    }
}

std::map<int, QString> NamedPorts() { return Named(); }

QString DeviceForPort(int number)
{
    if (const auto named = Named().find(number); named != Named().end()) return named->second;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace UpsLink
