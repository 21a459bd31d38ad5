#pragma once
// TQtUserInterface: the user-interface service for Qt hosts, so that a script's ShowMessage,
// MsgBox, InputBox and confirmations open real Qt dialogs. A host installs it with
// plat::SetUI once its QApplication exists. Dialogs run on the GUI thread: a script running on
// another thread waits there until the dialog is closed.
#include <QtGlobal>

#include "platform/ui/UserInterface.h"

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace xan::qt {

class TQtUserInterface : public plat::IUserInterface {
public:
    // AParent: the window dialogs stand over (the active window when none is given).
    explicit TQtUserInterface(QWidget* AParent = nullptr) noexcept : FParent(AParent) {}

    void ShowMessage(const plat::UString& AText) override;
    plat::DlgResult MessageDlg(const plat::UString& AText, plat::DlgType AType, plat::DlgButtons AButtons,
                               const plat::UString* ACaption) override;
    bool InputQuery(const plat::UString& ACaption, const plat::UString& APrompt, plat::UString& AValue) override;
    plat::DlgResult ConfirmYesCancel(const plat::UString& AText) override;
    void Beep() override;
    void ProcessOneMessage(bool AWaitWhenEmpty) override;
    std::uintptr_t ApplicationHandle() override;
    void ShowException(const plat::Exception& E) override;

private:
    QWidget* Parent() const;
    QWidget* FParent;
};

}  // namespace xan::qt
