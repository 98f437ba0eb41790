// What the status bar tells the teacher, through the real window and real sockets.
#include "test_testing_fixture.h"

#include <QLabel>

TEST_F(TestingWindowTest, ARegistrationUnderATakenNameIsToldAndLongStatusTextsAreReadWhole) {
    startTesting();
    registered(141, "Ivanov");
    ASSERT_TRUE(station(142, "IVANOV").Register());
    ASSERT_TRUE(settle([&] { return !w->StatusPanel0->text().startsWith(englishText(60)); }));
    EXPECT_EQ(w->StatusPanel0->text(), englishText(153).arg("IVANOV", "127.0.0.142", "127.0.0.141"));

    // Every refusal and note, with a long name and long addresses, fits the panel in both
    // languages, over as many lines as it needs.
    QLabel* panel = w->StatusPanel0;
    auto fits = [panel] {
        const QRect room = panel->contentsRect();
        const QRect needed = panel->fontMetrics().boundingRect(
            QRect(0, 0, room.width(), 10000), Qt::TextWordWrap | Qt::AlignCenter, panel->text());
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    for (const bool russian : {true, false}) {
        russian ? w->Rus1Click() : w->Eng1Click();
        for (const int id : {140, 141, 142, 143, 144, 145, 153, 154, 155}) {
            panel->setText(text(id)
                               .replace("%1", "Константинопольская Анастасия Владимировна")
                               .replace("%2", "192.168.100.123")
                               .replace("%3", "192.168.100.124"));
            EXPECT_TRUE(settle(fits, 2000)) << id << ' ' << panel->text().toStdString();
        }
    }
}
