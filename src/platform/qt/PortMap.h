#pragma once

#include <QString>
#include <map>

namespace UpsLink {

// What stands behind each COM port number: a local device, or a network address. One map for the
// program, filled by each front end from its own options; ZENTREL_COMn is read once at start as
// one more source. Nothing writes the environment.

// Names what stands behind COM port number; a later name replaces an earlier one.
void NamePort(int number, const QString& what);
// Every ZENTREL_COMn of the environment, for the numbers not named already.
void NamePortsFromEnvironment();
// Every number named, in order, with what it names.
std::map<int, QString> NamedPorts();
// What COM port number reaches: as named, else COMn on Windows and /dev/ttyS(n-1) elsewhere.
QString DeviceForPort(int number);

// What COM port n reaches when nothing names it, in the words of the programs' help.
#ifdef Q_OS_WIN
inline constexpr char UnnamedDevice[] = "the system's COMn";
#else
inline constexpr char UnnamedDevice[] = "/dev/ttyS(n-1)";
#endif

}  // namespace UpsLink
