#include "components/ScriptSource.h"

#include "components/ScriptControl.h"

namespace xan {

void TScriptSourceStrings::Changing() {
    TStringList::Changing();
    if (FScript) FScript->CheckState(XANStates(ssInactive));
}

}  // namespace xan
