#include "demo/d_MainFormUnit.h"

#include <algorithm>
#include <iterator>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include "demo/d_DebugFormUnit.h"
#include "demo/VbLexer.h"
#include "demo/d_Fonts.h"
#include "qt/QtText.h"
#include "xmldom/XmlDom.h"

namespace xan::demo {

using qt::FromQString;
using qt::ToQString;

namespace {

const char* const kScriptA =
    "procedure Main;\n"
    "begin\n"
    "  ScriptB.Calc;\n"
    "end;";

const char* const kScriptB =
    "procedure Calc;\n"
    "var\n"
    "  x, y, z, xml, a;\n"
    "begin\n"
    "  x := 5 + 7;\n"
    "  y := x * 20;\n"
    "  z := y + F(0);\n"
    "\n"
    "  xml := CreateOleObject('Microsoft.XMLDOM');\n"
    "\n"
    "  a := array[0..1, 0..2] of Integer;\n"
    "  a[0, 0] := 1;\n"
    "  a[0, 1] := 2;\n"
    "  a[0, 2] := 3;\n"
    "  a[1, 0] := 11;\n"
    "  a[1, 1] := 12;\n"
    "  a[1, 2] := 13;\n"
    "end;\n"
    "\n"
    "function F(ALevel);\n"
    "begin\n"
    "  if ALevel < 5 then\n"
    "    Result := F(ALevel + 1) * 2\n"
    "  else\n"
    "    Result := 1;\n"
    "end;";

// The same two scripts in VBScript: the same calls, variables and values.
const char* const kVbScriptA =
    "Sub Main\n"
    "  ScriptB.Calc\n"
    "End Sub";

const char* const kVbScriptB =
    "Sub Calc\n"
    "  Dim x, y, z, xml, a(1, 2)\n"
    "  x = 5 + 7\n"
    "  y = x * 20\n"
    "  z = y + F(0)\n"
    "\n"
    "  Set xml = CreateObject(\"Microsoft.XMLDOM\")\n"
    "\n"
    "  a(0, 0) = 1\n"
    "  a(0, 1) = 2\n"
    "  a(0, 2) = 3\n"
    "  a(1, 0) = 11\n"
    "  a(1, 1) = 12\n"
    "  a(1, 2) = 13\n"
    "End Sub\n"
    "\n"
    "Function F(ALevel)\n"
    "  If ALevel < 5 Then\n"
    "    F = F(ALevel + 1) * 2\n"
    "  Else\n"
    "    F = 1\n"
    "  End If\n"
    "End Function";

// The languages a pane offers, in the order of its language box.
constexpr TXANScriptLanguage kPaneLanguages[] = {slPascal, slNativeVb};

// How often the actions' enabled state is recomputed while the window system is idle.
constexpr int kIdleIntervalMs = 100;

QLabel* NavyLabel(const QString& AText) {
    auto* label = new QLabel(AText);
    label->setStyleSheet(QStringLiteral("color: navy"));
    return label;
}

QString PaneCaption(const TXANScriptControl& AScript) {
    return QStringLiteral("   ") + ToQString(AScript.Name()) + QStringLiteral(" (") + LanguageCaption(AScript.Language()) +
           QStringLiteral("):");
}

QString InitialScript(const TXANScriptControl& AScript, TXANScriptLanguage ALanguage) {
    const bool isA = AScript.Name() == u"ScriptA";
    if (ALanguage == slNativeVb) return QString::fromLatin1(isA ? kVbScriptA : kVbScriptB);
    return QString::fromLatin1(isA ? kScriptA : kScriptB);
}

// The editor component's Pascal lexer, or our own for the VBScript dialect.
void ApplyLexer(QsciScintilla* AMemo, TXANScriptLanguage ALanguage) {
    const QFont font = CodeFont();
    QsciLexer* old = AMemo->lexer();
    QsciLexer* lexer = ALanguage == slPascal ? static_cast<QsciLexer*>(new QsciLexerPascal(AMemo))
                                             : new TVbLexer(AMemo);
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    AMemo->setLexer(lexer);
    delete old;
    AMemo->setFont(font);
}

}  // namespace

QString BreakpointText(const TXANDebugModule* AModule, plat::Integer ALine) {
    return ToQString(AModule->Name()) + QStringLiteral(", line: ") + QString::number(ALine);
}

QString LanguageCaption(TXANScriptLanguage ALanguage) {
    switch (ALanguage) {
        case slPascal: return QStringLiteral("Pascal");
        case slNativeVb: return QStringLiteral("VBScript");
        default: return QStringLiteral("Active Scripting");
    }
}

TMainForm::TMainForm(QWidget* AParent) : QMainWindow(AParent) {
    setWindowTitle(QStringLiteral("XAN-Velmora: Multi-Language Debugging"));
    setFont(UiFont());
    xml::RegisterXmlDom();  // ScriptB creates 'Microsoft.XMLDOM'
    CreateComponents();

    auto* central = new QWidget();
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateEditors(central);
    Label1 = NavyLabel(QStringLiteral("   Breakpoint list:"));
    Label1->setFixedHeight(17);
    BreakpointList = new QListWidget();
    BreakpointList->setFixedHeight(102);
    layout->addWidget(Label1);
    layout->addWidget(BreakpointList);
    setCentralWidget(central);
    StatusText = new QLabel();
    statusBar()->addWidget(StatusText, 1);
    CreateActions();

    resize(660, 429);
    if (QScreen* screen = QApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
    FDebugForm = new TDebugForm();

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] { UpdateActions(); });
    idle->start(kIdleIntervalMs);
    FFocusConnection = connect(qApp, &QApplication::focusChanged, this, [this] { UpdateActions(); });
    UpdateActions();
}

