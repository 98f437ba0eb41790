#pragma once
// The examiner's real main window, its message link on a free loopback port, a real question file
// open with a short testing set up, and test stations on 127.0.0.k (all on one port).
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
    }

    void startTesting(int questions = 6, int n = 4) {
        w = &startAndShow();
        s = &examiner->State;
        openTopic(questions, n);
    }
    // A file of `questions` questions (right answers 1, 2, 3, 4, 1, ..), N per card, ordered draw,
    // thresholds 0..10 then 15, no time limit.
    void openTopic(int questions = 6, int n = 4) {
        const QString path = programDir.path() + QStringLiteral("/topic.vxg");
        testfiles::WriteTopic(path, questions);
        dialogs->chooseFile(path);
        ASSERT_TRUE(w->OpenTopicClick(nullptr));
        TTestOptions& o = s->ActiveOptions = FactoryTestOptions();
        o.GivenVopr = n;
        o.TimeBool = o.RandomGiveOut = o.MayBack = o.ShowRights = false;
        w->SetupGrid();
    }

    TTestStation& station(int k, const QString& name) {
        const QHostAddress address(QStringLiteral("127.0.0.%1").arg(k));
        TTestStation& st =
            *stations.emplace_back(std::make_unique<TTestStation>(address, w->LinkPort(), name));
        EXPECT_TRUE(st.Listen(s->Link.studentPort));
        s->Link.studentPort = st.Port();
        return st;
    }
    // Registers and waits until the window has added the student.
    void registerAt(TTestStation& st) {
        const int before = s->StudentCount;
        ASSERT_TRUE(st.Register());
        ASSERT_TRUE(settle([&] { return s->StudentCount > before; })) << st.Name().toStdString();
    }
    TTestStation& registered(int k, const QString& name) {
        TTestStation& st = station(k, name);
        registerAt(st);
        return st;
    }

    bool settle(const std::function<bool()>& done, int ms = 3000) { return QTest::qWaitFor(done, ms); }
    // An archive of one student ("Old", grade 5) of the open topic, opened in the window.
    void openOneStudentArchive() {
        const QString archive = programDir.path() + QStringLiteral("/old.arh");
        testfiles::WriteRawFile(archive, w->OpenDialogFileName.toUtf8() +
                                             "\r\nDefault\r\n1\r\nOld\r\n5\r\n0#1#+#$\r\n");
        dialogs->chooseFile(archive);
        w->LoadResultsBtnClick();
        ASSERT_EQ(s->AttState, ArhIsOpen);
    }
    QString cell(int col, int row) const { return w->StringGrid->Cell(col, row); }
    // The cells of grid row r, or of every row under the header one after the other.
    QStringList grid(int r = -1) const {
        QStringList out;
        for (int row = r < 0 ? 1 : r; row < (r < 0 ? w->StringGrid->RowCount() : r + 1); ++row)
            for (int c = 0; c < w->StringGrid->ColCount(); ++c)
                out << cell(c, row);
        return out;
    }
    QStringList warnings() const { return dialogs->texts(vxg::DlgKind::Warning); }

    TWorkF* w = nullptr;
    TExaminerState* s = nullptr;
    std::vector<std::unique_ptr<TTestStation>> stations;
};
