#pragma once
// The examiner's parameters dialog: shows one testing-parameter set, lets the teacher edit it,
// pick a stored set by name, save, delete and print it, and on OK decides the name of the set
// in force. Created once at start-up and kept, hidden, between showings.
//
// The dialog works on the examiner's shared records: it shows and fills EditOptions, creates
// the factory set (and puts it in force) when it is missing, and sets OptionsName on OK. The
// main window's Options command copies ActiveOptions in before and EditOptions back after.
// The controls and what both programs' dialogs do alike come from TOptionsDialogBase; this
// class adds the examiner's flags, its OK and the set in force.
#include "ExaminerState.h"
#include "OptionsDialogBase.h"

#include <QString>

#include <functional>

class TOptionsF : public TOptionsDialogBase {
    Q_OBJECT
public:
    explicit TOptionsF(TExaminerState& state, QWidget* parent = nullptr);

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
    void FormShow() override;
    void UpdateSetButtons();
    void ApplyOptionsLanguage();

    // ---- handlers
    void SpinEdit12Change();
    void TimeSetTrackBarChange() override;
    void TimeLimitedCBClick() override;
    void NameEditChange();
    void NameEditClick();
    void SaveOptionsBtnClick() override;
    void DeleteOptionsBtnClick() override;
    using TOptionsDialogBase::PrintBtnClick;
    void OkBtnClick();
    // The name OK makes the name of the set in force.
    QString NameOnOk() const;
    // While set, OK first asks it about NameOnOk(): a text it returns is shown in an error box,
    // and the dialog stays open.
    std::function<QString(const QString& name)> OkRefusal;

    // A parameter control changed since the last OK.
    bool SettingsModified = false;
    // The name in the name box is meant for the shown parameters.
    bool SettingsNamed = false;

    QPushButton* OkBtn = nullptr;

private:
    void ParameterChanged() override { SpinEdit12Change(); }
    void NameTyped() override { NameEditChange(); }
    void NameChosen() override;
};
