#include "activescript/debug/DebugServices.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "activescript/debug/DebugObjects.h"
#include "platform/core/Sync.h"
#include "platform/ole/OleError.h"

namespace xan::as {

using plat::ComPtr;
using plat::E_INVALIDARG;
using plat::E_POINTER;
using plat::E_UNEXPECTED;
using plat::S_OK;
using plat::UString;

namespace {

template <class T, class TIntf>
HRESULT HandOut(const ComPtr<T>& AObject, TIntf** AOut) noexcept {
    if (!AOut) return E_POINTER;
    *AOut = static_cast<TIntf*>(AObject.Get());
    if (*AOut) (*AOut)->AddRef();
    return *AOut ? S_OK : E_UNEXPECTED;
}

class TDebugApplication;

// One stop of an engine thread. The thread waits in Serve, running the calls other threads post
// into it, until Resume.
class TAppThread final : public plat::TInterfacedObject, public IDebugApplicationThread {
public:
    explicit TAppThread(ComPtr<TDebugApplication> AApplication)
        : FApplication(std::move(AApplication)), FThreadId(plat::CurrentThreadId()) {}

    HRESULT GetApplication(IRemoteDebugApplication** application) noexcept override;
    HRESULT EnumStackFrames(IEnumDebugStackFrames** frames) noexcept override;
    HRESULT SynchronousCallIntoThread(IDebugThreadCall* call) noexcept override {
        if (!call) return E_POINTER;
        if (plat::CurrentThreadId() == FThreadId) return call->ThreadCallHandler();
        TTask task{call};
        std::unique_lock<std::mutex> lock(FLock);
        if (FResumed) return E_UNEXPECTED;
        FQueue.push_back(&task);
        FChanged.notify_all();
        FChanged.wait(lock, [&] { return task.Done; });
        return task.Result;
    }

