// The topic window's whole-question commands: Copy and Cut fill QuesBuffer with the shown
// question or a range of questions, Paste inserts it before the shown question.
//
// Each command first stores the shown question's fields, so that what is copied is what the
// teacher sees and no edit is lost to a paste.
#include "TopicU.h"

#include "CopyDlgU.h"
#include "Exwr_MDI.h"

#include <QAction>

namespace {

// From the first copy or cut on, Paste stays enabled for the rest of the run: the buffer
// outlives the window it was filled from.
void EnablePaste(TMDIForm* main) {
    if (main)
        main->PasteQuesAction->setEnabled(true);
}

} // namespace

bool TTopicF::ChooseQuestions(int mode, TQueChoice& choice) {
    StoreQue(CurQue);
    if (!Main || !Main->CopyDlg)
        return false;
    if (Main->CopyDlg->ExecuteFor(mode, static_cast<int>(Topic.Questions.size())) != QDialog::Accepted)
        return false;
    choice = Main->CopyDlg->Choice();
    return true;
}

void TTopicF::CopyQuesMClick() {
    TQueChoice choice;
    if (!ChooseQuestions(TCopyDlg::CopyMode, choice))
        return;
    CopyChoiceToBuffer(Topic.Questions, CurQue, choice);
    EnablePaste(Main);
}

void TTopicF::CutQuesMClick() {
    TQueChoice choice;
    if (!ChooseQuestions(TCopyDlg::CutMode, choice))
        return;
    CopyChoiceToBuffer(Topic.Questions, CurQue, choice);
    // Removed as Delete removes the shown question, without its confirmation: the questions
    // after the range move up, and the one that followed it is shown (the one before it, when
    // the range reached the end). The dialog lets no cut take every question.
    const TCutSteps steps = CutStepsFor(CurQue, choice);
    CurQue = steps.Start;
    for (int i = 0; i < steps.Count; ++i)
        DeleteCurQue();
    EnablePaste(Main);
}

void TTopicF::PasteQuesMClick() {
    PasteQuesFromBuffer();
}

void TTopicF::PasteQuesFromBuffer() {
    if (QuesBuffer.isEmpty())
        return;
    StoreQue(CurQue);
    Topic.InsertQuestions(CurQue, QuesBuffer);
    ShowCurQue();
}
