#pragma once
// What the two parameters dialogs have in common: the controls that show one testing-parameter
// set, reading and showing a set, the set-name box with its list of stored sets, the store
// operations with their messages, printing and the captions. The examiner's TOptionsF and the
// question editor's TOptionsForm each add their own table of rules on top.
//
// The dialog works on a working record that its program owns (EditOptions): it is read from the
// controls, shown in them, filled by loads and written by saves. Texts come from the language
// table of the program the dialog is part of; both programs number them alike (91..119).
#include "OptionSetStore.h"
#include "Records.h"

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QShowEvent;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

class TOptionsDialogBase : public QDialog {
    Q_OBJECT
public:
    ~TOptionsDialogBase() override;

    // Threshold field k (1..12), for Na<k>.
    QSpinBox* SpinEdit(int k) const;

    // ---- help: contexts 40 (the dialog), 41 Save, 42 the name box, 43 Print, 44 Delete; F1
    // and the title bar's help button open the page of the control's context.
    // The context of a control: its own, else the nearest one above it, else the dialog's.
    int HelpContextOf(const QWidget* control) const;
    // The help page of a context ("IDH_Options" for the dialog's own).
    static QString HelpTopicFor(int context);
    void ShowHelp(int context);

    // EditOptions := the values of the controls.
    void ReadOptionsFromForm();
    // Sets the controls from options in the order GivenVoprEd, SpinEdit1..12, TimeLimitedCB,
    // TimeSetTrackBar, the three check boxes; each control that takes another value notifies.
    void ShowOptionsInForm(const TTestOptions& options);

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
    QPushButton* CancelBtn = nullptr;

protected:
    TOptionsDialogBase(TTestOptions& editOptions, QWidget* parent);

    // ---- the program's own rules, run by the controls
    // A change of GivenVoprEd, a threshold or one of the three question check boxes.
    virtual void ParameterChanged() {}
    // The track bar moved: Label30 follows.
    virtual void TimeSetTrackBarChange();
    // The time-limit box changed: the track bar is enabled and Label30 shown exactly when checked.
    virtual void TimeLimitedCBClick();
    // The user typed in the name box.
    virtual void NameTyped() {}
    // An entry was chosen from the name box's list; its text is in the box already.
    virtual void NameChosen() = 0;
    virtual void SaveOptionsBtnClick() = 0;
    virtual void DeleteOptionsBtnClick() = 0;
    virtual void PrintBtnClick();
    // Runs at every showing, not at a window system's restore.
    virtual void FormShow() = 0;

    // ---- the set-name box
    QString NameText() const;
    // Sets the box's text from code: no handler runs.
    void SetNameText(const QString& text);
    // Changes of the list that leave the box's text as it is.
    void AddListEntry(const QString& name);
    void RemoveListEntry(int index);
    // The list's own look-up: first entry equal to name without regard to case, or -1.
    int FindListEntry(const QString& name) const;
    // Names the dialog never saves or deletes: the store's reserved names in any letter case,
    // and whatever the program adds.
    virtual bool NameIsReserved(const QString& name) const;
    // A name Save and Delete may act on: a set name of its own (not empty, no key separator)
    // that is not reserved.
    bool NameMayBeStored(const QString& name) const;
    // Save and Delete enabled exactly when the box's text is a name they may act on.
    void UpdateNameButtons();

    // ---- the store, with the dialog's messages
    // Fills the list with the stored set names ("Last" left out); the box's text stays.
    void ListStoredSets();
    // Reads the set into EditOptions. Not stored: error box lang[116], the focus to the name
    // box while the dialog is showing, false, EditOptions unchanged.
    bool LoadStoredSet(const QString& name);
    // The Save command's steps after the name was accepted: read the controls, store them under
    // name, list the name when the list lacks it, tell the user.
    void SaveShownSet(const QString& name);
    // A name the Save command must refuse: error box lang[117] and the focus to the name box.
    bool RefuseSaveName(const QString& name);
    // Asks lang[119] + name + ">?"; true on Yes.
    bool ConfirmDelete(const QString& name);
    // Deletes the set and its list entry and puts nextName into the box (from code).
    void DeleteStoredSet(const QString& name, const QString& nextName);
    // The captions shared by both dialogs.
    void ApplyCommonLanguage();
    // The row of buttons along the bottom: Save, Delete, Print, a stretch, Close/Cancel.
    QHBoxLayout* ButtonRow() const { return ButtonRow_; }

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    TTestOptions& EditOptions_;
    OptionSetStore Store_;

private:
    void CreateControls();
    void SetUpHelp();
    void ConnectHandlers();
    QWidget* CreateGradingPage();
    QWidget* CreateTimePage();
    // A choice from the name box's list: the entry's text goes into the box, then NameChosen.
    void NameEditChosen(int index);

    std::array<QSpinBox*, 12> SpinEdits_{};
    QHBoxLayout* ButtonRow_ = nullptr;
};
