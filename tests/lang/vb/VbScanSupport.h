#pragma once
// Helpers shared by the scanner tests.
#include <memory>
#include <utility>
#include <vector>

#include "lang/vb/VbCompilerError.h"
#include "lang/vb/VbScanner.h"

namespace xan::vb::test {

using plat::UString;
struct Scanned {
    TXANVbToken token;
    int start, end;
    friend bool operator==(const Scanned&, const Scanned&) = default;
};

inline std::vector<TXANVbToken> Tokens(const UString& source, bool skipComments = true) {
    TVBScanner s(skipComments);
    s.Start(source);
    std::vector<TXANVbToken> result;
    while (s.Token() != ptEOf) {
        result.push_back(s.Token());
        s.SkipToken();
    }
    return result;
}

// Every token with its positions, ptEOf included.
inline std::vector<Scanned> Positions(const UString& source) {
    TVBScanner s(true);
    s.Start(source);
    std::vector<Scanned> result;
    for (;;) {
        result.push_back({s.Token(), s.TokenStartPos(), s.TokenEndPos()});
        if (s.Token() == ptEOf) return result;
        s.SkipToken();
    }
}

struct CompileErrorInfo {
    UString message;
    int pos;
};

// Runs f and returns the VBScript compile error it raises; "<no error>" when it raises none.
template <class F>
CompileErrorInfo VbErrorOf(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        auto* ce = dynamic_cast<EXANVbCompiler*>(e.get());
        if (!ce) return {UString(u"<not a VBScript compile error: ") + e->Message() + UString(u">"), -1};
        return {ce->Message(), ce->SourcePos()};
    }
    return {UString(u"<no error>"), 0};
}

// Scans the whole source and returns the compile error it raises.
inline CompileErrorInfo ScanError(const UString& source) {
    return VbErrorOf([&] {
        TVBScanner s(true);
        s.Start(source);
        while (s.Token() != ptEOf) s.SkipToken();
    });
}

}  // namespace xan::vb::test
