#include "OptionsDialogBase.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "Help.h"
#include "OptionsLayout.h"
#include "Printouts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int kGradeCount = 12;

const char* const kHelpContextProperty = "helpContext";
constexpr int kDialogHelpContext = 40;

// A handler bound to a signal: the signal's arguments are not needed, and an exception ends in
// the default error box instead of leaving the slot.
template <class Fn> auto Handler(Fn fn) {
    return vxg::Guarded([fn](auto&&...) { fn(); });
}

// Handler for a spin box's value. The box also reports its value when Enter is pressed in it,
// changed or not; only a value that differs from the last one reported is a change.
template <class Fn> auto SpinChangeHandler(const QSpinBox* spin, Fn fn) {
    auto last = std::make_shared<int>(spin->value());
    return vxg::Guarded([last, fn](int value) {
        if (value == *last)
            return;
        *last = value;
        fn();
    });
}

// A field whose text is not a number (cleared while typing, say) reads as its minimum; the
// field's own value would still be the last number it held.
int SpinValue(const QSpinBox* spin) {
    bool ok = false;
    const int value = spin->cleanText().toInt(&ok);
    return ok ? std::clamp(value, spin->minimum(), spin->maximum()) : spin->minimum();
}

QSpinBox* NewSpinEdit(const QString& name, int min, int max, int value, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(min, max);
    // Left without a number, the field settles on the bound nearest to 0: its minimum.
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setValue(value);
    return spin;
}

QCheckBox* NewCheckBox(const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setChecked(true);
    return box;
}

QLabel* NewLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QLabel* NewNote(const QString& name, QWidget* parent) {
    QLabel* label = NewLabel(name, parent);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    return label;
}

