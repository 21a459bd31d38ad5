#pragma once
// velmora --dap: a Debug Adapter Protocol server on the given streams (standard input and
// output), so editors that speak the protocol can debug Velmora scripts.
//
// Requests: initialize, launch (program; the dialect from its extension or "language";
// stopOnEntry), setBreakpoints (condition; hitCondition as the pass count; logMessage as a
// breakpoint that logs instead of stopping), configurationDone, threads, stackTrace, scopes,
// variables (fetched lazily through variable references), evaluate (in a frame), continue,
// next, stepIn, pause, terminate and disconnect. Events: initialized (after launch), stopped
// (breakpoint, step, pause, entry), output (script output, errors and log actions),
// terminated, exited. A malformed or unknown request gets an error response.
//
// The script runs on a thread of its own and breaks are handed over asynchronously, so the
// server keeps answering (a pause, say) while the script runs. Lines are 1-based on the wire.
#include <iosfwd>

namespace xan::cli {

// Serves until the client disconnects or the input ends; the exit status is 0.
int RunDapServer(std::istream& AIn, std::ostream& AOut);

}  // namespace xan::cli
