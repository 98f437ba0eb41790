// The editor's main window: the language at start and switched with topic windows open, New and
// Open with their dialog, failed opens, the idle update, Exit, help, About, starting the examiner.
#include "editor_fixture.h"

#include "AboutU.h"
#include "Help.h"
#include "HelpWindowProbe.h"
#include "OptionsUnit.h"
#include "UiLanguage.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QTextBrowser>

namespace {

using MainWindowTest = EditorTest;

// The language stored (English without one) is in force from the start, Qt's own texts and the
// boxes' captions included; a switch relabels the active topic at once, the other when activated,
// and is stored at the end.
TEST_F(MainWindowTest, LanguageFollowsTheStoredChoiceAndTheSwitch) {
    EXPECT_EQ(start(-1).windowTitle(), "VXG Questions Editor v1.0.1");
    editor.reset();
    TMDIForm& m = start(0);
    EXPECT_TRUE(m.Rus1->isChecked());
    EXPECT_EQ(m.windowTitle(), "VXG Редактор вопросов v1.0.1");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    TTopicF* first = newTopic("a.vxg");
    TTopicF* second = newTopic("b.vxg");

    m.Eng1->trigger();
    EXPECT_EQ(m.File1->title(), "&Topic");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "Open");
    EXPECT_EQ(vxg::dialogCaption(vxg::DlgKind::Confirmation), "Confirm");
    EXPECT_EQ(second->NextA->text(), "Next question (F4)");
    EXPECT_EQ(second->PosLabel->text(), "Question 1-th from 1");
    EXPECT_EQ(first->NextA->text(), "Следующий вопрос (F4)") << "relabelled when activated";
    m.MdiArea->setActiveSubWindow(m.MdiArea->subWindowList().first());
    EXPECT_EQ(first->NextA->text(), "Next question (F4)");

    // Without a topic window the status panel follows the switch too.
    dialogs->answerNext(vxg::DlgResult::No);
    dialogs->answerNext(vxg::DlgResult::No);
    m.MdiArea->closeAllSubWindows();
    m.Rus1->trigger();
    ASSERT_TRUE(reachIdle());
    EXPECT_EQ(m.StatusPanel0->text(), LangTableText(40));
    m.FormDestroy();
    EXPECT_EQ(vxg::Registry().readInteger(kEditorKey, "LangN"), 0);
}

// F1 typed in a topic's field opens the contents both programs share, in the language in force,
// which lead to the editor's page.
TEST_F(MainWindowTest, HelpOpensTheSuitesContentsInTheLanguageInForce) {
    TMDIForm& m = start(0);
    TTopicF* t = newTopic("a.vxg");
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(t->SamVoprosEdit, Qt::Key_F1);
    QWidget* window = vxg::Help::instance().window();
    ASSERT_TRUE(window && window->isVisible());
    auto* browser = window->findChild<QTextBrowser*>();
    EXPECT_EQ(browser->source(), QUrl("qrc:/help/ru/contents.html"));
    EXPECT_TRUE(browser->toHtml().contains("IDH_Examwright.html"));
    window->hide();
}

// F1 in the parameters dialog shows its page in front of it, to be read and scrolled while the
// dialog stays open; once it has closed, the main window's help shows in a window of its own.
TEST_F(MainWindowTest, HelpFromTheParametersDialogCanBeReadWhileTheDialogStaysOpen) {
    TMDIForm& m = start();
    TOptionsForm& dlg = *editor->OptionsForm();
    EXPECT_TRUE(DriveModal(
        dlg, [&] { m.OptionsA->trigger(); },
        [&] { ExpectHelpReadableFrom(dlg, "qrc:/help/en/IDH_OptionsName.html"); }));

    m.HelpM->trigger();
    EXPECT_TRUE(HelpShownAsWindowOf(nullptr));
    EXPECT_EQ(HelpBrowser()->source().toString(), "qrc:/help/en/contents.html");
    EXPECT_TRUE(HelpScrollsByClick());
}

TEST_F(MainWindowTest, NewAndOpenDialogsRememberFolderAndName) {
    TMDIForm& m = start();
    EXPECT_EQ(fileCommand(m.FileNew1, QString()), nullptr); // cancelled
    EXPECT_EQ(dialogs->fileRequests[0].request.initialDir, QCoreApplication::applicationDirPath());
    EXPECT_FALSE(vxg::Registry().valueExists(kEditorKey, "LastDir"));

    QDir(dir.path()).mkpath("sub");
    openWritten("sub/one.vxg", MakeTopic(2));
    EXPECT_EQ(vxg::Registry().readString(kEditorKey, "LastDir"), path("sub"));
    fileCommand(m.FileOpen1, QString());
    EXPECT_EQ(dialogs->fileRequests[2].request.fileName, path("sub/one.vxg"));
    EXPECT_EQ(dialogs->fileRequests[2].request.initialDir, path("sub"));

    newTopic("two.vxg");
    EXPECT_EQ(vxg::Registry().readString(kEditorKey, "LastDir"), dir.path());
    fileCommand(m.FileOpen1, QString());
    EXPECT_EQ(dialogs->fileRequests.last().request.fileName, "Enter topic name") << "New resets the name";
}

