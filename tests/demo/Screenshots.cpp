// Takes the README's pictures: both windows of the demonstration program at a break in
// ScriptB, with the arrays and the XML document expanded in the variables tree.
// Usage: demo_screenshots OUTPUT_FOLDER (run on a display; scripts/demo-screenshots.sh uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <Qsci/qsciscintilla.h>

#include <cstdio>

#include "demo/d_DebugFormUnit.h"
#include "demo/d_MainFormUnit.h"

using namespace xan;

namespace {

void ExpandChild(QTreeWidgetItem* AParent, const QString& APrefix) {
    for (int i = 0; i < AParent->childCount(); ++i)
        if (AParent->child(i)->text(0).startsWith(APrefix)) AParent->child(i)->setExpanded(true);
}

bool Save(const QPixmap& APicture, const QDir& AFolder, const char* AName) {
    const QString path = AFolder.filePath(QString::fromLatin1(AName));
    const bool saved = APicture.save(path);
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "cannot save", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: demo_screenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    demo::TMainForm form;
    form.show();
    form.ToggleBreakpoint(form.ScriptB, 16);
    form.ToggleBreakpoint(form.ScriptB, 7);
    bool saved = false;
    QTimer::singleShot(300, [&] {
        QTimer::singleShot(0, [&] { form.actRun->trigger(); });
    });
    // At the break: expand what the tree offers, let both windows paint, take the pictures, leave.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!form.InBreak()) return;
        poll.stop();
        demo::TDebugForm& debug = *form.DebugForm();
        QTreeWidgetItem* root = debug.VariableTree->topLevelItem(0);
        ExpandChild(root, QStringLiteral("a: "));
        ExpandChild(root, QStringLiteral("xml: "));
        debug.resize(533, 420);
        debug.move(form.x() + form.width() / 2, form.y() + form.height() / 3);
        QTimer::singleShot(500, [&] {
            saved = Save(form.grab(), folder, "demo-main.png") && Save(debug.grab(), folder, "demo-debugger.png") &&
                    Save(form.screen()->grabWindow(0), folder, "demo-screen.png");
            form.Debugger.ResumeFromBreak(TXANBreakResumeKind::rkAbort);
            QTimer::singleShot(0, &app, &QApplication::quit);
        });
    });
    poll.start(20);
    QApplication::exec();
    return saved ? 0 : 1;
}
