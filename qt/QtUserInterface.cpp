#include "qt/QtUserInterface.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QThread>

#include <utility>

#include "qt/QtText.h"

namespace xan::qt {

using plat::DlgButtons;
using plat::DlgResult;
using plat::DlgType;
using plat::UString;

namespace {

// Runs AWork on the GUI thread and answers what it answers; the calling thread waits.
template <class F>
auto OnGuiThread(F&& AWork) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return AWork();
    std::invoke_result_t<F> result{};
    QMetaObject::invokeMethod(app, [&] { result = AWork(); }, Qt::BlockingQueuedConnection);
    return result;
}

QMessageBox::Icon IconOf(DlgType AType) {
    switch (AType) {
        case DlgType::Error: return QMessageBox::Critical;
        case DlgType::Confirmation: return QMessageBox::Question;
        case DlgType::Warning: return QMessageBox::Warning;
        default: return QMessageBox::Information;
    }
}

QMessageBox::StandardButtons ButtonsOf(DlgButtons AButtons) {
    switch (AButtons) {
        case DlgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case DlgButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case DlgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case DlgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case DlgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

DlgResult ResultOf(int AButton) {
    switch (AButton) {
        case QMessageBox::Ok: return DlgResult::Ok;
        case QMessageBox::Cancel: return DlgResult::Cancel;
        case QMessageBox::Abort: return DlgResult::Abort;
        case QMessageBox::Retry: return DlgResult::Retry;
        case QMessageBox::Ignore: return DlgResult::Ignore;
        case QMessageBox::Yes: return DlgResult::Yes;
        case QMessageBox::No: return DlgResult::No;
        default: return DlgResult::None;
    }
}

// A modal message box; closing it by the window's own button answers Cancel where the set
// has one (Qt's escape button), else nothing.
DlgResult Ask(QWidget* AParent, const QString& ACaption, const QString& AText, QMessageBox::Icon AIcon,
              QMessageBox::StandardButtons AButtons) {
    QMessageBox box(AIcon, ACaption, AText, AButtons, AParent);
    return ResultOf(box.exec());
}

}  // namespace

QWidget* TQtUserInterface::Parent() const { return FParent ? FParent : QApplication::activeWindow(); }

void TQtUserInterface::ShowMessage(const UString& AText) {
    OnGuiThread([&] {
        return Ask(Parent(), QApplication::applicationDisplayName(), ToQString(AText), QMessageBox::NoIcon,
                   QMessageBox::Ok);
    });
}

DlgResult TQtUserInterface::MessageDlg(const UString& AText, DlgType AType, DlgButtons AButtons,
                                       const UString* ACaption) {
    const QString caption = ToQString(ACaption ? *ACaption : plat::StandardCaption(AType));
    return OnGuiThread([&] { return Ask(Parent(), caption, ToQString(AText), IconOf(AType), ButtonsOf(AButtons)); });
}

bool TQtUserInterface::InputQuery(const UString& ACaption, const UString& APrompt, UString& AValue) {
    return OnGuiThread([&] {
        bool ok = false;
        const QString text = QInputDialog::getText(Parent(), ToQString(ACaption), ToQString(APrompt),
                                                   QLineEdit::Normal, ToQString(AValue), &ok);
        if (ok) AValue = FromQString(text);
        return ok;
    });
}

DlgResult TQtUserInterface::ConfirmYesCancel(const UString& AText) {
    return OnGuiThread([&] {
        return Ask(Parent(), ToQString(plat::StandardCaption(DlgType::Confirmation)), ToQString(AText),
                   QMessageBox::Question, QMessageBox::Yes | QMessageBox::Cancel);
    });
}

void TQtUserInterface::Beep() { QApplication::beep(); }

void TQtUserInterface::ProcessOneMessage(bool AWaitWhenEmpty) {
    QCoreApplication::processEvents(AWaitWhenEmpty ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
}

std::uintptr_t TQtUserInterface::ApplicationHandle() {
    QWidget* window = Parent();
    return window ? static_cast<std::uintptr_t>(window->winId()) : 0;
}

void TQtUserInterface::ShowException(const plat::Exception& E) {
    const QString text = ToQString(E.Message());
    OnGuiThread([&] {
        return Ask(Parent(), ToQString(plat::StandardCaption(DlgType::Error)), text, QMessageBox::Critical,
                   QMessageBox::Ok);
    });
}

}  // namespace xan::qt
