// The five testing states: what the idle update enables in each, what it leaves alone, the help
// context and topic, and when the idle update runs at all.
#include "test_work_support.h"

#include "Help.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <map>

namespace {

constexpr std::array<TAttState, 5> kStates{StatusQuo, Ready, AttInProcess, AttIsFinished, ArhIsOpen};

// One row of the enabling table: a command, the control tied to it, and per state '+' enabled,
// '-' disabled, '.' left as it is.
struct Row {
    const char* name;
    QAction* item;
    QWidget* control; // tool button or selector; may be null
    const char* cells;
};

std::vector<Row> enablingTable(TWorkF& w) {
    return {
        {"OpenTopic", w.OpenTopic, w.OpenTopicBtn, "++-.-"},
        {"CloseTopic", w.CloseTopic, w.CloseTopicBtn, "-+-.."},
        {"QueList", w.QueList, nullptr, "-+..."},
        {"GiveOut", w.GiveOut, w.GiveOutBtn, "-+..-"},
        {"Stop", w.Stop, w.StopBtn, ".-+-."},
        {"SaveResults", w.SaveResults, w.SaveResultsBtn, ".--+-"},
        {"NewAtt", w.NewAtt, w.NewAttBtn, ".-.+-"},
        {"LoadArhiv", w.LoadArhiv, w.LoadArhivBtn, ".+-.."},
        {"CloseArhiv", w.CloseArhiv, w.CloseArhivBtn, "-...+"},
        {"Options", w.Options, w.OptionsBtn, "+.-+-"},
        {"PrintA", w.PrintA, w.ToolButton2, "---++"},
        {"PrevQueA", w.PrevQueA, nullptr, "-...."},
        {"NextQueA", w.NextQueA, nullptr, "-...."},
        {"DelStudA", w.DelStudA, nullptr, "-++--"},
        {"StudentName", nullptr, w.StudentName, "--+++"},
    };
}

void setRow(const Row& r, bool enabled) {
    if (r.item)
        r.item->setEnabled(enabled);
    if (r.control)
        r.control->setEnabled(enabled);
}

// The row's command and control must agree; returns the command's setting.
bool rowEnabled(const Row& r) {
    if (r.item && r.control) {
        EXPECT_EQ(r.item->isEnabled(), r.control->isEnabled()) << r.name << ": command and control differ";
    }
    return r.item ? r.item->isEnabled() : r.control->isEnabled();
}

class StatesTest : public ExaminerTest {
protected:
    TWorkF& window() {
        makeAdaptedFolder();
        TWorkF& w = startAndShow();
        EXPECT_TRUE(reachIdle(w));
        return w;
    }

    void enter(TWorkF& w, TAttState state) {
        examiner->State.AttState = state;
        ASSERT_TRUE(reachIdle(w));
    }
};

TEST_F(StatesTest, FirstIdleMomentAppliesStatusQuo) {
    makeAdaptedFolder();
    TWorkF& w = startAndShow();
    EXPECT_EQ(w.HelpContext(), 5);
    ASSERT_TRUE(reachIdle(w));

    EXPECT_EQ(w.HelpContext(), 51);
    EXPECT_EQ(examiner->State.QuickHelpTopic, QStringLiteral("IDH_StatusQuo"));
    for (QAction* on : {w.OpenTopic, w.Options, w.LoadArhiv})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QAction* off : {w.CloseTopic, w.QueList, w.GiveOut, w.Stop, w.SaveResults, w.NewAtt, w.CloseArhiv,
                         w.PrintA, w.PrevQueA, w.NextQueA, w.DelStudA})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_FALSE(w.StudentName->isEnabled());
    for (QToolButton* on : {w.OpenTopicBtn, w.OptionsBtn, w.LoadArhivBtn, w.ExitBtn, w.QuickHelpBtn})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QToolButton* off : {w.CloseTopicBtn, w.GiveOutBtn, w.StopBtn, w.SaveResultsBtn, w.ToolButton2,
                             w.NewAttBtn, w.CloseArhivBtn})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
}

TEST_F(StatesTest, EveryCellOfTheEnablingTable) {
    TWorkF& w = window();
    const auto table = enablingTable(w);
    for (std::size_t s = 0; s < kStates.size(); ++s) {
        for (const bool before : {false, true}) {
            SCOPED_TRACE(testing::Message() << "state " << int(kStates[s]) << ", everything "
                                            << (before ? "enabled" : "disabled") << " before");
            for (const Row& r : table)
                setRow(r, before);
            enter(w, kStates[s]);
            for (const Row& r : table) {
                const char cell = r.cells[s];
                const bool expected = cell == '.' ? before : cell == '+';
                EXPECT_EQ(rowEnabled(r), expected) << r.name << " cell '" << cell << "'";
            }
        }
    }
}

