#pragma once
// Small objects both sides of the debugging services use: the enumerators (a fixed list handed
// out in order by Next), a call into a stopped thread, and the lines of a text.
#include <algorithm>
#include <functional>
#include <vector>

#include "activescript/debug/DebugIntf.h"
#include "platform/ole/InterfacedObject.h"

namespace xan::as {

// Copies the next items into AOut; S_FALSE when fewer than asked were left.
template <class TItem, class TOut>
HRESULT NextOfList(const std::vector<TItem>& AItems, std::size_t& APos, std::uint32_t ACount, TOut* AOut,
                   std::uint32_t* AFetched, void (*ACopy)(const TItem&, TOut&)) noexcept {
    if (!AOut && ACount > 0) return plat::E_POINTER;
    std::uint32_t n = 0;
    for (; n < ACount && APos < AItems.size(); ++n, ++APos) ACopy(AItems[APos], AOut[n]);
    if (AFetched) *AFetched = n;
    return n == ACount ? plat::S_OK : plat::S_FALSE;
}

// An enumerator of interface pointers (each handed out with a reference).
template <class TIntf, class TEnumIntf>
class TInterfaceEnum final : public plat::TInterfacedObject, public TEnumIntf {
public:
    explicit TInterfaceEnum(std::vector<plat::ComPtr<TIntf>> AItems) : FItems(std::move(AItems)) {}
    HRESULT Next(std::uint32_t count, TIntf** out, std::uint32_t* fetched) noexcept override {
        return NextOfList<plat::ComPtr<TIntf>, TIntf*>(FItems, FPos, count, out, fetched,
                                                       [](const plat::ComPtr<TIntf>& AFrom, TIntf*& ATo) {
                                                           ATo = AFrom.Get();
                                                           if (ATo) ATo->AddRef();
                                                       });
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TInterfaceEnum, TEnumIntf>()};
        return table;
    }

private:
    std::vector<plat::ComPtr<TIntf>> FItems;
    std::size_t FPos = 0;
};
using TCodeContextEnum = TInterfaceEnum<IDebugCodeContext, IEnumDebugCodeContexts>;
using TAppNodeEnum = TInterfaceEnum<IDebugApplicationNode, IEnumDebugApplicationNodes>;

// An enumerator of records copied out.
template <class TRecord, class TEnumIntf>
class TRecordEnum final : public plat::TInterfacedObject, public TEnumIntf {
public:
    explicit TRecordEnum(std::vector<TRecord> AItems) : FItems(std::move(AItems)) {}
    HRESULT Next(std::uint32_t count, TRecord* out, std::uint32_t* fetched) noexcept override {
        return NextOfList<TRecord, TRecord>(FItems, FPos, count, out, fetched,
                                            [](const TRecord& AFrom, TRecord& ATo) { ATo = AFrom; });
    }
    // For the enumerators that tell their size.
    HRESULT GetCount(std::uint32_t* count) noexcept {
        if (!count) return plat::E_POINTER;
        *count = static_cast<std::uint32_t>(FItems.size());
        return plat::S_OK;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TRecordEnum, TEnumIntf>()};
        return table;
    }

private:
    std::vector<TRecord> FItems;
    std::size_t FPos = 0;
};
using TStackFrameEnum = TRecordEnum<DebugStackFrameDescriptor, IEnumDebugStackFrames>;
using TPropertyInfoEnum = TRecordEnum<DebugPropertyInfo, IEnumDebugPropertyInfo>;

// ABody as a call into a stopped thread; its exception becomes the result code.
class TThreadCall final : public plat::TInterfacedObject, public IDebugThreadCall {
public:
    explicit TThreadCall(std::function<void()> ABody) : FBody(std::move(ABody)) {}
    HRESULT ThreadCallHandler() noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TThreadCall, IDebugThreadCall>()};
        return table;
    }

private:
    std::function<void()> FBody;
};

// Runs ABody on the stopped thread AThread and answers its result code.
HRESULT RunInThread(IDebugApplicationThread* AThread, std::function<void()> ABody) noexcept;

// Line starts of a text: line breaks are CR LF, LF or CR.
std::vector<std::uint32_t> LineStartsOf(std::u16string_view AText);
// The line (from 0) holding character position APos.
std::uint32_t LineOfPosition(const std::vector<std::uint32_t>& AStarts, std::uint32_t APos);

}  // namespace xan::as
