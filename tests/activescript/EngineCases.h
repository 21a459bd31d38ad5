#pragma once
// One row per engine: a script in its language that defines the same globals, and what the
// engine answers about them. Every engine test runs on every row.
//
// The script defines: counter (10); add(a, b); echo(x); kind(x) (the language's own name for
// the kind of x); hostName(), setHostName(v), hostTwice(x), hostItem(i), hostFails() (through
// the named item `host`); appGreeting() (the member Greeting of the item `app`, published with
// its members); fails() (a run-time error on the line marked FAIL_HERE); and, where the
// language has by-reference arguments, bump(n) (host.Bump on n twice, then n).
#include <array>
#include <string_view>

namespace xan::as::test {

// The kinds of: Integer, Double, String, Boolean, Date, Empty, Null, array, object.
using TKinds = std::array<const char*, 9>;

struct TLangCase {
    const char* Name;
    std::u16string_view ProgId;
    const char16_t* Script;
    const char16_t* SumExpr;   // evaluates to 3
    const char16_t* SetStmt;   // sets counter to 7
    const char16_t* SyntaxError;
    int SyntaxLine;            // from 0
    int SyntaxPos;             // from 1; -1: the engine does not tell
    bool ByRef;                // bump is defined
    TKinds Kinds;
    // Per kind as in Kinds: the text echo gives the value back as where the language has no
    // form that keeps its type (null: it comes back as it went).
    TKinds Echoes{};
};

extern const TLangCase KVbCase;
extern const TLangCase KLuaCase;
extern const TLangCase KPythonCase;
extern const TLangCase KPerlCase;
extern const TLangCase KTclCase;
extern const TLangCase KJsCase;
extern const TLangCase KRexxCase;

}  // namespace xan::as::test
