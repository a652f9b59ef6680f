#pragma once

#include <string>

namespace UpsLink {

// Whether standard input, or standard error, is a terminal someone types at or watches (on
// Windows, a console).
bool InputIsTerminal();
bool ErrorIsTerminal();

// A Windows console takes the program's UTF-8 text and the progress bar's escape sequences, as
// a terminal elsewhere does.
void PrepareConsole();

// One line typed at the terminal, without its end; what was typed so far when a stop request
// comes first.
std::string ReadAnswerLine();

}  // namespace UpsLink
