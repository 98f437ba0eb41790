#include "ExaminerApp.h"

#include "AboutProf.h"
#include "AboutVelmora.h"
#include "Help.h"
#include "OptionsU.h"
#include "Printouts.h"
#include "ProgramProcess.h"
#include "QueListU.h"
#include "SplashU.h"
#include "WorkU.h"

#include <QApplication>
#include <QRandomGenerator>
#include <cstdlib>
#include <ctime>

TExaminer::TExaminer(QString programDir, const TLinkConfig& link) {
    State.Link = link;
    workF_ = std::make_unique<TWorkF>(State);
    workF_->FormCreate(programDir);
    about_ = std::make_unique<TAboutVerirozaz>(workF_.get());
    queList_ = std::make_unique<TQueListF>(State, *workF_, workF_.get());
    options_ = std::make_unique<TOptionsF>(State, workF_.get());
    aboutVxg_ = std::make_unique<TAboutVXG>(workF_.get());
    workF_->SetWindows(about_.get(), queList_.get(), options_.get(), aboutVxg_.get());
}

TExaminer::~TExaminer() {
    // Nothing is received or acted on once the exit has begun.
    workF_->ShutdownLink();
    workF_->FormDestroy();
    workF_->SetWindows(nullptr, nullptr, nullptr, nullptr);
    aboutVxg_.reset();
    options_.reset();
    queList_.reset();
    about_.reset();
    workF_.reset();
}

int RunExaminer(int argc, char** argv) {
    vxg::SetUpProgramProcess();
    // Once per run, before any window exists: the card drawing takes its numbers from here.
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ QRandomGenerator::system()->generate());

    QApplication app(argc, argv);
    SetQuestionLabelIds(84, 86);

    auto splash = std::make_unique<TSplashF>();
    splash->show();
    splash->repaint();
    splash->FormShow();

    QCoreApplication::setApplicationName(QStringLiteral("VXG Verirozaz"));
    vxg::Help::instance().setHelpFile(QStringLiteral("VXG_HELP.HLP"));

    int rc = 0;
    {
        TExaminer examiner;
        splash->hide();
        splash.reset();
        examiner.WorkF()->showMaximized();
        rc = QApplication::exec();
    }
    return rc;
}
