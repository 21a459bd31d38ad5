#pragma once
// Callbacks that keep everything a parser reports, and helpers to run the parser and catch its
// compile errors.
#include <memory>
#include <string>
#include <vector>

#include "foundation/NameTable.h"
#include "lang/pascal/PasCompilerError.h"
#include "lang/pascal/PasParser.h"
#include "platform/core/CharCase.h"

namespace xan::pas::test {

class RecordingCallbacks : public IXANParserCallbacks {
public:
    Integer GetNameId(const plat::UString& AName) override {
        ++nameRequests;
        return GlobalNameTable().GetNameIndex(AName, true);
    }
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) override {
        events.push_back(u"stmt");
        stmts.push_back(std::move(AStmt));
    }
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) override {
        for (auto& o : objects)
            if (o->FName == AObj->FName) {
                ADuplicateName = true;
                return;
            }
        events.push_back(u"obj:" + std::u16string(AObj->FStrName.view()));
        objects.push_back(std::move(AObj));
    }
    void UsedUnitParsed(const plat::UString& AName, bool& ADuplicateName) override {
        for (auto& u : units)
            if (plat::IdentEquals(u.view(), AName.view())) {
                ADuplicateName = true;
                return;
            }
        events.push_back(u"uses:" + std::u16string(AName.view()));
        units.push_back(AName);
    }

    template <class T>
    T* Object(std::size_t i) const {
        return dynamic_cast<T*>(objects.at(i).get());
    }
    template <class T>
    T* Stmt(std::size_t i) const {
        return dynamic_cast<T*>(stmts.at(i).get());
    }

    std::vector<std::unique_ptr<IXANEmitable>> stmts;
    std::vector<std::unique_ptr<TXANGlobalObject>> objects;
    std::vector<plat::UString> units;
    std::vector<std::u16string> events;
    int nameRequests = 0;
};

struct CompileError {
    plat::UString message;
    int pos;
    friend bool operator==(const CompileError&, const CompileError&) = default;
};

inline void PrintTo(const CompileError& e, std::ostream* os) { *os << e.message.ToUtf8() << " @" << e.pos; }

// Runs f and answers the Pascal compile error it raises ("<no error>" when it raises none).
template <class F>
CompileError ErrorOf(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        if (auto* ce = dynamic_cast<EXANPasCompiler*>(e.get())) return {ce->Message(), ce->SourcePos()};
        return {plat::UString(u"<other exception: ") + e->Message() + std::u16string_view(u">"), -1};
    }
    return {plat::UString(u"<no error>"), 0};
}

inline CompileError ScriptError(const plat::UString& source) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    return ErrorOf([&] { parser.Parse(source); });
}

inline CompileError StmtError(const plat::UString& source) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    return ErrorOf([&] { parser.ParseStmt(source); });
}

inline CompileError ExprError(const plat::UString& source) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    return ErrorOf([&] { parser.ParseExpr(source); });
}

inline Integer IdOf(const char16_t* name) { return GlobalNameTable().GetNameIndex(name, true); }

}  // namespace xan::pas::test
