// The editor's main window: start-up with and without a stored language, the language switch
// with topic windows open, New and Open with their dialog, failed opens, the idle update,
// Exit, the About box, starting the examiner.
#include "editor_fixture.h"

#include "AboutVelmora.h"
#include "CopyDlgU.h"
#include "Help.h"
#include "QuestionFile.h"
#include "UiLanguage.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace testfiles;

namespace {

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, LanguageAtStartFollowsTheStoredChoice) {
    const struct {
        const char* name;
        int stored; // -1: no key; -2: key without LangN
        bool russian;
    } cases[] = {{"no key", -1, false}, {"key without LangN", -2, false}, {"Russian", 0, true}, {"English", 200, false}};
    for (const auto& c : cases) {
        QFile::remove(vxg::Registry::defaultFilePath());
        if (c.stored == -2)
            vxg::Registry().writeString(kEditorKey, "LastDir", dir.path());
        else if (c.stored >= 0)
            storeLanguage(c.stored);
        TMDIForm& m = start();
        EXPECT_EQ(m.Rus1->isChecked(), c.russian) << c.name;
        EXPECT_EQ(m.Eng1->isChecked(), !c.russian) << c.name;
        EXPECT_EQ(m.windowTitle(), c.russian ? "VXG Редактор вопросов v1.0.1" : "VXG Questions Editor v1.0.1")
            << c.name;
        EXPECT_EQ(m.FileNew1->text(), c.russian ? "&Создать ..." : "&New ...") << c.name;
        EXPECT_TRUE(dialogs->boxes.isEmpty()) << c.name;
        EXPECT_EQ(vxg::dialogCaption(vxg::DlgKind::Warning), c.russian ? "Предупреждение" : "Warning") << c.name;
        m.FormDestroy();
        EXPECT_EQ(vxg::Registry().readInteger(kEditorKey, "LangN"), c.russian ? 0 : 200) << c.name;
        editor.reset();
    }
}

TEST_F(MainWindowTest, LanguageSwitchRelabelsTheActiveTopicAtOnceAndTheOtherWhenActivated) {
    storeLanguage(200);
    TMDIForm& m = start();
    TTopicF* first = newTopic("a.vxg");
    TTopicF* second = newTopic("b.vxg");
    ASSERT_EQ(m.ActiveTopic(), second);
    EXPECT_EQ(second->NextA->text(), "Next question (F4)");

    m.Rus1->trigger();
    EXPECT_EQ(m.windowTitle(), "VXG Редактор вопросов v1.0.1");
    EXPECT_EQ(m.File1->title(), "&Тема");
    EXPECT_TRUE(m.Rus1->isChecked());
    EXPECT_EQ(second->NextA->text(), "Следующий вопрос (F4)");
    EXPECT_EQ(second->PosLabel->text(), "Вопрос 1-й из 1");
    EXPECT_EQ(first->NextA->text(), "Next question (F4)") << "relabelled when activated";

    m.MdiArea->setActiveSubWindow(m.MdiArea->subWindowList().first());
    EXPECT_EQ(first->NextA->text(), "Следующий вопрос (F4)");
    EXPECT_EQ(first->Label2->text(), "Текст вопроса:");
    EXPECT_EQ(first->Label7->text(), "Правильный ответ №");

    // Without a topic window the status panel shows string 40 in the new language.
    dialogs->answerNext(vxg::DlgResult::No);
    dialogs->answerNext(vxg::DlgResult::No);
    m.MdiArea->closeAllSubWindows();
    m.Eng1->trigger();
    ASSERT_TRUE(reachIdle());
    EXPECT_EQ(m.StatusPanel0->text(), "Open or create topic");
    m.FormDestroy();
    EXPECT_EQ(vxg::Registry().readInteger(kEditorKey, "LangN"), 200);
}

