#include "wrappers/InvokeItem.h"

namespace xan {

void TXANInvokeItem::Assign(const TXANInvokeItem& AItem) {
    UppName = AItem.UppName;
    Name = AItem.Name;
    InvokeProc = AItem.InvokeProc;
    DebugType = AItem.DebugType;
    Attrs = AItem.Attrs;
    ParamCount = AItem.ParamCount;
    MinParamCount = AItem.MinParamCount;
    InvokeFlags = AItem.InvokeFlags;
    ResMask = AItem.ResMask;
}

}  // namespace xan
