#pragma once
// What the REXX engine's debugging reads from the script text and from Regina's clause trace.
//
// While a debugger is attached every run traces all clauses (TRACE A); each clause reaches the
// engine's trace exit as a line like
//        12 *-*   t = arg(1) * 2
// (the program line from 1, left out when it is the line of the previous trace; then one space
// per DO/SELECT level and per routine level). The trace line is written before the clause runs,
// so a stop there shows the state before the clause.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "activescript/debug/LanguageDebug.h"

namespace xan::as::rexx {

using plat::Integer;

// One traced clause.
struct TTraceClause {
    Integer ProgramLine = 0;  // from 1; 0 when the trace left it out (the previous one's line)
    int Indent = 0;           // nesting of DO groups and routines
    std::string_view Text;
};
// None when the trace line is not a clause trace (results, error reports).
std::optional<TTraceClause> ParseTraceClause(std::string_view ALine);

// The parsed texts, numbered consecutively from line 0: which lines hold a clause, where the
// routines (labels) start, and how the script spells its symbols.
class TRexxSourceMap {
public:
    // Adds the next parsed text; answers its first line.
    Integer Add(const std::string& AText);
    Integer LineCount() const { return static_cast<Integer>(FHoldsCode.size()); }
    bool HoldsCode(Integer ALine) const { return ALine >= 0 && ALine < LineCount() && FHoldsCode[ALine]; }
    // The first line at or after ALine that holds a clause; -1 when there is none.
    Integer CodeLineAt(Integer ALine) const;
    // The label of the routine that starts at ALine (its label line or the first clause line
    // after a label standing alone); none when no routine starts there.
    const std::string* RoutineAt(Integer ALine) const;
    // A symbol as the script first spells it (AUpper when the script does not).
    std::string Spelling(const std::string& AUpper) const;

private:
    std::vector<bool> FHoldsCode;
    std::map<Integer, std::string> FRoutines;
    std::map<std::string, std::string> FSpellings;  // by upper-cased symbol
};

// One routine activation as the clause trace shows it.
struct TRexxActivation {
    std::string Routine;  // the label as spelled; empty for the program's own code
    Integer Line = -1;    // the adapter's line of its current clause; -1 outside the script text
    int BaseIndent = 0;
    bool Returning = false;  // its RETURN clause has been traced
    bool Private = false;    // its PROCEDURE clause has been traced: the caller's variables are hidden
};

// The activations of one run, rebuilt from the clause trace: a clause nested deeper than the
// previous one at the start of a routine enters it; a traced RETURN leaves it at the next clause,
// and a clause less nested than an activation began leaves it too.
class TCallTracker {
public:
    // Feeds a clause at ALine (the adapter's, -1 outside the script); answers whether the clause
    // arrives at a new line of its activation (the places where a debugger may stop).
    bool Clause(Integer ALine, int AIndent, std::string_view AText, const TRexxSourceMap& ASource);
    const std::vector<TRexxActivation>& Activations() const { return FActivations; }  // outermost first

private:
    std::vector<TRexxActivation> FActivations;
    int FPreviousIndent = 0;
};

// The variables of an activation: a root whose children are the variables by name; a stem is
// one child (named as the stem without its dot) whose children are its compound variables.
TLanguageDebugVarRef VariablesRoot(const std::map<std::string, std::string>& AVars, const TRexxSourceMap& ASource);

}  // namespace xan::as::rexx
