#pragma once
// TDebugForm: the small always-on-top window that shows, during a break, the paused call stack
// of every script of a debugger, the variables of the selected frame as a tree whose nodes
// fetch their children on first expansion, and the result of evaluating an expression in that
// frame. Outside a break its lists are empty and its controls disabled.
#include <QWidget>

#include <memory>

#include "components/DebugFrames.h"
#include "components/ScriptDebugger.h"

QT_BEGIN_NAMESPACE
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
QT_END_NAMESPACE

namespace xan::demo {

// The child text that marks a node whose children have not been fetched yet.
inline constexpr const char* kPlaceholderText = "$TEMP$";

class TDebugForm : public QWidget {
public:
    explicit TDebugForm(QWidget* AParent = nullptr);
    ~TDebugForm() override;

    TXANScriptDebugger* Debugger() const noexcept { return FDebugger; }
    void SetDebugger(TXANScriptDebugger* ADebugger);
    void UpdateView();

    QListWidget* FrameList = nullptr;
    QPushButton* LocVarsButton = nullptr;
    QPushButton* EvalButton = nullptr;
    QLineEdit* EvalEdit = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTreeWidget* VariableTree = nullptr;

    // The frame of the selected list line; none without a selection.
    TXANStackFrame* SelectedFrame() const;
    // The variable a tree node carries.
    static TXANVariable* VariableOf(const QTreeWidgetItem* AItem);

private:
    void CreateControls();
    void FillFrameList();
    void FillTree();
    void ClearView();
    void AddNode(QTreeWidgetItem* AParent, TXANVariable* AVariable);
    void NodeExpanded(QTreeWidgetItem* AItem);
    void ShowLocalVariables();
    void Evaluate();

    TXANScriptDebugger* FDebugger = nullptr;
    std::unique_ptr<TXANVariables> FVariables;
};

}  // namespace xan::demo
