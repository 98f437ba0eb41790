// The topic window through the real main window: typing, adding, navigating, deleting, the
// enabling of its commands, saving with the check of every question, the close prompt, printing;
// what its fields let into a file, round trips of files, a save that fails halfway.
#include "editor_fixture.h"

#include "FileSizeLimit.h"
#include "RecordingPrinter.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>

namespace {

using TopicWindowTest = EditorTest;

void fill(TTopicF& t, const QString& text, int right) {
    Type(t.SamVoprosEdit, text);
    t.PravOtvEd->setFocus();
    for (int i = 0; i < right; ++i)
        QTest::keyClick(t.PravOtvEd, Qt::Key_Up);
}

TEST_F(TopicWindowTest, NewTypeAddNavigateAndDelete) {
    start();
    TTopicF* t = newTopic("Topic 1.vxg");
    ASSERT_NE(t, nullptr);
    const auto at = [t](int n, int of) {
        return t->PosLabel->text() == text(48) + QString::number(n) + text(49) + QString::number(of);
    };
    fill(*t, "Первый", 1);
    run(t, t->NewQueA);
    fill(*t, "Second", 2);
    run(t, t->NewQueA);
    fill(*t, "Третий", 3);
    // Back to the first: what was typed in the third is stored by the move.
    run(t, t->PrevA);
    run(t, t->PrevA);
    EXPECT_EQ(t->SamVoprosEdit->text(), "Первый");
    EXPECT_EQ(t->PravOtvEd->value(), 1);
    EXPECT_EQ(t->Topic.Questions[2].QuestionText, "Третий");
    EXPECT_EQ(t->Topic.Questions[2].RightAnswer, "3");
    // New from the first question appends at the end.
    run(t, t->NewQueA);
    EXPECT_TRUE(at(4, 4));
    fill(*t, "Четвёртый", 4);

    // Delete the first: the former second shows as the first of three; delete the last: the
    // one before it shows.
    for (int shown : {0, 2}) {
        t->CurQue = shown;
        t->ShowCurQue();
        dialogs->answerNext(vxg::DlgResult::Yes);
        run(t, t->DelQueA);
    }
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).value(0), text(50) + "\n\n" + text(51) + "1?");
    EXPECT_EQ(Texts(t->Topic.Questions), QStringList({"Second", "Третий"}));
    EXPECT_TRUE(at(2, 2));
    EXPECT_EQ(t->SamVoprosEdit->text(), "Третий");
}

// The idle update enables the main window's topic commands while a topic window is open, Save
// while its topic is modified, and the topic's New, Prev, Next, Delete as its questions allow.
TEST_F(TopicWindowTest, IdleUpdateEnablesTheCommands) {
    TMDIForm& m = start();
    TTopicF* t = nullptr;
    const auto bits = [](const QList<QAction*>& actions) { // "1" for each enabled command
        QString out;
        for (QAction* a : actions)
            out += a->isEnabled() ? u'1' : u'0';
        return out;
    };
    const auto enabled = [&] {
        EXPECT_TRUE(reachIdle());
        return bits({m.CutQuesAction, m.CopyQuesAction, m.CloseTopicAction, m.PrintA, m.WindowCascade1,
                     m.WindowArrangeAll1}) +
               (m.PasteQuesAction->isVisible() ? "1 " : "0 ") + bits({m.FileSave1}) + " " +
               (t ? bits({t->NewQueA, t->PrevA, t->NextA, t->DelQueA}) : QString());
    };
    EXPECT_EQ(enabled(), "0000000 0 ");
    EXPECT_EQ(m.StatusPanel0->text(), "Open or create topic");
    t = openWritten("t.vxg", MakeTopic(3));
    EXPECT_EQ(enabled(), "1111111 0 1011") << "loaded";
    t = newTopic("new.vxg");
    EXPECT_EQ(enabled(), "1111111 1 0000") << "one blank question, new";
    EXPECT_EQ(m.StatusPanel1->text(), "Modified");
    QTest::keyClick(t->PravOtvEd, Qt::Key_Up);
    EXPECT_EQ(enabled(), "1111111 1 1000") << "right answer set";
    QTest::keyClick(t->PravOtvEd, Qt::Key_Down);
    Type(t->SamVoprosEdit, "x");
    EXPECT_EQ(enabled(), "1111111 1 1000") << "text typed";
    run(t, t->NewQueA);
    EXPECT_EQ(enabled(), "1111111 1 1101") << "on the second of two";
    run(t, t->PrevA);
    EXPECT_EQ(enabled(), "1111111 1 1011") << "on the first of two";
    // A disabled command does nothing, also from its key.
    QTest::keyClick(t->SamVoprosEdit, Qt::Key_F3);
    EXPECT_EQ(t->CurQue, 0);

    t = nullptr;
    dialogs->answerNext(vxg::DlgResult::No);
    m.MdiArea->closeAllSubWindows();
    ASSERT_TRUE(reachIdle()); // the windows go at the next pass of the event loop
    EXPECT_EQ(enabled(), "0000000 0 ");
    EXPECT_EQ(m.StatusPanel1->text(), "");
}

