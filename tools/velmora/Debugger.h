#pragma once
// velmora --debug FILE: a line-oriented debugger. Commands come from the input stream (with a
// prompt when it is a terminal), answers go to the output stream; lines are shown and taken
// 1-based, as editors number them.
//
//   break [FILE:]LINE [if EXPR]   (b)   set a breakpoint, optionally with a condition
//   delete N | disable N | enable N     change breakpoint N
//   info breakpoints                    list the breakpoints
//   run (r)                             start the script
//   continue (c), next (n), step (s)    resume, step over, step into
//   backtrace (bt), frame N             the call stack, innermost first; choose a frame
//   locals [N|NAME]                     the frame's variables; one level into variable N
//   print EXPR (p)                      evaluate in the chosen frame
//   quit (q)                            abort the script and leave
//
// Every stop prints "stopped at FILE:LINE (breakpoint N | step | pause)" and the source line.
// End of input lets the script run to its end. A wrong command gets a one-line error.
#include <iosfwd>

#include "tools/velmora/CommandLine.h"

namespace xan::cli {

// The exit status as for a plain run: 0, 1 for a script error, 2 for a file error.
int RunDebugger(const CommandLine& ACommandLine, std::istream& AIn, std::ostream& AOut, std::ostream& AErr,
                bool AShowPrompts);

}  // namespace xan::cli
