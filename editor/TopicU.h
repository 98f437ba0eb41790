#pragma once
// The topic window: one question file open in the editor, shown one question at a time.
//
// Split by concern:
//   TopicU.cpp        layout, fields, navigation, adding and deleting, enabling, language
//   TopicU_File.cpp   new topic, load, save with the check of every question, close prompt
//   TopicU_Clipboard.cpp  whole-question copy, cut and paste through QuesBuffer
#include "QuesBuffer.h"
#include "TopicDocument.h"

#include <QValidator>
#include <optional>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;
class QToolBar;
class TMDIForm;

// What a question text field lets the user type or paste: only characters a question file can
// store (code page 1251), no "$" beyond those the text already had, and no more than 250
// characters, or as many as the text had when the program put it there (up to 255).
class TQuestionTextValidator : public QValidator {
    Q_OBJECT
public:
    explicit TQuestionTextValidator(QObject* parent = nullptr) : QValidator(parent) {}
    // The text the program has just put into the field.
    void SetShownText(const QString& text);
    State validate(QString& input, int& pos) const override;

    static constexpr int kTypingLimit = 250;

private:
    qsizetype lengthLimit_ = kTypingLimit;
    qsizetype separatorsAllowed_ = 0;
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
    QLineEdit* SamVoprosEdit = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Otv1Edit = nullptr;
    QLineEdit* Otv2Edit = nullptr;
    QLineEdit* Otv3Edit = nullptr;
    QLineEdit* Otv4Edit = nullptr;
    QLabel* Label7 = nullptr;
    QSpinBox* PravOtvEd = nullptr;

    // The fields below the tool bar, which scroll when the window is smaller than they are.
    QScrollArea* FieldsArea = nullptr;

    QList<QLineEdit*> TextFields() const;
    // The size the fields were laid out for.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateCommands();
    void CreateFields();
    void SetField(QLineEdit* field, const QString& text);
    void SetRightAnswerField(int value);
    void UpdatePosLabel();
    void FitToolBar();
    // The fields' page takes the room its fields need, so that the area scrolls to each of them.
    void FitFieldsPage();
    void StretchTextFields();
    void ScrollIntoView(QWidget* field);
    // Stores the shown question, asks the copy dialog which questions a copy (mode 0) or cut
    // (mode 1) takes and copies them into QuesBuffer; nothing when the dialog was cancelled.
    std::optional<TQueSpan> CopyChosenQuestions(int mode);
    // Runs a command of the tool bar only when its enabling, computed again now, allows it.
    void RunCommand(QAction* action, void (TTopicF::*handler)());

    TMDIForm* Main;
    bool filling_ = false; // the program is filling the fields
};