// The boxes the editor shows itself take Qt's buttons and the captions of the language in force,
// after the switch and back.
TEST_F(MainWindowTest, RealBoxesFollowTheLanguageSwitch) {
    storeLanguage(200);
    TMDIForm& m = start();
    TTopicF* topic = newTopic("a.vxg");
    type(topic->SamVoprosEdit, "One");
    ScriptedDialogs::uninstall(); // the real boxes from here on
    dialogs = nullptr;

    const auto boxOnExit = [&m] {
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                        d->reject();
                return;
            }
            seen << box->windowTitle();
            for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                seen << box->button(b)->text().remove(u'&');
            box->button(QMessageBox::Cancel)->click();
        });
        m.FileExit1->trigger();
        return seen;
    };
    m.Rus1->trigger();
    EXPECT_EQ(boxOnExit(), QStringList({"Подтверждение", "Да", "Нет", "Отмена"}));
    // The copy dialog's Cancel is Qt's own button text too.
    QString cancel;
    QTimer::singleShot(0, [&cancel, &m] {
        cancel = m.CopyDlg->BitBtn2->text();
        m.CopyDlg->reject();
    });
    m.FileSave1Update();
    m.CopyQuesAction->trigger();
    EXPECT_EQ(cancel, QStringLiteral("Отмена"));
    EXPECT_EQ(vxg::platformTexts().printoutSaved, LangTableText(195));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Открыть"));
    m.Eng1->trigger();
    EXPECT_EQ(boxOnExit(), QStringList({"Confirm", "Yes", "No", "Cancel"}));
    EXPECT_EQ(vxg::platformTexts().printoutSaved, LangTableText(395));
    EXPECT_TRUE(m.isVisible()) << "Cancel keeps the program running";
}

// F1 opens the contents the two programs share: its title names the suite, not the examiner,
// and it leads to the editor's own page, in the language in force.
TEST_F(MainWindowTest, HelpOpensTheSuitesContentsInTheLanguageInForce) {
    storeLanguage(200);
    TMDIForm& m = start();
    for (QAction* language : {m.Eng1, m.Rus1}) {
        language->trigger();
        m.HelpM->trigger();
        QWidget* window = vxg::Help::instance().window();
        ASSERT_NE(window, nullptr);
        auto* browser = window->findChild<QTextBrowser*>();
        ASSERT_NE(browser, nullptr);
        const QString lang = LangOffset == 0 ? "ru" : "en";
        EXPECT_EQ(browser->source(), QUrl("qrc:/help/" + lang + "/contents.html"));
        EXPECT_EQ(window->windowTitle(), LangOffset == 0 ? "Справка VXG: содержание" : "VXG Help: Contents");
        EXPECT_TRUE(browser->toHtml().contains("IDH_Examwright.html")) << lang.toStdString();
        window->hide();
    }
    // F1 typed in a topic window's field runs the same command.
    TTopicF* t = newTopic("a.vxg");
    ASSERT_NE(t, nullptr);
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    t->SamVoprosEdit->setFocus();
    QTest::keyClick(t->SamVoprosEdit, Qt::Key_F1);
    EXPECT_TRUE(vxg::Help::instance().window()->isVisible());
    vxg::Help::instance().window()->hide();
    m.Eng1->trigger();
}