    // On the stopped thread: runs posted calls until resumed; answers the action.
    BREAKRESUMEACTION Serve() {
        std::unique_lock<std::mutex> lock(FLock);
        for (;;) {
            FChanged.wait(lock, [&] { return !FQueue.empty() || FResumed; });
            while (!FQueue.empty()) {
                TTask* task = FQueue.front();
                FQueue.pop_front();
                lock.unlock();
                const HRESULT result = task->Call->ThreadCallHandler();
                lock.lock();
                task->Result = result;
                task->Done = true;
                FChanged.notify_all();
            }
            if (FResumed) return FAction;
        }
    }
    // False when the thread was resumed already.
    bool Resume(BREAKRESUMEACTION AAction) {
        std::lock_guard<std::mutex> lock(FLock);
        if (FResumed) return false;
        FResumed = true;
        FAction = AAction;
        FChanged.notify_all();
        return true;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TAppThread, IRemoteDebugApplicationThread>(),
                                               Entry<TAppThread, IDebugApplicationThread>()};
        return table;
    }

private:
    struct TTask {
        IDebugThreadCall* Call;
        HRESULT Result = plat::E_FAIL;
        bool Done = false;
    };
    ComPtr<TDebugApplication> FApplication;
    const std::uint32_t FThreadId;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<TTask*> FQueue;
    bool FResumed = false;
    BREAKRESUMEACTION FAction = BREAKRESUMEACTION_CONTINUE;
};

// The stop on this thread, if any (a thread stops in one application at a time).
thread_local TAppThread* tStopped = nullptr;

class TDebugApplication final : public plat::TInterfacedObject, public IDebugApplication {
public:
    HRESULT SetName(const char16_t* name) noexcept override {
        std::lock_guard<std::mutex> lock(FLock);
        FName = UString(name ? name : u"");
        return S_OK;
    }
    HRESULT ConnectDebugger(IApplicationDebugger* debugger) noexcept override {
        if (!debugger) return E_POINTER;
        std::lock_guard<std::mutex> lock(FLock);
        FDebugger = debugger;
        return S_OK;
    }
    HRESULT DisconnectDebugger() noexcept override {
        std::vector<ComPtr<TAppThread>> stopped;
        {
            std::lock_guard<std::mutex> lock(FLock);
            FDebugger = nullptr;
            stopped = FStopped;
        }
        // Nobody is left to resume them.
        for (const ComPtr<TAppThread>& t : stopped) t->Resume(BREAKRESUMEACTION_CONTINUE);
        return S_OK;
    }
    HRESULT CauseBreak() noexcept override {
        for (const ComPtr<IDebugApplicationEngine>& engine : Engines()) engine->CauseBreak();
        return S_OK;
    }
    HRESULT ResumeFromBreakPoint(IRemoteDebugApplicationThread* thread, BREAKRESUMEACTION action,
                                 ERRORRESUMEACTION) noexcept override {
        auto* stopped = dynamic_cast<TAppThread*>(thread);
        if (!stopped) return E_INVALIDARG;
        return stopped->Resume(action) ? S_OK : E_UNEXPECTED;
    }
    HRESULT AddEngine(IDebugApplicationEngine* engine) noexcept override {
        if (!engine) return E_POINTER;
        return plat::SafeCall([&] {
            std::lock_guard<std::mutex> lock(FLock);
            FEngines.emplace_back(engine);
        });
    }
    HRESULT RemoveEngine(IDebugApplicationEngine* engine) noexcept override {
        std::lock_guard<std::mutex> lock(FLock);
        std::erase_if(FEngines, [&](const ComPtr<IDebugApplicationEngine>& e) { return e.Get() == engine; });
        return S_OK;
    }
    HRESULT HandleBreakPoint(BREAKREASON reason, BREAKRESUMEACTION* action) noexcept override {
        if (!action) return E_POINTER;
        *action = BREAKRESUMEACTION_CONTINUE;
        ComPtr<IApplicationDebugger> debugger;
        ComPtr<TAppThread> thread;
        {
            std::lock_guard<std::mutex> lock(FLock);
            debugger = FDebugger;
            if (!debugger || tStopped) return S_OK;
            thread = ComPtr<TAppThread>(new TAppThread(ComPtr<TDebugApplication>(this)));
            FStopped.push_back(thread);
        }
        tStopped = thread.Get();
        return plat::SafeCall([&] {
            // The debugger hears of the stop on a thread of its own, so that it can call into
            // this one while it waits.
            std::thread manager([debugger, thread, reason] {
                if (plat::Failed(debugger->onHandleBreakPoint(thread.Get(), reason, nullptr)))
                    thread->Resume(BREAKRESUMEACTION_CONTINUE);  // a failed stop must not hold the engine
            });
            *action = thread->Serve();
            manager.join();
            tStopped = nullptr;
            std::lock_guard<std::mutex> lock(FLock);
            std::erase(FStopped, thread);
        });
    }
    HRESULT GetCurrentThread(IDebugApplicationThread** thread) noexcept override {
        if (!thread) return E_POINTER;
        *thread = nullptr;
        if (!tStopped) return E_UNEXPECTED;
        return HandOut(ComPtr<TAppThread>(tStopped), thread);
    }

    std::vector<ComPtr<IDebugApplicationEngine>> Engines() {
        std::lock_guard<std::mutex> lock(FLock);
        return FEngines;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDebugApplication, IRemoteDebugApplication>(),
                                               Entry<TDebugApplication, IDebugApplication>()};
        return table;
    }

private:
    std::mutex FLock;
    UString FName;
    ComPtr<IApplicationDebugger> FDebugger;
    std::vector<ComPtr<IDebugApplicationEngine>> FEngines;
    std::vector<ComPtr<TAppThread>> FStopped;
};

HRESULT TAppThread::GetApplication(IRemoteDebugApplication** application) noexcept {
    return HandOut(FApplication, application);
}

// Every engine's frames on this thread, innermost (lowest stack address) first.
HRESULT TAppThread::EnumStackFrames(IEnumDebugStackFrames** frames) noexcept {
    if (!frames) return E_POINTER;
    *frames = nullptr;
    std::vector<DebugStackFrameDescriptor> all;
    const HRESULT hr = RunInThread(this, [&] {
        for (const ComPtr<IDebugApplicationEngine>& engine : FApplication->Engines()) {
            ComPtr<IEnumDebugStackFrames> list;
            if (plat::Failed(engine->EnumStackFrames(list.Put())) || !list) continue;
            DebugStackFrameDescriptor d;
            std::uint32_t fetched = 0;
            while (list->Next(1, &d, &fetched) == S_OK && fetched == 1) all.push_back(std::move(d));
        }
        std::stable_sort(all.begin(), all.end(), [](const DebugStackFrameDescriptor& A, const DebugStackFrameDescriptor& B) {
            return A.dwMin < B.dwMin;
        });
    });
    if (plat::Failed(hr)) return hr;
    return plat::SafeCall([&] { HandOut(ComPtr<TStackFrameEnum>(new TStackFrameEnum(std::move(all))), frames); });
}

