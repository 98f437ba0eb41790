#include "TopicU.h"

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
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>
#include <algorithm>

namespace {

constexpr int kMaxStoredText = 255;
constexpr int kToolBarHeight = 40;
constexpr int kFieldLeft = 8;
constexpr int kFieldWidth = 700;
constexpr int kAnswerTops[] = {195, 241, 286, 332};
constexpr int kAnswerLabelTops[] = {179, 225, 270, 316};
constexpr int kRightAnswerLabelEnd = 331;
constexpr int kRightAnswerLabelTop = 372;

// Places w on the fields' page by its place in the window's client area, whose top the tool bar
// takes.
void place(QWidget* w, int left, int top) {
    w->move(left, top - kToolBarHeight);
}

QFont pixelFont(const QFont& base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace

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
    return {kFieldLeft + kFieldWidth + 8, kToolBarHeight + FieldsArea->widget()->minimumHeight()};
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
        connect(a, &QAction::triggered, this,
                vxg::Guarded([this, a, handler](bool) { RunCommand(a, handler); }));
    };
    bind(NewQueA, &TTopicF::AddNewQue);
    bind(PrevA, &TTopicF::GoPrevQue);
    bind(NextA, &TTopicF::GoNextQue);
    bind(DelQueA, &TTopicF::DelQueBtnClick);
}

void TTopicF::CreateFields() {
    const QFont base = pixelFont(font(), 13, false);
    setFont(base);

    // The fields lie on a page that scrolls below the tool bar.
    FieldsArea = new QScrollArea(this);
    FieldsArea->setObjectName(QStringLiteral("FieldsArea"));
    FieldsArea->setFrameShape(QFrame::NoFrame);
    // Only the fields take the focus: typing on the page would reach none of them, and Tab
    // goes from field to field.
    FieldsArea->setFocusPolicy(Qt::NoFocus);
    FieldsArea->setWidgetResizable(true);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FieldsPage"));

    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    place(Panel1, 150, 48);
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

    auto label = [page](const char* name, const QString& text, int left, int top) {
        auto* l = new QLabel(text, page);
        l->setObjectName(QString::fromLatin1(name));
        place(l, left, top);
        return l;
    };
    auto textField = [this, page](const char* name, int top) {
        auto* e = new TQuestionEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        e->resize(kFieldWidth, 24);
        place(e, kFieldLeft, top);
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
    Label7 = label("Label7", QString(), 0, kRightAnswerLabelTop);
    Label7->setFont(pixelFont(base, 13, true));
    Label7->setPalette(green);

    PravOtvEd = new QSpinBox(page);
    PravOtvEd->setObjectName(QStringLiteral("PravOtvEd"));
    PravOtvEd->setRange(0, 4);
    PravOtvEd->setValue(0);
    PravOtvEd->setFont(pixelFont(base, 16, true));
    PravOtvEd->setPalette(green);
    PravOtvEd->resize(41, 30);
    place(PravOtvEd, 336, 366);
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

    FieldsArea->setWidget(page);
    FieldsArea->viewport()->installEventFilter(this);
    FitFieldsPage();
}

QList<TQuestionEdit*> TTopicF::TextFields() const {
    return {SamVoprosEdit, Otv1Edit, Otv2Edit, Otv3Edit, Otv4Edit};
}

void TTopicF::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QuestionsToolBar->setGeometry(0, 0, width(), kToolBarHeight);
    FitToolBar();
    FieldsArea->setGeometry(0, kToolBarHeight, width(), std::max(0, height() - kToolBarHeight));
}

void TTopicF::FitFieldsPage() {
    // Wide enough for everything that keeps its place and size; the text fields take the rest.
    int right = 0;
    for (const QWidget* w : QList<QWidget*>{Panel1, Label2, Label3, Label7, PravOtvEd})
        right = std::max(right, w->geometry().right() + 1);
    FieldsArea->widget()->setMinimumSize(right + 8, PravOtvEd->geometry().bottom() + 1 + 8);
}

void TTopicF::StretchTextFields() {
    // As wide as the area shows, so that each shows whole where it is scrolled to.
    const int width = FieldsArea->viewport()->width();
    for (TQuestionEdit* e : TextFields())
        e->resize(std::max(16, width - 16), e->height());
}

void TTopicF::ScrollIntoView(QWidget* field) {
    // The whole field, not only its text cursor as QScrollArea::ensureWidgetVisible would.
    constexpr int kMargin = 4;
    const QRect r(field->mapTo(FieldsArea->widget(), QPoint(0, 0)), field->size());
    FieldsArea->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + kMargin,
                              r.height() / 2 + kMargin);
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
    if (watched == FieldsArea->viewport()) {
        if (event->type() == QEvent::Resize)
            StretchTextFields();
        return QWidget::eventFilter(watched, event);
    }
    // A field that takes the focus, by key, click or command, scrolls into view, and takes it
    // again when the window is next activated.
    if (event->type() == QEvent::FocusIn) {
        lastField_ = static_cast<QWidget*>(watched);
        ScrollIntoView(lastField_);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    // Enter moves on to the next field, and goes nowhere from the number field.
    const QList<QWidget*> order{SamVoprosEdit, Otv1Edit, Otv2Edit, Otv3Edit, Otv4Edit, PravOtvEd};
    const qsizetype at = order.indexOf(static_cast<QWidget*>(watched));
    if (at >= 0 && at + 1 < order.size())
        order[at + 1]->setFocus(Qt::TabFocusReason);
    else
        QApplication::beep();
    return true;
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

void TTopicF::SetRightAnswerField(int value) {
    const bool wasFilling = filling_;
    filling_ = true;
    PravOtvEd->setValue(value);
    filling_ = wasFilling;
}

void TTopicF::ShowCurQue() {
    const TQuestion& q = Topic.Questions[CurQue];
    SamVoprosEdit->ShowText(q.QuestionText);
    Otv1Edit->ShowText(q.Answer1);
    Otv2Edit->ShowText(q.Answer2);
    Otv3Edit->ShowText(q.Answer3);
    Otv4Edit->ShowText(q.Answer4);
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
    FitFieldsPage();
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
    if (vxg::ShowMessage(vxg::DlgKind::Confirmation, text, vxg::DlgButtons::YesNo, this) ==
        vxg::DlgResult::Yes)
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
    // It ends where it ends in any language.
    Label7->adjustSize();
    place(Label7, kRightAnswerLabelEnd - Label7->width(), kRightAnswerLabelTop);
    FitToolBar();
    FitFieldsPage();
}

void TTopicF::FormActivate() {
    ApplyTopicLanguage();
    UpdatePosLabel();
    FocusLastField();
    if (Main)
        Main->TopicModified = Topic.Modified;
}

void TTopicF::FocusLastField() {
    (lastField_ ? lastField_ : SamVoprosEdit)->setFocus(Qt::ActiveWindowFocusReason);
}
