// Saving, opening and closing archives on the real main window with scripted dialogs: what is
// written, what is shown, and that a file, a set or a topic that cannot be used changes nothing.
#include "FileSizeLimit.h"
#include "test_grid_fixture.h"

#include "OptionSetStore.h"
#include "OptionsDriver.h"
#include "OptionsU.h"
#include "TestStation.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

using vxg::DlgKind;

const QString kAnna = QString::fromUtf8("Иванова Анна");

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
    }

    // Runs a command through its menu item with the file its dialog is to return, and what a
    // second dialog returns (a null string: cancelled).
    void run(QAction* command, const QString& path = {}, std::optional<QString> second = {}) {
        if (!path.isNull())
            dialogs->chooseFile(path);
        if (second)
            second->isNull() ? dialogs->cancelFile() : dialogs->chooseFile(*second);
        w->QuickHelpAUpdate();
        ASSERT_TRUE(command->isEnabled());
        command->trigger();
    }

    // Everything an archive that cannot be opened must leave as it was; from kRows on the grid,
    // the selector and the student table.
    static constexpr int kRows = 9;
    QStringList screen() const {
        QStringList out{w->windowTitle(),
                        w->StatusPanel0->text(),
                        w->StatusPanel1->text(),
                        s->OptionsName,
                        w->OpenDialogFileName,
                        QString::number(s->AttState),
                        QString::number(s->TopicQuestions.size()),
                        QString::number(s->ActiveOptions.GivenVopr),
                        QString::number(s->EditOptions.GivenVopr)};
        for (int r = 0; r < w->StringGrid->RowCount(); ++r)
            for (int c = 0; c < w->StringGrid->ColCount(); ++c)
                out << cell(c, r);
        for (int k = 0; k < w->StudentName->count(); ++k)
            out << w->StudentName->itemText(k) << s->Students.value(k).Name;
        return out;
    }

    QTemporaryDir files;
    QString topic;
};

