#include "TopicU.h"

#include "Cp1251.h"
#include "Dialogs.h"
#include "EditorIcons.h"
#include "ErrorGuard.h"
#include "Exwr_MDI.h"
#include "Globals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolBar>

namespace {

constexpr int kMaxStoredText = 255;
constexpr int kFieldLeft = 8;
constexpr int kFieldWidth = 700;
constexpr int kAnswerTops[] = {195, 241, 286, 332};
constexpr int kAnswerLabelTops[] = {179, 225, 270, 316};

QFont pixelFont(const QFont& base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

bool storableInQuestionFile(const QString& text) {
    return vxg::cp1251::decode(vxg::cp1251::encode(text)) == text;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// What the text fields accept.

void TQuestionTextValidator::SetShownText(const QString& text) {
    lengthLimit_ = std::max<qsizetype>(kTypingLimit, text.size());
    separatorsAllowed_ = text.count(u'$');
}

QValidator::State TQuestionTextValidator::validate(QString& input, int& /*pos*/) const {
    if (input.size() > lengthLimit_ || input.count(u'$') > separatorsAllowed_ ||
        !storableInQuestionFile(input))
        return Invalid;
    return Acceptable;
}

// ---------------------------------------------------------------------------------------------
// Construction.

TTopicF::TTopicF(TMDIForm* mainForm, QWidget* parent) : QWidget(parent), Main(mainForm) {
    setObjectName(QStringLiteral("TopicF"));
    setAttribute(Qt::WA_DeleteOnClose);
    CreateCommands();
    CreateFields();
    // FormCreate: the client area just holds the fields.
    resize(sizeHint());
}

QSize TTopicF::sizeHint() const {
    return {SamVoprosEdit->x() + kFieldWidth + 8, PravOtvEd->geometry().bottom() + 1 + 8};
}

void TTopicF::CreateCommands() {
    QuestionsToolBar = new QToolBar(this);
    QuestionsToolBar->setObjectName(QStringLiteral("QuestionsToolBar"));
    QuestionsToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QuestionsToolBar->setIconSize(QSize(20, 20));
    QuestionsToolBar->setMovable(false);

    auto command = [this](const char* name, Qt::Key key, int image) {
        auto* a = new QAction(EditorIcon(image), QString(), this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(QKeySequence(key));
        // The keys belong to the topic window that has the focus, not to every open one.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setEnabled(false);
        addAction(a);
        QuestionsToolBar->addAction(a);
        return a;
    };
    NewQueA = command("NewQueA", Qt::Key_F2, 13);
    PrevA = command("PrevA", Qt::Key_F3, 11);
    NextA = command("NextA", Qt::Key_F4, 12);
    DelQueA = command("DelQueA", Qt::Key_F5, 14);

    auto bind = [this](QAction* a, void (TTopicF::*handler)()) {
        connect(a, &QAction::triggered, this, vxg::Guarded([this, a, handler](bool) { RunCommand(a, handler); }));
    };
    bind(NewQueA, &TTopicF::AddNewQue);
    bind(PrevA, &TTopicF::GoPrevQue);
    bind(NextA, &TTopicF::GoNextQue);
    bind(DelQueA, &TTopicF::DelQueBtnClick);
}

void TTopicF::CreateFields() {
    const QFont base = pixelFont(font(), 13, false);
    setFont(base);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->move(150, 48);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 1, 4, 1);
    PosLabel = new QLabel(Panel1);
    PosLabel->setObjectName(QStringLiteral("PosLabel"));
    QFont posFont = pixelFont(base, 16, true);
    posFont.setUnderline(true);
    PosLabel->setFont(posFont);
    QPalette blue = PosLabel->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    PosLabel->setPalette(blue);
    panelLayout->addWidget(PosLabel);

    auto label = [this](const char* name, const QString& text, int left, int top) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(left, top);
        return l;
    };
    auto textField = [this](const char* name, int top) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(kFieldLeft, top, kFieldWidth, 24);
        e->setValidator(new TQuestionTextValidator(e));
        e->installEventFilter(this);
        // A change by paste, drop, undo or typing marks the topic at once.
        connect(e, &QLineEdit::textEdited, this, [this] { Topic.Modified = true; });
        return e;
    };

    Label2 = label("Label2", QString(), 16, 72);
    SamVoprosEdit = textField("SamVoprosEdit", 96);
    Label3 = label("Label3", QString(), 16, 160);
    Label1 = label("Label1", QStringLiteral("1"), 16, kAnswerLabelTops[0]);
    Label4 = label("Label4", QStringLiteral("2"), 16, kAnswerLabelTops[1]);
    Label5 = label("Label5", QStringLiteral("3"), 16, kAnswerLabelTops[2]);
    Label6 = label("Label6", QStringLiteral("4"), 16, kAnswerLabelTops[3]);
    Otv1Edit = textField("Otv1Edit", kAnswerTops[0]);
    Otv2Edit = textField("Otv2Edit", kAnswerTops[1]);
    Otv3Edit = textField("Otv3Edit", kAnswerTops[2]);
    Otv4Edit = textField("Otv4Edit", kAnswerTops[3]);

    QPalette green;
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    green.setColor(QPalette::Text, QColor(0, 128, 0));
    Label7 = label("Label7", QString(), 0, 372);
    Label7->setFont(pixelFont(base, 13, true));
    Label7->setPalette(green);
    Label7->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label7->setGeometry(31, 372, 300, 20);

    PravOtvEd = new QSpinBox(this);
    PravOtvEd->setObjectName(QStringLiteral("PravOtvEd"));
    PravOtvEd->setRange(0, 4);
    PravOtvEd->setValue(0);
    PravOtvEd->setFont(pixelFont(base, 16, true));
    PravOtvEd->setPalette(green);
    PravOtvEd->setGeometry(336, 366, 41, 30);
    PravOtvEd->installEventFilter(this);
    // Arrows, wheel, buttons and typed digits: every change by the user marks the topic.
    connect(PravOtvEd, &QSpinBox::valueChanged, this, [this] {
        if (!filling_)
            Topic.Modified = true;
    });

    setTabOrder(SamVoprosEdit, Otv1Edit);
    setTabOrder(Otv1Edit, Otv2Edit);
    setTabOrder(Otv2Edit, Otv3Edit);
    setTabOrder(Otv3Edit, Otv4Edit);
    setTabOrder(Otv4Edit, PravOtvEd);
}

QList<QLineEdit*> TTopicF::TextFields() const {
    return {SamVoprosEdit, Otv1Edit, Otv2Edit, Otv3Edit, Otv4Edit};
}

void TTopicF::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QuestionsToolBar->setGeometry(0, 0, width(), 40);
    FitToolBar();
    for (QLineEdit* e : TextFields())
        e->resize(std::max(16, width() - 16), e->height());
}

