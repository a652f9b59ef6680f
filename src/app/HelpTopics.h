#pragma once

namespace UpsLink {

// "&Help Topics": there is no help content yet, and the program says so.
void ShowHelpTopics();

}  // namespace UpsLink