QPushButton* NewButton(const QString& name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TOptionsDialogBase::TOptionsDialogBase(TTestOptions& editOptions, QWidget* parent)
    : QDialog(parent), EditOptions_(editOptions) {
    CreateControls();
    SetUpHelp();
    ConnectHandlers();
}

TOptionsDialogBase::~TOptionsDialogBase() {
    // The controls outlive this part of the dialog while QWidget deletes them, and a control
    // that loses its focus then may still notify: nothing may reach the handlers any more.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

// ---------------------------------------------------------------------------- controls

void TOptionsDialogBase::CreateControls() {
    TopPanel = new QWidget(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    Label31 = NewLabel(QStringLiteral("Label31"), TopPanel);
    NameEdit = new QComboBox(TopPanel);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setEditable(true);
    // A typed name stays exactly as typed: Enter adds nothing to the list and no completion
    // turns a prefix into a listed name.
    NameEdit->setInsertPolicy(QComboBox::NoInsert);
    NameEdit->setCompleter(nullptr);
    // The combo box on its own also "activates" an entry when Enter is pressed or the focus
    // leaves while the typed text matches an entry (letter case ignored). Typing a name must
    // never load a set: only a choice from the list (mouse, arrow keys, wheel) activates.
    disconnect(NameEdit->lineEdit(), &QLineEdit::returnPressed, nullptr, nullptr);
    disconnect(NameEdit->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    NameEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Label31->setBuddy(NameEdit);
    Label26 = NewNote(QStringLiteral("Label26"), TopPanel);
    auto* top = new QGridLayout(TopPanel);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(Label31, 0, 0);
    top->addWidget(NameEdit, 0, 1);
    top->addWidget(Label26, 1, 0, 1, 2);
    top->setColumnStretch(1, 1);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = CreateGradingPage();
    TabSheet2 = CreateTimePage();
    PageControl->addTab(TabSheet1, QString());
    PageControl->addTab(TabSheet2, QString());

    SaveOptionsBtn = NewButton(QStringLiteral("SaveOptionsBtn"), this);
    DeleteOptionsBtn = NewButton(QStringLiteral("DeleteOptionsBtn"), this);
    PrintBtn = NewButton(QStringLiteral("PrintBtn"), this);
    CancelBtn = NewButton(QStringLiteral("CancelBtn"), this);
    SaveOptionsBtn->setEnabled(false);
    DeleteOptionsBtn->setEnabled(false);
    ButtonRow_ = new QHBoxLayout;
    ButtonRow_->addWidget(SaveOptionsBtn);
    ButtonRow_->addWidget(DeleteOptionsBtn);
    ButtonRow_->addWidget(PrintBtn);
    ButtonRow_->addStretch(1);
    ButtonRow_->addWidget(CancelBtn);

    auto* main = new QVBoxLayout(this);
    main->addWidget(TopPanel);
    main->addWidget(PageControl, 1);
    main->addLayout(ButtonRow_);
    setMinimumWidth(680);
}

QWidget* TOptionsDialogBase::CreateGradingPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    Label1 = NewLabel(QStringLiteral("Label1"), page);
    GivenVoprEd = NewSpinEdit(QStringLiteral("GivenVoprEd"), 5, 100, 10, page);
    Label1->setBuddy(GivenVoprEd);
    Label27 = NewNote(QStringLiteral("Label27"), page);

    CheckingGroupBox = new QGroupBox(page);
    CheckingGroupBox->setObjectName(QStringLiteral("CheckingGroupBox"));
    auto* grid = new QGridLayout(CheckingGroupBox);
    grid->setHorizontalSpacing(8);
    for (int k = 1; k <= kGradeCount; ++k) {
        const int initial = k < kGradeCount ? k - 1 : 15;
        const int max = k < kGradeCount ? 100 : 110;
        SpinEdits_[k - 1] =
            NewSpinEdit(QStringLiteral("SpinEdit%1").arg(k), 0, max, initial, CheckingGroupBox);
    }
    // Grades 12 to 7 down the left column, 6 to 1 down the right one.
    for (int i = 0; i < kGradeCount; ++i) {
        const int grade = kGradeCount - i;
        const int row = i % 6;
        const int column = i < 6 ? 0 : 4;
        GradeLabels[i] = NewLabel(QStringLiteral("Label%1").arg(2 + i), CheckingGroupBox);
        WordLabels[i] = NewLabel(QStringLiteral("Label%1").arg(14 + i), CheckingGroupBox);
        GradeLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        GradeLabels[i]->setBuddy(SpinEdit(grade));
        grid->addWidget(GradeLabels[i], row, column);
        grid->addWidget(SpinEdit(grade), row, column + 1);
        grid->addWidget(WordLabels[i], row, column + 2);
    }
    grid->setColumnMinimumWidth(3, 24);
    grid->setColumnStretch(3, 1);

    auto* count = new QHBoxLayout;
    count->addWidget(Label1);
    count->addWidget(GivenVoprEd);
    count->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(count);
    layout->addWidget(Label27);
    layout->addWidget(CheckingGroupBox);
    layout->addStretch(1);
    return page;
}

QWidget* TOptionsDialogBase::CreateTimePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));

    TimeGroupBox = new QGroupBox(page);
    TimeGroupBox->setObjectName(QStringLiteral("TimeGroupBox"));
    TimeLimitedCB = NewCheckBox(QStringLiteral("TimeLimitedCB"), TimeGroupBox);
    TimeSetTrackBar = new QSlider(Qt::Horizontal, TimeGroupBox);
    TimeSetTrackBar->setObjectName(QStringLiteral("TimeSetTrackBar"));
    TimeSetTrackBar->setRange(5, 90);
    TimeSetTrackBar->setSingleStep(1);
    TimeSetTrackBar->setPageStep(5);
    TimeSetTrackBar->setTickInterval(5);
    TimeSetTrackBar->setTickPosition(QSlider::TicksBelow);
    TimeSetTrackBar->setValue(20);
    Label28 = NewLabel(QStringLiteral("Label28"), TimeGroupBox);
    Label29 = NewLabel(QStringLiteral("Label29"), TimeGroupBox);
    Label30 = NewLabel(QStringLiteral("Label30"), TimeGroupBox);
    // The label comes and goes with the time limit; the group keeps its shape meanwhile.
    QSizePolicy keepRoom = Label30->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Label30->setSizePolicy(keepRoom);
    auto* ends = new QHBoxLayout;
    ends->addWidget(Label28);
    ends->addStretch(1);
    ends->addWidget(Label29);
    auto* time = new QVBoxLayout(TimeGroupBox);
    time->addWidget(TimeLimitedCB);
    time->addWidget(TimeSetTrackBar);
    time->addLayout(ends);
    time->addWidget(Label30);

    QuestionsGroupBox = new QGroupBox(page);
    QuestionsGroupBox->setObjectName(QStringLiteral("QuestionsGroupBox"));
    RandomGiveOutCB = NewCheckBox(QStringLiteral("RandomGiveOutCB"), QuestionsGroupBox);
    MayBackCB = NewCheckBox(QStringLiteral("MayBackCB"), QuestionsGroupBox);
    ShowRightsCB = NewCheckBox(QStringLiteral("ShowRightsCB"), QuestionsGroupBox);
    auto* questions = new QVBoxLayout(QuestionsGroupBox);
    questions->addWidget(RandomGiveOutCB);
    questions->addWidget(MayBackCB);
    questions->addWidget(ShowRightsCB);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(TimeGroupBox);
    layout->addWidget(QuestionsGroupBox);
    layout->addStretch(1);
    return page;
}

