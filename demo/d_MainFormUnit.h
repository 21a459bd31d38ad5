#pragma once
// TMainForm: the demonstration program's main window. Two scripts, ScriptA and ScriptB, each in
// Pascal or VBScript as its pane's language box says, share one synchronous debugger; a run compiles both, hands each to the other as a named
// object and calls ScriptA's Main, which calls ScriptB's Calc. A break runs on this window's
// thread: the window shows the debugger window, marks the paused line and keeps processing
// window messages until the user resumes.
#include <QMainWindow>

#include "components/ScriptControl.h"
#include "components/ScriptDebugger.h"

QT_BEGIN_NAMESPACE
class QAction;
class QComboBox;
class QLabel;
class QListWidget;
QT_END_NAMESPACE
class QsciScintilla;

namespace xan::demo {

class TDebugForm;

// The list text of a breakpoint, also the status text's tail at a break: "ScriptB, line: 4".
QString BreakpointText(const TXANDebugModule* AModule, plat::Integer ALine);
// The name a label gives a script's language ("Pascal", "VBScript").
QString LanguageCaption(TXANScriptLanguage ALanguage);

class TMainForm : public QMainWindow {
public:
    explicit TMainForm(QWidget* AParent = nullptr);
    ~TMainForm() override;

    TXANScriptDebugger Debugger;
    TXANScriptControl ScriptA;
    TXANScriptControl ScriptB;

    QsciScintilla* ScriptAMemo = nullptr;
    QsciScintilla* ScriptBMemo = nullptr;
    QListWidget* BreakpointList = nullptr;
    QLabel* StatusText = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    // The language boxes above the editors; their items are "Pascal" and "VBScript".
    QComboBox* ScriptALanguageBox = nullptr;
    QComboBox* ScriptBLanguageBox = nullptr;
    QAction* actSetBreakpoint = nullptr;
    QAction* actRemoveBreakpoint = nullptr;
    QAction* actRun = nullptr;
    QAction* actStepInto = nullptr;
    QAction* actStepOver = nullptr;
    QAction* actAbort = nullptr;
    QAction* actExit = nullptr;
    TDebugForm* DebugForm() const noexcept { return FDebugForm; }

    bool Running() const noexcept { return FRunning; }
    bool InBreak() const noexcept { return Debugger.BreakKind() != TXANBreakKind::bkNone; }
    TXANScriptControl* BreakScript() const noexcept { return FBreakScript; }
    plat::Integer BreakLine() const noexcept { return FBreakLine; }
    // The enabled state of every action, as the idle timer sets it.
    void UpdateActions();
    void RefreshBreakpointList();
    // Toggles the breakpoint of AScript's module at ALine (the editors' margin does this).
    void ToggleBreakpoint(TXANScriptControl& AScript, plat::Integer ALine);
    // Switches AScript to ALanguage: its editor gets that language's initial script, its label
    // names the language, and its breakpoints go (their lines meant the other text).
    void SetScriptLanguage(TXANScriptControl& AScript, TXANScriptLanguage ALanguage);

    // Editor markers (numbers for QsciScintilla::markerDefine).
    static constexpr int kBreakpointMarker = 1;
    static constexpr int kInvalidBreakpointMarker = 2;
    static constexpr int kPausedLineMarker = 3;

protected:
    void closeEvent(QCloseEvent* AEvent) override;
    void changeEvent(QEvent* AEvent) override;

private:
    void CreateComponents();
    void CreateEditors(QWidget* AParent);
    void CreateActions();
    QsciScintilla* NewMemo(TXANScriptControl& AScript);
    QComboBox* NewLanguageBox(TXANScriptControl& AScript);
    QLabel* LabelOf(const TXANScriptControl& AScript) const;
    QsciScintilla* MemoOf(const TXANScriptControl& AScript) const;
    bool MemoHasFocus(const QsciScintilla* AMemo) const;
    TXANScriptControl& FocusedScript() const;
    plat::Integer CaretLine(const QsciScintilla* AMemo) const;
    void SetStatus(const QString& AText);
    // Runs AAction; an error it raises goes to the default error report (a message box).
    template <class F>
    void Guarded(F&& AAction);
    void ReportError(const QString& AMessage);

    void SetBreakpointExecute();
    void RemoveBreakpointExecute();
    void RunExecute();
    void Run();
    void RunScripts();
    void CloseScripts() noexcept;
    void EndRun();
    void ResumeExecute(TXANBreakResumeKind AKind);
    void Break(TXANScriptControl* AScript, plat::Integer ALine);
    void InvalidBreakpoint(TXANBreakpoint* ABreakpoint);
    void Highlight(TXANScriptControl* AScript, plat::Integer ALine);
    void ClearHighlights();
    void ShowDebugForm();
    void UpdateBreakpointMarkers();

    TDebugForm* FDebugForm = nullptr;
    QMetaObject::Connection FFocusConnection;
    bool FRunning = false;
    bool FCloseAfterRun = false;
    TXANScriptControl* FBreakScript = nullptr;
    plat::Integer FBreakLine = -1;
};

}  // namespace xan::demo
