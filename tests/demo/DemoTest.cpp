// The demonstration program's two windows, driven as a person would: breakpoints set from the
// editors, runs that stop, the debugger window read and clicked at each break, and the answers
// given to the program's dialogs.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <Qsci/qsciscintilla.h>

#include <deque>
#include <functional>
#include <memory>

#include "demo/VbLexer.h"
#include "demo/d_DebugFormUnit.h"
#include "demo/d_MainFormUnit.h"

using namespace xan;
using xan::demo::TDebugForm;
using xan::demo::TMainForm;

namespace {

// Runs one step per poll while the form is in a break; a break with no step left is aborted
// and reported, so a wrong stop cannot hang the test.
class TBreakScript {
public:
    TBreakScript(TMainForm& AForm, std::deque<std::function<void()>> ASteps) : FForm(AForm), FSteps(std::move(ASteps)) {
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
        FTimer.start(5);
    }
    bool Unexpected = false;
    bool Done() const { return FSteps.empty(); }

private:
    void Poll() {
        if (!FForm.InBreak()) return;
        if (FSteps.empty()) {
            Unexpected = true;
            FForm.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkAbort);
            return;
        }
        auto step = std::move(FSteps.front());
        FSteps.pop_front();
        step();
    }
    TMainForm& FForm;
    std::deque<std::function<void()>> FSteps;
    QTimer FTimer;
};

// Answers the next modal dialog once it is open.
void AnswerNextDialog(std::function<void(QMessageBox*)> AAnswer) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, AAnswer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            AAnswer(box);
        }
    });
    timer->start();
}

QStringList Lines(const QListWidget* AList) {
    QStringList lines;
    for (int i = 0; i < AList->count(); ++i) lines << AList->item(i)->text();
    return lines;
}

QTreeWidgetItem* ChildStarting(QTreeWidgetItem* AParent, const QString& APrefix) {
    for (int i = 0; i < AParent->childCount(); ++i)
        if (AParent->child(i)->text(0).startsWith(APrefix)) return AParent->child(i);
    return nullptr;
}

}  // namespace

class DemoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> FForm;

    TMainForm& Form() { return *FForm; }
    TDebugForm& Debug() { return *FForm->DebugForm(); }

    void ToggleAt(QsciScintilla* AMemo, int ALine) {
        AMemo->setFocus();
        AMemo->setCursorPosition(ALine, 0);
        Form().UpdateActions();
        QVERIFY(Form().actSetBreakpoint->isEnabled());
        Form().actSetBreakpoint->trigger();
    }
    // Runs with a breakpoint on each of AB's lines, answering the breaks by ASteps.
    void RunWith(std::initializer_list<int> ALinesOfB, std::deque<std::function<void()>> ASteps) {
        for (int line : ALinesOfB) ToggleAt(Form().ScriptBMemo, line);
        TBreakScript script(Form(), std::move(ASteps));
        Form().actRun->trigger();
        QVERIFY2(!script.Unexpected, "a break no step was written for");
        QVERIFY2(script.Done(), "the run ended before every expected break");
    }
    QString Status() { return Form().StatusText->text(); }
    // Picks the item of a pane's language box as the user does.
    void Choose(QComboBox* ABox, const QString& ALanguage) {
        const int index = ABox->findText(ALanguage);
        QVERIFY2(index >= 0, qPrintable(ALanguage));
        emit ABox->activated(index);
    }