TEST_F(MainWindowTest, NewAndOpenDialogsRememberFolderAndName) {
    storeLanguage(200);
    TMDIForm& m = start();
    dialogs->cancelFile();
    m.FileNew1->trigger();
    ASSERT_EQ(dialogs->fileRequests.size(), 1);
    const vxg::FileDialogRequest first = dialogs->fileRequests[0].request;
    EXPECT_EQ(first.title, "New topic");
    EXPECT_EQ(first.fileName, "Topic 1");
    EXPECT_EQ(first.initialDir, QCoreApplication::applicationDirPath());
    EXPECT_EQ(first.filter, "VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(first.defaultSuffix, "vxg");
    EXPECT_TRUE(m.Topics().isEmpty());
    EXPECT_FALSE(vxg::Registry().valueExists(kEditorKey, "LastDir"));

    QDir(dir.path()).mkpath("sub");
    WriteQuestionFile(path("sub/one.vxg"), MakeTopic(2));
    openTopic(path("sub/one.vxg"));
    EXPECT_EQ(dialogs->fileRequests[1].request.title, "Open topic");
    EXPECT_EQ(dialogs->fileRequests[1].request.fileName, "Enter topic name");
    EXPECT_EQ(vxg::Registry().readString(kEditorKey, "LastDir"), path("sub"));

    dialogs->cancelFile();
    m.FileOpen1->trigger();
    EXPECT_EQ(dialogs->fileRequests[2].request.fileName, path("sub/one.vxg"));
    EXPECT_EQ(dialogs->fileRequests[2].request.initialDir, path("sub"));

    TTopicF* created = newTopic("two.vxg");
    EXPECT_EQ(created->windowTitle(), "two.vxg");
    EXPECT_EQ(vxg::Registry().readString(kEditorKey, "LastDir"), dir.path());
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(m.FileSave1->isEnabled()) << "a new topic counts as modified";
    EXPECT_EQ(m.StatusPanel1->text(), "Modified");
    EXPECT_EQ(m.StatusPanel0->text(), "Now you can edit questions...");
    dialogs->cancelFile();
    m.FileOpen1->trigger();
    EXPECT_EQ(dialogs->fileRequests.last().request.fileName, "Enter topic name") << "New resets the name";

    // The same file opened twice gives two windows.
    openTopic(path("sub/one.vxg"));
    openTopic(path("sub/one.vxg"));
    EXPECT_EQ(m.Topics().size(), 4);
}

// The status panel of a modified topic shows its whole text also in the restored window, where
// the first panel gives way; a wide window keeps the first panel at 550 pixels.
TEST_F(MainWindowTest, StatusPanelsKeepTheModifiedTextWhole) {
    storeLanguage(0);
    TMDIForm& m = start();
    newTopic("one.vxg");
    ASSERT_TRUE(reachIdle());
    ASSERT_EQ(m.StatusPanel1->text(), LangTableText(39));
    for (int width : {591, 1280}) {
        m.resize(width, 418);
        m.statusBar()->layout()->activate();
        EXPECT_GE(m.StatusPanel1->width(), m.StatusPanel1->sizeHint().width()) << width;
        EXPECT_LE(m.StatusPanel1->geometry().right(), m.statusBar()->width()) << width;
        EXPECT_GE(m.StatusPanel0->width(), m.StatusPanel0->sizeHint().width()) << width;
        if (width == 1280) {
            EXPECT_EQ(m.StatusPanel0->width(), 550);
        }
    }
}

// In the restored main window the topic window does not fit: the area scrolls to what is hidden.
TEST_F(MainWindowTest, RestoredWindowScrollsToTheWholeTopic) {
    TMDIForm& m = start();
    m.resize(591, 418);
    TTopicF* t = newTopic("one.vxg");
    ASSERT_NE(t, nullptr);
    QMdiSubWindow* sub = m.MdiArea->subWindowList().first();
    sub->resize(sub->sizeHint().expandedTo(QSize(730, 450)));
    QApplication::processEvents();
    ASSERT_GT(sub->width(), m.MdiArea->viewport()->width());
    EXPECT_TRUE(m.MdiArea->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(m.MdiArea->verticalScrollBar()->isVisible());
    EXPECT_GE(m.MdiArea->horizontalScrollBar()->maximum(), sub->width() - m.MdiArea->viewport()->width());
}

TEST_F(MainWindowTest, FailedOpenLeavesNoWindowAndNoLastDir) {
    storeLanguage(200);
    TMDIForm& m = start();
    WriteTopic(path("three.vxg"), 3);
    WriteRawFile(path("partial.vxg"), ReadRawFile(path("three.vxg")) + QByteArray(100, 'x'));
    const struct {
        const char* file;
        const char* error;
    } cases[] = {{"missing.vxg", "File not found"}, {"partial.vxg", "Read beyond end of file"}};
    for (const auto& c : cases) {
        dialogs->boxes.clear();
        openTopic(path(c.file));
        EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{QString(c.error) + "\n" + path(c.file)});
        EXPECT_TRUE(m.Topics().isEmpty()) << c.file;
        EXPECT_FALSE(vxg::Registry().valueExists(kEditorKey, "LastDir")) << c.file;
    }
    // A file of no record opens as one empty question.
    WriteRawFile(path("empty.vxg"), {});
    TTopicF* t = openTopic(path("empty.vxg"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Topic.Questions, TWorkQues{TQuestion{}});
    EXPECT_EQ(t->PosLabel->text(), "Question 1-th from 1");
}

TEST_F(MainWindowTest, NewOnAnExistingFileAsksFirst) {
    storeLanguage(200);
    TMDIForm& m = start();
    WriteTopic(path("old.vxg"), 2);
    const QByteArray before = ReadRawFile(path("old.vxg"));

    dialogs->answerNext(vxg::DlgResult::No);
    newTopic("old.vxg");
    ASSERT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).size(), 1);
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Confirmation)[0].contains("old.vxg"));
    EXPECT_TRUE(m.Topics().isEmpty());
    EXPECT_EQ(ReadRawFile(path("old.vxg")), before);

    dialogs->answerNext(vxg::DlgResult::Yes);
    EXPECT_NE(newTopic("old.vxg"), nullptr);
    EXPECT_EQ(m.Topics().size(), 1);
}