// ---- Documents ------------------------------------------------------------------------------------

class TDocumentText;

class TDocumentContext final : public plat::TInterfacedObject, public IDebugDocumentContext {
public:
    TDocumentContext(ComPtr<TDocumentText> ADocument, std::uint32_t APos, std::uint32_t ALength)
        : FDocument(std::move(ADocument)), Pos(APos), Length(ALength) {}
    HRESULT GetDocument(IDebugDocument** document) noexcept override;
    const TDocumentText* Document() const noexcept { return FDocument.Get(); }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDocumentContext, IDebugDocumentContext>()};
        return table;
    }

private:
    ComPtr<TDocumentText> FDocument;

public:
    const std::uint32_t Pos, Length;
};

class TDocumentText final : public plat::TInterfacedObject, public IDebugDocumentText {
public:
    void SetNames(UString AShort, UString ALong) {
        FShortName = std::move(AShort);
        FLongName = std::move(ALong);
    }
    void AddText(std::u16string_view AText) {
        std::lock_guard<std::mutex> lock(FLock);
        FText += UString(AText);
        FLineStarts = LineStartsOf(FText.view());
    }
    HRESULT GetName(bool longName, UString* name) noexcept override {
        if (!name) return E_POINTER;
        *name = longName ? FLongName : FShortName;
        return S_OK;
    }
    HRESULT GetSize(std::uint32_t* lines, std::uint32_t* chars) noexcept override {
        std::lock_guard<std::mutex> lock(FLock);
        if (lines) *lines = static_cast<std::uint32_t>(FLineStarts.size());
        if (chars) *chars = static_cast<std::uint32_t>(static_cast<std::uint32_t>(FText.length()));
        return S_OK;
    }
    HRESULT GetPositionOfLine(std::uint32_t line, std::uint32_t* position) noexcept override {
        if (!position) return E_POINTER;
        std::lock_guard<std::mutex> lock(FLock);
        if (line >= FLineStarts.size()) return E_INVALIDARG;
        *position = FLineStarts[line];
        return S_OK;
    }
    HRESULT GetLineOfPosition(std::uint32_t position, std::uint32_t* line, std::uint32_t* offsetInLine) noexcept override {
        std::lock_guard<std::mutex> lock(FLock);
        if (position > static_cast<std::uint32_t>(FText.length())) return E_INVALIDARG;
        const std::uint32_t l = LineOfPosition(FLineStarts, position);
        if (line) *line = l;
        if (offsetInLine) *offsetInLine = position - FLineStarts[l];
        return S_OK;
    }
    HRESULT GetPositionOfContext(IDebugDocumentContext* context, std::uint32_t* position,
                                 std::uint32_t* length) noexcept override {
        auto* ours = dynamic_cast<TDocumentContext*>(context);
        if (!ours || ours->Document() != this) return E_INVALIDARG;
        if (position) *position = ours->Pos;
        if (length) *length = ours->Length;
        return S_OK;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDocumentText, IDebugDocument>(),
                                               Entry<TDocumentText, IDebugDocumentText>()};
        return table;
    }

private:
    std::mutex FLock;
    UString FShortName, FLongName, FText;
    std::vector<std::uint32_t> FLineStarts{0};
};

HRESULT TDocumentContext::GetDocument(IDebugDocument** document) noexcept { return HandOut(FDocument, document); }

// A node of the application's tree; a document's node has the document's text as its child.
class TAppNode final : public plat::TInterfacedObject, public IDebugApplicationNode {
public:
    TAppNode(ComPtr<TDocumentText> ADocument, std::vector<ComPtr<IDebugApplicationNode>> AChildren)
        : FDocument(std::move(ADocument)), FChildren(std::move(AChildren)) {}
    HRESULT EnumChildren(IEnumDebugApplicationNodes** children) noexcept override {
        if (!children) return E_POINTER;
        return plat::SafeCall([&] { HandOut(ComPtr<TAppNodeEnum>(new TAppNodeEnum(FChildren)), children); });
    }
    HRESULT GetDocument(IDebugDocument** document) noexcept override { return HandOut(FDocument, document); }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TAppNode, IDebugApplicationNode>()};
        return table;
    }

