#include "components/Runner.h"

#include <vector>

#include "components/ScriptDebugger.h"
#include "components/NamedItems.h"
#include "components/ScriptControl.h"

namespace xan {

void TRunnerBase::AddNamedObjectsToEngine(TXANScriptControl& ACtrl) {
    std::vector<plat::TObject*> items;
    ACtrl.NamedItems().GetAll(items);
    for (plat::TObject* each : items) {
        const auto& item = static_cast<const TNamedItem&>(*each);
        if (item.Kind == nikObject) AddNamedObjectToEngine(item);
    }
}

void TRunnerBase::SetBreakpoints(TXANScriptControl& ACtrl, TXANScriptDebuggerBase& ADebugger) {
    for (plat::Integer i = 0; i < ADebugger.BreakpointCount(); ++i) {
        TXANBreakpoint* bp = ADebugger.Breakpoints(i);
        if (bp->Module() == ACtrl.DebugModule()) ADebugger.PropagateBreakpoint(bp);
        ADebugger.BreakpointsChanged();
    }
}

}  // namespace xan
