#pragma once
// The interactive prompt: one machine for the whole session. Declarations (variables,
// constants, procedures) accumulate; an expression prints its value (nothing for Unassigned); a
// statement runs; an error is printed and the prompt goes on. Text that stops at its end (an
// open block, a procedure without its body) continues on the next line; an empty line ends it.
// End of input leaves.
#include <iosfwd>

#include "tools/velmora/CommandLine.h"

namespace xan::cli {

// AShowPrompts: print the prompts and a greeting (a terminal), or only the answers (a pipe).
int RunPrompt(ScriptLanguage ALanguage, std::istream& AIn, std::ostream& AOut, std::ostream& AErr,
              bool AShowPrompts);

}  // namespace xan::cli