private:
    ComPtr<TDocumentText> FDocument;
    std::vector<ComPtr<IDebugApplicationNode>> FChildren;
};

class TDocumentHelper final : public plat::TInterfacedObject, public IDebugDocumentHelper {
public:
    TDocumentHelper() : FDocument(new TDocumentText()) {
        ComPtr<IDebugApplicationNode> text(new TAppNode(FDocument, {}));
        FNode = ComPtr<TAppNode>(new TAppNode(FDocument, {text}));
    }
    HRESULT Init(IDebugApplication* application, const char16_t* shortName, const char16_t* longName,
                 TEXT_DOC_ATTR) noexcept override {
        if (!application) return E_POINTER;
        FApplication = application;
        return plat::SafeCall([&] { FDocument->SetNames(UString(shortName ? shortName : u""), UString(longName ? longName : u"")); });
    }
    HRESULT Attach(IDebugDocumentHelper*) noexcept override {
        if (!FApplication) return E_UNEXPECTED;
        FAttached = true;
        return S_OK;
    }
    HRESULT Detach() noexcept override {
        FAttached = false;
        return S_OK;
    }
    HRESULT AddUnicodeText(const char16_t* text) noexcept override {
        return plat::SafeCall([&] { FDocument->AddText(text ? std::u16string_view(text) : std::u16string_view()); });
    }
    HRESULT DefineScriptBlock(std::uint32_t charOffset, std::uint32_t charCount, IActiveScript* engine, bool,
                              std::uint32_t* cookie) noexcept override {
        if (!cookie) return E_POINTER;
        static std::atomic<std::uint32_t> lastCookie{0};
        return plat::SafeCall([&] {
            *cookie = ++lastCookie;
            FBlocks.push_back({*cookie, charOffset, charCount, ComPtr<IActiveScript>(engine)});
        });
    }
    HRESULT GetScriptBlockInfo(std::uint32_t cookie, IActiveScript** engine, std::uint32_t* charPos,
                               std::uint32_t* charCount) noexcept override {
        for (const TBlock& b : FBlocks) {
            if (b.Cookie != cookie) continue;
            if (engine) HandOut(b.Engine, engine);
            if (charPos) *charPos = b.Offset;
            if (charCount) *charCount = b.Count;
            return S_OK;
        }
        return E_INVALIDARG;
    }
    HRESULT CreateDebugDocumentContext(std::uint32_t charPos, std::uint32_t charCount,
                                       IDebugDocumentContext** context) noexcept override {
        if (!context) return E_POINTER;
        return plat::SafeCall(
            [&] { HandOut(ComPtr<TDocumentContext>(new TDocumentContext(FDocument, charPos, charCount)), context); });
    }
    HRESULT GetDebugApplicationNode(IDebugApplicationNode** node) noexcept override {
        if (!FAttached) return E_UNEXPECTED;
        return HandOut(FNode, node);
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDocumentHelper, IDebugDocumentHelper>()};
        return table;
    }

private:
    struct TBlock {
        std::uint32_t Cookie, Offset, Count;
        ComPtr<IActiveScript> Engine;
    };
    ComPtr<IDebugApplication> FApplication;
    ComPtr<TDocumentText> FDocument;
    ComPtr<TAppNode> FNode;
    std::vector<TBlock> FBlocks;
    bool FAttached = false;
};

class TProcessDebugManager final : public plat::TInterfacedObject, public IProcessDebugManager {
public:
    HRESULT CreateApplication(IDebugApplication** application) noexcept override {
        if (!application) return E_POINTER;
        return plat::SafeCall([&] { HandOut(ComPtr<TDebugApplication>(new TDebugApplication()), application); });
    }
    HRESULT CreateDebugDocumentHelper(IUnknown* outer, IDebugDocumentHelper** helper) noexcept override {
        if (!helper) return E_POINTER;
        if (outer) return plat::CLASS_E_NOAGGREGATION;
        return plat::SafeCall([&] { HandOut(ComPtr<TDocumentHelper>(new TDocumentHelper()), helper); });
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TProcessDebugManager, IProcessDebugManager>()};
        return table;
    }
};

}  // namespace

ComPtr<IProcessDebugManager> NewProcessDebugManager() {
    return ComPtr<IProcessDebugManager>(new TProcessDebugManager());
}

}  // namespace xan::as
