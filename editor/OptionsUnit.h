#pragma once
// The question editor's parameters dialog: prepares testing-parameter sets in the same store as
// the examiner (a set saved here is listed there at its next showing, and the other way round).
// The editor has no parameters in force: there is no OK, and the dialog's only effects are on
// the stored sets and on paper. Created once at start-up, last of the editor's dialogs, and
// kept, hidden, between showings.
//
// The controls and what both programs' dialogs do alike come from TOptionsDialogBase; this
// class adds the editor's table: the factory set's name as the dialog spells it, the Close
// button, Escape that does not close, the confirmation of every load, Delete that selects the
// factory set.
#include "OptionsDialogBase.h"

#include <QString>

class QKeyEvent;

// The dialog's working record: filled by loads and by CreateDefaultSettings, read from the
// controls before each save and print.
extern TTestOptions EditOptions;
// The name the dialog takes for the factory set's: "Default" until the captions are first
// applied (at the first showing), then the editor's text 121, "default". The store finds the
// factory set under either.
extern QString DefaultSettingsName;

class TOptionsForm : public TOptionsDialogBase {
    Q_OBJECT
public:
    // Runs FormCreate: creates the factory set when it is missing.
    explicit TOptionsForm(QWidget* parent = nullptr);

    void CreateDefaultSettings();
    // Reads the set into EditOptions and confirms it with lang[114] + name + lang[115]. A set
    // that is not stored: error box lang[116], focus to the name box, false.
    bool LoadSettings(const QString& name);
    void DeleteSettings(const QString& name);
    void ApplyOptionsLanguage();

    void FormCreate();
    void FormShow() override;
    // An entry chosen from the name box's list (also run by DeleteSettings).
    void NameEditChange();
    void SaveOptionsBtnClick() override;
    void DeleteOptionsBtnClick() override;
    using TOptionsDialogBase::PrintBtnClick;

protected:
    bool NameIsReserved(const QString& name) const override;
    // Escape does not close this dialog; Close and the title bar's close box do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void NameChosen() override { NameEditChange(); }
};
