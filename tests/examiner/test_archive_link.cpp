// Stations that register while an archive is shown, over real sockets: the archive's rows stay
// its own, and the registrations are the table once it is closed.
#include "test_testing_fixture.h"

#include <QComboBox>
#include <QLabel>

// Registered before the archive was opened or while it is shown (one twice, under the caps of
// the table): none in the archive's rows, which are all that is printed; all of them registered
// students once it is closed, and their cards reach them.
TEST_F(TestingWindowTest, RegistrationsWhileAnArchiveIsShownWaitUntilItIsClosed) {
    startTesting();
    TTestStation& early = registered(81, "Early");
    ASSERT_NO_FATAL_FAILURE(openOneStudentArchive());

    TTestStation& pupil = station(82, "Pupil");
    TTestStation& crowd = station(83, "Crowd");
    ASSERT_TRUE(pupil.Register() && pupil.Register() && early.Register());
    for (int i = 1; i <= TStudentTable::kMaxNamesPerAddress + 1; ++i)
        ASSERT_TRUE(crowd.SendAs(QStringLiteral("N%1").arg(i), "Name!!"));
    // Acted on in order: the refusal of the fifth name from one address comes last.
    ASSERT_TRUE(settle([&] { return w->StatusPanel0->text() == englishText(144).arg("N5", "127.0.0.83"); }));
    // A name waiting aside is taken for another address as it is in the table.
    ASSERT_TRUE(crowd.SendAs("PUPIL", "Name!!"));
    ASSERT_TRUE(settle([&] {
        return w->StatusPanel0->text() == englishText(153).arg("PUPIL", "127.0.0.83", "127.0.0.82");
    }));
    EXPECT_EQ(grid(), QStringList({"Old", "5", "+"}) + QStringList(9, QString()));
    EXPECT_EQ(w->StudentName->count(), 1);

    w->CloseArhivClick();
    QStringList shown;
    for (int k = 0; k < s->StudentCount; ++k)
        shown << s->Students[k].Name + "|" + w->StudentName->itemText(k) + "|" + cell(0, k + 1);
    EXPECT_EQ(shown, QStringList({"Early|Early|Early", "Pupil|Pupil|Pupil", "N1|N1|N1", "N2|N2|N2",
                                  "N3|N3|N3", "N4|N4|N4"}));
    openTopic();
    ASSERT_TRUE(w->GiveOutClick());
    EXPECT_TRUE(early.WaitForMessages(1) && pupil.WaitForMessages(1));
}
