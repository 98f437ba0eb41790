#include "ExamwrightApp.h"

#include "AboutU.h"
#include "AboutVelmora.h"
#include "CopyDlgU.h"
#include "ErrorGuard.h"
#include "Exwr_MDI.h"
#include "Help.h"
#include "OptionsUnit.h"
#include "Printouts.h"
#include "ProgramProcess.h"
#include "SplashU.h"

#include <QApplication>

TExamwright::TExamwright() {
    // The question-list printouts take their labels from the editor's table.
    SetQuestionLabelIds(45, 47);
    mdi_ = std::make_unique<TMDIForm>();
    copyDlg_ = std::make_unique<TCopyDlg>(mdi_.get());
    about_ = std::make_unique<TAboutBox>(mdi_.get());
    aboutVxg_ = std::make_unique<TAboutVXG>(mdi_.get());
    options_ = std::make_unique<TOptionsForm>(mdi_.get());
    mdi_->SetWindows(copyDlg_.get(), about_.get(), aboutVxg_.get(), options_.get());
}

TExamwright::~TExamwright() {
    mdi_->SetWindows(nullptr, nullptr, nullptr, nullptr);
    options_.reset();
    aboutVxg_.reset();
    about_.reset();
    copyDlg_.reset();
    mdi_.reset();
}

int RunExamwright(int argc, char** argv) {
    vxg::SetUpProgramProcess();
    QApplication app(argc, argv);

    auto splash = std::make_unique<TSplashF>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    splash->FormShow();

    QApplication::setApplicationName(QStringLiteral("VXG Questions Editor"));
    vxg::Help::instance().setHelpFile(QStringLiteral("VXG_HELP.HLP"));

    int rc = 0;
    {
        TExamwright editor;
        splash->hide();
        splash.reset();
        // The program ends when its main window has closed, whatever other window (the help
        // window) is still open.
        QObject::connect(editor.MDIForm(), &TMDIForm::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        editor.MDIForm()->showMaximized();
        rc = QApplication::exec();
        vxg::RunGuarded([&editor] { editor.MDIForm()->FormDestroy(); });
    }
    return rc;
}