TMainForm::~TMainForm() {
    // Focus moves while the widgets below go away, when this window is no TMainForm any more.
    disconnect(FFocusConnection);
    // The debugger window's variables belong to this debugger's runner: free them first.
    delete FDebugForm;
}

void TMainForm::CreateComponents() {
    Debugger.Modules().Add()->SetName(u"ScriptA");
    Debugger.Modules().Add()->SetName(u"ScriptB");
    Debugger.SetIsSynchBreaks(true);
    Debugger.OnBreak = [this](plat::TObject*, TXANScriptControl* AScript, plat::Integer ALine) { Break(AScript, ALine); };
    Debugger.OnInvalidBreakpoint = [this](plat::TObject*, TXANBreakpoint* ABreakpoint) { InvalidBreakpoint(ABreakpoint); };
    const std::pair<TXANScriptControl*, const char16_t*> scripts[] = {{&ScriptA, u"ScriptA"}, {&ScriptB, u"ScriptB"}};
    for (const auto& [script, name] : scripts) {
        script->SetName(name);
        script->SetLanguage(slPascal);
        script->SetDebugger(&Debugger);
        script->SetDebugName(name);
    }
}

QsciScintilla* TMainForm::NewMemo(TXANScriptControl& AScript) {
    auto* memo = new QsciScintilla();
    ApplyLexer(memo, AScript.Language());
    memo->setUtf8(true);
    memo->setEolMode(QsciScintilla::EolUnix);
    // Margin 0: line numbers counted from 0, as breakpoint lines are; margin 1: the markers.
    memo->setMarginType(0, QsciScintilla::TextMarginRightJustified);
    memo->setMarginWidth(0, QStringLiteral("000"));
    memo->setMarginWidth(1, 16);
    memo->setMarginSensitivity(1, true);
    memo->setMarginMarkerMask(1, (1 << kBreakpointMarker) | (1 << kInvalidBreakpointMarker) | (1 << kPausedLineMarker));
    memo->markerDefine(QsciScintilla::Circle, kBreakpointMarker);
    memo->setMarkerBackgroundColor(QColor(200, 30, 30), kBreakpointMarker);
    memo->markerDefine(QsciScintilla::Circle, kInvalidBreakpointMarker);
    memo->setMarkerBackgroundColor(QColor(190, 190, 190), kInvalidBreakpointMarker);
    memo->markerDefine(QsciScintilla::RightArrow, kPausedLineMarker);
    memo->setMarkerBackgroundColor(QColor(240, 200, 0), kPausedLineMarker);
    memo->setSelectionBackgroundColor(QColor(255, 230, 120));
    memo->setSelectionForegroundColor(Qt::black);
    memo->setText(InitialScript(AScript, AScript.Language()));
    auto numberLines = [memo] {
        for (int line = 0; line < memo->lines(); ++line)
            memo->setMarginText(line, QString::number(line), QsciScintilla::STYLE_LINENUMBER);
        memo->setMarginWidth(0, QString::number(memo->lines()) + QStringLiteral("0"));
    };
    numberLines();
    connect(memo, &QsciScintilla::linesChanged, memo, numberLines);
    connect(memo, &QsciScintilla::marginClicked, this, [this, &AScript](int, int ALine, Qt::KeyboardModifiers) {
        Guarded([&] { ToggleBreakpoint(AScript, ALine); });
    });
    return memo;
}

