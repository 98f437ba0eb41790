// The real printer device writing PDF: what PrintLines and PrintGrid put on paper must read back
// as text (pdftotext -layout), and the job must behave on refusal, failure and abort.
#include "Error.h"
#include "MyPrintUtils.h"
#include "PrinterDevice.h"
#include "QtPrinterDevice.h"
#include "ScriptedDialogs.h"
#include "StringGrid.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString() << ": "
                      << p.readAllStandardError().toStdString();
        return {};
    }
    // Fonts may set "fi" and the like as one ligature glyph; compare letters, not glyphs.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The printed text with every blank and line break removed.
QString squeezed(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

class PdfPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            << "pdftotext (poppler-utils) is needed to read printouts back";
        pdf = dir.filePath(QStringLiteral("printout.pdf"));
    }
    void TearDown() override { vxg::SetCurrentPrinter(nullptr); }

    vxg::QtPrinterDevice& installPdfPrinter() {
        auto dev = std::make_unique<vxg::QtPrinterDevice>(pdf);
        vxg::QtPrinterDevice* raw = dev.get();
        vxg::SetCurrentPrinter(std::move(dev));
        return *raw;
    }

    QTemporaryDir dir;
    QString pdf;
};

TEST_F(PdfPrinter, PrintLinesReadsBackLineByLineUnderItsTitle) {
    vxg::QtPrinterDevice& dev = installPdfPrinter();
    PrintLines({" ", QStringLiteral("Question:1"), QStringLiteral("Текст вопроса на русском"),
                QStringLiteral("   1) first answer"), QStringLiteral("   2) second answer")},
               QStringLiteral("Topic title"), 10);

    EXPECT_FALSE(dev.printing());
    EXPECT_EQ(dev.outputFile(), pdf);
    EXPECT_EQ(dev.fontSize(), 10);
    const QStringList lines = pdfText(pdf).split(u'\n');
    QStringList nonEmpty;
    for (const QString& l : lines)
        if (!l.trimmed().isEmpty())
            nonEmpty << l.trimmed();
    const QStringList expected{"Topic title", "Question:1", "Текст вопроса на русском", "1) first answer",
                               "2) second answer"};
    EXPECT_EQ(nonEmpty.join(u'|').toStdString(), expected.join(u'|').toStdString());
    // (QStringList::indexOf matches a pattern against whole lines.)
    // The answers keep their indent of three blanks against the label above them.
    const qsizetype labelAt = lines.indexOf(QRegularExpression(QStringLiteral("\\s*Question:1\\s*")));
    const qsizetype answerAt = lines.indexOf(QRegularExpression(QStringLiteral("\\s*1\\) first.*")));
    ASSERT_GE(labelAt, 0);
    ASSERT_GE(answerAt, 0);
    EXPECT_GT(lines.at(answerAt).indexOf(u'1'), lines.at(labelAt).indexOf(u'Q'));
}

TEST_F(PdfPrinter, LongLinesWrapAndManyLinesRunOntoFurtherPages) {
    installPdfPrinter();
    QString longLine;
    for (int i = 1; i <= 60; ++i)
        longLine += QStringLiteral("word%1 ").arg(i, 2, 10, QChar(u'0'));
    QStringList lines{longLine.trimmed()};
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    PrintLines(lines, {}, 10);

    const QString text = pdfText(pdf);
    // Nothing lost or reordered by the wrapping: the text, blanks aside, reads as written.
    QString all;
    for (const QString& l : lines)
        all += l;
    EXPECT_EQ(squeezed(text).toStdString(), squeezed(all).toStdString());
    // The long line took more than one printed line.
    const QStringList printed = text.split(u'\n');
    const qsizetype first = printed.indexOf(QRegularExpression(QStringLiteral("\\s*word01.*")));
    ASSERT_GE(first, 0);
    EXPECT_FALSE(printed.at(first).contains(QStringLiteral("word60")));
    // 150 lines at size 10 need more than one page; the pages break between lines.
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    EXPECT_GE(pages.size(), 3);
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Line 150")));
    EXPECT_FALSE(pages.first().contains(QStringLiteral("Line 150")));
}

TEST_F(PdfPrinter, PrintGridReadsBackWithTitleHeaderAndRows) {
    installPdfPrinter();
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetColWidth(0, 200);
    grid.SetColWidth(1, 120);
    const QStringList header{"Student", "Grade", "Hidden"};
    for (int c = 0; c < 3; ++c)
        grid.SetCell(c, 0, header[c]);
    const QStringList names{"Ivanov", "Petrova", "Sidorov"};
    for (int r = 1; r <= 3; ++r) {
        grid.SetCell(0, r, names[r - 1]);
        grid.SetCell(1, r, QString::number(r + 3));
        grid.SetCell(2, r, QStringLiteral("secret"));
    }
    PrintGrid(grid, QStringLiteral("Testing results"), 12, {1, 2, 3}, {0, 1});

    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Testing results")));
    EXPECT_FALSE(text.contains(QStringLiteral("secret")));
    EXPECT_FALSE(text.contains(QStringLiteral("Hidden")));
    const QStringList printed = text.split(u'\n');
    for (int r = 1; r <= 3; ++r) {
        const qsizetype at = printed.indexOf(
            QRegularExpression(QStringLiteral("^\\s*%1\\s+%2\\s*$").arg(names[r - 1]).arg(r + 3)));
        EXPECT_GE(at, 0) << "row " << r << " not found in:\n" << text.toStdString();
    }
    EXPECT_GE(printed.indexOf(QRegularExpression(QStringLiteral("^\\s*Student\\s+Grade\\s*$"))), 0);
}

