#pragma once
// TXANCodeObject: a compiled script as a late-bound dispatch object.
//
// The host (or another script) calls the script's global procedures and reads and writes its
// global variables through IDispatch. Scripts of this engine recognise each other's code
// objects through a private interface identifier and call them in-process, passing arguments
// and results in the caller's slots instead of marshalling them.
//
// The object outlives its machine if somebody holds it; every call first enters the machine
// through the calling thread's entry record, so calls after Close (or after the machine's
// index was reused) fail with "Virtual machine should be active.".
#include <atomic>
#include <cstdint>

#include "foundation/IdentifierHashTable.h"
#include "foundation/NameHashTable.h"
#include "platform/ole/ComIntf.h"
#include "vm/bytecode/Operands.h"
#include "vm/machine/VMIndexes.h"

namespace xan {

class TXANVirtMachine;
class TXANDispIdObject;

// {E298CC73-406C-418B-A455-E8AFC284156C}: answered by a code object with itself.
inline constexpr plat::TGUID IID_XANCodeObject{
    0xE298CC73, 0x406C, 0x418B, {0xA4, 0x55, 0xE8, 0xAF, 0xC2, 0x84, 0x15, 0x6C}};

class TCodeObjectItem : public TXANNamedItem {
    XAN_CLASS(TCodeObjectItem, TXANNamedItem)
    TCodeObjectItem(Integer AName, plat::DISPID ADispId) noexcept : TXANNamedItem(AName), DispId(ADispId) {}
    plat::DISPID DispId;
};

class TXANCodeObject final : public plat::IDispatch {
public:
    // A new object over the machine's current script, holding one reference.
    static TXANCodeObject* Create(TXANVirtMachine& AVM);
    // The code object behind ADisp, or none; the answer is not counted.
    static TXANCodeObject* FromDispatch(plat::IDispatch* ADisp) noexcept;

    // IUnknown
    plat::HRESULT QueryInterface(const plat::TGUID& iid, void** out) noexcept override;
    std::uint32_t AddRef() noexcept override;
    std::uint32_t Release() noexcept override;
    // IDispatch
    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    plat::HRESULT GetTypeInfo(std::uint32_t index, plat::LCID locale, plat::ITypeInfo** out) noexcept override;
    plat::HRESULT GetIDsOfNames(const plat::TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                plat::LCID locale, plat::DISPID* ids) noexcept override;
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID& iid, plat::LCID locale, std::uint16_t flags,
                         plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO* excep,
                         std::uint32_t* argErr) noexcept override;

    // In-process lookup by name id.
    bool GetIdOfName(Integer ANameIndex, plat::DISPID& ADispId) const noexcept;
    // In-process calls from the call instructions: arguments and result stay in the caller's
    // slots. Errors propagate as exceptions.
    void InvokeMember(TXANThread& AThread, plat::DISPID ADispId, TXANBracketType ABracketType,
                      std::uint32_t AResMask, std::int32_t AArgCount, plat::Variant* AArgs, plat::Variant& AResult);
    void InvokePropPut(TXANThread& AThread, plat::DISPID ADispId, TXANBracketType ABracketType,
                       std::int32_t AArgCount, plat::Variant* AArgs, plat::Variant& AValue);

    plat::DISPID MaxDispId() const noexcept { return FMaxDispId; }

private:
    class TEntry;
    explicit TXANCodeObject(TXANVirtMachine& AVM);
    ~TXANCodeObject();

    plat::HRESULT InvokeLocked(TXANVirtMachine& AVM, TXANThread& AThread, TXANDispIdObject& AObj,
                               std::uint16_t AFlags, plat::DISPPARAMS* AParams, plat::Variant* AResult);

    TXANVMId FId;
    TXANIdentifierHashTable FIdsByStrName{true};  // upper-cased name -> dispatch id
    TXANNameHashTable FIdsByName{true};            // name id -> dispatch id
    plat::DISPID FMaxDispId = 0;
    std::atomic<std::uint32_t> FRefCount{1};
};

}  // namespace xan