QComboBox* TMainForm::NewLanguageBox(TXANScriptControl& AScript) {
    auto* box = new QComboBox();
    for (TXANScriptLanguage language : kPaneLanguages) box->addItem(LanguageCaption(language));
    connect(box, &QComboBox::activated, this, [this, &AScript](int AIndex) {
        Guarded([&] { SetScriptLanguage(AScript, kPaneLanguages[AIndex]); });
    });
    return box;
}

void TMainForm::CreateEditors(QWidget* AParent) {
    ScriptAMemo = NewMemo(ScriptA);
    ScriptBMemo = NewMemo(ScriptB);
    Label2 = NavyLabel(PaneCaption(ScriptA));
    Label3 = NavyLabel(PaneCaption(ScriptB));
    ScriptALanguageBox = NewLanguageBox(ScriptA);
    ScriptBLanguageBox = NewLanguageBox(ScriptB);
    auto pane = [](QLabel* ALabel, QComboBox* ALanguageBox, QWidget* AMemo) {
        auto* w = new QWidget();
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        auto* header = new QHBoxLayout();
        header->setContentsMargins(0, 0, 0, 0);
        header->addWidget(ALabel, 1);
        header->addWidget(ALanguageBox);
        l->addLayout(header);
        l->addWidget(AMemo);
        return w;
    };
    auto* splitter = new QSplitter();
    splitter->setHandleWidth(5);
    splitter->addWidget(pane(Label2, ScriptALanguageBox, ScriptAMemo));
    splitter->addWidget(pane(Label3, ScriptBLanguageBox, ScriptBMemo));
    splitter->setSizes({329, 326});
    static_cast<QVBoxLayout*>(AParent->layout())->addWidget(splitter, 1);
}

void TMainForm::CreateActions() {
    auto action = [this](const QString& ACaption, const QKeySequence& AKey, auto AExecute) {
        auto* a = new QAction(ACaption, this);
        a->setShortcut(AKey);
        // The shortcuts work with the focus in either window of the program.
        a->setShortcutContext(Qt::ApplicationShortcut);
        connect(a, &QAction::triggered, this, [this, AExecute] { Guarded([&] { (this->*AExecute)(); }); });
        return a;
    };
    actSetBreakpoint = action(QStringLiteral("Set Breakpoint"), QKeySequence(Qt::Key_F5), &TMainForm::SetBreakpointExecute);
    actRemoveBreakpoint = action(QStringLiteral("Remove breakpoint"), QKeySequence(), &TMainForm::RemoveBreakpointExecute);
    actRun = action(QStringLiteral("Run"), QKeySequence(Qt::Key_F9), &TMainForm::RunExecute);
    actStepInto = new QAction(QStringLiteral("Step Into"), this);
    actStepOver = new QAction(QStringLiteral("Step Over"), this);
    actAbort = new QAction(QStringLiteral("Abort"), this);
    const std::tuple<QAction*, QKeySequence, TXANBreakResumeKind> resumes[] = {
        {actStepInto, QKeySequence(Qt::Key_F7), TXANBreakResumeKind::rkStepInto},
        {actStepOver, QKeySequence(Qt::Key_F8), TXANBreakResumeKind::rkStepOver},
        {actAbort, QKeySequence(Qt::CTRL | Qt::Key_F2), TXANBreakResumeKind::rkAbort},
    };
    for (const auto& [a, key, kind] : resumes) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::ApplicationShortcut);
        connect(a, &QAction::triggered, this, [this, kind] { Guarded([&] { ResumeExecute(kind); }); });
    }
    actExit = new QAction(QStringLiteral("Exit"), this);
    connect(actExit, &QAction::triggered, this, &QWidget::close);

    menuBar()->addMenu(QStringLiteral("File"))->addAction(actExit);
    QMenu* breakpoints = menuBar()->addMenu(QStringLiteral("Breakpoints"));
    breakpoints->addActions({actSetBreakpoint, actRemoveBreakpoint});
    menuBar()->addMenu(QStringLiteral("Run"))->addActions({actRun, actStepInto, actStepOver, actAbort});
}

