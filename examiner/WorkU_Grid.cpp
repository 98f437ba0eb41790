// The results grid and the card view of the main window.
#include "WorkU.h"

#include "Captions.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "ResultsGridView.h"
#include "StringGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kGridMaxHeight = 345;
constexpr int kGridExtraHeight = 22;
constexpr int kNameColWidth = 200;
constexpr int kMarkColWidth = 70;
constexpr int kQuestionColWidth = 60;
constexpr int kCardViewHeight = 160;
const QColor kRightVariantColor(0, 128, 0);
const QColor kPositionColor(0, 0, 128);

QFont PixelFont(int pixels, bool bold) {
    QFont f;
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Text colours that hold also while the widget is disabled: the card view lies on a disabled
// panel only so that nothing in it can be changed, and must stay readable.
void SetTextColor(QWidget* w, const QColor& c) {
    QPalette pal = w->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(role, c);
    w->setPalette(pal);
}

void KeepEnabledLookWhenDisabled(QWidget* w) {
    QPalette pal = w->palette();
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::Base, QPalette::Button,
          QPalette::Window, QPalette::Light, QPalette::Dark})
        pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
    w->setPalette(pal);
}

QLabel* FramedLabel(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumHeight(24);
    return l;
}

void UncheckAll(const QList<QRadioButton*>& buttons) {
    // Auto-exclusive radio buttons refuse to uncheck the checked one.
    for (QRadioButton* b : buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

} // namespace

void TWorkF::CreateResultsArea() {
    StringGrid = new TStringGrid(this);
    StringGrid->SetFixed(1, 2);
    StringGrid->SetFixedColor(QColor(0, 255, 255));
    StringGrid->SetDefaultRowHeight(24);
    StringGrid->SetColCount(2);
    StringGrid->SetRowCount(2);
    StringGrid->SetColWidth(0, kNameColWidth);
    StringGrid->SetColWidth(1, kMarkColWidth);

    auto* view = new ResultsGridView(this);
    view->setObjectName("StringGrid");
    view->setFont(PixelFont(16, true));
    view->setGrid(StringGrid);
    StringGridView = view;
    connect(view, &ResultsGridView::cellActivated, this,
            [this] { vxg::RunGuarded([this] { StringGridClick(); }); });
    ApplyGridHeight();

    // The previous/next commands (created with the action list) and their buttons.
    PrevQueA->setEnabled(false);
    NextQueA->setEnabled(false);
    connect(PrevQueA, &QAction::triggered, this,
            [this] { vxg::RunGuarded([this] { PrevArhQueBtnClick(); }); });
    connect(NextQueA, &QAction::triggered, this,
            [this] { vxg::RunGuarded([this] { NextArhQueBtnClick(); }); });

    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    PrevArhQueBtn = new QToolButton(Panel2);
    PrevArhQueBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    PrevArhQueBtn->setDefaultAction(PrevQueA);
    NextArhQueBtn = new QToolButton(Panel2);
    NextArhQueBtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    NextArhQueBtn->setDefaultAction(NextQueA);
    StudentName = new QComboBox(Panel2);
    StudentName->setEditable(false);
    StudentName->setEnabled(false);
    // activated is raised by the teacher's choice only, never by setting the index from code.
    connect(StudentName, &QComboBox::activated, this,
            [this](int) { vxg::RunGuarded([this] { StudentNameChange(StudentName); }); });
    // A combo box chooses its first item by itself when items arrive in an empty list; here a
    // student is chosen only by the teacher (the live refresh shows the chosen one's answers).
    connect(StudentName->model(), &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this] { SelectorHadNoChoice = StudentName->currentIndex() == -1; });
    connect(StudentName->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (SelectorHadNoChoice && StudentName->currentIndex() != -1)
            StudentName->setCurrentIndex(-1);
    });
    PositionL = FramedLabel(Panel2);
    PositionL->setFont(PixelFont(16, true));
    SetTextColor(PositionL, kPositionColor);
    ReshCountL = FramedLabel(Panel2);
    RightsCountL = FramedLabel(Panel2);

    // Selector and counters above, the step buttons and the position under them: two rows that
    // fit the window's width with the longest captions of either language.
    auto* p2 = new QGridLayout(Panel2);
    p2->setContentsMargins(4, 4, 4, 4);
    p2->addWidget(StudentName, 0, 0, 1, 2);
    p2->addWidget(ReshCountL, 0, 2);
    p2->addWidget(RightsCountL, 0, 3);
    p2->addWidget(PrevArhQueBtn, 1, 0);
    p2->addWidget(NextArhQueBtn, 1, 1);
    p2->addWidget(PositionL, 1, 2, 1, 2);
    p2->setColumnStretch(4, 1);

    Panel4 = new QWidget(this);
    Panel4->setObjectName("Panel4");
    Panel4->setFont(PixelFont(11, false));
    Panel4->setFixedHeight(kCardViewHeight);
    KeepEnabledLookWhenDisabled(Panel4);
    SamVoprLabel = new QLabel(Panel4);
    SamVoprLabel->setWordWrap(true);
    SamVoprLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Nor may one long word of a question: the label keeps the column's width and wraps in it.
    SamVoprLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SamVoprLabel->setFixedHeight(SamVoprLabel->fontMetrics().lineSpacing() * 3 + 4);
    RadioButton1 = new QRadioButton(Panel4);
    RadioButton2 = new QRadioButton(Panel4);
    RadioButton3 = new QRadioButton(Panel4);
    RadioButton4 = new QRadioButton(Panel4);
    // A variant of up to 255 characters must not widen the window: the button keeps the
    // column's width and shows its text from the start; the whole text is its tool tip.
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* cardColumn = new QVBoxLayout;
    cardColumn->setSpacing(2);
    cardColumn->addWidget(SamVoprLabel);
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        cardColumn->addWidget(b);
    cardColumn->addStretch(1);
    auto* p4 = new QHBoxLayout(Panel4);
    p4->setContentsMargins(6, 4, 6, 4);
    p4->addLayout(cardColumn, 1);
    Panel4->setEnabled(false);
}

