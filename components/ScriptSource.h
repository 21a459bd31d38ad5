#pragma once
// TScriptSourceStrings: the lines of a script control's source. Every change is first recorded
// by the string list and then offered to the control, which refuses it unless it is inactive;
// a refused change leaves the text as it was.
#include "platform/rtl/StringList.h"

namespace xan {

class TXANScriptControl;

class TScriptSourceStrings : public plat::TStringList {
    XAN_CLASS(TScriptSourceStrings, plat::TStringList)
    TScriptSourceStrings() = default;
    explicit TScriptSourceStrings(TXANScriptControl* AScript) noexcept : FScript(AScript) {}

protected:
    void Changing() override;

private:
    TXANScriptControl* FScript = nullptr;
};

}  // namespace xan
