// Saving, opening and closing archives on the real main window with scripted dialogs: what is
// written, what is shown, and that a file, a set or a topic that cannot be used changes nothing.
#include "test_grid_fixture.h"

#include "OptionSetStore.h"
#include "OptionsU.h"
#include "TestStation.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <sys/resource.h>

namespace {

using vxg::DlgKind;

const QString kAnna = QString::fromUtf8("Иванова Анна");
const QByteArray kAnnaBytes = "\xC8\xE2\xE0\xED\xEE\xE2\xE0\x20\xC0\xED\xED\xE0";

// Scripted dialogs that run `whileOpen` while the save dialog is "open", as the window's
// messages are acted on during a real dialog's own event loop.
class DialogsWithNestedLoop : public ScriptedDialogs {
public:
    std::optional<QString> saveFile(const vxg::FileDialogRequest& request, QWidget* parent) override {
        if (whileOpen)
            whileOpen();
        return ScriptedDialogs::saveFile(request, parent);
    }
    std::function<void()> whileOpen;
};

class ArchiveWindowTest : public ExaminerWindowTest {
protected:
    void SetUp() override {
        ExaminerWindowTest::SetUp();
        ASSERT_TRUE(files.isValid());
        topic = file("Physics.vxg");
        s->TopicQuestions = testfiles::WriteTopic(topic, 12);
        w->OpenDialogFileName = topic;
    }

    QString file(const QString& name) const { return files.path() + "/" + name; }

    static TTestOptions storeSet(const QString& name, int n) {
        TTestOptions o = FactoryTestOptions();
        o.GivenVopr = n;
        o.MaxTime = 33;
        OptionSetStore().save(name, o);
        return o;
    }

    // A finished testing with cards of 5 under the set "Exam": a student with a grade, one
    // without, and one registered after the give-out (no card).
    void finishTesting() {
        s->ActiveOptions = storeSet("Exam", 5);
        s->OptionsName = "Exam";
        w->SetupGrid();
        registerStudents(3);
        s->Students[0].Name = kAnna;
        w->StudentName->setItemText(0, kAnna);
        w->StringGrid->SetCell(0, 1, kAnna);
        giveCard(0, 5, "21341");
        giveCard(1, 5, "3");
        s->Students[0].Mark = 7;
        w->StringGrid->SetCell(1, 1, "7");
        s->AttState = AttIsFinished;
        w->QuickHelpAUpdate();
    }

    void save(const QString& path) {
        dialogs->chooseFile(path);
        w->QuickHelpAUpdate();
        ASSERT_TRUE(w->SaveResults->isEnabled());
        w->SaveResults->trigger();
    }

    void open(const QString& path) {
        dialogs->chooseFile(path);
        w->QuickHelpAUpdate();
        ASSERT_TRUE(w->LoadArhiv->isEnabled());
        w->LoadArhiv->trigger();
    }

    // Everything an archive that cannot be opened must leave as it was.
    QStringList screen() const {
        QStringList out{w->windowTitle(),
                        w->StatusPanel0->text(),
                        w->StatusPanel1->text(),
                        s->OptionsName,
                        w->OpenDialogFileName,
                        QString::number(s->AttState),
                        QString::number(s->StudentCount),
                        QString::number(s->TopicQuestions.size()),
                        QString::number(s->ActiveOptions.GivenVopr),
                        QString::number(s->EditOptions.GivenVopr)};
        for (int r = 0; r < w->StringGrid->RowCount(); ++r)
            for (int c = 0; c < w->StringGrid->ColCount(); ++c)
                out << cell(c, r);
        for (int k = 0; k < w->StudentName->count(); ++k)
            out << w->StudentName->itemText(k);
        for (const TClient& c : s->Students)
            out << c.Name;
        return out;
    }

