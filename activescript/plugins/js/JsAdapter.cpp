// The "JScript" engine: SpiderMonkey behind the generic script engine. The interpreter is set up
// once per process and keeps one context per thread; each engine is a global object in a realm
// of its own on the context of the thread that drives it.
#include <js/CompilationAndEvaluation.h>
#include <js/Context.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/GlobalObject.h>
#include <js/Initialization.h>
#include <js/PropertyAndElement.h>
#include <js/Realm.h>
#include <js/SourceText.h>
#include <js/ValueArray.h>
#include <jsfriendapi.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"
#include "activescript/plugins/js/JsDebug.h"
#include "activescript/plugins/js/JsValues.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::js {

using plat::Variant;

namespace {

constexpr const char* KFileName = "script";
constexpr std::uint32_t KHeapBytes = 64u * 1024 * 1024;

const JSClass KGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

// The context of the calling thread, made on first use and destroyed when the thread ends (the
// main thread's at exit, before the interpreter is shut down).
class TThreadContext {
public:
    ~TThreadContext() {
        if (FCx) JS_DestroyContext(FCx);
    }
    JSContext* Get() {
        if (FCx) return FCx;
        StartInterpreter();
        FCx = JS_NewContext(KHeapBytes);
        if (!FCx) plat::Throw<EScriptError>(UString(u"The JavaScript interpreter could not be started"));
        // The debugger suspends the queue of promise jobs around its hooks: there must be one.
        if (!::js::UseInternalJobQueues(FCx) || !JS::InitSelfHostedCode(FCx)) {
            JS_DestroyContext(std::exchange(FCx, nullptr));
            plat::Throw<EScriptError>(UString(u"The JavaScript interpreter could not be started"));
        }
        return FCx;
    }

private:
    static void StartInterpreter() {
        static std::once_flag once;
        static bool started = false;
        // The interpreter must be shut down before its own static objects are destroyed at exit;
        // handlers registered after it was loaded run before those.
        std::call_once(once, [] {
            started = JS_Init();
            if (started) std::atexit(JS_ShutDown);
        });
        if (!started) plat::Throw<EScriptError>(UString(u"The JavaScript interpreter could not be started"));
    }
    JSContext* FCx = nullptr;
};

JSContext* ThreadContext() {
    thread_local TThreadContext context;
    return context.Get();
}

// Texts given to Parse and to Evaluate.
bool IsScriptFile(std::string_view AName) { return AName == KFileName || TJsDebug::IsTextFileName(AName); }

// The exception in flight as the script's error, at its place in the script. None is in flight
// when the script was stopped: by the debugger when AAborted.
[[noreturn]] void RaiseJsError(JSContext* cx, bool AAborted = false) {
    JS::ExceptionStack stack(cx);
    if (!JS_IsExceptionPending(cx) || !JS::StealPendingExceptionStack(cx, &stack))
        plat::Throw<EScriptError>(UString(AAborted ? KScriptAbortedMessage : u"The script was stopped"));
    JS::ErrorReportBuilder report(cx);
    if (!report.init(cx, stack, JS::ErrorReportBuilder::NoSideEffects)) {
        JS_ClearPendingException(cx);
        plat::Throw<EScriptError>(UString(u"The script raised an error that cannot be described"));
    }
    const char* text = report.toStringResult().c_str();
    Integer line = -1, column = 0;
    if (const JSErrorReport* r = report.report(); r && r->filename && IsScriptFile(r->filename)) {
        line = static_cast<Integer>(r->lineno) - 1;
        column = static_cast<Integer>(r->column) + 1;
    }
    plat::Throw<EScriptError>(UString::FromUtf8(text ? text : "Error"), line, column);
}

void Check(JSContext* cx, bool AOk) {
    if (!AOk) RaiseJsError(cx);
}

// Every text is compiled as a file named in error reports, its first line as line 1.
JS::CompileOptions& InScript(JS::CompileOptions& AOptions, const char* AFileName = KFileName) {
    return AOptions.setFileAndLine(AFileName, 1);
}

class TJsSource {
public:
    TJsSource(JSContext* cx, const UString& ACode) {
        if (!FText.init(cx, ACode.c_str(), static_cast<std::size_t>(ACode.length()), JS::SourceOwnership::Borrowed)) RaiseJsError(cx);
    }
    JS::SourceText<char16_t>& Text() { return FText; }

private:
    JS::SourceText<char16_t> FText;
};

class TJsAdapter;

class TJsBlock : public TScriptBlock {
public:
    TJsBlock(TJsAdapter& AOwner, JSContext* cx, JSScript* AScript) : FOwner(AOwner), FScript(cx, AScript) {}
    void Run() override;

private:
    TJsAdapter& FOwner;  // outlives its blocks
    JS::PersistentRootedScript FScript;
};

class TJsAdapter : public TLanguageAdapter {
public:
    TJsAdapter() : FCx(ThreadContext()), FGlobal(FCx), FDebug(FCx, FGlobal) {
        JS::RealmOptions options;
        FGlobal = JS_NewGlobalObject(FCx, &KGlobalClass, nullptr, JS::FireOnNewGlobalHook, options);
        if (!FGlobal) RaiseJsError(FCx);
        JSAutoRealm realm(FCx, FGlobal);
        Check(FCx, JS::InitRealmStandardClasses(FCx));
        JS::RootedObject objectProto(FCx, JS::GetRealmObjectPrototype(FCx));
        JS::RootedObject members(FCx, NewGlobalMembersProxy(FCx, &FMembers, objectProto));
        Check(FCx, members && JS_SetPrototype(FCx, FGlobal, members));
    }
    ~TJsAdapter() override {
        FDebug.SetHost(nullptr);
        FGlobal = nullptr;
        JS_GC(FCx);  // finalises this script's proxies, so its host objects are released now
        FMemberRefs.clear();
    }