// A station registers while the save dialog is open: the newcomer is on screen, so he is in the
// file, and reads back as he shows (no card, no grade: "0" in an archive).
TEST_F(ArchiveWindowTest, SavedResultsAreTheLayoutAndOpenAsTheyWere) {
    auto hooked = std::make_unique<DialogsWithNestedLoop>();
    DialogsWithNestedLoop& nested = *hooked;
    dialogs = hooked.get();
    vxg::Dialogs::install(std::move(hooked));
    w->show(); // messages are acted on from now
    finishTesting();

    w->ExitM->trigger(); // results not saved: asked, unscripted No
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(w->ApplicationEndRequested());
    EXPECT_EQ(dialogs->texts(DlgKind::Confirmation), QStringList({lang(174), lang(174)}));
    dialogs->boxes.clear();

    TTestStation late(QHostAddress(QStringLiteral("127.0.0.41")), w->LinkPort(), QStringLiteral("Late"));
    nested.whileOpen = [&] {
        ASSERT_TRUE(late.Register());
        ASSERT_TRUE(QTest::qWaitFor([&] { return s->StudentCount == 4; }, 3000));
    };
    run(w->SaveResults, file("Form5")); // typed without a suffix
    nested.whileOpen = nullptr;

    ASSERT_EQ(dialogs->fileRequests.size(), 1);
    const vxg::FileDialogRequest& req = dialogs->fileRequests[0].request;
    EXPECT_EQ(QStringList({req.title, req.fileName, req.defaultSuffix, req.initialDir}),
              QStringList({"Save results", "Archieve1", "arh", programDir.path()}));
    EXPECT_EQ(req.filterIndex, 3);
    const QByteArray none = QByteArray("-1###$").repeated(5) + "\r\n";
    const QByteArray want =
        topic.toUtf8() + "\r\nExam\r\n4\r\n\xC8\xE2\xE0\xED\xEE\xE2\xE0\x20\xC0\xED\xED\xE0" +
        "\r\n7\r\n0#2#-#$1#1#-#$2#3#+#$3#4#+#$4#1#+#$\r\nStudent 2\r\n0\r\n" +
        "0#3#-#$1###$2###$3###$4###$\r\nStudent 3\r\n0\r\n" + none + "Late\r\n0\r\n" + none;
    EXPECT_EQ(testfiles::ReadRawFile(file("Form5.arh")), want);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_FALSE(w->SaveResults->isEnabled());
    EXPECT_EQ(TWorkF::ReadLastDir(1), files.path());
    EXPECT_EQ(s->WorkDir, files.path());
    EXPECT_TRUE(w->ConfirmLeaveWithResults()); // what is shown is saved: leaving asks nothing
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    run(w->SaveResults, file("Form5.arh")); // over itself, without a question
    EXPECT_EQ(testfiles::ReadRawFile(file("Form5.arh")), want);

    QStringList expected = screen().mid(kRows);
    for (int r : {2, 3, 4}) // the students without a grade show "0" in an archive
        expected[r * 7 + 1] = "0";
    w->CloseArhivClick();    // the station as after closing: no students, no topic
    QTemporaryDir elsewhere; // the topic has moved since: it is picked again
    const QString moved = elsewhere.path() + "/Physics.vxg";
    ASSERT_TRUE(QFile::rename(topic, moved));
    run(w->LoadArhiv, file("Form5.arh"), moved);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{lang(123)});
    const vxg::FileDialogRequest& openReq = dialogs->fileRequests[2].request;
    EXPECT_EQ(QStringList({openReq.title, openReq.fileName, openReq.initialDir}),
              QStringList({"Open archieve", "Archieve1", files.path()}));
    EXPECT_EQ(s->AttState, ArhIsOpen);
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + " - Looking for archieve: Form5.arh");
    EXPECT_EQ(w->StatusPanel0->text(), "Looking for archieve...");
    EXPECT_EQ(w->StatusPanel1->text(), "Parameters of testing: Exam");
    EXPECT_EQ(w->StudentName->placeholderText(), "Choose student for looking for");
    EXPECT_EQ(s->TopicQuestions.size(), 12);
    EXPECT_EQ(w->OpenDialogFileName, moved);
    EXPECT_EQ(TWorkF::ReadLastDir(0), elsewhere.path());
    EXPECT_EQ(screen().mid(kRows), expected);

    // The card view: a question of the card, and nothing for a position no card had.
    for (const auto& [index, shown] :
         {std::pair{0, s->TopicQuestions[0].QuestionText}, std::pair{3, QString()}}) {
        w->StudentName->setCurrentIndex(index);
        w->StudentNameChange(w->StudentName);
        EXPECT_EQ(w->SamVoprLabel->text(), shown);
    }

    // A language switch relabels and keeps the archive and its title.
    w->Rus1Click();
    EXPECT_EQ(w->windowTitle(), s->BaseCaption + QString::fromUtf8(" - Просмотр архива: Form5.arh"));
    EXPECT_EQ(cell(2, 0), QString::fromUtf8("1 вопр."));
    EXPECT_EQ(cell(4, 1), "+");

    run(w->CloseArhiv);
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_TRUE(s->Students.isEmpty());
    EXPECT_TRUE(s->TopicQuestions.isEmpty());
    EXPECT_EQ(w->StringGrid->RowCount(), 2);
    EXPECT_TRUE(cell(0, 1).isEmpty());
    EXPECT_EQ(w->windowTitle(), s->BaseCaption);
    EXPECT_EQ(w->StatusPanel0->text(), lang(56));
    EXPECT_EQ(w->StatusPanel1->text(), lang(46) + "Exam");
}