TEST_F(TopicWindowTest, SaveReportsTheFirstFaultyQuestionAndShowsIt) {
    start();
    TWorkQues topic = MakeTopic(5);
    topic[1].RightAnswer = "";
    topic[3].QuestionText = "";
    topic[4].Answer2 = "a$b"; // read from a file, reported like any fault
    TTopicF* t = openWritten("faulty.vxg", topic);
    t->Topic.Modified = true;
    const auto report = [](int n) {
        return text(53) + "\n" + text(54) + "\n" + text(55) + QString::number(n);
    };
    ASSERT_TRUE(reachIdle());
    mdi().FileSave1->trigger();
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{report(2)});
    EXPECT_EQ(t->PosLabel->text(), text(48) + "2" + text(49) + "5");

    fill(*t, "", 2);
    mdi().FileSave1->trigger();
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error).last(), report(4));
    EXPECT_EQ(t->CurQue, 3);
    EXPECT_EQ(ReadQuestionFile(path("faulty.vxg")), topic) << "nothing written";

    Type(t->SamVoprosEdit, "Четыре");
    mdi().FileSave1->trigger();
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Error)
                    .last()
                    .endsWith(text(55) + "5\nThe sign \"$\" is not allowed in the texts of a question."));
    EXPECT_EQ(t->CurQue, 4);
    t->Otv2Edit->end(false);
    QTest::keyClick(t->Otv2Edit, Qt::Key_Backspace);
    QTest::keyClick(t->Otv2Edit, Qt::Key_Backspace);
    mdi().FileSave1->trigger();
    EXPECT_FALSE(t->Topic.Modified);
    topic[1].RightAnswer = "2";
    topic[3].QuestionText = "Четыре";
    topic[4].Answer2 = "a";
    EXPECT_EQ(ReadQuestionFile(path("faulty.vxg")), topic);
}

TEST_F(TopicWindowTest, ClosePromptYesNoCancel) {
    start();
    const struct {
        vxg::DlgResult answer;
        bool complete; // the question can be saved
        bool closed, written;
    } cases[] = {
        {vxg::DlgResult::Cancel, true, false, false},
        {vxg::DlgResult::No, true, true, false},
        {vxg::DlgResult::Yes, true, true, true},
        {vxg::DlgResult::Yes, false, false, false}, // the failed save keeps the window
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QStringLiteral("close%1.vxg").arg(++n);
        TTopicF* t = newTopic(name);
        if (c.complete)
            fill(*t, "Вопрос", 3);
        dialogs->boxes.clear();
        dialogs->answerNext(c.answer);
        QPointer<QMdiSubWindow> sub = mdi().MdiArea->currentSubWindow();
        ASSERT_TRUE(reachIdle());
        mdi().CloseTopicAction->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).value(0), text(56) + name + " ?") << n;
        EXPECT_EQ(sub.isNull(), c.closed) << n;
        EXPECT_EQ(QFile::exists(path(name)), c.written) << n;
        EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error).size(), c.complete ? 0 : 1) << n;
        if (sub) {
            dialogs->answerNext(vxg::DlgResult::No);
            sub->close();
        }
    }
}

