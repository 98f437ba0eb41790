#include "QueListU.h"

#include "Captions.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "Printouts.h"
#include "WorkU.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFieldWidth = 800;

// No length limit: a line edit cuts the text given to it at its maximum length, and a question
// file holds texts of up to 255 characters, which the viewer shows whole.
QLineEdit* ReadOnlyField(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFixedWidth(kFieldWidth);
    return e;
}

// A line edit given a text puts its cursor, and so its view, at the end: a text longer than the
// field would show only its tail.
void ShowFromStart(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setCursorPosition(0);
}

// The right-answer field counts 0 to 4; anything else in the file means no right answer is set,
// and must not show as the nearest variant.
int RightAnswerNumber(const QString& rightAnswer) {
    bool ok = false;
    const int n = rightAnswer.toInt(&ok);
    return ok && n >= 1 && n <= 4 ? n : 0;
}

QToolButton* CaptionButton(QToolBar* bar) {
    auto* b = new QToolButton(bar);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(b);
    return b;
}

void MakeGreenBold(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 128, 0));
    pal.setColor(QPalette::Text, QColor(0, 128, 0));
    w->setPalette(pal);
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

} // namespace

TQueListF::TQueListF(TExaminerState& state, TWorkF& main, QWidget* parent)
    : QDialog(parent), S(state), Main(main) {
    setModal(true);
    resize(841, 431);

    ToolBar1 = new QToolBar(this);
    PrevBtn = CaptionButton(ToolBar1);
    NextBtn = CaptionButton(ToolBar1);
    ToolBar1->addSeparator();
    PrintQuesListBtn = CaptionButton(ToolBar1);
    ToolBar1->addSeparator();
    ExitBtn = CaptionButton(ToolBar1);
    PrevBtn->setEnabled(false);
    connect(PrevBtn, &QToolButton::clicked, this, [this] { vxg::RunGuarded([this] { PrevClick(); }); });
    connect(NextBtn, &QToolButton::clicked, this, [this] { vxg::RunGuarded([this] { NextClick(); }); });
    connect(PrintQuesListBtn, &QToolButton::clicked, this,
            [this] { vxg::RunGuarded([this] { PrintQuesListBtnClick(); }); });
    connect(ExitBtn, &QToolButton::clicked, this, [this] { vxg::RunGuarded([this] { ExitBtnClick(); }); });

    Label2 = new QLabel(this);
    SamVoprosEdit = ReadOnlyField(this);
    Label3 = new QLabel(this);
    Label1 = new QLabel(QStringLiteral("1"), this);
    Label4 = new QLabel(QStringLiteral("2"), this);
    Label5 = new QLabel(QStringLiteral("3"), this);
    Label6 = new QLabel(QStringLiteral("4"), this);
    Otv1Edit = ReadOnlyField(this);
    Otv2Edit = ReadOnlyField(this);
    Otv3Edit = ReadOnlyField(this);
    Otv4Edit = ReadOnlyField(this);
    Label7 = new QLabel(this);
    MakeGreenBold(Label7);
    PravOtvEd = new QSpinBox(this);
    PravOtvEd->setRange(0, 4);
    PravOtvEd->setReadOnly(true);
    PravOtvEd->setButtonSymbols(QAbstractSpinBox::NoButtons);
    PravOtvEd->setFixedWidth(50);
    MakeGreenBold(PravOtvEd);
    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(false);
    StatusText = new QLabel(StatusBar);
    StatusBar->addWidget(StatusText, 1);

    auto* variants = new QGridLayout;
    const QList<QPair<QLabel*, QLineEdit*>> rows{
        {Label1, Otv1Edit}, {Label4, Otv2Edit}, {Label5, Otv3Edit}, {Label6, Otv4Edit}};
    for (int i = 0; i < rows.size(); ++i) {
        variants->addWidget(rows[i].first, i, 0);
        variants->addWidget(rows[i].second, i, 1, Qt::AlignLeft);
    }
    variants->setColumnStretch(2, 1);

    auto* right = new QHBoxLayout;
    right->addWidget(Label7);
    right->addWidget(PravOtvEd);
    right->addStretch(1);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 8);
    body->addWidget(Label2);
    body->addWidget(SamVoprosEdit, 0, Qt::AlignLeft);
    body->addSpacing(8);
    body->addWidget(Label3);
    body->addLayout(variants);
    body->addSpacing(8);
    body->addLayout(right);
    body->addStretch(1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setMenuBar(ToolBar1);
    outer->addLayout(body, 1);
    outer->addWidget(StatusBar);
}

void TQueListF::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* scr = screen())
        move(scr->availableGeometry().center() - rect().center());
    vxg::RunGuarded([this] { FormShow(); });
}

void TQueListF::FormShow() {
    PrevBtn->setEnabled(false);
    NextBtn->setEnabled(S.TopicQuestions.size() > 1);
    S.QueIndex = 0;
    Caption = QFileInfo(Main.OpenDialogFileName).fileName();
    setWindowTitle(AsWindowTitle(Caption));
    ShowListQuestion();
    ApplyQueListLanguage();
}

void TQueListF::ShowListQuestion() {
    if (S.QueIndex < 0 || S.QueIndex >= S.TopicQuestions.size()) {
        // A topic without questions (or an index past its end) has nothing to show.
        ClearListQuestion();
        StatusText->clear();
        return;
    }
    const TQuestion& q = S.TopicQuestions.at(S.QueIndex);
    ShowFromStart(SamVoprosEdit, q.QuestionText);
    ShowFromStart(Otv1Edit, q.Answer1);
    ShowFromStart(Otv2Edit, q.Answer2);
    ShowFromStart(Otv3Edit, q.Answer3);
    ShowFromStart(Otv4Edit, q.Answer4);
    PravOtvEd->setValue(RightAnswerNumber(q.RightAnswer));
    StatusText->setText(QString::asprintf("%s%d%s%d", qUtf8Printable(lang(47)), S.QueIndex + 1,
                                          qUtf8Printable(lang(48)),
                                          static_cast<int>(S.TopicQuestions.size())));
}

void TQueListF::ClearListQuestion() {
    SamVoprosEdit->clear();
    Otv1Edit->clear();
    Otv2Edit->clear();
    Otv3Edit->clear();
    Otv4Edit->clear();
    PravOtvEd->setValue(0);
}

void TQueListF::PrevClick() {
    if (S.QueIndex <= 0)
        return;
    ClearListQuestion();
    --S.QueIndex;
    ShowListQuestion();
    PrevBtn->setEnabled(S.QueIndex > 0);
    NextBtn->setEnabled(S.QueIndex + 1 < S.TopicQuestions.size());
}

void TQueListF::NextClick() {
    if (S.QueIndex + 1 >= S.TopicQuestions.size())
        return;
    ClearListQuestion();
    PrevBtn->setEnabled(true);
    NextBtn->setEnabled(S.QueIndex + 1 < S.TopicQuestions.size() - 1);
    ++S.QueIndex;
    ShowListQuestion();
}

void TQueListF::PrintQuesListBtnClick() {
    AskPrintQuestionList(Caption, S.TopicQuestions);
}

void TQueListF::ExitBtnClick() {
    close();
}

void TQueListF::ApplyQueListLanguage() {
    PrevBtn->setText(lang(42));
    NextBtn->setText(lang(43));
    PrintQuesListBtn->setText(lang(82));
    ExitBtn->setText(lang(83));
    Label2->setText(lang(84));
    Label3->setText(lang(85));
    Label7->setText(lang(86));
}
