// Start-up and exit of the examiner: the network adaptation, the language and the parameter set
// in force read at start and stored at exit.
#include "test_net_interfaces.h"
#include "test_work_support.h"

#include "FileSizeLimit.h"
#include "NetAdapt.h"
#include "Records.h"
#include "StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTcpServer>
#include <QTimer>
#include <QToolButton>

namespace {

using vxg::DlgKind;

TTestOptions storedSet(const QString& name) {
    TTestOptions o;
    ReadTestOptions(vxg::Registry(), OptionSetKey(name), o);
    return o;
}

TTestOptions customSet() {
    TTestOptions o = FactoryTestOptions();
    o.GivenVopr = 7;
    o.Na = {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7};
    o.TimeBool = false;
    o.MaxTime = 33;
    o.RandomGiveOut = false;
    return o;
}

void writeSet(const QString& name, const TTestOptions& o, const std::optional<QString>& lastName = {}) {
    vxg::Registry reg;
    if (lastName)
        reg.writeString(OptionSetKey(name), QStringLiteral("LastName"), *lastName);
    WriteTestOptions(reg, OptionSetKey(name), o);
}

// A machine whose host name resolves to 127.0.1.1 and whose one network card has 10.0.0.5.
QList<TNetInterfaceInfo> classroomMachine() {
    return {MakeInterface(QStringLiteral("lo"), {"127.0.0.1", "::1"}, true, true, true),
            MakeInterface(QStringLiteral("dummy0"), {"127.0.1.1"}),
            MakeInterface(QStringLiteral("eth0"), {"fe80::5", "10.0.0.5"})};
}

// A machine without a network a student station could reach.
QList<TNetInterfaceInfo> isolatedMachine() {
    return {MakeInterface(QStringLiteral("lo"), {"127.0.0.1", "127.0.1.1"}, true, true, true),
            MakeInterface(QStringLiteral("eth0"), {"192.168.0.9"}, false, false)};
}

const QByteArray kClassroomAddressFile("\x0a\0\0\0\0\0\0\0\0\0\0\0\x05\0\0\0", 16);

class StartTest : public ExaminerTest {
protected:
    void useInterfaces(const QList<TNetInterfaceInfo>& list) {
        SetInterfaceLister([list] { return list; });
    }
    void TearDown() override {
        ExaminerTest::TearDown();
        SetInterfaceLister({});
    }

    QByteArray addressFileBytes() const {
        QFile f(addressFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(StartTest, FirstStartAdaptsToTheNetworkAndStoresLanguageAndSetAtExit) {
    makeStudentFolder();
    useInterfaces(classroomMachine());

    TWorkF& w = startAndShow();

    // English, since nothing is stored.
    EXPECT_EQ(LangOffset, 200);
    EXPECT_TRUE(w.Eng1->isChecked());
    EXPECT_FALSE(w.Rus1->isChecked());
    EXPECT_EQ(w.windowTitle(), englishText(1));

    // The address of the network card, not the loopback one the host name resolves to.
    EXPECT_EQ(addressFileBytes().toHex(), kClassroomAddressFile.toHex());
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{englishText(137)});
    EXPECT_TRUE(dialogs->texts(DlgKind::Error).isEmpty());
    EXPECT_TRUE(w.ApplicationEndRequested());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the normal cursor is back";

    // The rest of the start-up still happened: "Default" exists and is in force.
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Default"));
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
    EXPECT_EQ(examiner->State.AttState, StatusQuo);

    stop();

    const vxg::Registry reg;
    EXPECT_EQ(reg.readInteger(kExaminerKey, QStringLiteral("LangN")), 200);
    const QString last = OptionSetKey(QStringLiteral("Last"));
    EXPECT_EQ(reg.readString(last, QStringLiteral("LastName")), QStringLiteral("Default"));
    EXPECT_EQ(reg.valueNames(last).value(0), QStringLiteral("LastName"));
    EXPECT_EQ(reg.valueNames(last).size(), 1 + TestOptionsValues(FactoryTestOptions()).size());
    EXPECT_EQ(storedSet(QStringLiteral("Last")), FactoryTestOptions());
}

TEST_F(StartTest, FirstStartOnThisMachineWritesAReachableAddress) {
    makeStudentFolder();
    const std::optional<QHostAddress> address = ChooseExaminerAddress(LocalInterfaces());
    if (!address)
        GTEST_SKIP() << "no network interface that a student station could reach";

    TWorkF& w = startAndShow();
    const QByteArray bytes = addressFileBytes();
    ASSERT_EQ(bytes.size(), 16);
    EXPECT_EQ(bytes, AddressFileBytes(address->toString()));
    EXPECT_NE(bytes.at(0), char(127)) << "a loopback address is of no use to a student station";
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{englishText(137)});
    EXPECT_TRUE(w.ApplicationEndRequested());
}

TEST_F(StartTest, WithoutAReachableInterfaceTheAdaptationFailsAndTheProgramGoesOn) {
    makeStudentFolder();
    useInterfaces(isolatedMachine());

    TWorkF& w = startAndShow();

    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList{englishText(181)});
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty()) << "no success message";
    EXPECT_FALSE(QFile::exists(addressFile()));
    EXPECT_FALSE(w.ApplicationEndRequested());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the normal cursor is back";
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
    stop();