void TOptionsDialogBase::ConnectHandlers() {
    // Value changes notify whether they come from the user or from code, and only when the
    // value really changes: toggled (not clicked) and the slider's valueChanged behave so; the
    // spin boxes' valueChanged needs the filter of SpinChangeHandler.
    connect(GivenVoprEd, &QSpinBox::valueChanged, this,
            SpinChangeHandler(GivenVoprEd, [this] { ParameterChanged(); }));
    for (QSpinBox* spin : SpinEdits_)
        connect(spin, &QSpinBox::valueChanged, this, SpinChangeHandler(spin, [this] { ParameterChanged(); }));
    for (QCheckBox* box : {RandomGiveOutCB, MayBackCB, ShowRightsCB})
        connect(box, &QCheckBox::toggled, this, Handler([this] { ParameterChanged(); }));
    connect(TimeSetTrackBar, &QSlider::valueChanged, this, Handler([this] { TimeSetTrackBarChange(); }));
    connect(TimeLimitedCB, &QCheckBox::toggled, this, Handler([this] { TimeLimitedCBClick(); }));

    // Only the user's typing counts as a change of the name; text set from code (including
    // what the combo box itself puts there when its list changes) notifies nothing.
    connect(NameEdit->lineEdit(), &QLineEdit::textEdited, this, Handler([this] { NameTyped(); }));
    connect(NameEdit, &QComboBox::activated, this,
            vxg::Guarded([this](int index) { NameEditChosen(index); }));

    connect(SaveOptionsBtn, &QPushButton::clicked, this, Handler([this] { SaveOptionsBtnClick(); }));
    connect(DeleteOptionsBtn, &QPushButton::clicked, this, Handler([this] { DeleteOptionsBtnClick(); }));
    connect(PrintBtn, &QPushButton::clicked, this, Handler([this] { PrintBtnClick(); }));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

// ---------------------------------------------------------------------------- help

void TOptionsDialogBase::SetUpHelp() {
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    const QList<QPair<QWidget*, int>> contexts{{this, kDialogHelpContext},
                                               {SaveOptionsBtn, 41},
                                               {NameEdit, 42},
                                               {PrintBtn, 43},
                                               {DeleteOptionsBtn, 44}};
    for (const auto& [widget, context] : contexts) {
        widget->setProperty(kHelpContextProperty, context);
        widget->installEventFilter(this);
    }
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f1, &QShortcut::activated, this, [this] { ShowHelp(HelpContextOf(focusWidget())); });
}

int TOptionsDialogBase::HelpContextOf(const QWidget* control) const {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const QVariant context = w->property(kHelpContextProperty);
        if (context.isValid())
            return context.toInt();
        if (w == this)
            break;
    }
    return kDialogHelpContext;
}

QString TOptionsDialogBase::HelpTopicFor(int context) {
    switch (context) {
    case 41:
        return QStringLiteral("IDH_OptionsSave");
    case 42:
        return QStringLiteral("IDH_OptionsName");
    case 43:
        return QStringLiteral("IDH_OptionsPrint");
    case 44:
        return QStringLiteral("IDH_OptionsDelete");
    default:
        return QStringLiteral("IDH_Options");
    }
}