void TWorkF::ApplyGridHeight() {
    const int h =
        std::min(StringGrid->RowCount() * StringGrid->DefaultRowHeight() + kGridExtraHeight, kGridMaxHeight);
    StringGridView->setFixedHeight(h);
}

void TWorkF::SetupGrid() {
    if (S.AttState == AttInProcess) {
        // The results of the testing in progress stay on screen; the state is named instead.
        if (StatusPanel0)
            StatusPanel0->setText(lang(58));
        return;
    }
    if (S.AttState == ArhIsOpen)
        return;
    ShapeGrid();
}

void TWorkF::ShapeGrid() {
    const int n = S.ActiveOptions.GivenVopr;
    const int lastRow = StringGrid->RowCount() - 1;
    StringGrid->SetColCount(n + 2);
    StringGrid->SetColWidth(0, kNameColWidth);
    StringGrid->SetColWidth(1, kMarkColWidth);
    StringGrid->SetCell(0, 0, lang(68));
    StringGrid->SetCell(1, 0, lang(69));
    for (int k = 1; k <= n; ++k) {
        StringGrid->SetColWidth(k + 1, kQuestionColWidth);
        StringGrid->SetCell(k + 1, 0, QString::number(k) + lang(131));
    }
    for (int r = 1; r <= lastRow; ++r)
        for (int c = 1; c <= n + 1; ++c)
            StringGrid->SetCell(c, r, QString());
    StringGrid->SetRowCount(S.StudentCount > 0 ? S.StudentCount + 1 : 2);
    ApplyGridHeight();
    PrevQueA->setEnabled(false);
    NextQueA->setEnabled(false);
}

int TWorkF::CountAnsweredQues(int row) const {
    int count = 0;
    for (int c = 2; c <= S.ActiveOptions.GivenVopr + 1; ++c)
        if (!StringGrid->Cell(c, row).isEmpty())
            ++count;
    return count;
}

int TWorkF::CountRightAnswers(int row) const {
    int count = 0;
    for (int c = 2; c <= S.ActiveOptions.GivenVopr + 1; ++c)
        if (StringGrid->Cell(c, row) == QLatin1String("+"))
            ++count;
    return count;
}