// A LastDir that cannot be read is no folder at all: New and Open start in the program's folder,
// and the next confirmed command stores a readable one.
TEST_F(MainWindowTest, ALastDirOfAnotherTypeCountsAsMissing) {
    vxg::Registry().writeInteger(kEditorKey, "LastDir", 7);
    TMDIForm& m = start();
    fileCommand(m.FileOpen1, QString());
    newTopic("a.vxg");
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    ASSERT_EQ(dialogs->fileRequests.size(), 2);
    for (const auto& shown : dialogs->fileRequests)
        EXPECT_EQ(shown.request.initialDir, QCoreApplication::applicationDirPath());
    EXPECT_EQ(vxg::Registry().readString(kEditorKey, "LastDir"), dir.path());
}

TEST_F(MainWindowTest, FailedOpenLeavesNoWindowAndNoLastDirAndAnEmptyFileOpensAsOneQuestion) {
    TMDIForm& m = start();
    openTopic(path("missing.vxg")); // the other failures: TopicFileTest
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"File not found\n" + path("missing.vxg")});
    EXPECT_TRUE(m.Topics().isEmpty());
    EXPECT_FALSE(vxg::Registry().valueExists(kEditorKey, "LastDir"));
    WriteRawFile(path("empty.vxg"), {});
    EXPECT_EQ(openTopic(path("empty.vxg"))->PosLabel->text(), "Question 1-th from 1");
}

TEST_F(MainWindowTest, NewOnAnExistingFileAsksFirst) {
    TMDIForm& m = start();
    WriteTopic(path("old.vxg"), 2);
    const QByteArray before = ReadRawFile(path("old.vxg"));
    for (vxg::DlgResult answer : {vxg::DlgResult::No, vxg::DlgResult::Yes}) {
        dialogs->answerNext(answer);
        newTopic("old.vxg");
    }
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation).size(), 2);
    EXPECT_TRUE(dialogs->texts(vxg::DlgKind::Confirmation)[0].contains("old.vxg"));
    EXPECT_EQ(m.Topics().size(), 1) << "No opens none, Yes one";
    EXPECT_EQ(ReadRawFile(path("old.vxg")), before);
}

TEST_F(MainWindowTest, ExitAsksEveryModifiedTopicAndTheFirstCancelKeepsAllOpen) {
    TMDIForm& m = start();
    TTopicF* first = newTopic("first.vxg");
    Type(first->SamVoprosEdit, "One");
    first->PravOtvEd->setValue(1);
    Type(newTopic("second.vxg")->SamVoprosEdit, "Two");
    QSignalSpy closed(&m, &TMDIForm::Closed);

    dialogs->answerNext(vxg::DlgResult::Yes);
    dialogs->answerNext(vxg::DlgResult::Cancel);
    m.FileExit1->trigger();
    EXPECT_EQ(
        dialogs->texts(vxg::DlgKind::Confirmation),
        QStringList({"Save changes in the topic  first.vxg ?", "Save changes in the topic  second.vxg ?"}));
    EXPECT_TRUE(QFile::exists(path("first.vxg")));
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

TEST_F(MainWindowTest, MissingExaminerIsReportedAndTheWindowStaysAsItWas) {
    // The test programs lie apart from the built programs: no examiner is found beside this one.
    TMDIForm& m = start();
    m.CallVerirozazA->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(m.isMinimized());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{"Could not start the program VXG-Verirozaz."});
}

TEST_F(MainWindowTest, AboutBoxShowsTheEditorInTheLanguageInForce) {
    TMDIForm& m = start(0);
    TAboutBox* box = editor->AboutBox();
    QTimer::singleShot(0, box, [box] { box->OKButton->click(); });
    m.HelpAboutItem->trigger();
    EXPECT_EQ(box->ProductName->text(), "VXG Examwright");
    EXPECT_EQ(box->Comments->text(), "Редактор вопросов для сетевых тестов Velmora");

    // The maker's notice, on a line of its own inside the panel.
    QLabel* notice = nullptr;
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->text() == "© Brelkano. Все права защищены.")
            notice = label;
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisibleTo(box));
    EXPECT_TRUE(box->Panel->contentsRect().contains(notice->geometry()));
    for (QLabel* other : box->Panel->findChildren<QLabel*>())
        EXPECT_TRUE(other == notice || !other->geometry().intersects(notice->geometry()))
            << other->text().toStdString();
}

TEST_F(MainWindowTest, WindowCommandsTileMinimiseAndArrangeTheTopicWindows) {
    TMDIForm& m = start();
    m.resize(1000, 900);
    newTopic("a.vxg");
    newTopic("b.vxg");
    ASSERT_TRUE(reachIdle());
    const QList<QMdiSubWindow*> subs = m.MdiArea->subWindowList(QMdiArea::CreationOrder);
    const QRect area = m.MdiArea->viewport()->rect();
    const int w = area.width(), h = area.height();
    m.WindowTileVertical1->trigger();
    EXPECT_EQ(subs[1]->geometry(), QRect(w / 2, 0, w / 2, h));
    m.WindowTileHorizontal1->trigger();
    EXPECT_EQ(subs[1]->geometry(), QRect(0, h / 2, w, h / 2));
    m.WindowMinimizeAll1->trigger();
    EXPECT_TRUE(subs[0]->isMinimized() && subs[1]->isMinimized());
    m.WindowArrangeAll1->trigger();
    EXPECT_EQ(subs[0]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[1]->x(), subs[0]->width());
}

} // namespace