TEST_F(MainWindowTest, IdleUpdateFollowsTheTopicWindows) {
    storeLanguage(200);
    TMDIForm& m = start();
    QList<QAction*> windowCommands{m.WindowCascade1, m.WindowTileHorizontal1, m.WindowTileVertical1,
                                   m.WindowMinimizeAll1, m.WindowArrangeAll1};
    auto expectOpen = [&](bool open, const char* step) {
        ASSERT_TRUE(reachIdle()) << step;
        for (QAction* a : {m.CutQuesAction, m.CopyQuesAction, m.CloseTopicAction, m.PrintA})
            EXPECT_EQ(a->isEnabled(), open) << step << " " << a->objectName().toStdString();
        for (QAction* a : {m.CutQuesAction, m.CopyQuesAction, m.PasteQuesAction})
            EXPECT_EQ(a->isVisible(), open) << step << " " << a->objectName().toStdString();
        for (QAction* a : windowCommands)
            EXPECT_EQ(a->isEnabled(), open) << step << " " << a->objectName().toStdString();
    };
    expectOpen(false, "at start");
    EXPECT_EQ(m.StatusPanel0->text(), "Open or create topic");
    WriteQuestionFile(path("t.vxg"), MakeTopic(3));
    TTopicF* t = openTopic(path("t.vxg"));
    expectOpen(true, "one window");
    EXPECT_FALSE(m.FileSave1->isEnabled()) << "a loaded topic is unchanged";
    EXPECT_EQ(m.StatusPanel1->text(), "");

    type(t->SamVoprosEdit, "!");
    ASSERT_TRUE(reachIdle());
    EXPECT_TRUE(m.FileSave1->isEnabled());
    EXPECT_EQ(m.StatusPanel1->text(), "Modified");

    dialogs->answerNext(vxg::DlgResult::No);
    m.CloseTopicAction->trigger();
    expectOpen(false, "last window closed");
    EXPECT_FALSE(m.TopicModified);
    ASSERT_TRUE(reachIdle());
    EXPECT_FALSE(m.FileSave1->isEnabled());
    EXPECT_EQ(m.StatusPanel1->text(), "");
    EXPECT_EQ(m.StatusPanel0->text(), "Open or create topic");
}

TEST_F(MainWindowTest, ExitAsksEveryModifiedTopicAndTheFirstCancelKeepsAllOpen) {
    storeLanguage(200);
    TMDIForm& m = start();
    TTopicF* first = newTopic("first.vxg");
    type(first->SamVoprosEdit, "One");
    first->PravOtvEd->setValue(1);
    TTopicF* second = newTopic("second.vxg");
    type(second->SamVoprosEdit, "Two");
    QSignalSpy closed(&m, &TMDIForm::Closed);

    dialogs->answerNext(vxg::DlgResult::Yes);
    dialogs->answerNext(vxg::DlgResult::Cancel);
    m.FileExit1->trigger();
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation),
              QStringList({"Save changes in the topic  first.vxg ?", "Save changes in the topic  second.vxg ?"}));
    EXPECT_TRUE(QFile::exists(path("first.vxg")));
    EXPECT_FALSE(QFile::exists(path("second.vxg")));
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.Topics().size(), 2);
    EXPECT_EQ(closed.count(), 0);

    // Now the first asks nothing; No in the second lets the program end.
    dialogs->boxes.clear();
    dialogs->answerNext(vxg::DlgResult::No);
    m.FileExit1->trigger();
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).size(), 1);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(QFile::exists(path("second.vxg")));
}

TEST_F(MainWindowTest, FailedSaveSaysWhyAndKeepsTheTopicModified) {
    storeLanguage(200);
    start();
    TTopicF* t = newTopic("gone/t.vxg"); // the folder does not exist
    type(t->SamVoprosEdit, "Q");
    t->PravOtvEd->setValue(2);
    EXPECT_FALSE(t->SaveTopic());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Path not found\n" + path("gone/t.vxg")});
    EXPECT_TRUE(t->Topic.Modified);
    dialogs->answerNext(vxg::DlgResult::Yes);
    EXPECT_FALSE(t->FormCloseQuery()) << "a failed save at the close keeps the window";
}

TEST_F(MainWindowTest, MissingExaminerIsReportedAndTheWindowStaysAsItWas) {
    // The test programs lie apart from the built programs, so no examiner is found beside this one.
    storeLanguage(200);
    TMDIForm& m = start();
    m.CallVerirozazA->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(m.isMinimized());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Could not start the program VXG-Verirozaz.exe."});
}