// Opened from Ready and over another archive. The set on line 2 gives N (here changed to two
// questions fewer); a deleted or an empty name is reported and "Default" (N = 10) is in force:
// the archive's seven pieces, then nothing answered.
TEST_F(ArchiveWindowTest, OpensFromReadyAndOverAnArchiveWithTheSetItNames) {
    const QByteArray lines =
        "\r\n2\r\nB1\r\n5\r\n0#1#+#$1#1#-#$2###$3###$4###$5###$6#4#-#$\r\nB2\r\n12\r\n\r\n";
    struct Case {
        quint8 from;
        QByteArray set;
        int storedN; // 0: not stored
        int columns;
        QString inForce;
    };
    for (const Case& c : {Case{Ready, "Seven", 7, 9, "Seven"}, Case{ArhIsOpen, "Seven", 5, 7, "Seven"},
                          Case{ArhIsOpen, "Gone", 0, 12, "Default"}, Case{ArhIsOpen, "", 0, 12, "Default"}}) {
        SCOPED_TRACE(c.columns);
        if (c.storedN)
            storeSet(c.set, c.storedN);
        if (c.from == Ready) {
            s->TopicQuestions = testfiles::MakeTopic(3);
            registerStudents(3); // registered, then dropped by the archive
            s->AttState = Ready;
        }
        testfiles::WriteRawFile(file("b.arh"), topic.toUtf8() + "\r\n" + c.set + lines);
        dialogs->boxes.clear();
        run(w->LoadArhiv, file("b.arh"));
        EXPECT_EQ(dialogs->texts(DlgKind::Error), c.storedN ? QStringList() : QStringList{lang(116)});
        EXPECT_EQ(s->AttState, ArhIsOpen);
        EXPECT_EQ(w->StudentName->count(), 2);
        EXPECT_EQ(std::pair(w->StringGrid->ColCount(), w->StringGrid->RowCount()), std::pair(c.columns, 3));
        EXPECT_EQ(
            QStringList({cell(0, 1), cell(1, 1), cell(2, 1), cell(3, 1), cell(8, 1), cell(9, 1), cell(1, 2)}),
            QStringList({"B1", "5", "+", "-", c.columns > 8 ? "-" : "", "", "12"}));
        EXPECT_EQ(s->OptionsName, c.inForce);
        EXPECT_EQ(w->StatusPanel1->text(), lang(46) + c.inForce);
        EXPECT_EQ(s->TopicQuestions.size(), 12);
        EXPECT_EQ(w->windowTitle(), s->BaseCaption + " - Looking for archieve: b.arh");
    }
}

// The whole file, the set and the topic are checked before anything changes.
TEST_F(ArchiveWindowTest, AnArchiveThatCannotBeUsedChangesNothing) {
    s->AttState = Ready;
    w->setWindowTitle(s->BaseCaption + " -- Physics.vxg");
    w->SetupGrid();
    registerStudents(2);
    vxg::Registry().writeString(OptionSetKey("Broken"), "LastName", "x");
    storeSet("Huge", 1000);
    const QByteArray head = topic.toUtf8() + "\r\n";
    const QString gone = file("gone/Physics.vxg");
    struct Case {
        QByteArray bytes; // empty: no file
        QString what;
        bool topicMoved = false; // and the dialog to pick it again is cancelled
    };
    const QList<Case> cases{
        {"", englishText(167).arg("No such file or directory")},
        {head + "Default\r\nmany\r\n", englishText(161).arg("many")},
        {head + "Default\r\n1\r\nA\r\n4\r\n0#1#+#$x\r\n", englishText(165).arg(6).arg(2).arg("x")},
        {head + "Default\r\n1\r\n" + QByteArray(65, 'N') + "\r\n4\r\n0#1#+#$\r\n", englishText(178).arg(4)},
        {head + "Broken\r\n0\r\n", englishText(168).arg("Broken", "Failed to get data for 'GivenVopr'")},
        {head + "Huge\r\n0\r\n", englishText(168).arg("Huge", englishText(190).arg("Huge", "GivenVopr"))},
        {gone.toUtf8() + "\r\nDefault\r\n1\r\nA\r\n4\r\n0#1#+#$\r\n", englishText(170).arg(gone), true},
    };
    const QStringList before = screen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        const QString path = file(c.bytes.isEmpty() ? "missing.arh" : "bad.arh");
        if (!c.bytes.isEmpty())
            testfiles::WriteRawFile(path, c.bytes);
        dialogs->boxes.clear();
        run(w->LoadArhiv, path, c.topicMoved ? std::optional(QString()) : std::nullopt);
        const QString error = englishText(160).arg(path, c.what);
        EXPECT_EQ(dialogs->texts(DlgKind::Error),
                  c.topicMoved ? QStringList({lang(123), error}) : QStringList{error});
        EXPECT_EQ(screen(), before);
    }
    EXPECT_TRUE(TWorkF::ReadLastDir(1).isEmpty());
}