void TWorkF::ShowStudentQue(const TQuestion& Question, const TCardAnswer& Answer, int Row) {
    const QList<QRadioButton*> variants{RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    UncheckAll(variants);
    for (QRadioButton* b : variants) {
        b->setFont(QFont());
        b->setPalette(QPalette());
    }
    SamVoprLabel->setText(Question.QuestionText);
    const QStringList texts{Question.Answer1, Question.Answer2, Question.Answer3, Question.Answer4};
    for (int k = 1; k <= 4; ++k) {
        QRadioButton* b = variants[k - 1];
        b->setText(AsCaption(texts[k - 1]));
        b->setToolTip(AsToolTip(texts[k - 1]));
        if (Answer.Given == QString::number(k))
            b->setChecked(true);
        if (Question.RightAnswer == QString::number(k)) {
            QFont f = Panel4->font();
            f.setBold(true);
            f.setUnderline(true);
            b->setFont(f);
            SetTextColor(b, kRightVariantColor);
        }
    }
    PositionL->setText(QString::asprintf("%s%d%s%d", qUtf8Printable(lang(47)), ViewQueIndex + 1,
                                         qUtf8Printable(lang(48)), S.ActiveOptions.GivenVopr));
    ReshCountL->setText(lang(49) + QString::number(CountAnsweredQues(Row)));
    RightsCountL->setText(lang(50) + QString::number(CountRightAnswers(Row)));
}

int TWorkF::ViewCardLength() const {
    if (S.SelStudent < 0 || S.SelStudent >= S.Students.size())
        return 0;
    const qsizetype given = S.Students.at(S.SelStudent).Answers.size();
    return static_cast<int>(std::min<qsizetype>(given, std::max(0, S.ActiveOptions.GivenVopr)));
}

void TWorkF::UpdateQueStepCommands() {
    const int length = ViewCardLength();
    const bool inCard = ViewQueIndex >= 0 && ViewQueIndex < length;
    PrevQueA->setEnabled(inCard && ViewQueIndex > 0);
    NextQueA->setEnabled(inCard && ViewQueIndex < length - 1);
}

void TWorkF::BlankCardView() {
    const QList<QRadioButton*> variants{RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    UncheckAll(variants);
    for (QRadioButton* b : variants) {
        b->setText(QString());
        b->setToolTip(QString());
        b->setFont(QFont());
        b->setPalette(QPalette());
    }
    SamVoprLabel->clear();
    PositionL->clear();
    ReshCountL->clear();
    RightsCountL->clear();
}

void TWorkF::ShowViewQuestion() {
    if (ViewQueIndex >= 0 && ViewQueIndex < ViewCardLength()) {
        const TCardAnswer& answer = S.Students.at(S.SelStudent).Answers.at(ViewQueIndex);
        if (answer.QueNo >= 0 && answer.QueNo < S.TopicQuestions.size()) {
            S.CurAnswer = answer;
            S.CurQuestion = S.TopicQuestions.at(answer.QueNo);
            ShowStudentQue(S.CurQuestion, S.CurAnswer, S.SelStudent + 1);
            return;
        }
    }
    // No such student, no card yet, or a question the loaded topic does not have.
    BlankCardView();
}

void TWorkF::StudentNameChange(QObject* sender) {
    S.SelStudent = StudentName->currentIndex();
    ViewQueIndex = sender ? 0 : StringGridView->currentIndex().column() - 2;
    UpdateQueStepCommands();
    ShowViewQuestion();
}

void TWorkF::RefreshQueView() {
    if (StudentName->currentIndex() == -1)
        return;
    S.SelStudent = StudentName->currentIndex();
    UpdateQueStepCommands();
    ShowViewQuestion();
}

void TWorkF::StringGridClick() {
    if (!StudentName->isEnabled())
        return;
    const QModelIndex current = StringGridView->currentIndex();
    if (!current.isValid())
        return;
    // Setting the index from code raises no activated(), so the view is shown once.
    StudentName->setCurrentIndex(current.row() - 1);
    StudentNameChange(nullptr);
}

void TWorkF::PrevArhQueBtnClick() {
    if (ViewQueIndex <= 0)
        return;
    --ViewQueIndex;
    UpdateQueStepCommands();
    ShowViewQuestion();
}

void TWorkF::NextArhQueBtnClick() {
    if (ViewQueIndex + 1 >= ViewCardLength())
        return;
    ++ViewQueIndex;
    UpdateQueStepCommands();
    ShowViewQuestion();
}

void TWorkF::ShowStudentResults(int row, const TClient& student, int n, bool showNoGrade) {
    StringGrid->SetCell(1, row, showNoGrade || student.Mark != 0 ? QString::number(student.Mark) : QString());
    for (int i = 0; i < n; ++i)
        StringGrid->SetCell(i + 2, row, i < student.Answers.size() ? student.Answers.at(i).Check : QString());
}

void TWorkF::FillGridFromArchive() {
    const int n = S.ActiveOptions.GivenVopr;
    const int count = static_cast<int>(std::min<qsizetype>(S.StudentCount, S.Students.size()));
    for (int r = 1; r <= count; ++r) {
        const TClient& student = S.Students.at(r - 1);
        StringGrid->SetCell(0, r, student.Name);
        StudentName->addItem(student.Name);
        ShowStudentResults(r, student, n, true);
    }
    if (count > 0)
        StudentName->setMaxVisibleItems(count);
}

void TWorkF::ClearQueView() {
    StudentName->setCurrentIndex(-1);
    StudentName->setPlaceholderText(QString());
    PositionL->clear();
    ReshCountL->clear();
    RightsCountL->clear();
    SamVoprLabel->clear();
    const QList<QRadioButton*> variants{RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    UncheckAll(variants);
    for (QRadioButton* b : variants) {
        b->setText(QString());
        b->setToolTip(QString());
    }
    if (StatusPanel0)
        StatusPanel0->clear();
    PrevQueA->setEnabled(false);
    NextQueA->setEnabled(false);
}

void TWorkF::ClearResults() {
    StudentName->clear();
    ClearQueView();
    for (int r = 1; r < StringGrid->RowCount(); ++r)
        StringGrid->ClearRow(r);
    StringGrid->SetRowCount(2);
    ApplyGridHeight();
}
