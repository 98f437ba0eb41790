#include "CopyDlgU.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>

const QString kCopyRangeOrderText = QStringLiteral("Начальный номер должен быть меньше конечного!");

namespace {

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

QSpinBox* NewNumberField(const QString& name, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    // Left out of range, a number settles on the nearest bound when the field loses the focus.
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setMinimumWidth(56);
    return spin;
}

} // namespace

TCopyDlg::TCopyDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("CopyDlg"));
    CreateControls();
}

void TCopyDlg::CreateControls() {
    OneQueRB = new QRadioButton(this);
    OneQueRB->setObjectName(QStringLiteral("OneQueRB"));
    RangeQuesRB = new QRadioButton(this);
    RangeQuesRB->setObjectName(QStringLiteral("RangeQuesRB"));
    ChoiceGroup_ = new QButtonGroup(this);
    ChoiceGroup_->addButton(OneQueRB);
    ChoiceGroup_->addButton(RangeQuesRB);

    BeginSpin = NewNumberField(QStringLiteral("BeginSpin"), this);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    EndSpin = NewNumberField(QStringLiteral("EndSpin"), this);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(8, 12, 12, 12);
    grid->setVerticalSpacing(14);
    grid->addWidget(OneQueRB, 0, 0, 1, 5);
    grid->addWidget(RangeQuesRB, 1, 0);
    grid->addWidget(BeginSpin, 1, 1);
    grid->addWidget(Label2, 1, 2);
    grid->addWidget(EndSpin, 1, 3);
    grid->addWidget(Label3, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addSpacing(12);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    grid->addLayout(buttons, 2, 0, 1, 5);

    setTabOrder(OneQueRB, RangeQuesRB);
    setTabOrder(RangeQuesRB, BeginSpin);
    setTabOrder(BeginSpin, EndSpin);
    setTabOrder(EndSpin, OkBtn);
    setTabOrder(OkBtn, BitBtn2);

    for (QRadioButton* button : {OneQueRB, RangeQuesRB}) {
        connect(button, &QRadioButton::toggled, this, vxg::Guarded([this, button](bool checked) {
                    if (checked)
                        RangeQuesRBClick(button);
                }));
    }
    connect(OkBtn, &QPushButton::clicked, this, vxg::Guarded([this](bool) { OkBtnClick(); }));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : {static_cast<QWidget*>(OneQueRB), static_cast<QWidget*>(RangeQuesRB),
                       static_cast<QWidget*>(BeginSpin), static_cast<QWidget*>(EndSpin)})
        w->installEventFilter(this);
}

int TCopyDlg::ExecuteFor(int mode, int questionCount) {
    if (mode == CopyMode)
        setWindowTitle(lang(84));
    else if (mode == CutMode)
        setWindowTitle(lang(85));
    Mode_ = mode;
    ApplyCopyLanguage();
    MaxQueNo = questionCount;
    return exec();
}

void TCopyDlg::ApplyCopyLanguage() {
    OneQueRB->setText(lang(80));
    RangeQuesRB->setText(lang(81));
    Label2->setText(lang(82));
    Label3->setText(lang(83));
    // The standard Cancel button's own text, in the language of the toolkit's translation.
    BitBtn2->setText(QCoreApplication::translate("QPlatformTheme", "Cancel"));
}

void TCopyDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored by the window system is not a new showing.
    if (!event->spontaneous())
        vxg::RunGuarded([this] { FormShow(); });
}

void TCopyDlg::FormShow() {
    BeginSpin->setRange(1, MaxQueNo);
    EndSpin->setRange(2, MaxQueNo);
    BeginSpin->setValue(1);
    EndSpin->setValue(MaxQueNo);
    BeginSpin->setEnabled(false);
    EndSpin->setEnabled(false);
    OkBtn->setEnabled(false);
    // A topic of one question has no range to offer: the number fields could only name a
    // question that does not exist.
    RangeQuesRB->setEnabled(MaxQueNo >= 2);
    OneQueRB->setFocus();
    ClearChoice();
    Choice_ = {};
}

void TCopyDlg::ClearChoice() {
    ChoiceGroup_->setExclusive(false);
    OneQueRB->setChecked(false);
    RangeQuesRB->setChecked(false);
    ChoiceGroup_->setExclusive(true);
}

void TCopyDlg::RangeQuesRBClick(QRadioButton* sender) {
    OkBtn->setEnabled(true);
    const bool range = sender == RangeQuesRB;
    BeginSpin->setEnabled(range);
    EndSpin->setEnabled(range);
}

int TCopyDlg::FieldValue(const QSpinBox* spin) {
    bool ok = false;
    const int value = spin->cleanText().toInt(&ok);
    return ok ? value : spin->minimum();
}

void TCopyDlg::OkBtnClick() {
    TQueChoice choice;
    if (!OneQueRB->isChecked())
        choice = {FieldValue(BeginSpin), FieldValue(EndSpin)};
    switch (CheckQueChoice(choice, MaxQueNo, Mode_ == CutMode)) {
    case TChoiceCheck::Ok:
        Choice_ = choice;
        accept();
        return;
    case TChoiceCheck::NotAscending:
        vxg::ShowMessage(vxg::DlgKind::Error, kCopyRangeOrderText, vxg::DlgButtons::Ok, this);
        return;
    case TChoiceCheck::OutsideTopic:
        vxg::ShowMessage(vxg::DlgKind::Error, lang(86).arg(MaxQueNo), vxg::DlgButtons::Ok, this);
        return;
    case TChoiceCheck::EmptiesTopic:
        vxg::ShowMessage(vxg::DlgKind::Error, lang(87), vxg::DlgButtons::Ok, this);
        return;
    }
}

void TCopyDlg::OneQueRBKeyPress() {
    OkBtn->setFocus();
}

void TCopyDlg::BeginNumEditKeyPress() {
    focusNextChild();
}

bool TCopyDlg::RefuseNumberKey(const QKeyEvent& key) {
    if (IsEnter(key))
        return true;
    const QString text = key.text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false; // arrows, Backspace, Tab, Ctrl+letter: editing, not characters
    const QString decimalPoint = QLocale().decimalPoint();
    for (const QChar c : text) {
        if (!c.isDigit() && c != u'+' && c != u'-' && !decimalPoint.contains(c))
            return true;
    }
    return false;
}

bool TCopyDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == BeginSpin || watched == EndSpin) {
        if (!RefuseNumberKey(key))
            return false;
        QApplication::beep();
        return true;
    }
    if (!IsEnter(key))
        return false;
    if (watched == OneQueRB)
        vxg::RunGuarded([this] { OneQueRBKeyPress(); });
    else
        vxg::RunGuarded([this] { BeginNumEditKeyPress(); });
    return true;
}
