// The two programs' parameters dialogs on one settings file: the editor's dialog in this
// process, the examiner's in a second process beside it (tests/processes/options_examiner.cpp).
#include "OptionsUnit.h"

#include "Globals.h"
#include "LanguageTest.h"
#include "OptionsLayout.h"
#include "Registry.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using vxg::DlgKind;

// The examiner's parameters dialog in its own process.
class ExaminerPeer {
public:
    struct Reply {
        QStringList list;
        QString name;
        int given = 0;
        QStringList boxes; // "<kind> <text>"
        bool ok = false;
    };

    ExaminerPeer() {
        process_.setProgram(QStringLiteral(VXG_OPTIONS_EXAMINER));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
    }
    ~ExaminerPeer() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.write("quit\n");
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(1000);
    }
    bool started() { return process_.waitForStarted(5000); }

    Reply send(const QString& command) {
        process_.write((command + u'\n').toUtf8());
        Reply reply;
        QByteArray out;
        QDeadlineTimer deadline(20000);
        while (!out.endsWith("ok\n")) {
            if (deadline.hasExpired() || !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return reply;
            out += process_.readAllStandardOutput();
        }
        for (const QString& line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)) {
            const QString key = line.section(u' ', 0, 0);
            const QString rest = line.section(u' ', 1);
            if (key == QLatin1String("list"))
                reply.list = rest.split(u'|', Qt::SkipEmptyParts);
            else if (key == QLatin1String("name"))
                reply.name = rest;
            else if (key == QLatin1String("given"))
                reply.given = rest.toInt();
            else if (key == QLatin1String("box"))
                reply.boxes << QString(rest).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        }
        reply.ok = true;
        return reply;
    }

private:
    QProcess process_;
};

QString Box(DlgKind kind, const QString& text) {
    return QString::number(static_cast<int>(kind)) + u' ' + text;
}

class SharedOptionsTest : public LanguageTest {
protected:
    void SetUp() override {
        QFile::remove(vxg::Registry::defaultFilePath());
        useLanguage(200);
        EditOptions = TTestOptions();
        DefaultSettingsName = kDefaultSetName;
        dialogs = ScriptedDialogs::install();
        dlg = std::make_unique<TOptionsForm>();
        ASSERT_TRUE(examiner.started());
    }
    void TearDown() override {
        dlg.reset();
        ScriptedDialogs::uninstall();
        LanguageTest::TearDown();
    }

    // The editor's dialog shown anew: its list is read at each showing.
    void reopen() {
        dlg->hide();
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    QStringList listEntries() const {
        QStringList out;
        for (int i = 0; i < dlg->NameEdit->count(); ++i)
            out << dlg->NameEdit->itemText(i);
        return out;
    }
    void choose(const QString& entry) {
        QComboBox* combo = dlg->NameEdit;
        const int row = combo->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(row, 0) << qPrintable(entry);
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(row, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    // Types a name, shows the dialog again and saves the shown values under it.
    void saveAs(const QString& name, int questionsPerCard) {
        dlg->GivenVoprEd->setValue(questionsPerCard);
        dlg->NameEdit->lineEdit()->selectAll();
        QTest::keyClicks(dlg->NameEdit->lineEdit(), name);
        reopen(); // typing alone leaves the buttons as they were; a showing updates them
        QTest::mouseClick(dlg->SaveOptionsBtn, Qt::LeftButton);
        ASSERT_FALSE(dialogs->texts(DlgKind::Information).isEmpty());
        ASSERT_EQ(dialogs->texts(DlgKind::Information).last(), lang(118) + name + ">");
    }

    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TOptionsForm> dlg;
    ExaminerPeer examiner;
};

TEST_F(SharedOptionsTest, ASetSavedInOneProgramIsListedAndLoadedByTheOther) {
    reopen();
    saveAs("From editor", 33);

    ExaminerPeer::Reply r = examiner.send("show");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.list, QStringList({"Default", "From editor"}));
    r = examiner.send("choose From editor");
    EXPECT_EQ(r.given, 33);
    EXPECT_EQ(r.boxes, QStringList({Box(DlgKind::Information, "Settings <From editor> loaded!\n\n"
                                                               "You can edit and save them now.")}));

    r = examiner.send("set 44");
    r = examiner.send("type From examiner");
    r = examiner.send("save");
    EXPECT_EQ(r.boxes, QStringList({Box(DlgKind::Information, lang(118) + "From examiner>")}));

    reopen();
    EXPECT_EQ(listEntries(), QStringList({"Default", "From editor", "From examiner"}));
    choose("From examiner");
    EXPECT_EQ(dlg->GivenVoprEd->value(), 44);
    EXPECT_EQ(dialogs->texts(DlgKind::Information).last(), lang(114) + "From examiner" + lang(115));
}

TEST_F(SharedOptionsTest, ASetDeletedByOneProgramWhileTheOthersDialogIsOpenIsReportedThere) {
    // The editor deletes a set the examiner's open dialog lists.
    reopen();
    saveAs("Doomed", 33);
    ExaminerPeer::Reply r = examiner.send("show");
    ASSERT_EQ(r.list, QStringList({"Default", "Doomed"}));
    const int shownThere = r.given;
    dialogs->answerNext(vxg::DlgResult::Yes);
    QTest::mouseClick(dlg->DeleteOptionsBtn, Qt::LeftButton);
    r = examiner.send("choose Doomed");
    EXPECT_EQ(r.boxes, QStringList({Box(DlgKind::Error, lang(116))}));
    EXPECT_EQ(r.given, shownThere);
    EXPECT_EQ(r.name, "Doomed");

    // And the other way round: the examiner deletes a set the editor's open dialog lists.
    r = examiner.send("set 55");
    r = examiner.send("type Doomed too");
    r = examiner.send("save");
    reopen();
    ASSERT_EQ(listEntries(), QStringList({"Default", "Doomed too"}));
    QTest::keyClick(dlg->GivenVoprEd, Qt::Key_Up);
    const int shownHere = dlg->GivenVoprEd->value();
    r = examiner.send("choose Doomed too");
    r = examiner.send("delete");
    EXPECT_TRUE(r.boxes.contains(Box(DlgKind::Confirmation, lang(119) + "Doomed too>?")));
    dialogs->boxes.clear();
    choose("Doomed too");
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({lang(116)}));
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_EQ(dlg->GivenVoprEd->value(), shownHere);
    EXPECT_EQ(OptionSetStore().names(), QStringList({"Default"}));
}

} // namespace