// ---- State --------------------------------------------------------------------------------------

void TMainForm::UpdateActions() {
    const bool memoFocused = MemoHasFocus(ScriptAMemo) || MemoHasFocus(ScriptBMemo);
    actSetBreakpoint->setEnabled(memoFocused);
    actRemoveBreakpoint->setEnabled(memoFocused);
    actRun->setEnabled(!FRunning || InBreak());
    for (QAction* a : {actStepInto, actStepOver, actAbort}) a->setEnabled(InBreak());
    // A running script's language cannot change under it.
    for (QComboBox* box : {ScriptALanguageBox, ScriptBLanguageBox}) box->setEnabled(!FRunning);
}

bool TMainForm::MemoHasFocus(const QsciScintilla* AMemo) const {
    const QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && (focused == AMemo || AMemo->isAncestorOf(focused));
}

QsciScintilla* TMainForm::MemoOf(const TXANScriptControl& AScript) const {
    return &AScript == &ScriptA ? ScriptAMemo : ScriptBMemo;
}

QLabel* TMainForm::LabelOf(const TXANScriptControl& AScript) const { return &AScript == &ScriptA ? Label2 : Label3; }

TXANScriptControl& TMainForm::FocusedScript() const {
    if (MemoHasFocus(ScriptAMemo)) return const_cast<TXANScriptControl&>(ScriptA);
    if (MemoHasFocus(ScriptBMemo)) return const_cast<TXANScriptControl&>(ScriptB);
    plat::Throw<plat::Exception>(plat::UString(u"No script code memo focused."));
}

plat::Integer TMainForm::CaretLine(const QsciScintilla* AMemo) const {
    int line = 0, index = 0;
    AMemo->getCursorPosition(&line, &index);
    return line;
}

void TMainForm::SetStatus(const QString& AText) { StatusText->setText(AText); }

template <class F>
void TMainForm::Guarded(F&& AAction) {
    if (std::unique_ptr<plat::Exception> error = plat::CatchAll(AAction)) ReportError(ToQString(error->Message()));
}

void TMainForm::ReportError(const QString& AMessage) {
    QMessageBox::critical(isVisible() ? this : nullptr, windowTitle(), AMessage);
}

void TMainForm::changeEvent(QEvent* AEvent) {
    QMainWindow::changeEvent(AEvent);
    // Activation puts the caret in ScriptA's editor unless an editor has it already.
    if (AEvent->type() == QEvent::ActivationChange && isActiveWindow() && !MemoHasFocus(ScriptAMemo) &&
        !MemoHasFocus(ScriptBMemo))
        ScriptAMemo->setFocus();
}

// ---- Breakpoints --------------------------------------------------------------------------------

void TMainForm::RefreshBreakpointList() {
    BreakpointList->setUpdatesEnabled(false);
    BreakpointList->clear();
    for (plat::Integer i = 0; i < Debugger.BreakpointCount(); ++i) {
        TXANBreakpoint* bp = Debugger.Breakpoints(i);
        auto* item = new QListWidgetItem(BreakpointText(bp->Module(), bp->Line()));
        item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(bp)));
        BreakpointList->addItem(item);
    }
    BreakpointList->setUpdatesEnabled(true);
    UpdateBreakpointMarkers();
}

