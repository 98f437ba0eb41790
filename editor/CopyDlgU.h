#pragma once
// The copy dialog: asks whether whole-question Copy or Cut takes the shown question or a range
// of question numbers. Created once at start-up and kept, hidden, between showings.
#include "QuesBuffer.h"

#include <QDialog>

class QButtonGroup;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSpinBox;

// The text of the box that refuses a range whose first number is not smaller than the last;
// the same in both languages.
extern const QString kCopyRangeOrderText;

class TCopyDlg : public QDialog {
    Q_OBJECT
public:
    enum Mode { CopyMode = 0, CutMode = 1 };

    explicit TCopyDlg(QWidget* parent = nullptr);

    // Sets the caption for the mode (0 copy, 1 cut; any other value leaves it) and the texts of
    // the controls in the language in force, takes the topic's question count and shows the
    // dialog modally. Returns QDialog::Accepted or QDialog::Rejected; after OK, Choice() tells
    // what was chosen.
    int ExecuteFor(int mode, int questionCount);

    // What OK chose (both numbers 0 for the shown question).
    TQueChoice Choice() const { return Choice_; }

    int MaxQueNo = 0;

    // ---- handlers
    void FormShow();
    void RangeQuesRBClick(QRadioButton* sender);
    void OkBtnClick();
    void OneQueRBKeyPress();
    void BeginNumEditKeyPress();

    // ---- controls
    QRadioButton* OneQueRB = nullptr;
    QRadioButton* RangeQuesRB = nullptr;
    QSpinBox* BeginSpin = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* EndSpin = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ApplyCopyLanguage();
    // Both radio buttons unchecked (an exclusive group refuses to uncheck its checked button).
    void ClearChoice();
    // The number in a field as typed; a text that is not a number reads as the field's minimum.
    static int FieldValue(const QSpinBox* spin);
    // Keys of the number fields: digits, signs, the decimal separator and editing keys pass;
    // Enter and any other character are refused with a beep. True when the key was refused.
    static bool RefuseNumberKey(const QKeyEvent& key);

    QButtonGroup* ChoiceGroup_ = nullptr;
    int Mode_ = CopyMode;
    TQueChoice Choice_;
};