TEST_F(TopicWindowTest, EveryUserChangeMarksTheTopic) {
    start();
    WriteQuestionFile(path("t.vxg"), MakeTopic(2));
    const std::pair<const char*, void (*)(TTopicF&)> changes[] = {
        {"typed", [](TTopicF& t) { Type(t.Otv2Edit, "x"); }},
        {"right answer by arrow", [](TTopicF& t) { QTest::keyClick(t.PravOtvEd, Qt::Key_Up); }},
        {"right answer by button", [](TTopicF& t) { t.PravOtvEd->stepDown(); }},
        {"pasted",
         [](TTopicF& t) {
             QApplication::clipboard()->setText("вставка");
             QTest::keyClick(t.Otv3Edit, Qt::Key_V, Qt::ControlModifier);
         }},
        {"cut", [](TTopicF& t) { t.Otv1Edit->selectAll(), t.Otv1Edit->cut(); }},
    };
    for (const auto& [name, change] : changes) {
        TTopicF* t = openTopic(path("t.vxg"));
        ASSERT_TRUE(reachIdle());
        ASSERT_FALSE(mdi().TopicModified) << name;
        change(*t);
        ASSERT_TRUE(reachIdle());
        EXPECT_TRUE(mdi().TopicModified) << name;
        t->Topic.Modified = false;
        mdi().MdiArea->currentSubWindow()->close();
    }
}