    // Once the machine is on the network, the next start adapts.
    useInterfaces(classroomMachine());
    dialogs->boxes.clear();
    start();
    EXPECT_EQ(addressFileBytes().toHex(), kClassroomAddressFile.toHex());
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{englishText(137)});
}

// A full disk: the adaptation is reported as failed, and no cut-off address file is left that
// would keep the next start from adapting.
TEST_F(StartTest, AnAddressFileThatCannotBeWrittenWholeIsReportedAndNotLeft) {
    makeStudentFolder();
    useInterfaces(classroomMachine());
    const QString failed = englishText(182).arg(QDir::toNativeSeparators(addressFile()), "File too large");

    const int status = RunUnderFileSizeLimit(8, [&] {
        start();
        const QStringList errors = dialogs->texts(DlgKind::Error);
        if (!dialogs->texts(DlgKind::Information).isEmpty())
            return 1;
        // (The parameter set written at start cannot be stored either, and says so.)
        return errors.value(0) == failed && !work().ApplicationEndRequested() ? 0 : 2;
    });

    EXPECT_EQ(status, 0) << "1: reported as adapted, 2: not reported as failed";
    EXPECT_EQ(QDir(studentDir()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(StartTest, AdaptationRunEndsAsSoonAsTheEventLoopRuns) {
    makeStudentFolder();
    useInterfaces(classroomMachine());

    // The program's own sequence: windows, main window shown maximised, the event loop.
    TWorkF& w = *start().WorkF();
    w.showMaximized();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    guard.start(5000);
    EXPECT_EQ(QApplication::exec(), 0) << "the queued request ends the loop at once";
    EXPECT_TRUE(guard.isActive());
    guard.stop();
    stop();

    EXPECT_EQ(vxg::Registry().readInteger(kExaminerKey, QStringLiteral("LangN")), 200);
    EXPECT_EQ(vxg::Registry().readString(OptionSetKey(QStringLiteral("Last")), QStringLiteral("LastName")),
              QStringLiteral("Default"));
}

TEST_F(StartTest, SecondStartDoesNotAdaptAndPutsTheStoredSetInForce) {
    const QByteArray earlier("\x0a\0\0\0\0\0\0\0\0\0\0\0\x07\0\0\0", 16);
    makeAdaptedFolder(earlier);
    writeSet(QStringLiteral("Last"), customSet(), QStringLiteral("Exam"));

    TWorkF& w = startAndShow();

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_FALSE(w.ApplicationEndRequested());
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Exam"));
    EXPECT_EQ(examiner->State.ActiveOptions, customSet());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Exam"));
    stop();

    QFile f(addressFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), earlier) << "an existing address file is never rewritten";
}

// Another examiner holds the port: the teacher learns it once, when the window is shown, with
// the port and the system's reason, and may go on with topics and archives. The first start,
// which adapts to the network and ends, says nothing of it.
TEST_F(StartTest, APortThatCannotBeHadIsReportedOnceWhenTheWindowIsShown) {
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost, 0));
    link.listenPort = other.serverPort();
    QTcpServer probe; // the reason the system gives for this port
    ASSERT_FALSE(probe.listen(QHostAddress::LocalHost, link.listenPort));
    const QString deaf = englishText(152).arg(link.listenPort).arg(probe.errorString());
    useInterfaces(classroomMachine());

    for (const bool firstStart : {true, false}) {
        SCOPED_TRACE(firstStart ? "first start" : "second start");
        dialogs->boxes.clear();
        firstStart ? makeStudentFolder() : makeAdaptedFolder();
        TWorkF& w = *start().WorkF();
        EXPECT_TRUE(dialogs->texts(DlgKind::Error).isEmpty()) << "nothing before the window is shown";
        w.show();
        w.hide();
        w.show();
        EXPECT_EQ(w.LinkPort(), 0);
        EXPECT_EQ(w.ApplicationEndRequested(), firstStart);
        EXPECT_EQ(dialogs->texts(DlgKind::Error).join("|").toStdString(),
                  firstStart ? "" : deaf.toStdString());
        if (!firstStart) {
            EXPECT_TRUE(reachIdle(w) && w.OpenTopic->isEnabled() && w.LoadArhiv->isEnabled());
        }
        stop();
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        QFile::remove(addressFile());
    }
}