// Closing the topic of an archive opened from Ready closes the archive: the students registered
// before it was opened are back.
TEST_F(ArchiveWindowTest, ClosingTheTopicOfAnArchiveBringsBackTheRegisteredStudents) {
    s->AttState = Ready;
    registerStudents(2);
    testfiles::WriteRawFile(file("a.arh"), topic.toUtf8() + "\r\nDefault\r\n1\r\nOld\r\n5\r\n0#1#+#$\r\n");
    run(w->LoadArhiv, file("a.arh"));
    run(w->CloseTopic);
    EXPECT_EQ(s->AttState, StatusQuo);
    EXPECT_EQ(QStringList({cell(0, 1), cell(0, 2), w->StudentName->itemText(1), w->windowTitle()}),
              QStringList({"Student 1", "Student 2", "Student 2", s->BaseCaption}));
    EXPECT_EQ(w->StringGrid->RowCount(), 3);
}

// Never over the question file the archive names. A full disk: the old file stays whole, no
// temporary file is left, the command stays and no folder is stored.
TEST_F(ArchiveWindowTest, ASaveThatCannotBeDoneKeepsTheOldFileAndTheCommand) {
    finishTesting();
    testfiles::WriteRawFile(file("Old.arh"), "old");
    const QByteArray topicBytes = testfiles::ReadRawFile(topic);
    run(w->SaveResults, topic);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{englishText(173).arg(topic)});

    ASSERT_TRUE(RunInProcessUnderFileSizeLimit(64, [&] { run(w->SaveResults, file("Old.arh")); }));
    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_TRUE(
        dialogs->boxes[1].text.startsWith("The results were not saved in <" + file("Old.arh") + ">: "));
    EXPECT_EQ(testfiles::ReadRawFile(topic), topicBytes);
    EXPECT_EQ(testfiles::ReadRawFile(file("Old.arh")), "old");
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
    run(w->SaveResults, file("Evening.arh"));
    EXPECT_EQ(shownN, 6);
    EXPECT_EQ(dialogs->texts(DlgKind::Warning), QStringList{lang(122)});
    TTestOptions stored;
    ASSERT_TRUE(OptionSetStore().load("Evening", stored));
    EXPECT_EQ(stored, s->ActiveOptions);
    EXPECT_EQ(w->StatusPanel1->text(), lang(46) + "Evening");
    EXPECT_EQ(testfiles::ReadRawFile(file("Evening.arh")).split('\n').at(1), "Evening\r");
}