void TMainForm::UpdateBreakpointMarkers() {
    for (QsciScintilla* memo : {ScriptAMemo, ScriptBMemo}) {
        memo->markerDeleteAll(kBreakpointMarker);
        memo->markerDeleteAll(kInvalidBreakpointMarker);
    }
    for (plat::Integer i = 0; i < Debugger.BreakpointCount(); ++i) {
        TXANBreakpoint* bp = Debugger.Breakpoints(i);
        const TXANScriptControl& script = bp->Module() == ScriptA.DebugModule() ? ScriptA : ScriptB;
        const bool invalid = bp->State() == bsInvalid;
        MemoOf(script)->markerAdd(bp->Line(), invalid ? kInvalidBreakpointMarker : kBreakpointMarker);
    }
}

void TMainForm::ToggleBreakpoint(TXANScriptControl& AScript, plat::Integer ALine) {
    if (TXANBreakpoint* bp = Debugger.FindBreakpoint(AScript.DebugModule(), ALine))
        bp->Delete();
    else
        Debugger.SetBreakpoint(AScript.DebugModule(), ALine);
    RefreshBreakpointList();
}

void TMainForm::SetScriptLanguage(TXANScriptControl& AScript, TXANScriptLanguage ALanguage) {
    if (FRunning) plat::Throw<plat::Exception>(plat::UString(u"A running script's language cannot change."));
    QComboBox* box = &AScript == &ScriptA ? ScriptALanguageBox : ScriptBLanguageBox;
    box->setCurrentIndex(static_cast<int>(std::find(std::begin(kPaneLanguages), std::end(kPaneLanguages), ALanguage) -
                                          std::begin(kPaneLanguages)));
    if (AScript.Language() == ALanguage) return;
    Debugger.ClearBreakpoints(AScript.DebugModule());
    AScript.SetLanguage(ALanguage);
    QsciScintilla* memo = MemoOf(AScript);
    ApplyLexer(memo, ALanguage);
    memo->setText(InitialScript(AScript, ALanguage));
    LabelOf(AScript)->setText(PaneCaption(AScript));
    RefreshBreakpointList();
}

void TMainForm::SetBreakpointExecute() {
    TXANScriptControl& script = FocusedScript();
    ToggleBreakpoint(script, CaretLine(MemoOf(script)));
}

void TMainForm::RemoveBreakpointExecute() {
    TXANScriptControl& script = FocusedScript();
    if (TXANBreakpoint* bp = Debugger.FindBreakpoint(script.DebugModule(), CaretLine(MemoOf(script)))) bp->Delete();
    RefreshBreakpointList();
}

void TMainForm::InvalidBreakpoint(TXANBreakpoint* ABreakpoint) {
    for (int i = 0; i < BreakpointList->count(); ++i) {
        QListWidgetItem* item = BreakpointList->item(i);
        if (item->data(Qt::UserRole).value<quintptr>() != reinterpret_cast<quintptr>(ABreakpoint)) continue;
        item->setText(BreakpointText(ABreakpoint->Module(), ABreakpoint->Line()) + QStringLiteral(" {Invalid}"));
        const TXANScriptControl& script = ABreakpoint->Module() == ScriptA.DebugModule() ? ScriptA : ScriptB;
        MemoOf(script)->markerDelete(ABreakpoint->Line(), kBreakpointMarker);
        MemoOf(script)->markerAdd(ABreakpoint->Line(), kInvalidBreakpointMarker);
        return;
    }
}

// ---- Running ------------------------------------------------------------------------------------

void TMainForm::RunExecute() {
    if (FRunning)
        ResumeExecute(TXANBreakResumeKind::rkContinue);
    else
        Run();
}