TEST_F(PdfPrinter, SecondJobIsRefusedWhilePrintingAndTheFirstStillFinishes) {
    vxg::QtPrinterDevice dev(pdf);
    dev.beginJob();
    EXPECT_TRUE(dev.printing());
    try {
        dev.beginJob();
        FAIL() << "a second job began";
    } catch (const vxg::Error& e) {
        EXPECT_EQ(e.text(), "Printing in progress");
    }
    dev.textOut(0, 0, QStringLiteral("still printing"));
    dev.endJob();
    EXPECT_FALSE(dev.printing());
    EXPECT_TRUE(squeezed(pdfText(pdf)).contains(QStringLiteral("stillprinting")));
}

TEST_F(PdfPrinter, PrinterThatCannotBeginRaisesAndLeavesNoJobOpen) {
    vxg::QtPrinterDevice dev(dir.filePath(QStringLiteral("no/such/folder/out.pdf")));
    EXPECT_THROW(dev.beginJob(), vxg::Error);
    EXPECT_FALSE(dev.printing());
    EXPECT_THROW(dev.endJob(), vxg::Error);
    EXPECT_THROW(dev.textOut(0, 0, QStringLiteral("x")), vxg::Error);
}

TEST_F(PdfPrinter, AbortedJobLeavesNoFileAndTheNextJobWorks) {
    vxg::QtPrinterDevice dev(pdf);
    dev.beginJob();
    dev.textOut(0, 0, QStringLiteral("half"));
    dev.abortJob();
    EXPECT_FALSE(dev.printing());
    EXPECT_FALSE(QFileInfo::exists(pdf));

    dev.beginJob();
    dev.textOut(0, 0, QStringLiteral("whole"));
    dev.endJob();
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("whole")));
}

TEST_F(PdfPrinter, MetricsAreInPrinterDotsAndFollowTheFont) {
    vxg::QtPrinterDevice dev(pdf);
    EXPECT_GE(dev.dpiX(), 600);
    EXPECT_EQ(dev.dpiX(), dev.dpiY());
    EXPECT_GT(dev.pageWidth(), 7 * dev.dpiX()); // A4 or Letter, less the margins
    EXPECT_GT(dev.pageHeight(), dev.pageWidth());
    EXPECT_EQ(dev.fontSize(), 10);
    EXPECT_FALSE(dev.bold());

    const int width10 = dev.textWidth(QStringLiteral("Grade evaluations"));
    const int height10 = dev.textHeight(QStringLiteral("X"));
    // A 10-point text is about 10/72 inch high.
    EXPECT_NEAR(height10, dev.dpiY() * 10 / 72, dev.dpiY() * 6 / 72);
    dev.setFontSize(20);
    EXPECT_GT(dev.textWidth(QStringLiteral("Grade evaluations")), width10 * 3 / 2);
    EXPECT_GT(dev.textHeight(QStringLiteral("X")), height10 * 3 / 2);
    dev.setBold(true);
    EXPECT_TRUE(dev.bold());
    EXPECT_GT(dev.averageCharWidth(), 0);
}

// With no printer on the machine each job becomes a new PDF in the documents folder, and the
// user is told where.
TEST(DefaultPrinter, WithoutASystemPrinterJobsGoToNewPdfFilesInDocuments) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    vxg::SetCurrentPrinter(nullptr);

    PrintLines({QStringLiteral("first printout")}, {}, 10);
    PrintLines({QStringLiteral("second printout")}, {}, 10);

    const QString first = dialogs->texts(vxg::DlgKind::Information).value(0);
    const QString second = dialogs->texts(vxg::DlgKind::Information).value(1);
    ScriptedDialogs::uninstall();

    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString prefix = QStringLiteral("The printout was saved to ");
    ASSERT_TRUE(first.startsWith(prefix)) << first.toStdString();
    ASSERT_TRUE(second.startsWith(prefix)) << second.toStdString();
    const QString firstFile = first.mid(prefix.size());
    const QString secondFile = second.mid(prefix.size());
    EXPECT_NE(firstFile, secondFile);
    EXPECT_EQ(vxg::CurrentPrinter().outputFile(), secondFile);
    for (const QString& f : {firstFile, secondFile}) {
        EXPECT_EQ(QFileInfo(f).absolutePath(), QDir(docs).absolutePath());
        EXPECT_TRUE(QFileInfo(f).fileName().startsWith(QStringLiteral("VXG printout ")));
        EXPECT_TRUE(f.endsWith(QStringLiteral(".pdf")));
    }
    EXPECT_TRUE(pdfText(firstFile).contains(QStringLiteral("first printout")));
    EXPECT_TRUE(pdfText(secondFile).contains(QStringLiteral("second printout")));
    vxg::SetCurrentPrinter(nullptr);
}

} // namespace
