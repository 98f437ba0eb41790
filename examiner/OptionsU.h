#pragma once
// The examiner's parameters dialog: shows one testing-parameter set, lets the teacher edit it,
// pick a stored set by name, save, delete and print it, and on OK decides the name of the set
// in force. Created once at start-up and kept, hidden, between showings.
//
// The dialog works on the examiner's shared records: it shows and fills EditOptions, creates
// the factory set (and puts it in force) when it is missing, and sets OptionsName on OK. The
// main window's Options command copies ActiveOptions in before and EditOptions back after.
#include "ExaminerState.h"
#include "OptionSetStore.h"

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QShowEvent;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

class TOptionsF : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsF(TExaminerState& state, QWidget* parent = nullptr);
    ~TOptionsF() override;

    TExaminerState& S;

    // ---- the set store as the dialog uses it (also the archive reader: LoadOptionSet)
    void ListOptionSets();
    void SaveOptionSet(const QString& name);
    void CreateDefaultOptionSet();
    // Reads the set into EditOptions. A set that is not stored: error box lang[116], focus to
    // the name box while the dialog is showing, false.
    bool LoadOptionSet(const QString& name);
    void DeleteOptionSet(const QString& name);

    // ---- form
    void FormCreate();
    void FormShow();
    void ReadOptionsFromForm();
    void ShowOptionsInForm(const TTestOptions& options);
    void UpdateSetButtons();
    void ApplyOptionsLanguage();

    // ---- handlers
    void SpinEdit12Change();
    void TimeSetTrackBarChange();
    void TimeLimitedCBClick();
    void NameEditChange();
    void NameEditClick();
    void SaveOptionsBtnClick();
    void DeleteOptionsBtnClick();
    void PrintBtnClick();
    void OkBtnClick();

    // A parameter control changed since the last OK.
    bool SettingsModified = false;
    // The name in the name box is meant for the shown parameters.
    bool SettingsNamed = false;

    // ---- help: contexts 40 (the dialog), 41 Save, 42 the name box, 43 Print, 44 Delete; F1
    // and the title bar's help button open the page of the control's context.
    // The context of a control: its own, else the nearest one above it, else the dialog's.
    int HelpContextOf(const QWidget* control) const;
    // The help page of a context ("IDH_Options" for the dialog's own).
    static QString HelpTopicFor(int context);
    void ShowHelp(int context);

    // Threshold field k (1..12), for Na<k>.
    QSpinBox* SpinEdit(int k) const;

    // ---- controls
    QWidget* TopPanel = nullptr;
    QLabel* Label31 = nullptr;
    QComboBox* NameEdit = nullptr;
    QLabel* Label26 = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* GivenVoprEd = nullptr;
    QLabel* Label27 = nullptr;
    QGroupBox* CheckingGroupBox = nullptr;
    std::array<QLabel*, 12> GradeLabels{}; // Label2..Label13: grades 12 down to 1
    std::array<QLabel*, 12> WordLabels{};  // Label14..Label25: the words after each field
    QGroupBox* TimeGroupBox = nullptr;
    QCheckBox* TimeLimitedCB = nullptr;
    QSlider* TimeSetTrackBar = nullptr;
    QLabel* Label28 = nullptr;
    QLabel* Label29 = nullptr;
    QLabel* Label30 = nullptr;
    QGroupBox* QuestionsGroupBox = nullptr;
    QCheckBox* RandomGiveOutCB = nullptr;
    QCheckBox* MayBackCB = nullptr;
    QCheckBox* ShowRightsCB = nullptr;
    QPushButton* SaveOptionsBtn = nullptr;
    QPushButton* DeleteOptionsBtn = nullptr;
    QPushButton* PrintBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void SetUpHelp();
    void ConnectHandlers();
    QWidget* CreateGradingPage();
    QWidget* CreateTimePage();
    // Sets the name box's text from code: no handler runs.
    void SetNameText(const QString& text);
    // Changes of the list that leave the box's text as it is.
    void AddListEntry(const QString& name);
    void RemoveListEntry(int index);
    // The list's own look-up: first entry equal to name without regard to case, or -1.
    int FindListEntry(const QString& name) const;
    // A choice from the name box's list: the entry's text goes into the box, then the click
    // and the change handler run.
    void NameEditChosen(int index);

    std::array<QSpinBox*, 12> SpinEdits_{};
    OptionSetStore Store_;
};