TEST_F(StartTest, FirstAndSecondStartTogether) {
    makeStudentFolder();
    useInterfaces(classroomMachine());
    start();
    stop();
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    ASSERT_TRUE(QFile::exists(addressFile()));
    dialogs->boxes.clear();
    // The address changed since: the file of the first start stays as it is.
    useInterfaces({MakeInterface(QStringLiteral("eth0"), {"10.9.9.9"})});

    TWorkF& w = startAndShow();
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_FALSE(w.ApplicationEndRequested());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
    EXPECT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(addressFileBytes().toHex(), kClassroomAddressFile.toHex());
}

TEST_F(StartTest, MissingStudentFolderIsReportedAndTheProgramGoesOn) {
    useInterfaces(classroomMachine());
    TWorkF& w = startAndShow();

    ASSERT_EQ(dialogs->texts(DlgKind::Error).size(), 1);
    EXPECT_EQ(dialogs->texts(DlgKind::Error).first(),
              englishText(180).arg(QDir::toNativeSeparators(studentDir())));
    EXPECT_TRUE(dialogs->texts(DlgKind::Information).isEmpty());
    EXPECT_FALSE(QDir(studentDir()).exists()) << "the folder is not created";
    EXPECT_FALSE(w.ApplicationEndRequested());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the normal cursor is back";
    stop();

    // The next start tries again.
    makeStudentFolder();
    dialogs->boxes.clear();
    start();
    EXPECT_EQ(addressFileBytes().toHex(), kClassroomAddressFile.toHex());
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{englishText(137)});
}

TEST_F(StartTest, LastWithoutLastNameIsStoredAsBezImeniAtExit) {
    makeAdaptedFolder();
    writeSet(QStringLiteral("Last"), customSet());

    TWorkF& w = startAndShow();
    EXPECT_EQ(examiner->State.OptionsName, QString());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46));
    EXPECT_EQ(examiner->State.ActiveOptions, customSet());
    stop();

    const vxg::Registry reg;
    EXPECT_EQ(reg.readString(OptionSetKey(QStringLiteral("Last")), QStringLiteral("LastName")),
              QStringLiteral("Без имени"));
    EXPECT_EQ(storedSet(QStringLiteral("Last")), customSet());
}

TEST_F(StartTest, DefaultIsInForceWhenLastIsMissing) {
    makeAdaptedFolder();
    writeSet(QStringLiteral("Default"), customSet());

    TWorkF& w = startAndShow();
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Default"));
    EXPECT_EQ(examiner->State.ActiveOptions, customSet());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
}

TEST_F(StartTest, WithNeitherLastNorDefaultTheSetInForceStays) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    vxg::Registry().deleteKey(kOptionsKey);
    examiner->State.OptionsName = QStringLiteral("Kept");
    examiner->State.ActiveOptions = customSet();
    dialogs->boxes.clear();

    w.ReadLastOptions();

    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Kept"));
    EXPECT_EQ(examiner->State.ActiveOptions, customSet());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Kept"));
}