    UString ErrorSource() const override { return UString(u"JavaScript"); }
    TLanguageDebug* Debugging() override { return &FDebug; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        JSAutoRealm realm(FCx, FGlobal);
        TJsSource source(FCx, ACode);
        JS::CompileOptions options(FCx);
        const std::string file = FDebug.NextFileName();
        JS::RootedScript script(FCx, JS::Compile(FCx, InScript(options, file.c_str()), source.Text()));
        if (!script) RaiseJsError(FCx);
        FDebug.TextCompiled(ACode);
        return std::make_unique<TJsBlock>(*this, FCx, script);
    }

    JSContext* Cx() const noexcept { return FCx; }
    void Execute(JS::HandleScript AScript) {
        TJsDebug::TRun run(FDebug);
        JSAutoRealm realm(FCx, FGlobal);
        Checked(JS_ExecuteScript(FCx, AScript));
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        TJsDebug::TRun run(FDebug);
        JSAutoRealm realm(FCx, FGlobal);
        TJsSource source(FCx, ACode);
        JS::RootedValue result(FCx);
        JS::CompileOptions options(FCx);
        Checked(JS::Evaluate(FCx, InScript(options), source.Text(), &result));
        return AIsExpression ? ToVariant(FCx, result) : Variant();
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        JSAutoRealm realm(FCx, FGlobal);
        if (AVisible) {
            JS::RootedValue proxy(FCx, JS::ObjectValue(*NewItemProxy(FCx, AObject)));
            Check(FCx, JS_DefineUCProperty(FCx, FGlobal, AName.c_str(), static_cast<std::size_t>(AName.length()), proxy, JSPROP_ENUMERATE));
        }
        if (AGlobalMembers) {
            FMemberRefs.emplace_back(AObject);
            FMembers.push_back(AObject);
        }
    }

    UString FindGlobal(const UString& AName) override {
        JSAutoRealm realm(FCx, FGlobal);
        bool found = false;
        Check(FCx, JS_AlreadyHasOwnUCProperty(FCx, FGlobal, AName.c_str(), static_cast<std::size_t>(AName.length()), &found));
        return found ? AName : UString();
    }

    bool IsProcedure(const UString& AName) override {
        JSAutoRealm realm(FCx, FGlobal);
        JS::RootedValue value(FCx);
        Check(FCx, JS_GetUCProperty(FCx, FGlobal, AName.c_str(), static_cast<std::size_t>(AName.length()), &value));
        return value.isObject() && JS_ObjectIsFunction(&value.toObject());
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        TJsDebug::TRun run(FDebug);
        JSAutoRealm realm(FCx, FGlobal);
        JS::RootedValue value(FCx);
        if (AAccess == TGlobalAccess::Put) {
            FromVariant(FCx, AArgs.back(), &value);
            Checked(JS_SetUCProperty(FCx, FGlobal, AName.c_str(), static_cast<std::size_t>(AName.length()), value));
            return Variant();
        }
        Checked(JS_GetUCProperty(FCx, FGlobal, AName.c_str(), static_cast<std::size_t>(AName.length()), &value));
        const bool callable = value.isObject() && JS::IsCallable(&value.toObject());
        if (!callable || (AAccess == TGlobalAccess::Get && AArgs.empty())) {
            if (!AArgs.empty())
                plat::Throw<EScriptError>(UString(u"'") + AName + std::u16string_view(u"' is not a function"), -1, 0,
                                          plat::DISP_E_TYPEMISMATCH);
            return ToVariant(FCx, value);
        }
        JS::RootedValueVector args(FCx);
        JS::RootedValue arg(FCx);
        for (const VarData& a : AArgs) {
            FromVariant(FCx, a, &arg);
            if (!args.append(arg)) plat::Throw<EScriptError>(UString(u"Not enough memory for the arguments"));
        }
        JS::RootedValue result(FCx);
        Checked(JS::Call(FCx, FGlobal, value, JS::HandleValueArray(args), &result));
        return ToVariant(FCx, result);
    }

private:
    // A failure of the script's code; the debugger may have aborted it.
    void Checked(bool AOk) {
        if (!AOk) RaiseJsError(FCx, FDebug.Aborting());
    }

    JSContext* FCx;
    JS::PersistentRootedObject FGlobal;
    TJsDebug FDebug;
    THostList FMembers;  // what the global's prototype asks, in order of addition
    std::vector<plat::ComPtr<IDispatch>> FMemberRefs;
};

void TJsBlock::Run() {
    JS::RootedScript script(FOwner.Cx(), FScript);
    FOwner.Execute(script);
}

}  // namespace

}  // namespace xan::as::js

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::js::TJsAdapter)