    QTemporaryDir files;
    QString topic;
};

TEST_F(ArchiveWindowTest, SavedResultsAreTheLayoutAndOpenAsTheyWere) {
    finishTesting();
    const QStringList before = screen();
    save(file("Form5")); // typed without a suffix

    ASSERT_EQ(dialogs->fileRequests.size(), 1);
    const vxg::FileDialogRequest& req = dialogs->fileRequests[0].request;
    EXPECT_TRUE(dialogs->fileRequests[0].save);
    EXPECT_EQ(req.title, "Save results");
    EXPECT_EQ(req.fileName, "Archieve1");
    EXPECT_EQ(req.filterIndex, 3);
    EXPECT_EQ(req.defaultSuffix, "arh");
    EXPECT_EQ(req.initialDir, programDir.path());
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    const QByteArray want = topic.toUtf8() + "\r\nExam\r\n3\r\n" + kAnnaBytes + "\r\n7\r\n" +
                            "0#2#-#$1#1#-#$2#3#+#$3#4#+#$4#1#+#$\r\n" + "Student 2\r\n0\r\n" +
                            "0#3#-#$1###$2###$3###$4###$\r\n" + "Student 3\r\n0\r\n" +
                            "-1###$-1###$-1###$-1###$-1###$\r\n";
    EXPECT_EQ(testfiles::ReadRawFile(file("Form5.arh")), want);
    EXPECT_FALSE(w->SaveResults->isEnabled());
    EXPECT_EQ(TWorkF::ReadLastDir(1), files.path());
    EXPECT_EQ(s->WorkDir, files.path());
    EXPECT_EQ(screen(), before); // saving changes nothing on screen
    EXPECT_TRUE(w->ConfirmLeaveWithResults());
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    // Saved again under the same name: the same file, without a question.
    save(file("Form5.arh"));
    EXPECT_EQ(testfiles::ReadRawFile(file("Form5.arh")), want);

    w->CloseArhivClick(); // the station as after closing: no students, no topic
    open(file("Form5.arh"));
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    const vxg::FileDialogRequest& openReq = dialogs->fileRequests.last().request;
    EXPECT_FALSE(dialogs->fileRequests.last().save);
    EXPECT_EQ(openReq.title, "Open archieve");
    EXPECT_EQ(openReq.fileName, "Archieve1");
    EXPECT_EQ(openReq.filterIndex, 3);
    EXPECT_EQ(openReq.initialDir, files.path());

    EXPECT_EQ(s->AttState, ArhIsOpen);
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " - Looking for archieve: Form5.arh");
    EXPECT_EQ(w->StatusPanel0->text(), "Looking for archieve...");
    EXPECT_EQ(w->StatusPanel1->text(), "Parameters of testing: Exam");
    EXPECT_EQ(w->StudentName->placeholderText(), "Choose student for looking for");
    EXPECT_EQ(w->StudentName->currentIndex(), -1);
    EXPECT_EQ(s->TopicQuestions.size(), 12);
    EXPECT_EQ(w->OpenDialogFileName, topic);
    // Only the title, the status panels, the dialog's copy of the set (now the archive's) and
    // the grade "0" of the two students without one differ.
    QStringList shown = screen();
    QStringList expected = before;
    for (int i : {0, 1, 2})
        shown[i] = expected[i];
    expected[5] = QString::number(ArhIsOpen);
    expected[9] = "5";
    auto gradeCell = [](int row) { return 10 + row * 7 + 1; }; // after the ten state texts
    expected[gradeCell(2)] = expected[gradeCell(3)] = "0";
    EXPECT_EQ(shown, expected);

    // The card view: a question of the card, and nothing for a position no card had.
    w->StudentName->setCurrentIndex(0);
    w->StudentNameChange(w->StudentName);
    EXPECT_EQ(w->SamVoprLabel->text(), s->TopicQuestions[0].QuestionText);
    w->StudentName->setCurrentIndex(2);
    w->StudentNameChange(w->StudentName);
    EXPECT_TRUE(w->SamVoprLabel->text().isEmpty());

    // A language switch relabels and keeps the archive and its title.
    w->Rus1Click();
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + QString::fromUtf8(" - Просмотр архива: Form5.arh"));
    EXPECT_EQ(cell(2, 0), QString::fromUtf8("1 вопр."));
    EXPECT_EQ(cell(4, 1), "+");

    w->QuickHelpAUpdate();
    ASSERT_TRUE(w->CloseArhiv->isEnabled());
    w->CloseArhiv->trigger();
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_EQ(s->StudentCount, 0);
    EXPECT_TRUE(s->Students.isEmpty());
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
    EXPECT_EQ(w->StringGrid->RowCount(), 2);
    EXPECT_TRUE(cell(0, 1).isEmpty());
    EXPECT_EQ(w->windowTitle(), s->BaseCaption);
    EXPECT_EQ(w->StatusPanel0->text(), lang(56));
    EXPECT_EQ(w->StatusPanel1->text(), lang(46) + "Exam");
}

