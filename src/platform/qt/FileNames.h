#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace UpsLink {

// A file name between Qt and the core, which keeps it as common/FilePath.h says: UTF-8 on
// Windows, the file system's own bytes elsewhere. Also for a text that carries a file name.
inline std::string ToFileName(const QString& name)
{
#ifdef Q_OS_WIN
    return name.toUtf8().toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

inline QString FromFileName(const std::string& name)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
#else
    return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}

}  // namespace UpsLink