TEST_F(StartTest, LastIsPreferredToDefault) {
    makeAdaptedFolder();
    TTestOptions other = customSet();
    other.MaxTime = 60;
    writeSet(QStringLiteral("Default"), other);
    writeSet(QStringLiteral("Last"), customSet(), QStringLiteral("Default"));

    startAndShow();
    EXPECT_EQ(examiner->State.ActiveOptions, customSet()) << "the values come from Last, whatever its name";
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Default"));
}

TEST_F(StartTest, DeletingTheAddressFileBringsANewAdaptation) {
    makeAdaptedFolder();
    useInterfaces(classroomMachine());
    TWorkF& first = startAndShow();
    EXPECT_FALSE(first.ApplicationEndRequested());
    stop();

    ASSERT_TRUE(QFile::remove(addressFile()));
    TWorkF& again = startAndShow();
    EXPECT_EQ(addressFileBytes().toHex(), kClassroomAddressFile.toHex());
    EXPECT_EQ(dialogs->texts(DlgKind::Information), QStringList{englishText(137)});
    EXPECT_TRUE(again.ApplicationEndRequested());
}

TEST_F(StartTest, UnreadableLastIsReportedAndTheWindowStillOpensWithDefault) {
    makeAdaptedFolder();
    TTestOptions broken = customSet();
    broken.GivenVopr = 9;
    writeSet(QStringLiteral("Last"), broken, QStringLiteral("Broken"));
    vxg::Registry().deleteValue(OptionSetKey(QStringLiteral("Last")), QStringLiteral("MaxTime"));

    TWorkF& w = startAndShow();

    EXPECT_EQ(dialogs->texts(DlgKind::Error),
              QStringList{QStringLiteral("Failed to get data for 'MaxTime'")});
    EXPECT_TRUE(w.isVisible());
    // Nothing of the broken set is taken: the factory "Default" is in force.
    EXPECT_EQ(examiner->State.OptionsName, QStringLiteral("Default"));
    EXPECT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(w.StatusPanel1->text(), englishText(46) + QStringLiteral("Default"));
    // The grid is set up for the set in force: name, grade and one column per card question.
    EXPECT_EQ(w.StringGrid->ColCount(), FactoryTestOptions().GivenVopr + 2);
    stop();

    // The exit writes the set in force whole again.
    EXPECT_EQ(storedSet(QStringLiteral("Last")), FactoryTestOptions());
}

// A damaged settings file: "Last" with a card of a million questions (a grid without end) and
// "Default" with a threshold out of range are named in error boxes and the factory set is in
// force; a language other than the two reads as English and is written back so at exit.
TEST_F(StartTest, ADamagedSettingsFileIsReportedAndTheFactorySetAndEnglishUsed) {
    makeAdaptedFolder();
    vxg::Registry reg;
    writeSet("Last", customSet(), "Exam");
    reg.writeInteger(OptionSetKey("Last"), "GivenVopr", 1000000);
    writeSet("Default", customSet());
    reg.writeInteger(OptionSetKey("Default"), "Na12", 111);
    reg.writeInteger(kExaminerKey, "LangN", 7);

    TWorkF& w = startAndShow();
    EXPECT_EQ(dialogs->texts(DlgKind::Error), QStringList({englishText(190).arg("Last", "GivenVopr"),
                                                           englishText(190).arg("Default", "Na12")}));
    EXPECT_EQ(examiner->State.OptionsName, "Default");
    EXPECT_EQ(examiner->State.ActiveOptions, FactoryTestOptions());
    EXPECT_EQ(w.StringGrid->ColCount(), FactoryTestOptions().GivenVopr + 2);
    EXPECT_EQ(LangOffset, 200);
    EXPECT_TRUE(w.Eng1->isChecked());
    stop();
    EXPECT_EQ(reg.readInteger(kExaminerKey, "LangN"), 200);
}

