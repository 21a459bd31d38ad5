#include "vm/machine/ThreadGlobals.h"

#include <memory>

#include "foundation/NameTable.h"
#include "platform/core/CharCase.h"
#include "vm/machine/CodeObject.h"
#include "vm/machine/ExternObjects.h"
#include "vm/machine/VMIndexes.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

TXANThreadGlobals::TXANThreadGlobals(TXANThreadVM* AThreadVM) : FThreadVM(AThreadVM) {}

TXANVirtMachine* TXANThreadGlobals::VM() const noexcept { return FThreadVM->FVMLock->FVM; }

void TXANThreadGlobals::Clear() {
    FItems.Clear();
    FProcsCache.Clear();
    FValObjCache.Clear();
    FPubMrsExterns.clear();
    FSiteCache.Clear();
    FChangeNumber = -1;
}

void TXANThreadGlobals::Refresh() {
    TXANExternObjects& externs = VM()->ExternObjects();
    if (externs.ChangeNumber() == FChangeNumber) return;  // an int read; rechecked under the section
    plat::SectionGuard guard(externs.Section());
    if (externs.ChangeNumber() != FChangeNumber) Rebuild();
}

bool TXANThreadGlobals::AddItem(TXANGlobalObject* AObj) {
    auto item = std::make_unique<TThreadGlobalsItem>(AObj->FName, TXANNameSearchRes::OfObject(AObj));
    if (!FItems.Add(item.get())) return false;
    item.release();
    return true;
}

// Script globals first, then host objects whose names are still free. Built-ins come on demand
// (Search), after both and after the members the host publishes.
void TXANThreadGlobals::Rebuild() {
    Clear();
    TXANVirtMachine* vm = VM();
    std::vector<TXANNamedItem*> all;
    vm->ScriptGlobals().GetAll(all);
    for (TXANNamedItem* item : all) AddItem(static_cast<TXANGlobalObject*>(item));
    all.clear();
    vm->ExternObjects().GetAll(all);
    for (TXANNamedItem* item : all) AddItem(static_cast<TXANGlobalObject*>(item));
    FPubMrsExterns = vm->ExternObjects().PubMrsObjs();
    FChangeNumber = vm->ExternObjects().ChangeNumber();
}

bool TXANThreadGlobals::SearchInPubs(Integer AName, const plat::UString* AStrName, TXANNameSearchRes& ARes) const {
    if (FPubMrsExterns.empty()) return false;
    const plat::UString strName = AStrName ? *AStrName : GlobalNameTable().GetName(AName);
    for (TXANExternObject* ext : FPubMrsExterns) {
        plat::DISPID id = plat::DISPID_UNKNOWN;
        bool found = false;
        if (ext->FCodeObject) {
            found = ext->FCodeObject->GetIdOfName(AName, id);
        } else {
            const char16_t* names[1] = {strName.c_str()};
            found = plat::Succeeded(ext->FObj->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id));
        }
        if (found) {
            ARes = TXANNameSearchRes::ExternalMember(ext, id);
            return true;
        }
    }
    return false;
}

TXANNameSearchRes TXANThreadGlobals::Search(Integer AName, const plat::UString* AStrName) {
    Refresh();
    auto* item = static_cast<TThreadGlobalsItem*>(FItems.Find(AName));
    if (item) return item->SearchRes;
    TXANNameSearchRes res;
    if (!SearchInPubs(AName, AStrName, res)) {
        TXANGlobalObject* builtin = VM()->IntrinsicObject(AName);
        if (!builtin) return TXANNameSearchRes::NotFound();
        res = TXANNameSearchRes::OfObject(builtin);
    }
    auto cached = std::make_unique<TThreadGlobalsItem>(AName, res);
    if (FItems.Add(cached.get())) cached.release();
    return res;
}

TXANGlobalObject* TXANThreadGlobals::FindByStrName(const plat::UString& AStrName, TXANIdentifierHashTable& ACache,
                                                   bool (*AAccept)(TXANGlobalObjType)) {
    Refresh();
    if (TXANIdentifierItem* hit = ACache.Find(AStrName)) return static_cast<TXANGlobalObject*>(hit->Data);
    const Integer name = GlobalNameTable().GetNameIndex(AStrName, false);
    if (name < 0) return nullptr;
    auto* item = static_cast<TThreadGlobalsItem*>(FItems.Find(name));
    if (!item || item->SearchRes.ObjKind == srExternalMember || !item->SearchRes.NamedObject) return nullptr;
    TXANGlobalObject* obj = item->SearchRes.NamedObject;
    if (!AAccept(obj->GetGlobalObjType())) return nullptr;
    auto cached = std::make_unique<TXANIdentifierItem>(AStrName, obj);
    if (ACache.Add(cached.get())) cached.release();
    return obj;
}

TXANProcObject* TXANThreadGlobals::FindProcByStrName(const plat::UString& AStrName) {
    auto isProc = [](TXANGlobalObjType t) { return t == gtProcedure; };
    return static_cast<TXANProcObject*>(FindByStrName(AStrName, FProcsCache, isProc));
}

TXANGlobalValuedObject* TXANThreadGlobals::FindValObjByStrName(const plat::UString& AStrName) {
    auto isValued = [](TXANGlobalObjType t) { return t == gtVar || t == gtConst; };
    return static_cast<TXANGlobalValuedObject*>(FindByStrName(AStrName, FValObjCache, isValued));
}

}  // namespace xan
