// VXG-Examwright, the question editor.
#include "ErrorGuard.h"
#include "Exwr_MDI.h"
#include "SplashU.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    auto* splash = new TSplashF;
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    splash->FormShow();

    QApplication::setApplicationName(QStringLiteral("VXG Questions Editor"));

    TMDIForm mainForm;

    splash->hide();
    delete splash;

    mainForm.showMaximized();
    const int exitCode = QApplication::exec();
    vxg::RunGuarded([&mainForm] { mainForm.FormDestroy(); });
    return exitCode;
}
