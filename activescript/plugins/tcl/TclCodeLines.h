#pragma once
// Where a Tcl script has commands, found by parsing it with the interpreter's own parser: the
// lines that start a command (in the script and in the bodies of the commands that take
// scripts: procedures, loops, conditions, catch/try, switch, namespace eval...) and the line
// each procedure's body starts on, which is the line its frames count their lines from.
#include <map>
#include <set>
#include <string>

#include <tcl.h>

#include "platform/core/Types.h"

namespace xan::as::tcl {

struct TTclCodeMap {
    std::set<plat::Integer> Lines;
    // Fully qualified procedure name ("::Twice") -> the line of its body's opening brace.
    std::map<std::string, plat::Integer> ProcBodies;
};

// Adds the commands of AText, whose first line is the adapter's line AFirstLine, to AMap.
void ScanCodeLines(const std::string& AText, plat::Integer AFirstLine, TTclCodeMap& AMap);

}  // namespace xan::as::tcl