// Keys that move about or copy change no text: the topic stays unmodified and closes unasked.
TEST_F(TopicWindowTest, KeysThatChangeNoTextLeaveTheTopicUnmodified) {
    start();
    openWritten("t.vxg", MakeTopic(2));
    TTopicF* t = mdi().ActiveTopic();
    t->SamVoprosEdit->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(t->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(t->focusWidget(), t->PravOtvEd);
    for (const QKeyCombination key : {Qt::ShiftModifier | Qt::Key_Backtab, QKeyCombination(Qt::Key_Home),
                                      QKeyCombination(Qt::Key_Backspace), QKeyCombination(Qt::Key_Escape),
                                      Qt::ControlModifier | Qt::Key_C})
        QTest::keyClick(t->focusWidget(), key.key(), key.keyboardModifiers());
    EXPECT_EQ(t->focusWidget(), t->Otv4Edit);
    ASSERT_TRUE(reachIdle());
    EXPECT_FALSE(mdi().FileSave1->isEnabled());
    EXPECT_EQ(mdi().StatusPanel1->text(), "");
    mdi().CloseTopicAction->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(mdi().Topics().isEmpty());
}

// The part of w left in view by the widgets that hold it, up to its window.
QSize shownSize(const QWidget* w) {
    QRect part = w->rect();
    for (; !w->isWindow(); w = w->parentWidget())
        part = part.translated(w->pos()) & w->parentWidget()->rect();
    return part.size();
}

// However small tiling makes the topic windows, each field can be brought into view: the fields
// that take the focus by Tab, the labels by scrolling.
TEST_F(TopicWindowTest, EveryFieldOfATiledTopicWindowCanBeBroughtIntoView) {
    TMDIForm& m = start();
    const struct {
        QSize main;
        int topics;
        QAction* tile;
    } cases[] = {
        {{1280, 800}, 4, m.WindowTileHorizontal1},
        {{1280, 800}, 3, m.WindowTileVertical1},
        {{591, 418}, 2, m.WindowTileHorizontal1}, // the restored main window
        {{591, 418}, 2, m.WindowTileVertical1},
    };
    for (const auto& c : cases) {
        m.MdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m.resize(c.main);
        for (int i = 0; i < c.topics; ++i)
            openWritten(QStringLiteral("t%1.vxg").arg(i), MakeTopic(2));
        ASSERT_TRUE(reachIdle());
        c.tile->trigger();
        SCOPED_TRACE(QStringLiteral("%1 in %2x%3")
                         .arg(c.topics)
                         .arg(c.main.width())
                         .arg(c.main.height())
                         .toStdString());
        for (TTopicF* t : m.Topics()) {
            ASSERT_TRUE(t->width() < t->sizeHint().width() || t->height() < t->sizeHint().height());
            t->SamVoprosEdit->setFocus();
            for (QWidget* field : QList<QWidget*>{t->SamVoprosEdit, t->Otv1Edit, t->Otv2Edit, t->Otv3Edit,
                                                  t->Otv4Edit, t->PravOtvEd}) {
                if (field != t->SamVoprosEdit)
                    QTest::keyClick(t->focusWidget(), Qt::Key_Tab);
                EXPECT_EQ(t->focusWidget(), field);
                EXPECT_EQ(shownSize(field), field->size()) << field->objectName().toStdString();
            }
            auto* area = t->findChild<QScrollArea*>();
            ASSERT_NE(area, nullptr) << "nothing scrolls";
            for (QWidget* label : QList<QWidget*>{t->Panel1, t->Label7}) {
                area->ensureWidgetVisible(label);
                EXPECT_EQ(shownSize(label), label->size()) << label->objectName().toStdString();
            }
        }
    }
}

TEST_F(TopicWindowTest, EnterMovesThroughTheFieldsAndStopsAtTheRightAnswer) {
    start();
    TTopicF* t = newTopic("t.vxg");
    QWidget* order[] = {t->SamVoprosEdit, t->Otv1Edit,  t->Otv2Edit, t->Otv3Edit,
                        t->Otv4Edit,      t->PravOtvEd, t->PravOtvEd};
    t->SamVoprosEdit->setFocus();
    for (int i = 0; i + 1 < 7; ++i) {
        QTest::keyClick(order[i], Qt::Key_Return);
        EXPECT_EQ(t->focusWidget(), order[i + 1]) << i;
    }
}

TEST_F(TopicWindowTest, NewWithAnEmptyQuestionTextKeepsTheOtherFields) {
    start();
    TTopicF* t = newTopic("t.vxg");
    fill(*t, "", 2);
    Type(t->Otv1Edit, "ответ");
    run(t, t->NewQueA);
    EXPECT_EQ(t->Topic.Questions[0].Answer1, "ответ");
    EXPECT_EQ(t->Topic.Questions[0].RightAnswer, "2");
}

// The text fields stretch with the window; the tool bar keeps its captions while they fit (the
// Russian ones without their keys at the first size) and shows the pictures alone after that.
TEST_F(TopicWindowTest, ResizeStretchesTheFieldsAndShortensTheToolBarCaptions) {
    start(0).resize(1280, 880); // as the program shows it, maximised
    TTopicF* t = newTopic("t.vxg");
    auto* button = qobject_cast<QToolButton*>(t->QuestionsToolBar->widgetForAction(t->NewQueA));
    for (const auto& [width, style] :
         {std::pair{716, Qt::ToolButtonTextBesideIcon}, {400, Qt::ToolButtonIconOnly}}) {
        t->resize(width, t->height());
        EXPECT_EQ(t->QuestionsToolBar->toolButtonStyle(), style) << width;
        EXPECT_EQ(button->text(), "Новый вопрос") << width;
        EXPECT_LE(t->QuestionsToolBar->sizeHint().width(), width);
        EXPECT_EQ(t->SamVoprosEdit->width(), width - 16);
    }
    EXPECT_EQ(t->NewQueA->toolTip(), "Новый вопрос (F2)");
}

TEST_F(TopicWindowTest, PrintAsksAboutTheAnswersAndPrintsWhatTheTeacherSees) {
    start();
    auto owned = std::make_unique<vxg::RecordingPrinter>();
    vxg::RecordingPrinter* printer = owned.get();
    vxg::SetCurrentPrinter(std::move(owned));
    TTopicF* t = openWritten("print.vxg", MakeTopic(2));
    Type(t->SamVoprosEdit, " (edited)");
    ASSERT_TRUE(reachIdle());
    for (vxg::DlgResult answer : {vxg::DlgResult::Cancel, vxg::DlgResult::Yes}) {
        dialogs->answerNext(answer);
        mdi().PrintA->trigger();
    }
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).value(0), "Show correct answers to print?");
    EXPECT_EQ(printer->jobs, 1) << "none for Cancel";
    const QString all = printer->texts().join(u'\n');
    EXPECT_TRUE(all.contains("print.vxg"));
    EXPECT_TRUE(all.contains(" (edited)" + MakeQuestion(1).QuestionText)) << "typed at the start";
    EXPECT_TRUE(all.contains("Correct answer № 2"));
    vxg::SetCurrentPrinter(nullptr);
}

