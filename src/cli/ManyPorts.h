#pragma once

#include <vector>

#include "CliOptions.h"

namespace UpsLink {

// Several --port at once: one zentrel-cli per port, all at the same time (the procedures keep
// process-wide state, so a process is the unit of work). Their lines come prefixed with "[PORT] "
// (with --json, each object carries "port"), then a table of port, type code, records written and
// result. A stop request is passed on to each. The exit status is CombinedStatus of theirs.
int RunOnManyPorts(const CliOptions& options);

// The highest of the statuses, except that a lost line of a record (5) gives way to any failure of
// a unit, as it does within one run.
int CombinedStatus(const std::vector<int>& statuses);

}  // namespace UpsLink