void TTopicF::FitToolBar() {
    // The captions show while the four commands fit the width: in full, else without the key in
    // brackets (the Russian ones at the window's first size), which the hints keep. A narrower
    // window (tiled side by side) shows the pictures alone, with the captions as hints, rather
    // than hide commands.
    const QList<QAction*> commands{NewQueA, PrevA, NextA, DelQueA};
    const auto fits = [this] {
        QuestionsToolBar->layout()->invalidate();
        return QuestionsToolBar->sizeHint().width() <= width();
    };
    for (QAction* a : commands) {
        a->setToolTip(a->text());
        a->setIconText(a->text());
    }
    QuestionsToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    if (fits())
        return;
    for (QAction* a : commands) {
        const qsizetype key = a->text().lastIndexOf(QStringLiteral(" ("));
        if (key > 0)
            a->setIconText(a->text().left(key));
    }
    if (!fits())
        QuestionsToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool TTopicF::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == PravOtvEd) {
        // Enter goes nowhere from the number field.
        if (enter) {
            QApplication::beep();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (enter) {
        const QList<QWidget*> order{SamVoprosEdit, Otv1Edit, Otv2Edit, Otv3Edit, Otv4Edit, PravOtvEd};
        const qsizetype at = order.indexOf(static_cast<QWidget*>(watched));
        if (at >= 0 && at + 1 < order.size())
            order[at + 1]->setFocus(Qt::TabFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TTopicF::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    vxg::RunGuarded([&] { mayClose = FormCloseQuery(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

// ---------------------------------------------------------------------------------------------
// The fields and the questions.

void TTopicF::SetField(QLineEdit* field, const QString& text) {
    if (auto* rules = field->findChild<TQuestionTextValidator*>())
        rules->SetShownText(text);
    field->setText(text);
    field->setModified(false);
    // A text read from the file shows from its start.
    field->setCursorPosition(0);
}

void TTopicF::SetRightAnswerField(int value) {
    const bool wasFilling = filling_;
    filling_ = true;
    PravOtvEd->setValue(value);
    filling_ = wasFilling;
}

void TTopicF::ShowCurQue() {
    const TQuestion& q = Topic.Questions[CurQue];
    SetField(SamVoprosEdit, q.QuestionText);
    SetField(Otv1Edit, q.Answer1);
    SetField(Otv2Edit, q.Answer2);
    SetField(Otv3Edit, q.Answer3);
    SetField(Otv4Edit, q.Answer4);
    // A right answer outside 1..4 (only a damaged file has one) shows as "not set".
    SetRightAnswerField(TTopicDocument::RightAnswerNumber(q.RightAnswer));
    UpdatePosLabel();
}

void TTopicF::StoreQue(int index) {
    if (index < 0 || index >= Topic.Questions.size())
        return;
    TQuestion& q = Topic.Questions[index];
    q.QuestionText = SamVoprosEdit->text().left(kMaxStoredText);
    q.Answer1 = Otv1Edit->text().left(kMaxStoredText);
    q.Answer2 = Otv2Edit->text().left(kMaxStoredText);
    q.Answer3 = Otv3Edit->text().left(kMaxStoredText);
    q.Answer4 = Otv4Edit->text().left(kMaxStoredText);
    // The number the field shows. A "not set" field keeps a stored "not set" as it was (empty,
    // "0" or a damaged value), so that a question read and written again stays byte for byte.
    const int right = PravOtvEd->value();
    if (right != 0 || TTopicDocument::RightAnswerNumber(q.RightAnswer) != 0)
        q.RightAnswer = QString::number(right);
}

QString TTopicF::PositionText() const {
    return lang(48) + QString::number(CurQue + 1) + lang(49) + QString::number(Topic.Questions.size());
}

void TTopicF::UpdatePosLabel() {
    PosLabel->setText(PositionText());
    Panel1->adjustSize();
}

void TTopicF::RunCommand(QAction* action, void (TTopicF::*handler)()) {
    NextAUpdate();
    if (action->isEnabled())
        (this->*handler)();
}

void TTopicF::GoPrevQue() {
    StoreQue(CurQue);
    if (CurQue != 0)
        --CurQue;
    ShowCurQue();
}

void TTopicF::GoNextQue() {
    StoreQue(CurQue);
    if (CurQue < Topic.Questions.size() - 1)
        ++CurQue;
    ShowCurQue();
}

void TTopicF::AddNewQue() {
    // Whatever the fields hold is kept, also with an empty question text: the check at the
    // save then names the question, instead of its answers being lost without a word.
    StoreQue(CurQue);
    Topic.AppendEmptyQuestion();
    CurQue = static_cast<int>(Topic.Questions.size()) - 1;
    ShowCurQue();
    SamVoprosEdit->setFocus();
}

void TTopicF::DelQueBtnClick() {
    const QString text =
        lang(50) + QStringLiteral("\n\n") + lang(51) + QString::number(CurQue + 1) + QStringLiteral("?");
    if (vxg::ShowMessage(vxg::DlgKind::Confirmation, text, vxg::DlgButtons::YesNo, this) == vxg::DlgResult::Yes)
        DeleteCurQue();
}

void TTopicF::DeleteCurQue() {
    if (!Topic.RemoveQuestion(CurQue))
        return;
    // The question that followed takes the place; after the last one, the one before it.
    CurQue = std::min(CurQue, static_cast<int>(Topic.Questions.size()) - 1);
    ShowCurQue();
}

bool TTopicF::FieldsChangedByUser() const {
    for (const QLineEdit* e : TextFields())
        if (e->isModified())
            return true;
    return false;
}

void TTopicF::NextAUpdate() {
    const int last = static_cast<int>(Topic.Questions.size()) - 1;
    PrevA->setEnabled(CurQue != 0);
    NextA->setEnabled(CurQue < last);
    DelQueA->setEnabled(last > 0);
    NewQueA->setEnabled(last > 0 || !SamVoprosEdit->text().isEmpty() || PravOtvEd->value() != 0);
    if (Main && Main->ActiveTopic() == this)
        Main->TopicModified = Topic.Modified || FieldsChangedByUser();
}

void TTopicF::ApplyTopicLanguage() {
    PrevA->setText(lang(41));
    NextA->setText(lang(42));
    NewQueA->setText(lang(43));
    DelQueA->setText(lang(44));
    Label2->setText(lang(45));
    Label2->adjustSize();
    Label3->setText(lang(46));
    Label3->adjustSize();
    Label7->setText(lang(47));
    FitToolBar();
}

void TTopicF::FormActivate() {
    ApplyTopicLanguage();
    UpdatePosLabel();
    if (Main)
        Main->TopicModified = Topic.Modified;
}