TEST_F(StartTest, StoredRussianIsUsedAndKeptAtExit) {
    makeAdaptedFolder();
    vxg::Registry().writeInteger(kExaminerKey, QStringLiteral("LangN"), 0);

    TWorkF& w = startAndShow();
    EXPECT_EQ(LangOffset, 0);
    EXPECT_TRUE(w.Rus1->isChecked());
    EXPECT_FALSE(w.Eng1->isChecked());
    EXPECT_EQ(w.windowTitle(), LangTableText(1));
    EXPECT_EQ(w.StatusPanel1->text(), LangTableText(46) + QStringLiteral("Default"));
    stop();

    EXPECT_EQ(vxg::Registry().readInteger(kExaminerKey, QStringLiteral("LangN")), 0);
}

TEST_F(StartTest, KeyMadeByTheEditorMeansEnglishWithoutAMessage) {
    makeAdaptedFolder();
    // The editor's parameters dialog creates only the sets key below the examiner's key.
    vxg::Registry().createKey(kOptionsKey);

    TWorkF& w = startAndShow();
    EXPECT_TRUE(dialogs->boxes.isEmpty());
    EXPECT_EQ(LangOffset, 200);
    EXPECT_TRUE(w.Eng1->isChecked());
}

TEST_F(StartTest, ExitInTheMiddleOfATestingAsksAndStoresLanguageAndSetOnYes) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    examiner->State.AttState = AttInProcess;
    examiner->State.OptionsName = QStringLiteral("Evening");
    examiner->State.ActiveOptions = customSet();

    dialogs->answerNext(vxg::DlgResult::Yes);
    w.ExitM->trigger();
    EXPECT_TRUE(w.ApplicationEndRequested());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Confirmation), QStringList{englishText(174)});
    stop();

    const vxg::Registry reg;
    EXPECT_EQ(reg.readInteger(kExaminerKey, QStringLiteral("LangN")), 200);
    EXPECT_EQ(reg.readString(OptionSetKey(QStringLiteral("Last")), QStringLiteral("LastName")),
              QStringLiteral("Evening"));
    EXPECT_EQ(storedSet(QStringLiteral("Last")), customSet());
}

TEST_F(StartTest, ExitButtonAndCloseBoxAskTheApplicationToEnd) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    EXPECT_FALSE(w.ApplicationEndRequested());
    w.ExitBtn->click();
    EXPECT_TRUE(w.ApplicationEndRequested());
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    stop();

    TWorkF& again = startAndShow();
    EXPECT_FALSE(again.ApplicationEndRequested());
    again.close();
    EXPECT_TRUE(again.ApplicationEndRequested());
}

TEST_F(StartTest, ProgramFoldersComeFromTheProgramFolder) {
    makeAdaptedFolder();
    start();
    const TExaminerState& s = examiner->State;
    EXPECT_EQ(s.ProgramDir, programDir.path() + QLatin1Char('/'));
    EXPECT_EQ(s.WorkDir, programDir.path());
    EXPECT_EQ(s.StudentDir, programDir.path() + QStringLiteral("/VXG Student/"));
    EXPECT_EQ(s.QuickHelpTopic, QStringLiteral("IDH_StatusQuo"));
    // The help context of the window stays 5 until the first idle moment.
    EXPECT_EQ(work().HelpContext(), 5);
}

TEST_F(StartTest, LastFoldersAreReadAndWrittenByKind) {
    EXPECT_EQ(TWorkF::ReadLastDir(0), QString());
    EXPECT_FALSE(vxg::Registry().keyExists(kExaminerKey)) << "reading never creates the key";

    TWorkF::WriteLastDir(QStringLiteral("/home/teacher/topics"), 0);
    TWorkF::WriteLastDir(QStringLiteral("/home/teacher/archives"), 1);
    EXPECT_EQ(TWorkF::ReadLastDir(0), QStringLiteral("/home/teacher/topics"));
    EXPECT_EQ(TWorkF::ReadLastDir(1), QStringLiteral("/home/teacher/archives"));
    const vxg::Registry reg;
    EXPECT_EQ(reg.readString(kExaminerKey, QStringLiteral("LastTopicDir")),
              QStringLiteral("/home/teacher/topics"));
    EXPECT_EQ(reg.readString(kExaminerKey, QStringLiteral("LastArhivDir")),
              QStringLiteral("/home/teacher/archives"));
}

} // namespace
