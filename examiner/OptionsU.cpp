#include "OptionsU.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "OptionsLayout.h"

#include <QHBoxLayout>
#include <QPushButton>

TOptionsF::TOptionsF(TExaminerState& state, QWidget* parent)
    : TOptionsDialogBase(state.EditOptions, parent), S(state) {
    setObjectName(QStringLiteral("OptionsF"));
    OkBtn = new QPushButton(this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    ButtonRow()->insertWidget(ButtonRow()->indexOf(CancelBtn), OkBtn);
    setTabOrder(PrintBtn, OkBtn);
    setTabOrder(OkBtn, CancelBtn);
    connect(OkBtn, &QPushButton::clicked, this, vxg::Guarded([this](bool) {
                const QString refusal = OkRefusal ? OkRefusal(NameOnOk()) : QString();
                if (!refusal.isEmpty()) {
                    vxg::ShowMessage(vxg::DlgKind::Error, refusal, vxg::DlgButtons::Ok, this);
                    return;
                }
                OkBtnClick();
                accept();
            }));
    vxg::RunGuarded([this] { FormCreate(); });
}

// ---------------------------------------------------------------------------- store

void TOptionsF::ListOptionSets() {
    ListStoredSets();
}

void TOptionsF::SaveOptionSet(const QString& name) {
    Store_.save(name, S.EditOptions);
}

void TOptionsF::CreateDefaultOptionSet() {
    S.EditOptions = FactoryTestOptions();
    ShowOptionsInForm(S.EditOptions);
    Store_.saveDefault(S.EditOptions);
    S.ActiveOptions = S.EditOptions;
    AddListEntry(kDefaultSetName);
    S.OptionsName = kDefaultSetName;
}

bool TOptionsF::LoadOptionSet(const QString& name) {
    return LoadStoredSet(name);
}

void TOptionsF::DeleteOptionSet(const QString& name) {
    DeleteStoredSet(name, kDefaultSetName);
    NameEditClick();
}

// ---------------------------------------------------------------------------- form

void TOptionsF::FormCreate() {
    ReadOptionsFromForm();
    ApplyOptionsLanguage();
    if (!Store_.hasDefault())
        CreateDefaultOptionSet();
}

void TOptionsF::FormShow() {
    ShowOptionsInForm(S.EditOptions);
    SetNameText(S.OptionsName);
    ListOptionSets();
    UpdateSetButtons();
    ApplyOptionsLanguage();
}

void TOptionsF::UpdateSetButtons() {
    UpdateNameButtons();
}

void TOptionsF::ApplyOptionsLanguage() {
    ApplyCommonLanguage();
    OkBtn->setText(lang(120));
}

// ---------------------------------------------------------------------------- handlers

void TOptionsF::SpinEdit12Change() {
    SettingsModified = true;
    SettingsNamed = false;
}

void TOptionsF::TimeSetTrackBarChange() {
    TOptionsDialogBase::TimeSetTrackBarChange();
    SettingsModified = true;
    SettingsNamed = false;
}

void TOptionsF::TimeLimitedCBClick() {
    TOptionsDialogBase::TimeLimitedCBClick();
    SettingsModified = true;
}

void TOptionsF::NameEditChange() {
    SettingsNamed = true;
    UpdateSetButtons();
}

void TOptionsF::NameChosen() {
    NameEditClick();
    NameEditChange();
}

void TOptionsF::NameEditClick() {
    SettingsNamed = true;
    const QString name = NameText();
    if (LoadOptionSet(name)) {
        ShowOptionsInForm(S.EditOptions);
        vxg::ShowMessage(vxg::DlgKind::Information, lang(114) + name + lang(115), vxg::DlgButtons::Ok, this);
    }
    UpdateSetButtons();
}

void TOptionsF::SaveOptionsBtnClick() {
    const QString name = NameText();
    if (RefuseSaveName(name))
        return;
    SaveShownSet(name);
    SettingsModified = true;
    SettingsNamed = true;
}

void TOptionsF::DeleteOptionsBtnClick() {
    const QString name = NameText();
    if (ConfirmDelete(name))
        DeleteOptionSet(name);
}

void TOptionsF::OkBtnClick() {
    ReadOptionsFromForm();
    S.OptionsName = NameOnOk();
    SettingsModified = false;
    SettingsNamed = false;
}

QString TOptionsF::NameOnOk() const {
    if (SettingsModified)
        return SettingsNamed ? NameText() : kNoNameSetName;
    return NameText() == kDefaultSetName ? kDefaultSetName : S.OptionsName;
}