// What the editor reads it writes back unchanged, what it writes the examiner's reader opens.
TEST_F(TopicWindowTest, LongCyrillicTopicIsLoadedNavigatedAndSavedByteForByte) {
    start();
    TWorkQues topic{MakeLongQuestion(), MakeQuestion(2), MakeLongQuestion(), MakeQuestion(4)};
    topic[2].RightAnswer = "1";
    WriteQuestionFile(path("long.vxg"), topic);
    const QByteArray before = ReadRawFile(path("long.vxg"));

    TTopicF* t = openTopic(path("long.vxg"));
    ASSERT_EQ(t->SamVoprosEdit->text().size(), 255);
    EXPECT_EQ(t->SamVoprosEdit->text(), topic[0].QuestionText) << "shown whole";
    for (QLineEdit* e : t->TextFields())
        EXPECT_EQ(e->cursorPosition(), 0) << "shown from its start";
    for (QAction* move : {t->NextA, t->NextA, t->NextA, t->PrevA, t->PrevA, t->PrevA})
        run(t, move);
    // A change made and taken back: the topic is modified, its content is not.
    Type(t->Otv4Edit, "x");
    EXPECT_EQ(t->Otv4Edit->text(), topic[0].Answer4) << "no typing beyond 255";
    QTest::keyClick(t->Otv3Edit, Qt::Key_End);
    QTest::keyClick(t->Otv3Edit, Qt::Key_Backspace);
    QTest::keyClick(t->Otv3Edit, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(t->Topic.Modified);
    ASSERT_TRUE(t->SaveTopic());
    EXPECT_EQ(ReadRawFile(path("long.vxg")), before);

    // A question typed in the editor: the examiner's reader (the shared one) reads whole records,
    // the texts as typed.
    run(t, t->NewQueA);
    const QStringList texts{"Столица Франции — «Париж»? №1 ёЁ", "Да", "Нет", "Не знаю", "Oui"};
    for (int f = 0; f < 5; ++f)
        Type(t->TextFields()[f], texts[f]);
    t->PravOtvEd->setValue(4);
    ASSERT_TRUE(t->SaveTopic());
    EXPECT_EQ(ReadRawFile(path("long.vxg")).size(), 5 * kQuestionRecordSize);
    const TQuestion typed = ReadQuestionFile(path("long.vxg")).value(4);
    EXPECT_EQ(QStringList({typed.QuestionText, typed.Answer1, typed.Answer2, typed.Answer3, typed.Answer4}),
              texts);
    EXPECT_EQ(typed.RightAnswer, "4");
}

// Typed, pasted or dropped, a field takes what it can hold, as it shows it, up to 250 characters
// (a longer text from a file only gets shorter), and beeps for whatever it could not take.
TEST_F(TopicWindowTest, TextFieldsTakeWhatTheyCanHoldAndBeepForTheRest) {
    using Way = void (*)(TQuestionEdit*, const QString&);
    const Way typed = [](TQuestionEdit* e, const QString& s) { Type(e, s); };
    const Way ctrlV = [](TQuestionEdit* e, const QString& s) {
        QApplication::clipboard()->setText(s);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    };
    const Way overAll = [](TQuestionEdit* e, const QString& s) {
        QApplication::clipboard()->setText(s);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    };
    const Way menuPaste = [](TQuestionEdit* e, const QString& s) {
        QApplication::clipboard()->setText(s);
        e->end(false);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4), e->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(e, &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            if (a->text().startsWith(QLineEdit::tr("&Paste")))
                a->trigger();
        menu->close();
    };
    const Way dropped = [](TQuestionEdit* e, const QString& s) {
        QMimeData data;
        data.setText(s);
        const QPoint at(e->width() - 2, 4);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(e, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(e, &drop);
    };
    const Way afterDeletion = [](TQuestionEdit* e, const QString& s) {
        e->end(false);
        QTest::keyClick(e, Qt::Key_Backspace);
        Type(e, s);
    };
    const Way afterUndoneDeletion = [](TQuestionEdit* e, const QString& s) {
        e->end(false);
        QTest::keyClick(e, Qt::Key_Backspace), QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
        Type(e, s);
    };
    const QString read255 = MakeLongQuestion().Answer2, typed245(245, u'ж');
    const struct {
        const char* name;
        Way way;
        QString shown, entered, expected;
        int beeps;
    } cases[] = {
        {"typed past the limit", typed, "", QString(251, u'ж'), QString(250, u'ж'), 1},
        {"typed $", typed, "", "10$ or 20", "10 or 20", 1},
        {"typed after a deletion from 255", afterDeletion, read255, "x", read255.chopped(1), 1},
        {"typed after a deletion taken back", afterUndoneDeletion, read255, "x", read255, 1},
        {"line breaks and a tab", ctrlV, "", "Line 1\r\nLine 2\n\tend", "Line 1 Line 2  end", 0},
        {"past the limit, by the menu", menuPaste, typed245, "1234567890", typed245 + "12345", 1},
        {"over a whole 255", overAll, read255, QString(260, u'a'), QString(250, u'a'), 1},
        {"outside code page 1251", ctrlV, "", "snow \u2603 man", "snow  man", 1},
        {"dropped", dropped, "Q: ", "a$b\nc", "Q: ab c", 1},
    };
    start();
    TTopicF* t = newTopic("t.vxg");
    for (const auto& c : cases) {
        t->Topic.Questions[0].Answer2 = c.shown;
        t->ShowCurQue();
        QSignalSpy beeps(t->Otv2Edit, &TQuestionEdit::InputRefused);
        c.way(t->Otv2Edit, c.entered);
        EXPECT_EQ(t->Otv2Edit->text(), c.expected) << c.name;
        EXPECT_EQ(beeps.size(), c.beeps) << c.name;
    }
}

TEST_F(TopicWindowTest, SaveThatFailsHalfwayLeavesTheOldFileWholeAndTheTopicModified) {
    start();
    TTopicF* t = openWritten("old.vxg", MakeTopic(1));
    const QByteArray before = ReadRawFile(path("old.vxg"));
    t->Topic.InsertQuestions(1, MakeTopic(40));

    bool written = true;
    // The disk fills up after two records.
    ASSERT_TRUE(RunInProcessUnderFileSizeLimit(3000, [&] { written = t->SaveTopic(); }));
    EXPECT_FALSE(written);
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Disk write error\n" + path("old.vxg")});
    EXPECT_EQ(ReadRawFile(path("old.vxg")), before);
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(mdi().FileSave1->isEnabled()) << "still modified";
}

} // namespace