// A station registers while the save dialog is open. The newcomer is on screen, so he is in the
// file, and he reads back as he shows: no card, nothing answered, no grade ("0" in an archive);
// everyone else as before. What is saved is what is shown: leaving asks nothing.
TEST_F(ArchiveWindowTest, ARegistrationWhileTheSaveDialogIsOpenIsSavedAsTheGridShowsIt) {
    auto hooked = std::make_unique<DialogsWithNestedLoop>();
    DialogsWithNestedLoop& nested = *hooked;
    dialogs = hooked.get();
    vxg::Dialogs::install(std::move(hooked));
    w->show(); // messages are acted on from now
    finishTesting();
    TTestStation late(QHostAddress(QStringLiteral("127.0.0.41")), w->LinkPort(), QStringLiteral("Late"));
    nested.whileOpen = [&] {
        ASSERT_TRUE(late.Register());
        ASSERT_TRUE(QTest::qWaitFor([&] { return s->StudentCount == 4; }, 3000));
    };
    save(file("Form5.arh"));
    nested.whileOpen = nullptr;

    auto rows = [&] {
        QStringList out;
        for (int r = 1; r < w->StringGrid->RowCount(); ++r)
            for (int c = 0; c < w->StringGrid->ColCount(); ++c)
                out << cell(c, r);
        return out;
    };
    const QStringList shown = rows();
    ASSERT_EQ(shown.size(), 4 * 7);
    EXPECT_EQ(shown.mid(3 * 7), (QStringList{"Late", "", "", "", "", "", ""}));
    EXPECT_TRUE(testfiles::ReadRawFile(file("Form5.arh"))
                    .endsWith("\r\n4\r\n" + kAnnaBytes + "\r\n7\r\n0#2#-#$1#1#-#$2#3#+#$3#4#+#$4#1#+#$\r\n"
                              "Student 2\r\n0\r\n0#3#-#$1###$2###$3###$4###$\r\n"
                              "Student 3\r\n0\r\n-1###$-1###$-1###$-1###$-1###$\r\n"
                              "Late\r\n0\r\n-1###$-1###$-1###$-1###$-1###$\r\n"));
    dialogs->boxes.clear();
    EXPECT_TRUE(w->ConfirmLeaveWithResults());
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    w->CloseArhivClick();
    open(file("Form5.arh"));
    ASSERT_EQ(s->AttState, ArhIsOpen);
    QStringList expected = shown;
    for (int r : {1, 2, 3}) // the students without a grade show "0" in an archive
        expected[r * 7 + 1] = "0";
    EXPECT_EQ(rows(), expected);
    w->StudentName->setCurrentIndex(3);
    w->StudentNameChange(w->StudentName);
    EXPECT_TRUE(w->SamVoprLabel->text().isEmpty()); // no card: no question in the card view
}

