// velmora-demo: two scripts debugged together in one window.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "demo/d_MainFormUnit.h"
#include "platform/ui/UserInterface.h"
#include "qt/QtUserInterface.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// Qt ends the process with a fatal message when no window system answers (an unreachable
// DISPLAY, say): say so plainly and leave with an error code instead of a core dump.
void ReportFatal(QtMsgType AType, const QMessageLogContext&, const QString& AMessage) {
    std::fprintf(stderr, "velmora-demo: %s\n", AMessage.toLocal8Bit().constData());
    if (AType == QtFatalMsg) {
        std::fputs("velmora-demo: cannot open a window; run it on a desktop session or under Xvfb.\n", stderr);
        _exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs("velmora-demo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "run it on a desktop session or under Xvfb (xvfb-run make demo).\n",
                   stderr);
        return 2;
    }
    qInstallMessageHandler(ReportFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    xan::qt::TQtUserInterface dialogs;
    xan::plat::SetUI(&dialogs);
    int result = 0;
    {
        xan::demo::TMainForm mainForm;
        mainForm.show();
        result = QApplication::exec();
    }
    xan::plat::SetUI(nullptr);
    return result;
}
