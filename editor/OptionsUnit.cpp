#include "OptionsUnit.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "OptionsLayout.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>

TTestOptions EditOptions;
QString DefaultSettingsName = kDefaultSetName;

namespace {
// "There are no settings under this name that can be deleted ..."
constexpr int kDeleteRefusedId = 88;
constexpr int kDefaultSettingsNameId = 121;
} // namespace

TOptionsForm::TOptionsForm(QWidget* parent) : TOptionsDialogBase(EditOptions, parent) {
    setObjectName(QStringLiteral("OptionsForm"));
    // No button is the default one: Enter in a field presses nothing (Print or Delete would
    // otherwise be the first button that Qt picks for it).
    for (QPushButton* button : {SaveOptionsBtn, DeleteOptionsBtn, PrintBtn, CancelBtn})
        button->setAutoDefault(false);
    vxg::RunGuarded([this] { FormCreate(); });
}

// ---------------------------------------------------------------------------- store

void TOptionsForm::CreateDefaultSettings() {
    EditOptions = FactoryTestOptions();
    ShowOptionsInForm(EditOptions);
    // The factory set is the one set the store writes under a reserved name.
    Store_.saveDefault(EditOptions);
    AddListEntry(DefaultSettingsName);
    SetNameText(DefaultSettingsName);
}

bool TOptionsForm::LoadSettings(const QString& name) {
    if (!LoadStoredSet(name))
        return false;
    vxg::ShowMessage(vxg::DlgKind::Information, lang(114) + name + lang(115), vxg::DlgButtons::Ok, this);
    return true;
}

void TOptionsForm::DeleteSettings(const QString& name) {
    DeleteStoredSet(name, DefaultSettingsName);
    NameEditChange();
}

// ---------------------------------------------------------------------------- form

void TOptionsForm::FormCreate() {
    if (!Store_.hasDefault())
        CreateDefaultSettings();
}

void TOptionsForm::FormShow() {
    ListStoredSets();
    UpdateNameButtons();
    ApplyOptionsLanguage();
}

bool TOptionsForm::NameIsReserved(const QString& name) const {
    return TOptionsDialogBase::NameIsReserved(name) || name == DefaultSettingsName;
}

void TOptionsForm::ApplyOptionsLanguage() {
    ApplyCommonLanguage();
    DefaultSettingsName = lang(kDefaultSettingsNameId);
}

void TOptionsForm::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    TOptionsDialogBase::keyPressEvent(event);
}

// ---------------------------------------------------------------------------- handlers

void TOptionsForm::NameEditChange() {
    if (LoadSettings(NameText()))
        ShowOptionsInForm(EditOptions);
    UpdateNameButtons();
}

void TOptionsForm::SaveOptionsBtnClick() {
    const QString name = NameText();
    if (RefuseSaveName(name))
        return;
    SaveShownSet(name);
}

void TOptionsForm::DeleteOptionsBtnClick() {
    // The buttons are not updated while the user types, so the name is checked as it stands:
    // an empty name would address every stored set, a reserved one the factory set.
    const QString name = NameText();
    if (!NameMayBeStored(name)) {
        vxg::ShowMessage(vxg::DlgKind::Error, lang(kDeleteRefusedId), vxg::DlgButtons::Ok, this);
        NameEdit->setFocus();
        return;
    }
    if (ConfirmDelete(name))
        DeleteSettings(name);
}