TEST_F(ArchiveWindowTest, OpensFromStatusQuoReadyAndAnotherArchive) {
    storeSet("Seven", 7);
    storeSet("Exam", 5);
    testfiles::WriteRawFile(file("b.arh"),
                            topic.toUtf8() + "\r\nSeven\r\n2\r\nB1\r\n5\r\n" +
                                "0#1#+#$1#1#-#$2###$3###$4###$5###$6#4#-#$\r\nB2\r\n12\r\n\r\n");
    testfiles::WriteRawFile(
        file("a.arh"), topic.toUtf8() + "\r\nExam\r\n3\r\nA1\r\n1\r\n\r\nA2\r\n2\r\n\r\nA3\r\n3\r\n\r\n");
    for (quint8 from : {StatusQuo, Ready, ArhIsOpen}) {
        SCOPED_TRACE(from);
        w->CloseArhivClick();
        if (from == Ready) {
            s->TopicQuestions = testfiles::MakeTopic(3);
            registerStudents(2); // registered, then dropped by the archive
            s->AttState = Ready;
        } else if (from == ArhIsOpen) {
            open(file("a.arh"));
            ASSERT_EQ(s->StudentCount, 3);
        }
        open(file("b.arh"));
        EXPECT_EQ(s->AttState, ArhIsOpen);
        EXPECT_EQ(s->StudentCount, 2);
        EXPECT_EQ(w->StringGrid->ColCount(), 9);
        EXPECT_EQ(w->StringGrid->RowCount(), 3);
        EXPECT_EQ(w->StudentName->count(), 2);
        EXPECT_EQ(QStringList({cell(0, 1), cell(1, 1), cell(2, 1), cell(3, 1), cell(8, 1)}),
                  QStringList({"B1", "5", "+", "-", "-"}));
        EXPECT_EQ(QStringList({cell(0, 2), cell(1, 2), cell(2, 2)}), QStringList({"B2", "12", ""}));
        EXPECT_EQ(s->TopicQuestions.size(), 12);
        EXPECT_EQ(w->windowTitle(), s->BaseCaption + " - Looking for archieve: b.arh");
    }
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

// The set named on line 2 decides N when the archive is opened.
TEST_F(ArchiveWindowTest, ChangedDeletedOrUnnamedSet) {
    const QByteArray pieces = "0#1#+#$1#2#+#$2#3#+#$3#4#+#$4#1#-#$5#1#-#$6#1#-#$\r\n";
    struct Case {
        QByteArray setLine;
        int storedN; // 0: the set is not stored
        int columns;
        QString setInForce;
    };
    for (const Case& c : {Case{"Exam", 5, 7, "Exam"}, Case{"Exam", 9, 11, "Exam"},
                          Case{"Exam", 0, 12, "Default"}, Case{"", 0, 12, "Default"}}) {
        SCOPED_TRACE(c.storedN);
        OptionSetStore().remove("Exam");
        if (c.storedN)
            storeSet("Exam", c.storedN);
        testfiles::WriteRawFile(file("c.arh"),
                                topic.toUtf8() + "\r\n" + c.setLine + "\r\n1\r\nA\r\n9\r\n" + pieces);
        dialogs->boxes.clear();
        open(file("c.arh"));
        EXPECT_EQ(dialogs->texts(DlgKind::Error), c.storedN ? QStringList() : QStringList{lang(116)});
        EXPECT_EQ(s->AttState, ArhIsOpen);
        EXPECT_EQ(w->StringGrid->ColCount(), c.columns);
        EXPECT_EQ(s->Students[0].Answers.size(), c.columns - 2);
        EXPECT_EQ(cell(8, 1), c.columns > 8 ? "-" : "");
        EXPECT_TRUE(cell(9, 1).isEmpty()); // past the archive's seven pieces
        EXPECT_EQ(s->OptionsName, c.setInForce);
        EXPECT_EQ(w->StatusPanel1->text(), lang(46) + c.setInForce);
    }
}

TEST_F(ArchiveWindowTest, AMovedTopicIsPickedAgainOrTheOpeningStops) {
    QTemporaryDir archives;
    const QString archive = archives.path() + "/Moved.arh";
    testfiles::WriteRawFile(archive,
                            file("gone/Physics.vxg").toUtf8() + "\r\nDefault\r\n1\r\nA\r\n4\r\n0#1#+#$\r\n");
    s->AttState = Ready;
    w->setWindowTitle(s->BaseCaption + " -- Physics.vxg");
    registerStudents(2);
    const QStringList before = screen();

    dialogs->chooseFile(archive);
    dialogs->cancelFile();
    w->LoadArhiv->trigger();
    EXPECT_EQ(dialogs->texts(DlgKind::Error),
              QStringList({lang(123),
                           englishText(160).arg(archive, englishText(170).arg(file("gone/Physics.vxg")))}));
    EXPECT_EQ(screen(), before);
    EXPECT_TRUE(TWorkF::ReadLastDir(1).isEmpty());

    const QString moved = archives.path() + "/Physics.vxg";
    testfiles::WriteTopic(moved, 4);
    dialogs->boxes.clear();
    dialogs->chooseFile(archive);
    dialogs->chooseFile(moved);
    w->LoadArhiv->trigger();
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{lang(123)});
    EXPECT_EQ(s->AttState, ArhIsOpen);
    EXPECT_EQ(s->TopicQuestions.size(), 4);
    EXPECT_EQ(w->OpenDialogFileName, moved);
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " - Looking for archieve: Moved.arh");
    EXPECT_EQ(TWorkF::ReadLastDir(1), archives.path());
    EXPECT_EQ(TWorkF::ReadLastDir(0), archives.path());
}

TEST_F(ArchiveWindowTest, AnArchiveThatCannotBeUsedChangesNothing) {
    s->AttState = Ready;
    w->setWindowTitle(s->BaseCaption + " -- Physics.vxg");
    w->SetupGrid();
    registerStudents(2);
    vxg::Registry().writeString(OptionSetKey("Broken"), "LastName", "x");
    storeSet("Huge", 1000);
    const QByteArray head = topic.toUtf8() + "\r\n";
    struct Case {
        QByteArray bytes; // empty: no file
        QString what;
    };
    const QList<Case> cases{
        {"", englishText(167).arg("No such file or directory")},
        {head + "Default\r\nmany\r\n", englishText(161).arg("many")},
        {head + "Default\r\n1\r\nA\r\n4\r\n0#1#+#$x\r\n", englishText(165).arg(6).arg(2).arg("x")},
        {head + "Broken\r\n0\r\n", englishText(168).arg("Broken", "Failed to get data for 'GivenVopr'")},
        {head + "Huge\r\n0\r\n", englishText(168).arg("Huge", englishText(190).arg("Huge", "GivenVopr"))},
    };
    const QStringList before = screen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        const QString path = file(c.bytes.isEmpty() ? "missing.arh" : "bad.arh");
        if (!c.bytes.isEmpty())
            testfiles::WriteRawFile(path, c.bytes);
        dialogs->boxes.clear();
        open(path);
        EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{englishText(160).arg(path, c.what)});
        EXPECT_EQ(screen(), before);
    }
}