private slots:
    // Each byte of a VBScript line gets its colour class: words, a string with a doubled
    // quote, a number and a trailing comment.
    void VbScriptLinesAreColouredByTheirParts() {
        using L = demo::TVbLexer;
        const QByteArray line = "If x = \"a \"\"b\"\"\" Then y = 12 ' note";
        const QList<int> styles = L::StyleLine(line);
        QCOMPARE(styles.size(), line.size());
        auto styleAt = [&](const char* part) { return styles[line.indexOf(part)]; };
        QCOMPARE(styleAt("If"), int(L::vsKeyword));
        QCOMPARE(styleAt("x ="), int(L::vsDefault));
        QCOMPARE(styleAt("b\"\""), int(L::vsString));
        QCOMPARE(styles[line.indexOf(" Then") - 1], int(L::vsString));  // the closing quote
        QCOMPARE(styleAt("Then"), int(L::vsKeyword));
        QCOMPARE(styleAt("12"), int(L::vsNumber));
        QCOMPARE(styleAt("' note"), int(L::vsComment));
        QCOMPARE(styles.last(), int(L::vsComment));
    }

    void init() {
        FForm = std::make_unique<TMainForm>();
        FForm->show();
        FForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
    }
    void cleanup() { FForm.reset(); }

    void TheWindowsShowTheInitialScriptsCaptionsAndShortcuts() {
        QCOMPARE(Form().windowTitle(), QStringLiteral("XAN-Velmora: Multi-Language Debugging"));
        QCOMPARE(Form().ScriptAMemo->text(), QStringLiteral("procedure Main;\nbegin\n  ScriptB.Calc;\nend;"));
        QCOMPARE(Form().ScriptBMemo->lines(), 26);
        const std::pair<int, const char*> linesOfB[] = {
            {0, "procedure Calc;"}, {2, "  x, y, z, xml, a;"}, {4, "  x := 5 + 7;"}, {7, ""},
            {8, "  xml := CreateOleObject('Microsoft.XMLDOM');"}, {10, "  a := array[0..1, 0..2] of Integer;"},
            {19, "function F(ALevel);"}, {22, "    Result := F(ALevel + 1) * 2"}, {25, "end;"}};
        for (const auto& [line, text] : linesOfB)
            QCOMPARE(Form().ScriptBMemo->text(line).remove(QLatin1Char('\n')), QString::fromLatin1(text));
        QCOMPARE(Form().Label1->text(), QStringLiteral("   Breakpoint list:"));
        QCOMPARE(Form().Label2->text(), QStringLiteral("   ScriptA (Pascal):"));
        QCOMPARE(Form().Label3->text(), QStringLiteral("   ScriptB (Pascal):"));
        const std::tuple<QAction*, const char*, QKeySequence> actions[] = {
            {Form().actSetBreakpoint, "Set Breakpoint", QKeySequence(Qt::Key_F5)},
            {Form().actRemoveBreakpoint, "Remove breakpoint", QKeySequence()},
            {Form().actRun, "Run", QKeySequence(Qt::Key_F9)},
            {Form().actStepInto, "Step Into", QKeySequence(Qt::Key_F7)},
            {Form().actStepOver, "Step Over", QKeySequence(Qt::Key_F8)},
            {Form().actAbort, "Abort", QKeySequence(Qt::CTRL | Qt::Key_F2)},
        };
        for (const auto& [action, caption, key] : actions) {
            QCOMPARE(action->text(), QString::fromLatin1(caption));
            QCOMPARE(action->shortcut(), key);
        }
        QVERIFY(Form().actRun->isEnabled());
        QVERIFY(!Form().actStepInto->isEnabled());
        QCOMPARE(Debug().windowTitle(), QStringLiteral("Debugger"));
        QVERIFY(Debug().windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void ARunWithoutBreakpointsFinishesOk() {
        RunWith({}, {});
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
        QVERIFY(!Form().Running());
    }

    void BreakpointOnLine4OfScriptBStopsThereWithBothFrames() {
        RunWith({4}, {[this] {
                    QCOMPARE(Status(), QStringLiteral("Breakpoint reached: ScriptB, line: 4"));
                    QCOMPARE(Form().ScriptBMemo->selectedText(), QStringLiteral("  x := 5 + 7;"));
                    QVERIFY(!Form().ScriptAMemo->hasSelectedText());
                    QVERIFY(Form().ScriptBMemo->markersAtLine(4) & (1 << TMainForm::kPausedLineMarker));
                    QVERIFY(Debug().isVisible());
                    const QStringList frames = Lines(Debug().FrameList);
                    QCOMPARE(frames.size(), 2);
                    QVERIFY2(frames[0].startsWith(QStringLiteral("ScriptB: ")), qPrintable(frames[0]));
                    QVERIFY2(frames[1].startsWith(QStringLiteral("ScriptA: ")), qPrintable(frames[1]));
                    QCOMPARE(Debug().FrameList->currentRow(), 0);
                    QCOMPARE(Debug().VariableTree->topLevelItemCount(), 1);
                    QTreeWidgetItem* root = Debug().VariableTree->topLevelItem(0);
                    QCOMPARE(root->text(0), QStringLiteral("Locals: object = {...}"));
                    QVERIFY(root->isExpanded());
                    for (const char* name : {"x: ", "y: ", "z: ", "xml: ", "a: "})
                        QVERIFY2(ChildStarting(root, QString::fromLatin1(name)), name);
                    QVERIFY(Form().actStepOver->isEnabled() && Form().actRun->isEnabled() && Debug().EvalButton->isEnabled());
                    Form().actRun->trigger();
                    QCOMPARE(Debug().FrameList->count(), 0);
                    QCOMPARE(Debug().VariableTree->topLevelItemCount(), 0);
                    QVERIFY(!Debug().LocVarsButton->isEnabled() && !Debug().EvalButton->isEnabled() &&
                            !Debug().EvalEdit->isEnabled());
                    QVERIFY(!Form().ScriptBMemo->hasSelectedText());
                }});
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
    }

    void ABreakpointOnAnEmptyLineIsMarkedInvalidAndNeverStops() {
        RunWith({7}, {});
        QCOMPARE(Lines(Form().BreakpointList), QStringList{QStringLiteral("ScriptB, line: 7 {Invalid}")});
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
    }

    void TogglingTwiceRemovesTheBreakpoint() {
        ToggleAt(Form().ScriptBMemo, 5);
        ToggleAt(Form().ScriptAMemo, 2);
        QCOMPARE(Lines(Form().BreakpointList), (QStringList{QStringLiteral("ScriptB, line: 5"), QStringLiteral("ScriptA, line: 2")}));
        QVERIFY(Form().ScriptBMemo->markersAtLine(5) & (1 << TMainForm::kBreakpointMarker));
        ToggleAt(Form().ScriptBMemo, 5);
        QCOMPARE(Lines(Form().BreakpointList), QStringList{QStringLiteral("ScriptA, line: 2")});
        QCOMPARE(Form().ScriptBMemo->markersAtLine(5), 0u);
        Form().actRemoveBreakpoint->trigger();  // the caret is still on line 5 of ScriptB: nothing there
        QCOMPARE(Lines(Form().BreakpointList), QStringList{QStringLiteral("ScriptA, line: 2")});
        Form().ScriptAMemo->setFocus();
        Form().ScriptAMemo->setCursorPosition(2, 0);
        Form().actRemoveBreakpoint->trigger();
        QCOMPARE(Form().BreakpointList->count(), 0);
    }

    void ACompileErrorIsReportedAndTheNextRunStartsCleanly() {
        const QString good = Form().ScriptBMemo->text();
        Form().ScriptBMemo->setText(QStringLiteral("procedure Calc;\nbegin\n  x := ;\nend;"));
        QString report;
        AnswerNextDialog([&](QMessageBox* ABox) {
            report = ABox->text();
            ABox->button(QMessageBox::Ok)->click();
        });
        Form().actRun->trigger();
        QVERIFY2(!report.isEmpty(), "no error report");
        QCOMPARE(Status(), QStringLiteral("Running..."));
        QVERIFY(!Form().Running());
        QCOMPARE(Form().ScriptA.State(), ssInactive);
        QCOMPARE(Form().ScriptB.State(), ssInactive);
        Form().ScriptBMemo->setText(good);
        RunWith({}, {});
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
    }

    void ChoosingVBScriptSwitchesTheTextAndLabelAndDropsThatPanesBreakpoints() {
        const QString pascalB = Form().ScriptBMemo->text();
        ToggleAt(Form().ScriptAMemo, 2);
        ToggleAt(Form().ScriptBMemo, 4);
        Choose(Form().ScriptBLanguageBox, QStringLiteral("VBScript"));
        QCOMPARE(Form().ScriptB.Language(), slNativeVb);
        QCOMPARE(Form().ScriptA.Language(), slPascal);
        QCOMPARE(Form().Label3->text(), QStringLiteral("   ScriptB (VBScript):"));
        QCOMPARE(Form().ScriptBMemo->text(0).remove(QLatin1Char('\n')), QStringLiteral("Sub Calc"));
        QCOMPARE(Lines(Form().BreakpointList), QStringList{QStringLiteral("ScriptA, line: 2")});
        QCOMPARE(Form().ScriptBMemo->markersAtLine(4), 0u);
        Choose(Form().ScriptBLanguageBox, QStringLiteral("Pascal"));
        QCOMPARE(Form().ScriptB.Language(), slPascal);
        QCOMPARE(Form().Label3->text(), QStringLiteral("   ScriptB (Pascal):"));
        QCOMPARE(Form().ScriptBMemo->text(), pascalB);
        QCOMPARE(Form().ScriptBLanguageBox->currentText(), QStringLiteral("Pascal"));
    }

    void AVBScriptPaneStopsWithBothFramesAndFinishesAsPascalDoes_data() {
        QTest::addColumn<QString>("languageA");
        QTest::newRow("ScriptB in VBScript") << QStringLiteral("Pascal");
        QTest::newRow("both in VBScript") << QStringLiteral("VBScript");
    }
    void AVBScriptPaneStopsWithBothFramesAndFinishesAsPascalDoes() {
        QFETCH(QString, languageA);
        Choose(Form().ScriptALanguageBox, languageA);
        Choose(Form().ScriptBLanguageBox, QStringLiteral("VBScript"));
        QCOMPARE(Form().Label2->text(), QStringLiteral("   ScriptA (%1):").arg(languageA));
        QStringList frames, locals;
        QString selected, z;
        bool boxesDisabled = false;
        RunWith({8}, {[&] {
                    selected = Form().ScriptBMemo->selectedText();
                    frames = Lines(Debug().FrameList);
                    QTreeWidgetItem* root = Debug().VariableTree->topLevelItem(0);
                    for (const char* name : {"x: ", "y: ", "z: ", "xml: ", "a: "})
                        if (ChildStarting(root, QString::fromLatin1(name))) locals << QString::fromLatin1(name);
                    if (QTreeWidgetItem* node = ChildStarting(root, QStringLiteral("z: "))) z = node->text(0);
                    boxesDisabled = !Form().ScriptALanguageBox->isEnabled() && !Form().ScriptBLanguageBox->isEnabled();
                    QCOMPARE(Status(), QStringLiteral("Breakpoint reached: ScriptB, line: 8"));
                    Form().actRun->trigger();
                }});
        QCOMPARE(selected, QStringLiteral("  a(0, 0) = 1"));
        QCOMPARE(frames.size(), 2);
        QVERIFY2(frames[0].startsWith(QStringLiteral("ScriptB: ")), qPrintable(frames[0]));
        QVERIFY2(frames[1].startsWith(QStringLiteral("ScriptA: ")), qPrintable(frames[1]));
        QCOMPARE(locals, (QStringList{"x: ", "y: ", "z: ", "xml: ", "a: "}));
        QVERIFY2(z.endsWith(QStringLiteral(" = 272")), qPrintable(z));  // 12 * 20 + 2 to the 5th
        QVERIFY(boxesDisabled);
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
        QVERIFY(Form().ScriptALanguageBox->isEnabled());
    }

    void BreakpointActionsNeedAFocusedEditor() {
        Form().BreakpointList->setFocus();
        Form().UpdateActions();
        QVERIFY(!Form().actSetBreakpoint->isEnabled() && !Form().actRemoveBreakpoint->isEnabled());
        Form().ScriptAMemo->setFocus();
        Form().UpdateActions();
        QVERIFY(Form().actSetBreakpoint->isEnabled() && Form().actRemoveBreakpoint->isEnabled());
    }

    void StepsGoToTheNextLineOrIntoTheCall_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("into");
        QTest::addColumn<QString>("next");
        QTest::newRow("over") << 4 << false << QStringLiteral("Breakpoint reached: ScriptB, line: 5");
        QTest::newRow("over a call") << 6 << false << QStringLiteral("Breakpoint reached: ScriptB, line: 8");
        QTest::newRow("into a call") << 6 << true << QStringLiteral("Breakpoint reached: ScriptB, line: 21");
    }
    void StepsGoToTheNextLineOrIntoTheCall() {
        QFETCH(int, line);
        QFETCH(bool, into);
        QFETCH(QString, next);
        QString stepped;
        RunWith({line}, {[&] { (into ? Form().actStepInto : Form().actStepOver)->trigger(); },
                         [&] {
                             stepped = Status();
                             Form().actRun->trigger();
                         }});
        QCOMPARE(stepped, next);
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
    }

    void AbortEndsTheRunWithTheAbortError() {
        RunWith({4}, {[this] { Form().actAbort->trigger(); }});
        QVERIFY2(Status().startsWith(QStringLiteral("Execution results in error: ")), qPrintable(Status()));
        QVERIFY(Status() != QStringLiteral("Execution results in error: "));
        QVERIFY(!Form().Running());
    }

    void EvaluationRunsInTheSelectedFrame() {
        QString result, withoutFrame;
        int rowsWithoutFrame = -1;
        RunWith({5}, {[&] {
                    Debug().EvalEdit->setText(QStringLiteral("x * 2"));
                    QTest::mouseClick(Debug().EvalButton, Qt::LeftButton);
                    result = Debug().VariableTree->topLevelItem(0)->text(0);
                    Debug().FrameList->clearSelection();
                    QTest::mouseClick(Debug().EvalButton, Qt::LeftButton);
                    rowsWithoutFrame = Debug().VariableTree->topLevelItemCount();
                    Form().actRun->trigger();
                }});
        QVERIFY2(result.endsWith(QStringLiteral(" = 24")), qPrintable(result));
        QCOMPARE(rowsWithoutFrame, 0);
    }

    void ExpandingVariablesFetchesTheirChildrenOnce() {
        RunWith({16}, {[&] {
                    QTreeWidgetItem* root = Debug().VariableTree->topLevelItem(0);
                    for (const char* name : {"a: ", "xml: "}) {
                        QTreeWidgetItem* node = ChildStarting(root, QString::fromLatin1(name));
                        QVERIFY2(node, name);
                        QCOMPARE(node->childCount(), 1);
                        QCOMPARE(node->child(0)->text(0), QString::fromLatin1(xan::demo::kPlaceholderText));
                        node->setExpanded(true);
                        const int count = node->childCount();
                        QVERIFY2(count > 0 && node->child(0)->text(0) != QLatin1String("$TEMP$"), name);
                        QTreeWidgetItem* first = node->child(0);
                        const TXANVariable* firstVariable = TDebugForm::VariableOf(first);
                        node->setExpanded(false);
                        node->setExpanded(true);
                        QCOMPARE(node->childCount(), count);
                        QCOMPARE(node->child(0), first);
                        QCOMPARE(TDebugForm::VariableOf(node->child(0)), firstVariable);
                    }
                    QTreeWidgetItem* a = ChildStarting(root, QStringLiteral("a: "));
                    QTreeWidgetItem* row = a->child(1);
                    row->setExpanded(true);
                    QVERIFY2(ChildStarting(row, QStringLiteral("[1]"))->text(0).endsWith(QStringLiteral(" = 12")),
                             qPrintable(ChildStarting(row, QStringLiteral("[1]"))->text(0)));
                    Form().actRun->trigger();
                }});
    }

    void ClosingDuringABreakAsksAndCancelKeepsRunning() {
        QString question;
        bool stillInBreak = false;
        RunWith({4}, {[&] {
                    AnswerNextDialog([&](QMessageBox* ABox) {
                        question = ABox->text();
                        ABox->button(QMessageBox::Cancel)->click();
                    });
                    Form().close();
                    stillInBreak = Form().InBreak() && Form().isVisible();
                    Form().actRun->trigger();
                }});
        QCOMPARE(question, QStringLiteral("Script is running. Terminate it first?"));
        QVERIFY(stillInBreak);
        QCOMPARE(Status(), QStringLiteral("Execution finished ok."));
        QVERIFY(Form().isVisible());
    }

    void ClosingDuringABreakWithYesAbortsAndThenCloses() {
        bool visibleAfterAnswer = false;
        RunWith({4}, {[&] {
                    AnswerNextDialog([](QMessageBox* ABox) { ABox->button(QMessageBox::Yes)->click(); });
                    Form().close();
                    visibleAfterAnswer = Form().isVisible();
                }});
        QVERIFY2(visibleAfterAnswer, "the window waits for the run to end");
        QVERIFY2(Status().startsWith(QStringLiteral("Execution results in error: ")), qPrintable(Status()));
        QVERIFY(!Form().isVisible());
        QVERIFY(!Debug().isVisible());
    }
};

QTEST_MAIN(DemoTest)
#include "DemoTest.moc"
