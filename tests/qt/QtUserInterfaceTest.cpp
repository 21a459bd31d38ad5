// The Qt user-interface service: real dialogs (offscreen), answered by the test as a person
// would, directly, from another thread, and from scripts.
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <thread>

#include "lang/vb/VbLanguage.h"
#include "platform/ole/Variant.h"
#include "qt/QtText.h"
#include "qt/QtUserInterface.h"
#include "vm/machine/VirtMachine.h"

using namespace xan;
using plat::DlgButtons;
using plat::DlgResult;
using plat::DlgType;
using plat::UString;

class QtUserInterfaceTest : public QObject {
    Q_OBJECT

    qt::TQtUserInterface FUI;

    // Answers the next modal dialog with AAnswer once it is open.
    static void AnswerNextDialog(std::function<void(QWidget*)> AAnswer) {
        auto* timer = new QTimer();
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, AAnswer] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                timer->stop();
                timer->deleteLater();
                AAnswer(dialog);
            }
        });
        timer->start();
    }
    static void Click(QMessageBox::StandardButton AButton) {
        AnswerNextDialog([AButton](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(AButton)->click(); });
    }

private slots:
    void MessageBoxesShowTheirKindAndAnswerTheButtonClicked() {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        AnswerNextDialog([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::No)->click();
        });
        const UString title(u"Deploy");
        QCOMPARE(FUI.MessageDlg(u"Overwrite?", DlgType::Warning, DlgButtons::YesNo, &title), DlgResult::No);
        QCOMPARE(caption, QString("Deploy"));
        QCOMPARE(text, QString("Overwrite?"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, 2);

        Click(QMessageBox::Cancel);
        QCOMPARE(FUI.ConfirmYesCancel(u"Close?"), DlgResult::Cancel);
        Click(QMessageBox::Ok);
        FUI.ShowMessage(u"done");
    }

    void InputBoxesGiveTheTextOnlyWhenConfirmed() {
        UString value(u"start");
        AnswerNextDialog([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            dialog->setTextValue("typed \u00E9");
            dialog->accept();
        });
        QVERIFY(FUI.InputQuery(u"Name", u"Your name:", value));
        QCOMPARE(qt::ToQString(value), QString("typed \u00E9"));
        AnswerNextDialog([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
        QVERIFY(!FUI.InputQuery(u"Name", u"Your name:", value));
        QCOMPARE(qt::ToQString(value), QString("typed \u00E9"));
    }

    // A script on a worker thread: the dialog opens on the GUI thread, the worker waits.
    void DialogsFromAnotherThreadRunOnTheGuiThread() {
        DlgResult answer = DlgResult::None;
        std::thread worker([&] { answer = FUI.MessageDlg(u"From a worker", DlgType::Information, DlgButtons::OkCancel, nullptr); });
        Click(QMessageBox::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(answer, DlgResult::Ok, 5000);
        worker.join();
    }

    void ScriptsGetQtDialogs() {
        plat::SetUI(&FUI);
        TXANVirtMachine vm(new vb::TXANVbLanguage());
        vm.Initialize(u"Function Ask\n  Ask = MsgBox(\"Proceed?\", 4 + 32, \"Script\")\nEnd Function\n");
        vm.Open();
        Click(QMessageBox::Yes);
        QCOMPARE(plat::VarToInt32(vm.RunProc(u"Ask")), 6);
        vm.Close();
        plat::SetUI(nullptr);
    }
};

QTEST_MAIN(QtUserInterfaceTest)
#include "QtUserInterfaceTest.moc"