TEST_F(StatesTest, CommandsThatNoStateNamesStayEnabled) {
    TWorkF& w = window();
    for (const TAttState s : kStates) {
        enter(w, s);
        for (QAction* a : {w.ExamwrightM, w.ExitM, w.Eng1, w.Rus1, w.QuickHelpA, w.Help, w.About, w.AboutVXGm,
                           w.StopCiklesA})
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString() << " in state " << int(s);
        EXPECT_TRUE(w.ExitBtn->isEnabled());
        EXPECT_TRUE(w.QuickHelpBtn->isEnabled());
    }
}

TEST_F(StatesTest, HelpContextAndTopicFollowTheState) {
    TWorkF& w = window();
    const std::map<TAttState, std::pair<int, QString>> expected{
        {StatusQuo, {51, QStringLiteral("IDH_StatusQuo")}},
        {Ready, {52, QStringLiteral("IDH_Ready")}},
        {AttInProcess, {53, QStringLiteral("IDH_AttInProcess")}},
        {AttIsFinished, {54, QStringLiteral("IDH_AttIsFinished")}},
        {ArhIsOpen, {55, QStringLiteral("IDH_ArhIsOpen")}},
    };
    for (const TAttState s : {Ready, ArhIsOpen, StatusQuo, AttInProcess, AttIsFinished, Ready}) {
        enter(w, s);
        EXPECT_EQ(w.HelpContext(), expected.at(s).first) << int(s);
        EXPECT_EQ(examiner->State.QuickHelpTopic, expected.at(s).second) << int(s);
    }
}

TEST_F(StatesTest, ArchiveKeepsCloseTopicAndQuestionListOfTheStateItWasOpenedFrom) {
    TWorkF& w = window();
    enter(w, StatusQuo);
    enter(w, ArhIsOpen);
    EXPECT_FALSE(w.CloseTopic->isEnabled());
    EXPECT_FALSE(w.CloseTopicBtn->isEnabled());
    EXPECT_FALSE(w.QueList->isEnabled());
    EXPECT_TRUE(w.LoadArhiv->isEnabled()) << "enabled at design, no state in between disabled it";

    enter(w, Ready);
    enter(w, ArhIsOpen);
    EXPECT_TRUE(w.CloseTopic->isEnabled());
    EXPECT_TRUE(w.CloseTopicBtn->isEnabled());
    EXPECT_TRUE(w.QueList->isEnabled());
}

TEST_F(StatesTest, AfterTheStopOpenCommandsStayDisabledUntilNewTesting) {
    TWorkF& w = window();
    enter(w, Ready);
    enter(w, AttInProcess);
    enter(w, AttIsFinished);
    EXPECT_FALSE(w.LoadArhiv->isEnabled());
    EXPECT_FALSE(w.LoadArhivBtn->isEnabled());
    EXPECT_FALSE(w.OpenTopic->isEnabled());
    EXPECT_TRUE(w.Options->isEnabled());
    enter(w, Ready);
    EXPECT_TRUE(w.LoadArhiv->isEnabled());
    EXPECT_TRUE(w.OpenTopic->isEnabled());
}

TEST_F(StatesTest, GiveOutEnabledByARegistrationStaysInTheFinishedState) {
    TWorkF& w = window();
    enter(w, AttIsFinished);
    TWorkF::SetCommandEnabled(w.GiveOut, w.GiveOutBtn, true);
    enter(w, AttIsFinished);
    EXPECT_TRUE(w.GiveOut->isEnabled());
    EXPECT_TRUE(w.GiveOutBtn->isEnabled());
    // In the archive state the table disables it again at the next idle moment.
    enter(w, ArhIsOpen);
    EXPECT_FALSE(w.GiveOut->isEnabled());
    EXPECT_FALSE(w.GiveOutBtn->isEnabled());
}

TEST_F(StatesTest, SavedResultsDisableSaveOnlyUntilTheNextIdleMoment) {
    TWorkF& w = window();
    enter(w, AttIsFinished);
    TWorkF::SetCommandEnabled(w.SaveResults, w.SaveResultsBtn, false);
    EXPECT_FALSE(w.SaveResultsBtn->isEnabled());
    ASSERT_TRUE(reachIdle(w));
    EXPECT_TRUE(w.SaveResults->isEnabled());
    EXPECT_TRUE(w.SaveResultsBtn->isEnabled());
}