void TMainForm::Run() {
    RefreshBreakpointList();
    SetStatus(QStringLiteral("Running..."));
    FRunning = true;
    UpdateActions();
    std::unique_ptr<plat::Exception> error = plat::CatchAll([this] { RunScripts(); });
    EndRun();
    if (error) plat::Raise(error.release());
}

void TMainForm::RunScripts() {
    ScriptA.ClearObjects();
    ScriptB.ClearObjects();
    ScriptA.Source().SetText(FromQString(ScriptAMemo->text()).view());
    ScriptB.Source().SetText(FromQString(ScriptBMemo->text()).view());
    std::unique_ptr<plat::Exception> error = plat::CatchAll([this] {
        ScriptA.Prepare();
        ScriptB.Prepare();
        ScriptA.AddObject(u"ScriptB", ScriptB.Script(), false);
        ScriptB.AddObject(u"ScriptA", ScriptA.Script(), false);
        if (std::unique_ptr<plat::Exception> runError = plat::CatchAll([this] {
                ScriptA.Open(true);
                ScriptB.Open(true);
                ScriptA.RunProc(u"Main");
                SetStatus(QStringLiteral("Execution finished ok."));
            }))
            SetStatus(QStringLiteral("Execution results in error: ") + ToQString(runError->Message()));
    });
    CloseScripts();
    if (error) plat::Raise(error.release());
}

void TMainForm::CloseScripts() noexcept {
    for (TXANScriptControl* script : {&ScriptA, &ScriptB})
        if (std::unique_ptr<plat::Exception> error = plat::CatchAll([script] { script->Close(false, true); }))
            SetStatus(QStringLiteral("Closing %1 failed: ").arg(ToQString(script->Name())) + ToQString(error->Message()));
}

void TMainForm::EndRun() {
    FRunning = false;
    UpdateActions();
    if (FCloseAfterRun) close();
}

void TMainForm::ResumeExecute(TXANBreakResumeKind AKind) {
    Debugger.ResumeFromBreak(AKind);
    ClearHighlights();
    ShowDebugForm();
    UpdateActions();
}

void TMainForm::Break(TXANScriptControl* AScript, plat::Integer ALine) {
    FBreakScript = AScript;
    FBreakLine = ALine;
    SetStatus(QStringLiteral("Breakpoint reached: ") + BreakpointText(AScript->DebugModule(), ALine));
    ShowDebugForm();
    Highlight(AScript, ALine);
    UpdateActions();
    while (InBreak()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TMainForm::Highlight(TXANScriptControl* AScript, plat::Integer ALine) {
    QsciScintilla* memo = MemoOf(*AScript);
    ClearHighlights();  // the other editor's selection goes too
    QString text = memo->text(ALine);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    memo->setCursorPosition(ALine, 0);
    memo->setSelection(ALine, 0, ALine, static_cast<int>(text.size()));
    memo->ensureLineVisible(ALine);
    memo->markerAdd(ALine, kPausedLineMarker);
}

void TMainForm::ClearHighlights() {
    for (QsciScintilla* memo : {ScriptAMemo, ScriptBMemo}) {
        int line = 0, index = 0;
        memo->getCursorPosition(&line, &index);
        memo->setCursorPosition(line, index);  // drops the selection, keeps the caret
        memo->markerDeleteAll(kPausedLineMarker);
    }
}

void TMainForm::ShowDebugForm() {
    FDebugForm->SetDebugger(&Debugger);
    FDebugForm->UpdateView();
    if (!FDebugForm->isVisible()) FDebugForm->move(x() + width() / 2, y() + height() / 2);
    FDebugForm->show();
}

void TMainForm::closeEvent(QCloseEvent* AEvent) {
    if (!FRunning) {
        FDebugForm->hide();
        AEvent->accept();
        return;
    }
    AEvent->ignore();
    const auto answer = QMessageBox::question(this, windowTitle(), QStringLiteral("Script is running. Terminate it first?"),
                                              QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Yes) return;
    FCloseAfterRun = true;
    if (InBreak()) ResumeExecute(TXANBreakResumeKind::rkAbort);
}

}  // namespace xan::demo
