#pragma once

#include <QStringList>
#include <string>

#include "platform/Shell.h"

class QWidget;

namespace UpsLink {

// A modal message box as requested; an empty title gives the program's title.
MsgAnswer ShowMessageBox(QWidget* owner, const MessageRequest& request);

// The modal file-open dialog as requested; the chosen path, empty when cancelled. Like the classic
// dialog, it leaves the current folder at the chosen file's folder.
std::string ShowOpenFileDialog(QWidget* owner, const OpenFileRequest& request);

// "Name|pattern|Name|pattern" as Qt's name filters "Name (pattern)"; a pattern list separated by
// ";" becomes blank-separated.
QStringList QtNameFilters(const std::string& filter);

}  // namespace UpsLink