TEST_F(MainWindowTest, AboutBoxShowsTheEditorInTheLanguageInForce) {
    storeLanguage(0);
    TMDIForm& m = start();
    TAboutBox* box = editor->AboutBox();
    QTimer::singleShot(0, box, [box] { box->OKButton->click(); });
    m.HelpAboutItem->trigger();
    EXPECT_EQ(box->windowTitle(), "About");
    EXPECT_EQ(box->size(), QSize(298, 229));
    EXPECT_EQ(box->ProductName->text(), "VXG Examwright");
    EXPECT_EQ(box->Version->text(), "Версия 1.0.1");
    EXPECT_EQ(box->Comments->text(), "Редактор вопросов для сетевых тестов Velmora");
}

TEST_F(MainWindowTest, MenusAndToolBarHoldTheirCommandsInOrder) {
    TMDIForm& m = start();
    auto names = [](const QList<QAction*>& actions) {
        QStringList out;
        for (QAction* a : actions)
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return out;
    };
    EXPECT_EQ(names(m.File1->actions()), QStringList({"FileNew1", "FileOpen1", "FileSave1", "PrintA",
                                                      "CloseTopicAction", "-", "CallVerirozazA", "-", "FileExit1"}));
    EXPECT_EQ(names(m.ToolBar->actions()),
              QStringList({"FileNew1", "FileOpen1", "FileSave1", "PrintA", "CloseTopicAction", "-",
                           "CutQuesAction", "CopyQuesAction", "PasteQuesAction", "-", "WindowCascade1",
                           "WindowTileHorizontal1", "WindowTileVertical1", "-", "HelpM", "-", "FileExit1"}));
    const QList<std::pair<QAction*, QKeySequence>> keys{
        {m.FileNew1, QKeySequence("Ctrl+N")},         {m.FileOpen1, QKeySequence("Ctrl+O")},
        {m.FileSave1, QKeySequence("Ctrl+S")},        {m.PrintA, QKeySequence("Ctrl+P")},
        {m.CloseTopicAction, QKeySequence("Shift+F4")}, {m.CallVerirozazA, QKeySequence("F9")},
        {m.CutQuesAction, QKeySequence("Ctrl+Alt+X")}, {m.CopyQuesAction, QKeySequence("Ctrl+Alt+C")},
        {m.PasteQuesAction, QKeySequence("Ctrl+Alt+V")}, {m.OptionsA, QKeySequence("F12")},
        {m.HelpM, QKeySequence("F1")},
    };
    for (const auto& [action, key] : keys)
        EXPECT_EQ(action->shortcut(), key) << action->objectName().toStdString();
}

} // namespace

namespace {

TEST_F(MainWindowTest, LastDirOfAnotherTypeIsReportedBeforeTheDialogOpens) {
    storeLanguage(200);
    vxg::Registry().writeInteger(kEditorKey, "LastDir", 7);
    TMDIForm& m = start();
    for (QAction* command : {m.FileNew1, m.FileOpen1}) {
        dialogs->boxes.clear();
        command->trigger();
        EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Invalid data type for 'LastDir'"});
    }
    EXPECT_TRUE(dialogs->fileRequests.isEmpty());
}

TEST_F(MainWindowTest, WindowCommandsTileMinimiseAndArrangeTheTopicWindows) {
    TMDIForm& m = start();
    m.resize(1000, 900);
    newTopic("a.vxg");
    newTopic("b.vxg");
    ASSERT_TRUE(reachIdle());
    const QList<QMdiSubWindow*> subs = m.MdiArea->subWindowList(QMdiArea::CreationOrder);
    const QRect area = m.MdiArea->viewport()->rect();

    m.WindowTileVertical1->trigger();
    EXPECT_EQ(subs[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(subs[1]->geometry(), QRect(area.width() / 2, 0, area.width() / 2, area.height()));

    m.WindowTileHorizontal1->trigger();
    EXPECT_EQ(subs[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(subs[1]->geometry(), QRect(0, area.height() / 2, area.width(), area.height() / 2));

    m.WindowMinimizeAll1->trigger();
    EXPECT_TRUE(subs[0]->isMinimized());
    EXPECT_TRUE(subs[1]->isMinimized());
    m.WindowArrangeAll1->trigger();
    EXPECT_EQ(subs[0]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[0]->x(), 0);
    EXPECT_EQ(subs[1]->x(), subs[0]->width());
}

} // namespace