TEST_F(StatesTest, NoIdleUpdateWhileAModalWindowIsOpen) {
    TWorkF& w = window();
    QSignalSpy idle(&w, &TWorkF::IdleUpdated);
    QDialog modal(&w);
    bool closeTopicWhileModal = true;
    int updatesWhileModal = -1;
    QTimer::singleShot(0, &modal, [&] {
        examiner->State.AttState = Ready;
        idle.clear();
        // Let the modal loop wait for events a while before looking.
        QTimer::singleShot(150, &modal, [&] {
            closeTopicWhileModal = w.CloseTopic->isEnabled();
            updatesWhileModal = int(idle.count());
            modal.accept();
        });
    });
    modal.exec();

    EXPECT_EQ(updatesWhileModal, 0);
    EXPECT_FALSE(closeTopicWhileModal);
    ASSERT_TRUE(reachIdle(w));
    EXPECT_TRUE(w.CloseTopic->isEnabled()) << "the state is applied once the modal window is gone";
}

TEST_F(StatesTest, NoIdleUpdateWhileHiddenOrSuspended) {
    TWorkF& w = window();
    {
        TWorkF::TIdleSuspend hold(w);
        examiner->State.AttState = Ready;
        QSignalSpy idle(&w, &TWorkF::IdleUpdated);
        EXPECT_FALSE(idle.wait(200));
        EXPECT_FALSE(w.CloseTopic->isEnabled());
    }
    ASSERT_TRUE(reachIdle(w));
    EXPECT_TRUE(w.CloseTopic->isEnabled());

    w.hide();
    examiner->State.AttState = StatusQuo;
    QSignalSpy idle(&w, &TWorkF::IdleUpdated);
    EXPECT_FALSE(idle.wait(200));
    EXPECT_TRUE(w.CloseTopic->isEnabled());
}

TEST_F(StatesTest, RepeatedIdleMomentsChangeNothing) {
    TWorkF& w = window();
    enter(w, Ready);
    ASSERT_TRUE(reachIdle(w));

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const Row& r : enablingTable(w))
        if (r.item)
            spies.push_back(std::make_unique<QSignalSpy>(r.item, &QAction::changed));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(reachIdle(w));
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
}

TEST_F(StatesTest, F1ShowsTheTopicOfTheStateInForce) {
    TWorkF& w = window();
    enter(w, ArhIsOpen);
    w.QuickHelpA->trigger();
    ASSERT_NE(vxg::Help::instance().window(), nullptr);
    auto* browser = vxg::Help::instance().window()->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    // The page itself, not the page that says a topic is missing.
    EXPECT_EQ(browser->source(), QUrl(QStringLiteral("qrc:/help/en/IDH_ArhIsOpen.html")));
    EXPECT_TRUE(vxg::Help::instance().window()->isVisible());

    w.Help->trigger();
    EXPECT_EQ(browser->source(), QUrl(QStringLiteral("qrc:/help/en/contents.html")));

    // In Russian the same topic comes from the Russian pages.
    w.Rus1->trigger();
    w.QuickHelpA->trigger();
    EXPECT_EQ(browser->source(), QUrl(QStringLiteral("qrc:/help/ru/IDH_ArhIsOpen.html")));
    vxg::Help::instance().window()->hide();
}

TEST(HelpPages, EveryStateAndTheContentsHaveAPageInBothLanguagesWithWorkingLinks) {
    const QStringList topics{QStringLiteral("contents"),          QStringLiteral("IDH_StatusQuo"),
                             QStringLiteral("IDH_Ready"),         QStringLiteral("IDH_AttInProcess"),
                             QStringLiteral("IDH_AttIsFinished"), QStringLiteral("IDH_ArhIsOpen")};
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)\""));
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
        for (const QString& topic : topics) {
            const QString path = QStringLiteral(":/help/%1/%2.html").arg(language, topic);
            QFile page(path);
            ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << path.toStdString();
            const QString html = QString::fromUtf8(page.readAll());
            EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << path.toStdString();
            EXPECT_TRUE(html.contains(QStringLiteral("lang=\"%1\"").arg(language))) << path.toStdString();
            for (auto it = link.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1);
                EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/%1/%2").arg(language, target)))
                    << path.toStdString() << " links to " << target.toStdString();
            }
        }
    }
}

} // namespace