void TOptionsDialogBase::ShowHelp(int context) {
    vxg::Help::instance().showTopic(HelpTopicFor(context));
}

bool TOptionsDialogBase::eventFilter(QObject* watched, QEvent* event) {
    // The title bar's help button: a click on a control with a context of its own, or anywhere
    // else in the dialog (the event reaches the dialog then), opens that context's page.
    if (event->type() == QEvent::QueryWhatsThis || event->type() == QEvent::WhatsThis) {
        if (event->type() == QEvent::WhatsThis)
            ShowHelp(HelpContextOf(qobject_cast<QWidget*>(watched)));
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QSpinBox* TOptionsDialogBase::SpinEdit(int k) const {
    return SpinEdits_.at(static_cast<std::size_t>(k - 1));
}

void TOptionsDialogBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored by the window system is not a new showing.
    if (!event->spontaneous())
        vxg::RunGuarded([this] { FormShow(); });
}

// ---------------------------------------------------------------------------- set record

void TOptionsDialogBase::ReadOptionsFromForm() {
    TTestOptions& o = EditOptions_;
    o.GivenVopr = SpinValue(GivenVoprEd);
    for (int k = 1; k <= kGradeCount; ++k)
        o.Na[static_cast<std::size_t>(k - 1)] = SpinValue(SpinEdit(k));
    o.TimeBool = TimeLimitedCB->isChecked();
    o.MaxTime = TimeSetTrackBar->value();
    o.RandomGiveOut = RandomGiveOutCB->isChecked();
    o.MayBack = MayBackCB->isChecked();
    o.ShowRights = ShowRightsCB->isChecked();
}

void TOptionsDialogBase::ShowOptionsInForm(const TTestOptions& options) {
    // Each control that takes a different value runs its change handler, in this order.
    GivenVoprEd->setValue(options.GivenVopr);
    for (int k = 1; k <= kGradeCount; ++k)
        SpinEdit(k)->setValue(options.Na[static_cast<std::size_t>(k - 1)]);
    TimeLimitedCB->setChecked(options.TimeBool);
    TimeSetTrackBar->setValue(options.MaxTime);
    RandomGiveOutCB->setChecked(options.RandomGiveOut);
    MayBackCB->setChecked(options.MayBack);
    ShowRightsCB->setChecked(options.ShowRights);
}

void TOptionsDialogBase::TimeSetTrackBarChange() {
    Label30->setText(lang(111) + QString::number(TimeSetTrackBar->value()) + lang(112));
}

void TOptionsDialogBase::TimeLimitedCBClick() {
    const bool limited = TimeLimitedCB->isChecked();
    TimeSetTrackBar->setEnabled(limited);
    Label30->setVisible(limited);
}

void TOptionsDialogBase::PrintBtnClick() {
    ReadOptionsFromForm();
    PrintTestOptions(NameText(), EditOptions_);
}

// ---------------------------------------------------------------------------- name box

QString TOptionsDialogBase::NameText() const {
    return NameEdit->currentText();
}

void TOptionsDialogBase::SetNameText(const QString& text) {
    NameEdit->setEditText(text);
}

int TOptionsDialogBase::FindListEntry(const QString& name) const {
    return NameEdit->findText(name, Qt::MatchFixedString); // fixed string: letter case ignored
}

void TOptionsDialogBase::AddListEntry(const QString& name) {
    // Adding to an empty list would put the entry's text into the box.
    const QString text = NameEdit->currentText();
    NameEdit->addItem(name);
    SetNameText(text);
}

void TOptionsDialogBase::RemoveListEntry(int index) {
    const QString text = NameEdit->currentText();
    NameEdit->removeItem(index);
    SetNameText(text);
}

void TOptionsDialogBase::NameEditChosen(int index) {
    if (index < 0 || index >= NameEdit->count())
        return;
    SetNameText(NameEdit->itemText(index));
    NameChosen();
}

bool TOptionsDialogBase::NameIsReserved(const QString& name) const {
    return OptionSetStore::IsReservedName(name);
}

bool TOptionsDialogBase::NameMayBeStored(const QString& name) const {
    return OptionSetStore::IsUserSetName(name) && !NameIsReserved(name);
}

void TOptionsDialogBase::UpdateNameButtons() {
    // The store's rule: the reserved names in any letter case are neither saved nor deleted.
    const bool enabled = NameMayBeStored(NameText());
    SaveOptionsBtn->setEnabled(enabled);
    DeleteOptionsBtn->setEnabled(enabled);
}

// ---------------------------------------------------------------------------- store

void TOptionsDialogBase::ListStoredSets() {
    const QStringList names = Store_.names();
    const QString text = NameEdit->currentText();
    NameEdit->clear();
    NameEdit->addItems(names);
    NameEdit->setCurrentIndex(-1);
    SetNameText(text);
}

bool TOptionsDialogBase::LoadStoredSet(const QString& name) {
    if (Store_.load(name, EditOptions_))
        return true;
    vxg::ShowMessage(vxg::DlgKind::Error, lang(116), vxg::DlgButtons::Ok, this);
    if (isVisible())
        NameEdit->setFocus();
    return false;
}

bool TOptionsDialogBase::RefuseSaveName(const QString& name) {
    if (NameMayBeStored(name))
        return false;
    vxg::ShowMessage(vxg::DlgKind::Error, lang(117), vxg::DlgButtons::Ok, this);
    NameEdit->setFocus();
    return true;
}

void TOptionsDialogBase::SaveShownSet(const QString& name) {
    ReadOptionsFromForm();
    Store_.save(name, EditOptions_);
    if (FindListEntry(name) < 0)
        AddListEntry(name);
    vxg::ShowMessage(vxg::DlgKind::Information, lang(118) + name + QStringLiteral(">"), vxg::DlgButtons::Ok,
                     this);
}

bool TOptionsDialogBase::ConfirmDelete(const QString& name) {
    return vxg::ShowMessage(vxg::DlgKind::Confirmation, lang(119) + name + QStringLiteral(">?"),
                            vxg::DlgButtons::YesNo, this) == vxg::DlgResult::Yes;
}

void TOptionsDialogBase::DeleteStoredSet(const QString& name, const QString& nextName) {
    // The store refuses an empty name or one with a key separator (such a name would reach the
    // sets key itself, every stored set, or a key nested inside another set) and the reserved
    // names in any letter case; a refused name stays in the list.
    if (Store_.remove(name)) {
        const int index = FindListEntry(name);
        if (index >= 0)
            RemoveListEntry(index);
    }
    SetNameText(nextName);
}

void TOptionsDialogBase::ApplyCommonLanguage() {
    Label31->setText(lang(91));
    Label26->setText(lang(92));
    Label1->setText(lang(93));
    Label27->setText(lang(94));
    CheckingGroupBox->setTitle(lang(95));
    for (int i = 0; i < kGradeCount; ++i) {
        GradeLabels[i]->setText(QString::number(kGradeCount - i) + lang(96));
        WordLabels[i]->setText(lang(97));
    }
    PageControl->setTabText(PageControl->indexOf(TabSheet1), lang(98));
    PageControl->setTabText(PageControl->indexOf(TabSheet2), lang(99));
    SaveOptionsBtn->setText(lang(100));
    DeleteOptionsBtn->setText(lang(101));
    PrintBtn->setText(lang(102));
    CancelBtn->setText(lang(103));
    TimeGroupBox->setTitle(lang(104));
    TimeLimitedCB->setText(lang(105));
    Label28->setText(QStringLiteral("5") + lang(106));
    Label29->setText(QStringLiteral("90") + lang(106));
    QuestionsGroupBox->setTitle(lang(107));
    RandomGiveOutCB->setText(lang(108));
    MayBackCB->setText(lang(109));
    ShowRightsCB->setText(lang(110));
    Label30->setText(lang(111) + QString::number(TimeSetTrackBar->value()) + lang(112));
    setWindowTitle(lang(113));
}
