// A topic window and its question file: new topic, load, save with the check of every question,
// the close prompt, printing.
#include "TopicU.h"

#include "Dialogs.h"
#include "Exwr_MDI.h"
#include "Globals.h"
#include "Printouts.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kFileDamagedId = 63;

// Main window: the whole-question commands and Save after a new or loaded topic.
void announceTopic(TMDIForm* main, bool saveEnabled) {
    if (!main)
        return;
    main->CutQuesAction->setEnabled(true);
    main->CopyQuesAction->setEnabled(true);
    main->FileSave1->setEnabled(saveEnabled);
    main->StatusPanel0->setText(lang(52));
}

} // namespace

void TTopicF::NewTopic(const QString& fileName) {
    Topic.New(fileName);
    CurQue = 0;
    ShowCurQue();
    SamVoprosEdit->setFocus();
    setWindowTitle(QFileInfo(fileName).fileName());
    announceTopic(Main, true);
}

QString TTopicF::LoadTopic(const QString& fileName) {
    const QString error = Topic.Load(fileName);
    if (!error.isEmpty())
        return error;
    CurQue = 0;
    ShowCurQue();
    NewQueA->setEnabled(true);
    DelQueA->setEnabled(true);
    setWindowTitle(QFileInfo(fileName).fileName());
    announceTopic(Main, false);
    return {};
}

bool TTopicF::SaveTopic() {
    StoreQue(CurQue);
    const int faulty = Topic.FirstFaultyQuestion();
    if (faulty >= 0) {
        QString text = lang(53) + u'\n' + lang(54) + u'\n' + lang(55) + QString::number(faulty + 1);
        if (TTopicDocument::HasSeparator(Topic.Questions[faulty]))
            text += u'\n' + lang(62);
        vxg::ShowMessage(vxg::DlgKind::Error, text, vxg::DlgButtons::Ok, this);
        CurQue = faulty;
        ShowCurQue();
        return false;
    }
    return WriteTopic();
}

bool TTopicF::WriteTopic() {
    // A failed write leaves the topic modified and says why; when it also left the file on disk
    // damaged, the teacher must know that only the window still holds the questions.
    const TTopicWriteError error = Topic.Write();
    if (error.failed()) {
        const QString reason = error.fileDamaged ? lang(kFileDamagedId) : error.text;
        vxg::ShowMessage(vxg::DlgKind::Error, reason + QStringLiteral("\n") + Topic.FileName,
                         vxg::DlgButtons::Ok, this);
        return false;
    }
    for (QLineEdit* e : TextFields())
        e->setModified(false);
    return true;
}

bool TTopicF::FormCloseQuery() {
    if (!Topic.Modified)
        return true;
    const QString text = lang(56) + windowTitle() + QStringLiteral(" ?");
    switch (vxg::ShowMessage(vxg::DlgKind::Confirmation, text, vxg::DlgButtons::YesNoCancel, this)) {
    case vxg::DlgResult::Yes:
        return SaveTopic();
    case vxg::DlgResult::No:
        return true;
    default:
        return false;
    }
}

void TTopicF::PrintTopic() {
    // What is printed is what the teacher sees, the shown question's edits included.
    StoreQue(CurQue);
    AskPrintQuestionList(windowTitle(), Topic.Questions);
}
