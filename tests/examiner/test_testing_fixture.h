#pragma once
// The examiner's real main window, shown, with its message link on a free loopback port and test
// student stations on their own loopback addresses (127.0.0.k, all on one port), a real question
// file open and parameters set for a short testing.
#include "test_work_support.h"

#include "CardsAndGrading.h"
#include "QuestionFiles.h"
#include "StringGrid.h"
#include "TestStation.h"

#include <QTest>
#include <memory>
#include <vector>

class TestingWindowTest : public ExaminerTest {
protected:
    void SetUp() override {
        ExaminerTest::SetUp();
        makeAdaptedFolder(QByteArray(16, '\0'));
        link.ackTimeoutMs = 300;
        link.minuteMs = 60000;
    }

    // Starts the window (shown, so messages are acted on) with `questions` questions in a real
    // file, N questions per card, ordered draw, thresholds 0..10 then 15, no time limit.
    void startTesting(int questions = 6, int n = 4) {
        w = &startAndShow();
        s = &examiner->State;
        const QString path = programDir.path() + QStringLiteral("/topic.vxg");
        testfiles::WriteTopic(path, questions);
        dialogs->chooseFile(path);
        ASSERT_TRUE(w->OpenTopicClick(nullptr));
        s->ActiveOptions = FactoryTestOptions();
        s->ActiveOptions.GivenVopr = n;
        s->ActiveOptions.RandomGiveOut = false;
        s->ActiveOptions.MayBack = false;
        s->ActiveOptions.ShowRights = false;
        s->ActiveOptions.TimeBool = false;
        w->SetupGrid();
        ASSERT_NE(w->LinkPort(), 0);
    }

    // A station named name on 127.0.0.k, listening on the stations' common port.
    TTestStation& station(int k, const QString& name) {
        auto st = std::make_unique<TTestStation>(QHostAddress(QStringLiteral("127.0.0.%1").arg(k)), w->LinkPort(), name);
        EXPECT_TRUE(st->Listen(s->Link.studentPort));
        if (s->Link.studentPort == 0)
            s->Link.studentPort = st->Port();
        stations.push_back(std::move(st));
        return *stations.back();
    }

    // Registers the station and waits until the window has acted on it.
    void registerAt(TTestStation& st) {
        const int before = s->StudentCount;
        ASSERT_TRUE(st.Register());
        ASSERT_TRUE(QTest::qWaitFor([&] { return s->StudentCount > before; }, 3000)) << st.Name().toStdString();
    }

    // Runs the event loop until the window has acted on everything received so far.
    bool settle(const std::function<bool()>& done, int ms = 3000) { return QTest::qWaitFor(done, ms); }

    QString cell(int col, int row) const { return w->StringGrid->Cell(col, row); }
    int indexOf(const QString& name) const { return w->Table.IndexOf(name); }

    TWorkF* w = nullptr;
    TExaminerState* s = nullptr;
    std::vector<std::unique_ptr<TTestStation>> stations;
};