// Tested under "No Name" with 12 questions a card ("Default" has 10): a cancelled dialog saves
// nothing; "Default" picked there is refused with both numbers and the dialog stays; a set of
// 12 saved there is named, and the archive opens with all twelve answers.
TEST_F(ArchiveWindowTest, TheSetAnArchiveNamesHoldsTheTestingsQuestionsPerCard) {
    finishTesting();
    s->ActiveOptions.GivenVopr = 12;
    s->OptionsName = "No Name";
    giveCard(0, 12, "123412341234");
    TOptionsF& dlg = *examiner->OptionsF();
    QTimer::singleShot(0, &dlg, [&] { dlg.CancelBtn->click(); });
    run(w->SaveResults, file("Twelve.arh"));
    EXPECT_FALSE(QFile::exists(file("Twelve.arh")));
    bool openAfterRefusal = false;
    QTimer::singleShot(0, &dlg, [&] {
        ASSERT_TRUE(ChooseSet(dlg, "Default"));
        dlg.OkBtn->click();
        openAfterRefusal = dlg.isVisible();
        TypeSetName(dlg, "Twelve");
        dlg.GivenVoprEd->setValue(12);
        dlg.SaveOptionsBtn->click();
        dlg.OkBtn->click();
    });
    run(w->SaveResults, file("Twelve.arh"));
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{englishText(176).arg("Default").arg(10).arg(12)});
    EXPECT_EQ(testfiles::ReadRawFile(file("Twelve.arh")).split('\n').at(1), "Twelve\r");

    dialogs->chooseFile(file("Twelve.arh"));
    w->LoadResultsBtnClick();
    EXPECT_EQ(QStringList({cell(12, 1), cell(13, 1)}), QStringList({"+", "+"}));
}

// New testing (F5) sits beside Save results (F4): while the results are unsaved it asks as
// exit does, and Enter keeps them. Parameters changed after a save leave the results saved.
TEST_F(ArchiveWindowTest, NewTestingAsksWhileTheResultsAreUnsavedAndEnterKeepsThem) {
    w->show();
    finishTesting();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->QuickHelpAUpdate();
    QTest::keyClick(w, Qt::Key_F5); // unscripted: No
    w->ExitM->trigger();
    ASSERT_EQ(dialogs->boxes.size(), 2);
    for (int i : {0, 1}) {
        EXPECT_EQ(dialogs->boxes[i].text, lang(i == 0 ? 177 : 174));
        EXPECT_EQ(dialogs->boxes[i].defaultButton, vxg::DlgResult::No);
    }
    EXPECT_EQ(s->AttState, AttIsFinished);
    EXPECT_EQ(cell(2, 1), "-");
    EXPECT_FALSE(w->ApplicationEndRequested());

    run(w->SaveResults, file("Saved.arh"));
    TOptionsF& dlg = *examiner->OptionsF();
    QTimer::singleShot(0, &dlg, [&] {
        dlg.GivenVoprEd->setValue(7);
        dlg.OkBtn->click();
    });
    run(w->Options);
    dialogs->boxes.clear();
    EXPECT_TRUE(w->ConfirmLeaveWithResults());
    run(w->NewAtt);
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(s->AttState, Ready);
}

// Texts code page 1251 lacks are written as "?"; the box after the save says which, and what
// that means when the archive is opened.
TEST_F(ArchiveWindowTest, TextsTheArchiveCannotKeepAreNamedAfterTheSave) {
    finishTesting();
    const QString odd = file(QString::fromUtf8("Ωmega ✓.vxg"));
    ASSERT_TRUE(QFile::copy(topic, odd));
    w->OpenDialogFileName = odd;
    s->ActiveOptions = storeSet(QString::fromUtf8("Ωmega"), 10); // "?mega" opens with "Default": 10
    s->OptionsName = QString::fromUtf8("Ωmega");
    run(w->SaveResults, file("Odd.arh"));
    EXPECT_EQ(dialogs->texts(DlgKind::Warning),
              QStringList{englishText(179).arg(file("Odd.arh")) + "\n\n" +
                          englishText(183).arg(odd, file("?mega ?.vxg")) + "\n\n" +
                          englishText(184).arg(QString::fromUtf8("Ωmega"), "?mega")});
    EXPECT_TRUE(
        testfiles::ReadRawFile(file("Odd.arh")).startsWith(file("?mega ?.vxg").toUtf8() + "\r\n?mega\r\n"));
}

} // namespace
