// A render can be interrupted (SIGINT, SIGTERM): the signal handler raises a flag that the
// render loop checks between blocks, so the temporary output is removed on the way out.
#pragma once

namespace host {

// Safe to call from a signal handler.
void requestCancel();
bool cancelRequested();
// Installs handlers for SIGINT and SIGTERM that call requestCancel.
void installCancelHandlers();

}  // namespace host
