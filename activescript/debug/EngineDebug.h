#pragma once
// TEngineDebug: the debugging side of one generic script engine, the same for every language.
// It exists while the engine's site offers a debug application (the host is debugging): it
// registers the engine with that application, keeps the script blocks the engine parsed (to map
// document positions to the adapter's lines and back), makes code contexts, stack frames,
// properties and expressions over the adapter's TLanguageDebug, and turns the adapter's stops
// into HandleBreakPoint calls on the application.
//
// Without a debugging host no TEngineDebug exists and the engine pays nothing but a null test
// per entry into script code.
#include <vector>

#include "activescript/debug/DebugIntf.h"
#include "activescript/debug/LanguageDebug.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::as {

class TEngineDebug final : public plat::TInterfacedObject, public IDebugApplicationEngine, public TLanguageDebugHost {
    XAN_CLASS(TEngineDebug, plat::TInterfacedObject)
    // A new object when ASite offers a debug application and AAdapter can be debugged; else none.
    static plat::ComPtr<TEngineDebug> Connect(IActiveScriptSite* ASite, TLanguageDebug* AAdapter,
                                              plat::UString ALanguage);
    ~TEngineDebug() override;
    // The engine is closing: leaves the application; stops are answered "continue" from now on.
    void Disconnect() noexcept;

    // Marks an entry of the engine into script code on the calling thread (nestable); frames of
    // an engine that has not been entered on a thread are not reported there.
    class TEntry {
    public:
        explicit TEntry(TEngineDebug* AOwner) noexcept;
        ~TEntry();
        TEntry(const TEntry&) = delete;
        TEntry& operator=(const TEntry&) = delete;

    private:
        TEngineDebug* FOwner;
    };

    // A text parsed before the start under ASourceContext: its lines follow those parsed before.
    void AddBlock(std::uint64_t ASourceContext, const plat::UString& AText);
    // IActiveScriptDebug of the engine.
    HRESULT EnumCodeContextsOfPosition(std::uint64_t ASourceContext, std::uint32_t ACharOffset,
                                       std::uint32_t ACharCount, IEnumDebugCodeContexts** AOut) noexcept;

    // IDebugApplicationEngine
    HRESULT EnumStackFrames(IEnumDebugStackFrames** frames) noexcept override;
    HRESULT CauseBreak() noexcept override;
    // TLanguageDebugHost
    TDebugResume Stopped(TDebugStopReason AReason) override;

    // For the debugging objects of this engine.
    TLanguageDebug& Language() const noexcept { return *FLanguage; }
    const plat::UString& LanguageName() const noexcept { return FLanguageName; }
    HRESULT DocumentContextOfLine(plat::Integer ALine, IDebugDocumentContext** AOut) noexcept;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    struct TBlock {
        std::uint64_t Context;
        plat::Integer FirstLine;
        std::vector<std::uint32_t> LineStarts;
        std::uint32_t Length;
    };
    TEngineDebug(plat::ComPtr<IActiveScriptSiteDebug> ASite, plat::ComPtr<IDebugApplication> AApplication,
                 TLanguageDebug* ALanguage, plat::UString ALanguageName);
    const TBlock* BlockOfContext(std::uint64_t AContext) const noexcept;
    const TBlock* BlockOfLine(plat::Integer ALine) const noexcept;
    // The native stack address of the innermost entry on this thread; 0 when not entered here.
    std::uintptr_t InnermostEntry() const noexcept;

    plat::ComPtr<IActiveScriptSiteDebug> FSite;
    plat::ComPtr<IDebugApplication> FApplication;
    TLanguageDebug* FLanguage;  // the adapter's; cleared by Disconnect
    plat::UString FLanguageName;
    std::vector<TBlock> FBlocks;
    plat::Integer FNextLine = 0;
};

}  // namespace xan::as
