#pragma once
// The object the runner gives scripts of the script-engine languages as `UI`: the installed
// user-interface service (the console's, in the runner), so every language shows a message the
// same way:
//   UI.ShowMessage(text)             a message with one OK button
//   UI.MessageDlg(text, style)       a message box; style as the dialects' message box codes;
//                                    answers the button's result code
#include "platform/ole/ComPtr.h"

namespace xan::cli {

inline constexpr char16_t UIObjectName[] = u"UI";

plat::ComPtr<plat::IDispatch> NewUIObject();

}  // namespace xan::cli
