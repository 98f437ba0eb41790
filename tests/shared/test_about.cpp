// The suite's About box: layout, texts in the language in force, the OK button.
#include "AboutVelmora.h"

#include "Globals.h"
#include "LanguageTest.h"
#include "LinkLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using AboutBox = LanguageTest;

TEST_F(AboutBox, FixedLayout) {
    useLanguage(200);
    TAboutVXG box;
    EXPECT_EQ(box.windowTitle(), "About Velmora");
    EXPECT_EQ(box.size(), QSize(298, 281));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "fixed size";
    EXPECT_EQ(box.Label3->text(), "Tallowen");
    EXPECT_EQ(box.Label4->text(), "series");
    EXPECT_EQ(box.Label6->text(), QString::fromLatin1(kMakerWebAddress));
    EXPECT_TRUE(box.Label6->font().underline());
    EXPECT_EQ(box.Label6->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(box.Label6->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(box.OkBtn->isDefault());
    EXPECT_EQ(box.OkBtn->text(), "OK");
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(32, 32));
    EXPECT_TRUE(box.Comments->wordWrap());
    EXPECT_TRUE(box.Label1->wordWrap());
    EXPECT_EQ(box.Comments->width(), 249);
    EXPECT_EQ(box.Label1->width(), 129);
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_TRUE(box.ProductName->font().italic());
    EXPECT_EQ(box.ProductName->font().pixelSize(), 24);
}

TEST_F(AboutBox, TextsFollowTheLanguageAtEveryShowing) {
    useLanguage(0);
    TAboutVXG box;
    box.show();
    EXPECT_EQ(box.Version->text(), "Версия 1.0.1");
    EXPECT_EQ(box.Label2->text(), "Сетевая система экзаменов Дрованик");
    EXPECT_EQ(box.Comments->text(), LangTableText(73));
    EXPECT_EQ(box.Label1->text(), LangTableText(74));
    EXPECT_TRUE(box.Label1->text().startsWith("Состав:"));
    EXPECT_EQ(box.ProductName->text(), "Velmora");
    box.hide();

    useLanguage(200);
    EXPECT_EQ(box.Version->text(), "Версия 1.0.1") << "a reload alone changes nothing on the screen";
    box.show();
    EXPECT_EQ(box.Version->text(), "Version 1.0.1");
    EXPECT_EQ(box.Label2->text(), "Drovanik Network Examination System");
    EXPECT_EQ(box.Comments->text(),
              "Set of the applications for the network testing on the theory of any subject.");
    EXPECT_TRUE(box.Label1->text().startsWith("Complete:"));
    EXPECT_TRUE(box.Label1->text().contains("VXG Question Editor"));
    EXPECT_EQ(box.ProductName->text(), "Velmora");
    EXPECT_EQ(box.windowTitle(), "About Velmora");
}

// The runs of blanks in the program list wrap it so that the heading and each of the three
// names stand on a line of their own in the label's width.
TEST_F(AboutBox, ProgramListShowsOneNamePerLine) {
    for (quint16 offset : {quint16(0), quint16(200)}) {
        useLanguage(offset);
        TAboutVXG box;
        box.show();
        const int lines =
            box.Label1->heightForWidth(box.Label1->width()) / box.Label1->fontMetrics().lineSpacing();
        EXPECT_EQ(lines, 4) << box.Label1->text().toStdString();
        EXPECT_LE(box.Label1->heightForWidth(box.Label1->width()), box.Label1->height())
            << "every line is inside the label";
    }
}

TEST_F(AboutBox, OkClosesWithAccepted) {
    useLanguage(200);
    TAboutVXG box;
    QTimer::singleShot(0, &box, [&box] {
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.Version->text(), "Version 1.0.1");
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

} // namespace

TEST(LinkLabel, ReportsLeftClicksOnly) {
    TLinkLabel label(QStringLiteral("https://velmora.example.org"));
    label.resize(200, 20);
    QSignalSpy clicks(&label, &TLinkLabel::clicked);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}