TEST_F(ArchiveWindowTest, ASaveThatCannotBeDoneKeepsTheOldFileAndTheCommand) {
    finishTesting();
    const QByteArray topicBytes = testfiles::ReadRawFile(topic);

    save(topic); // never over the question file the archive names
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{englishText(173).arg(topic)});
    EXPECT_EQ(testfiles::ReadRawFile(topic), topicBytes);

    dialogs->boxes.clear();
    const QString nowhere = file("no-such-folder/Form5.arh");
    save(nowhere);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_TRUE(dialogs->boxes[0].text.startsWith("The results were not saved in <" + nowhere + ">: "));
    EXPECT_TRUE(w->SaveResults->isEnabled());
    EXPECT_TRUE(TWorkF::ReadLastDir(1).isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));

    // A full disk: the old archive stays whole and no temporary file is left behind.
    const QString old = file("Old.arh");
    testfiles::WriteRawFile(old, "old");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    dialogs->boxes.clear();
    save(old);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_TRUE(dialogs->boxes[0].text.startsWith("The results were not saved in <" + old + ">: "));
    EXPECT_EQ(testfiles::ReadRawFile(old), "old");
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Old.arh", "Physics.vxg"}));
    EXPECT_TRUE(w->SaveResults->isEnabled());
    EXPECT_TRUE(TWorkF::ReadLastDir(1).isEmpty());
}

// Saved under "No Name": the dialog shows the parameters of the testing, and a set saved there
// is that one and is named on line 2.
TEST_F(ArchiveWindowTest, TheNoNamePathSavesTheParametersOfTheTesting) {
    finishTesting();
    s->ActiveOptions.GivenVopr = 6;
    s->ActiveOptions.MaxTime = 47;
    s->OptionsName = "No Name";
    s->EditOptions = FactoryTestOptions(); // what the dialog held before
    TOptionsF& dlg = *examiner->OptionsF();
    int shownN = 0;
    QTimer::singleShot(0, &dlg, [&] {
        shownN = dlg.GivenVoprEd->value();
        dlg.NameEdit->lineEdit()->selectAll();
        QTest::keyClicks(dlg.NameEdit->lineEdit(), "Evening");
        dlg.SaveOptionsBtn->click();
        dlg.OkBtn->click();
    });
    save(file("Evening.arh"));
    EXPECT_EQ(shownN, 6);
    EXPECT_EQ(dialogs->texts(DlgKind::Warning), QStringList{lang(122)});
    TTestOptions stored;
    ASSERT_TRUE(OptionSetStore().load("Evening", stored));
    EXPECT_EQ(stored, s->ActiveOptions);
    EXPECT_EQ(s->OptionsName, "Evening");
    EXPECT_EQ(w->StatusPanel1->text(), lang(46) + "Evening");
    EXPECT_EQ(testfiles::ReadRawFile(file("Evening.arh")).split('\n').at(1), "Evening\r");
}

TEST_F(ArchiveWindowTest, LeavingWithUnsavedResultsAsksFirst) {
    finishTesting();
    w->ExitM->trigger(); // unscripted: No
    EXPECT_FALSE(w->ApplicationEndRequested());
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(w->ApplicationEndRequested());
    EXPECT_EQ(dialogs->texts(DlgKind::Confirmation), QStringList({lang(174), lang(174)}));

    dialogs->chooseFile(file("Form5.arh")); // through the tool button this time
    w->QuickHelpAUpdate();
    w->SaveResultsBtn->click();
    ASSERT_TRUE(QFile::exists(file("Form5.arh")));
    dialogs->boxes.clear();
    w->ExitM->trigger();
    EXPECT_TRUE(w->ApplicationEndRequested());
    EXPECT_TRUE(dialogs->boxes.isEmpty());
}

} // namespace
