#pragma once

namespace UpsLink {

// SIGINT and SIGTERM ask the command to stop at its next safe point (between two records of an
// update, or once its current procedure has ended) instead of ending the process mid-transaction.
void CatchStopRequests();
bool StopRequested();

}  // namespace UpsLink
