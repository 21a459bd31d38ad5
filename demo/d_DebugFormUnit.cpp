#include "demo/d_DebugFormUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/ScriptControl.h"
#include "demo/d_Fonts.h"
#include "qt/QtText.h"

namespace xan::demo {

using qt::ToQString;

TDebugForm::TDebugForm(QWidget* AParent)
    : QWidget(AParent, Qt::Tool | Qt::WindowStaysOnTopHint), FVariables(std::make_unique<TXANVariables>()) {
    setWindowTitle(QStringLiteral("Debugger"));
    setFont(UiFont());
    resize(533, 373);
    CreateControls();
    ClearView();
}

TDebugForm::~TDebugForm() {
    // The tree's items point into FVariables: drop them first.
    VariableTree->clear();
}

void TDebugForm::CreateControls() {
    auto* panel2 = new QWidget();
    auto* left = new QVBoxLayout(panel2);
    left->setContentsMargins(0, 0, 0, 0);
    Label2 = new QLabel(QStringLiteral("  Stack Frames:"));
    FrameList = new QListWidget();
    left->addWidget(Label2);
    left->addWidget(FrameList);

    auto* panel1 = new QWidget();
    auto* right = new QVBoxLayout(panel1);
    auto* evalRow = new QHBoxLayout();
    LocVarsButton = new QPushButton(QStringLiteral("Show local variables"));
    EvalButton = new QPushButton(QStringLiteral("Evaluate"));
    EvalEdit = new QLineEdit();
    EvalEdit->setFont(CodeFont());
    LocVarsButton->setFixedWidth(145);
    EvalButton->setFixedWidth(145);
    evalRow->addWidget(EvalButton);
    evalRow->addWidget(EvalEdit);
    Label1 = new QLabel(QStringLiteral("Variables/Eval result:"));
    Label1->setStyleSheet(QStringLiteral("color: navy"));
    VariableTree = new QTreeWidget();
    VariableTree->setHeaderHidden(true);
    VariableTree->setFont(CodeFont());
    VariableTree->setIndentation(19);
    right->addWidget(LocVarsButton);
    right->addLayout(evalRow);
    right->addWidget(Label1);
    right->addWidget(VariableTree, 1);

    auto* splitter = new QSplitter();
    splitter->setHandleWidth(5);
    splitter->addWidget(panel2);
    splitter->addWidget(panel1);
    splitter->setSizes({185, 348});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(LocVarsButton, &QPushButton::clicked, this, [this] { ShowLocalVariables(); });
    connect(FrameList, &QListWidget::itemClicked, this, [this] { ShowLocalVariables(); });
    connect(EvalButton, &QPushButton::clicked, this, [this] { Evaluate(); });
    connect(EvalEdit, &QLineEdit::returnPressed, this, [this] { Evaluate(); });
    connect(VariableTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* AItem) { NodeExpanded(AItem); });
}

void TDebugForm::SetDebugger(TXANScriptDebugger* ADebugger) {
    if (ADebugger == FDebugger) return;
    FDebugger = ADebugger;
    UpdateView();
}

void TDebugForm::UpdateView() {
    if (FDebugger == nullptr || FDebugger->BreakKind() == TXANBreakKind::bkNone) {
        ClearView();
        return;
    }
    FillFrameList();
    if (TXANStackFrame* frame = SelectedFrame()) {
        frame->GetVariables(*FVariables);
        FillTree();
    }
    for (QWidget* w : {static_cast<QWidget*>(LocVarsButton), static_cast<QWidget*>(EvalButton),
                       static_cast<QWidget*>(EvalEdit)})
        w->setEnabled(true);
}

void TDebugForm::ClearView() {
    FrameList->clear();
    VariableTree->clear();
    FVariables->Clear();
    for (QWidget* w : {static_cast<QWidget*>(LocVarsButton), static_cast<QWidget*>(EvalButton),
                       static_cast<QWidget*>(EvalEdit)})
        w->setEnabled(false);
}

void TDebugForm::FillFrameList() {
    FrameList->setUpdatesEnabled(false);
    FrameList->clear();
    for (plat::Integer i = 0; i < FDebugger->StackFrameCount(); ++i) {
        TXANStackFrame* frame = FDebugger->StackFrames(i);
        auto* item = new QListWidgetItem(ToQString(frame->ScriptControl()->Name()) + QStringLiteral(": ") +
                                         ToQString(frame->LongDescription()));
        item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(frame)));
        FrameList->addItem(item);
    }
    if (FrameList->count() > 0) FrameList->setCurrentRow(0);
    FrameList->setUpdatesEnabled(true);
}

TXANStackFrame* TDebugForm::SelectedFrame() const {
    const QListWidgetItem* item = FrameList->currentItem();
    if (item == nullptr || !item->isSelected()) return nullptr;
    return reinterpret_cast<TXANStackFrame*>(item->data(Qt::UserRole).value<quintptr>());
}

TXANVariable* TDebugForm::VariableOf(const QTreeWidgetItem* AItem) {
    return reinterpret_cast<TXANVariable*>(AItem->data(0, Qt::UserRole).value<quintptr>());
}

void TDebugForm::FillTree() {
    VariableTree->setUpdatesEnabled(false);
    VariableTree->clear();
    if (TXANVariable* root = FVariables->Root()) {
        AddNode(nullptr, root);
        QTreeWidgetItem* first = VariableTree->topLevelItem(0);
        NodeExpanded(first);  // the expansion below fetches, whatever the view reports
        first->setExpanded(true);
    }
    VariableTree->setUpdatesEnabled(true);
}

void TDebugForm::AddNode(QTreeWidgetItem* AParent, TXANVariable* AVariable) {
    const QString text = ToQString(AVariable->Name()) + QStringLiteral(": ") + ToQString(AVariable->Type_()) +
                         QStringLiteral(" = ") + ToQString(AVariable->Value());
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(AVariable)));
    if (AVariable->Expandable()) item->addChild(new QTreeWidgetItem(QStringList{QString::fromLatin1(kPlaceholderText)}));
    if (AParent != nullptr)
        AParent->addChild(item);
    else
        VariableTree->addTopLevelItem(item);
}

void TDebugForm::NodeExpanded(QTreeWidgetItem* AItem) {
    if (AItem->childCount() == 0 || AItem->child(0)->text(0) != QLatin1String(kPlaceholderText)) return;
    delete AItem->takeChild(0);
    TXANVariable* variable = VariableOf(AItem);
    for (plat::Integer i = 0; i < variable->Count(); ++i) AddNode(AItem, variable->Items(i));
}

void TDebugForm::ShowLocalVariables() {
    TXANStackFrame* frame = SelectedFrame();
    if (frame == nullptr) {
        VariableTree->clear();
        return;
    }
    VariableTree->clear();
    frame->GetVariables(*FVariables);
    FillTree();
}

void TDebugForm::Evaluate() {
    TXANStackFrame* frame = SelectedFrame();
    VariableTree->clear();
    if (frame == nullptr) return;
    frame->Eval(qt::FromQString(EvalEdit->text()), *FVariables);
    FillTree();
}

}  // namespace xan::demo
