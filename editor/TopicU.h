#pragma once
// The topic window: one question file open in the editor, shown one question at a time.
//
// Split by concern:
//   TopicU.cpp        layout, fields, navigation, adding and deleting, enabling, language
//   TopicU_File.cpp   new topic, load, save with the check of every question, close prompt
//   TopicU_Clipboard.cpp  whole-question copy, cut and paste through QuesBuffer
//   TopicU_TextField.cpp  what the user may put into a question text field
#include "QuesBuffer.h"
#include "TopicDocument.h"

#include <QLineEdit>
#include <QValidator>
#include <QWidget>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolBar;
class TMDIForm;

// What the user may put into a question text field. A question file stores code page 1251, the
// student station splits its cards at "$", and a field shows a line break or a tab as a blank
// that the file would keep as a control byte: none of these come in by the user's hand. Nor does
// anything come in that leaves the text longer than 250 characters; a longer one the program put
// there (up to 255, from a file) stays whole until the user shortens it.
class TQuestionTextValidator : public QValidator {
    Q_OBJECT
public:
    explicit TQuestionTextValidator(QObject* parent = nullptr) : QValidator(parent) {}
    // The text the field shows now: the next edit is judged by what it adds to it.
    void SetShownText(const QString& text) { shown_ = text; }
    // Refuses an edit that adds a character the field cannot hold, or adds anything while the
    // text comes out longer than the limit. Every refusal is counted.
    State validate(QString& input, int& pos) const override;
    // What of entered may take the place of `replaced` selected characters: a line break (CR LF
    // as one), a tab or any other control character becomes one blank, as the field shows it;
    // a character the field cannot hold is left out; the rest is cut to the room left. lost
    // tells whether anything was left out or cut.
    QString Admissible(const QString& entered, qsizetype replaced, bool& lost) const;
    int Refusals() const { return refusals_; }
    // Undo and redo go back to texts the field held: they are not judged again.
    void SetJudging(bool on) { judging_ = on; }

    static constexpr int kTypingLimit = 250;

private:
    QString shown_;
    bool judging_ = true;
    mutable int refusals_ = 0;
};

// A question text field. What the user types, pastes or drops goes in as far as its rules
// allow, and InputRefused (a beep) tells when some of it could not.
class TQuestionEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQuestionEdit(QWidget* parent = nullptr);
    // Shows a text put there by the program, whole (up to 255 characters) and from its start.
    void ShowText(const QString& text);
    // The clipboard's text in place of the selection, as far as the rules allow.
    void PasteAdmissible();

signals:
    void InputRefused();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void InsertAdmissible(const QString& entered);
    void Unjudged(void (QLineEdit::*edit)());

    TQuestionTextValidator* rules_ = nullptr;
};

class TTopicF : public QWidget {
    Q_OBJECT
public:
    explicit TTopicF(TMDIForm* mainForm, QWidget* parent = nullptr);

    TTopicDocument Topic; // Questions, FileName, Modified
    int CurQue = 0;

    // ---- Part of the main window's work on a topic window (TopicU_File.cpp)
    void NewTopic(const QString& fileName);
    // Reads the file; the error text of a failed read, after which the window holds nothing
    // and must be thrown away.
    QString LoadTopic(const QString& fileName);
    // Stores the shown question, checks all and writes; true when the file was written.
    bool SaveTopic();
    bool WriteTopic();
    // The close prompt; true when the window may close.
    bool FormCloseQuery();
    void PrintTopic();

    // ---- whole questions (TopicU_Clipboard.cpp), run by the main window's Copy, Cut, Paste
    void CopyQuesMClick();
    void CutQuesMClick();
    void PasteQuesMClick();

    // ---- navigation and editing
    // Fills every field and the position label from question CurQue, as read (not modified).
    void ShowCurQue();
    void StoreQue(int index);
    void GoPrevQue();
    void GoNextQue();
    void AddNewQue();
    void DeleteCurQue();
    void DelQueBtnClick();
    void NextAUpdate();
    // Also gives the focus back to the field that last had it in this window, the question
    // field at first.
    void FormActivate();
    void ApplyTopicLanguage();
    QString PositionText() const;
    // Whether the user changed a text field since the program last filled it or it was saved.
    bool FieldsChangedByUser() const;

    // ---- components
    QToolBar* QuestionsToolBar = nullptr;
    QAction* NewQueA = nullptr;
    QAction* PrevA = nullptr;
    QAction* NextA = nullptr;
    QAction* DelQueA = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* PosLabel = nullptr;
    QLabel* Label2 = nullptr;
    TQuestionEdit* SamVoprosEdit = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    TQuestionEdit* Otv1Edit = nullptr;
    TQuestionEdit* Otv2Edit = nullptr;
    TQuestionEdit* Otv3Edit = nullptr;
    TQuestionEdit* Otv4Edit = nullptr;
    QLabel* Label7 = nullptr;
    QSpinBox* PravOtvEd = nullptr;

    // The fields below the tool bar, which scroll when the window is smaller than they are.
    QScrollArea* FieldsArea = nullptr;

    QList<TQuestionEdit*> TextFields() const;
    // The size the fields were laid out for.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateCommands();
    void CreateFields();
    void SetRightAnswerField(int value);
    void UpdatePosLabel();
    void FitToolBar();
    // The fields' page takes the room its fields need, so that the area scrolls to each of them.
    void FitFieldsPage();
    void StretchTextFields();
    void ScrollIntoView(QWidget* field);
    void FocusLastField();
    // Stores the shown question, asks the copy dialog which questions a copy (mode 0) or cut
    // (mode 1) takes and copies them into QuesBuffer; nothing when the dialog was cancelled.
    std::optional<TQueSpan> CopyChosenQuestions(int mode);
    // Runs a command of the tool bar only when its enabling, computed again now, allows it.
    void RunCommand(QAction* action, void (TTopicF::*handler)());

    TMDIForm* Main;
    bool filling_ = false;         // the program is filling the fields
    QWidget* lastField_ = nullptr; // the field that last had the focus, one of this window's own
};
