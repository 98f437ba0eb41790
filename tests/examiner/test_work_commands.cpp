// The console's own commands: the language switch and the labelling of the window, the About
// boxes, printing the results, the skip flag, and the commands' shortcuts and places.
#include "test_work_support.h"

#include "AboutProf.h"
#include "AboutVelmora.h"
#include "Help.h"
#include "LinkLabel.h"
#include "PieGauge.h"
#include "PrinterDevice.h"
#include "RecordingPrinter.h"
#include "StringGrid.h"
#include "UiLanguage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace {

// A tool button's caption as one line: the narrow window puts long captions on two.
QString oneLine(QString text) {
    return text.replace(u'\n', u' ');
}

// One labelled place of the window: how to read it, and the text it must show for the
// language table's id (with what comes before and after).
struct Labelled {
    const char* what;
    std::function<QString(TWorkF&)> read;
    int id;
    QString before;
    QString after;
};

std::vector<Labelled> labellingTable(const TExaminerState& s) {
    auto title = [](QMenu* m) { return m->title(); };
    return {
        {"N1", [=](TWorkF& w) { return title(w.N1); }, 10, {}, {}},
        {"N3", [=](TWorkF& w) { return title(w.N3); }, 11, {}, {}},
        {"N8", [=](TWorkF& w) { return title(w.N8); }, 12, {}, {}},
        {"N2", [=](TWorkF& w) { return title(w.N2); }, 13, {}, {}},
        {"N4", [=](TWorkF& w) { return title(w.N4); }, 14, {}, {}},
        {"OpenTopic", [](TWorkF& w) { return w.OpenTopic->text(); }, 15, {}, {}},
        {"OpenTopicBtn hint", [](TWorkF& w) { return w.OpenTopicBtn->toolTip(); }, 16, {}, {}},
        {"CloseTopic", [](TWorkF& w) { return w.CloseTopic->text(); }, 17, {}, {}},
        {"CloseTopicBtn hint", [](TWorkF& w) { return w.CloseTopicBtn->toolTip(); }, 18, {}, {}},
        {"QueList", [](TWorkF& w) { return w.QueList->text(); }, 19, {}, {}},
        {"ExamwrightM", [](TWorkF& w) { return w.ExamwrightM->text(); }, 20, {}, {}},
        {"ExitM", [](TWorkF& w) { return w.ExitM->text(); }, 21, {}, {}},
        {"ExitBtn hint", [](TWorkF& w) { return w.ExitBtn->toolTip(); }, 22, {}, {}},
        {"GiveOut", [](TWorkF& w) { return w.GiveOut->text(); }, 23, {}, {}},
        {"GiveOutBtn hint", [](TWorkF& w) { return w.GiveOutBtn->toolTip(); }, 24, {}, {}},
        {"GiveOutBtn caption", [](TWorkF& w) { return oneLine(w.GiveOutBtn->text()); }, 24, {}, {}},
        {"Stop", [](TWorkF& w) { return w.Stop->text(); }, 25, QStringLiteral("&"), {}},
        {"StopBtn hint", [](TWorkF& w) { return w.StopBtn->toolTip(); }, 26, {}, {}},
        {"StopBtn caption",
         [](TWorkF& w) { return oneLine(w.StopBtn->text()); },
         25,
         {},
         QStringLiteral(" (F3)")},
        {"SaveResults", [](TWorkF& w) { return w.SaveResults->text(); }, 27, {}, {}},
        {"SaveResultsBtn hint", [](TWorkF& w) { return w.SaveResultsBtn->toolTip(); }, 28, {}, {}},
        {"SaveResultsBtn caption", [](TWorkF& w) { return oneLine(w.SaveResultsBtn->text()); }, 28, {}, {}},
        {"NewAtt", [](TWorkF& w) { return w.NewAtt->text(); }, 29, {}, {}},
        {"NewAttBtn hint", [](TWorkF& w) { return w.NewAttBtn->toolTip(); }, 30, {}, {}},
        {"NewAttBtn caption", [](TWorkF& w) { return oneLine(w.NewAttBtn->text()); }, 30, {}, {}},
        {"LoadArhiv", [](TWorkF& w) { return w.LoadArhiv->text(); }, 15, {}, {}},
        {"LoadArhivBtn hint", [](TWorkF& w) { return w.LoadArhivBtn->toolTip(); }, 31, {}, {}},
        {"CloseArhiv", [](TWorkF& w) { return w.CloseArhiv->text(); }, 17, {}, {}},
        {"CloseArhivBtn hint", [](TWorkF& w) { return w.CloseArhivBtn->toolTip(); }, 32, {}, {}},
        {"Options", [](TWorkF& w) { return w.Options->text(); }, 33, {}, {}},
        {"OptionsBtn hint", [](TWorkF& w) { return w.OptionsBtn->toolTip(); }, 34, {}, {}},
        {"N10", [=](TWorkF& w) { return title(w.N10); }, 35, {}, {}},
        {"Help", [](TWorkF& w) { return w.Help->text(); }, 36, {}, {}},
        {"Help hint", [](TWorkF& w) { return w.Help->toolTip(); }, 37, {}, {}},
        {"About", [](TWorkF& w) { return w.About->text(); }, 38, {}, {}},
        {"AboutVXGm", [](TWorkF& w) { return w.AboutVXGm->text(); }, 39, {}, {}},
        {"QuickHelpA", [](TWorkF& w) { return w.QuickHelpA->text(); }, 40, {}, {}},
        {"QuickHelpA hint", [](TWorkF& w) { return w.QuickHelpA->toolTip(); }, 41, {}, {}},
        {"QuickHelpBtn hint", [](TWorkF& w) { return w.QuickHelpBtn->toolTip(); }, 41, {}, {}},
        {"PrevQueA", [](TWorkF& w) { return w.PrevQueA->text(); }, 42, {}, {}},
        {"NextQueA", [](TWorkF& w) { return w.NextQueA->text(); }, 43, {}, {}},
        {"PrintA", [](TWorkF& w) { return w.PrintA->text(); }, 44, {}, {}},
        {"PrintA hint", [](TWorkF& w) { return w.PrintA->toolTip(); }, 45, {}, {}},
        {"ToolButton2 hint", [](TWorkF& w) { return w.ToolButton2->toolTip(); }, 45, {}, {}},
        {"ToolButton2 caption", [](TWorkF& w) { return oneLine(w.ToolButton2->text()); }, 44, {}, {}},
        {"Label8", [](TWorkF& w) { return w.Label8->text(); }, 130, {}, {}},
        {"status panel 0", [](TWorkF& w) { return w.StatusPanel0->text(); }, 56, {}, {}},
        {"status panel 1", [](TWorkF& w) { return w.StatusPanel1->text(); }, 46, {}, s.OptionsName},
        {"Label1", [](TWorkF& w) { return w.Label1->text(); }, 87, {}, {}},
        {"Label3", [](TWorkF& w) { return w.Label3->text(); }, 88, {}, {}},
    };
}

class CommandsTest : public ExaminerTest {
protected:
    TWorkF& window() {
        makeAdaptedFolder();
        return startAndShow();
    }

    void expectLabelled(TWorkF& w, int offset) {
        SCOPED_TRACE(offset == 0 ? "Russian" : "English");
        EXPECT_EQ(w.windowTitle(), LangTableText(1 + offset));
        EXPECT_EQ(examiner->State.BaseCaption, LangTableText(1 + offset));
        for (const Labelled& l : labellingTable(examiner->State)) {
            ASSERT_FALSE(LangTableText(l.id + offset).isEmpty()) << l.what;
            EXPECT_EQ(l.read(w), l.before + LangTableText(l.id + offset) + l.after) << l.what;
        }
        // The language items keep their captions.
        EXPECT_EQ(w.Eng1->text(), QStringLiteral("Eng"));
        EXPECT_EQ(w.Rus1->text(), QStringLiteral("Rus"));
    }
};

TEST_F(CommandsTest, LanguageSwitchRelabelsTheWholeWindow) {
    TWorkF& w = window();
    expectLabelled(w, 200); // English at start: nothing stored
    examiner->State.OptionsName = QStringLiteral("Morning");

    w.setWindowTitle(examiner->State.BaseCaption + QStringLiteral(" - algebra.vxg"));
    w.Rus1->trigger();
    EXPECT_EQ(LangOffset, 0);
    EXPECT_TRUE(w.Rus1->isChecked());
    EXPECT_FALSE(w.Eng1->isChecked());
    expectLabelled(w, 0);
    EXPECT_TRUE(vxg::Help::instance().pagePath(QStringLiteral("IDH_Ready")).contains(QStringLiteral("/ru/")));
    // The grid is labelled again too.
    EXPECT_EQ(w.StringGrid->Cell(0, 0), LangTableText(68));
    EXPECT_EQ(w.StringGrid->Cell(1, 0), LangTableText(69));

    w.Eng1->trigger();
    EXPECT_EQ(LangOffset, 200);
    EXPECT_TRUE(w.Eng1->isChecked());
    EXPECT_FALSE(w.Rus1->isChecked());
    expectLabelled(w, 200);
    EXPECT_TRUE(vxg::Help::instance().pagePath(QStringLiteral("IDH_Ready")).contains(QStringLiteral("/en/")));
    EXPECT_EQ(w.StringGrid->Cell(0, 0), LangTableText(268));
}

// Qt's own texts (standard buttons, file dialogs) and the platform's own messages follow the
// language too (a real box with them: the platform's tests).
TEST_F(CommandsTest, LanguageSwitchTranslatesQtAndPlatformTexts) {
    TWorkF& w = window();
    for (const bool russian : {true, false}) {
        (russian ? w.Rus1 : w.Eng1)->trigger();
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"),
                  russian ? QStringLiteral("Открыть") : "Open");
        const int o = russian ? 0 : 200;
        EXPECT_EQ(QStringList({vxg::dialogCaption(vxg::DlgKind::Error),
                               vxg::dialogCaption(vxg::DlgKind::Confirmation),
                               vxg::platformTexts().printoutSaved, vxg::platformTexts().cannotStartPrinting}),
                  QStringList({LangTableText(192 + o), LangTableText(194 + o), LangTableText(195 + o),
                               LangTableText(197 + o)}));
    }
}

TEST_F(CommandsTest, ChoosingTheLanguageInForceRepeatsEveryStep) {
    TWorkF& w = window();
    w.setWindowTitle(examiner->State.BaseCaption + QStringLiteral(" - results.arh"));
    w.StatusPanel0->setText(QStringLiteral("something else"));
    w.Eng1->trigger();
    EXPECT_TRUE(w.Eng1->isChecked());
    EXPECT_EQ(w.windowTitle(), LangTableText(201));
    EXPECT_EQ(w.StatusPanel0->text(), LangTableText(256));
}

TEST_F(CommandsTest, ToolBarCaptionsDifferFromMenuCaptions) {
    TWorkF& w = window();
    EXPECT_NE(w.GiveOutBtn->text(), w.GiveOut->text());
    EXPECT_EQ(oneLine(w.GiveOutBtn->text()), englishText(24));
    EXPECT_EQ(w.GiveOut->text(), englishText(23));
    // The print button shows its action.
    EXPECT_EQ(w.ToolButton2->defaultAction(), w.PrintA);
    EXPECT_EQ(w.QuickHelpBtn->defaultAction(), w.QuickHelpA);
}

TEST_F(CommandsTest, ChosenLanguageIsStoredAtExit) {
    TWorkF& w = window();
    w.Rus1->trigger();
    stop();
    EXPECT_EQ(vxg::Registry().readInteger(kExaminerKey, QStringLiteral("LangN")), 0);
}

TEST_F(CommandsTest, AboutBoxFollowsTheLanguageAtEachShowing) {
    TWorkF& w = window();
    TAboutVerirozaz* box = examiner->AboutBox();
    ASSERT_NE(box, nullptr);
    bool shown = false;
    QTimer::singleShot(0, box, [&] {
        shown = box->isVisible();
        box->OKButton->click();
    });
    w.About->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box->size(), QSize(298, 231));
    EXPECT_EQ(box->ProductName->text(), QStringLiteral("VXG Verirozaz"));
    EXPECT_EQ(box->Version->text(), englishText(70));
    EXPECT_EQ(box->Comments->text(), englishText(71));
    EXPECT_EQ(box->Label3->text(), QStringLiteral("Tallowen"));
    EXPECT_EQ(box->Label4->text(), QStringLiteral("series"));
    EXPECT_EQ(box->Label6->text(), QString::fromLatin1(kMakerWebAddress));

    w.Rus1->trigger();
    QTimer::singleShot(0, box, [box] { box->accept(); });
    w.About->trigger();
    EXPECT_EQ(box->Version->text(), LangTableText(70));
    EXPECT_EQ(box->Comments->text(), LangTableText(71));
    EXPECT_EQ(box->ProductName->text(), QStringLiteral("VXG Verirozaz"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About"));
}

TEST_F(CommandsTest, SuiteAboutBoxIsShownModally) {
    TWorkF& w = window();
    TAboutVXG* box = examiner->AboutVXGBox();
    ASSERT_NE(box, nullptr);
    bool modal = false;
    QTimer::singleShot(0, box, [&] {
        modal = QApplication::activeModalWidget() == box;
        box->accept();
    });
    w.AboutVXGm->trigger();
    EXPECT_TRUE(modal);
}

TEST_F(CommandsTest, PrintingTakesNamesAndGradesOfRowsUpTo255) {
    TWorkF& w = window();
    auto printer = std::make_unique<vxg::RecordingPrinter>();
    vxg::RecordingPrinter* rec = printer.get();
    vxg::SetCurrentPrinter(std::move(printer));

    TStringGrid& g = *w.StringGrid;
    g.SetRowCount(300);
    for (int r = 1; r < 300; ++r) {
        g.SetCell(0, r, QStringLiteral("Student%1").arg(r));
        g.SetCell(1, r, QString::number(r % 12 + 1));
        g.SetCell(2, r, QStringLiteral("MARK%1").arg(r));
    }
    w.PrintAExecute();
    const QStringList texts = rec->texts();
    const int jobsEnded = rec->jobsEnded;
    vxg::SetCurrentPrinter(nullptr);

    EXPECT_EQ(jobsEnded, 1);
    EXPECT_TRUE(texts.contains(englishText(125)));
    EXPECT_TRUE(texts.contains(englishText(68)));
    EXPECT_TRUE(texts.contains(QStringLiteral("Student1")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Student255")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Student256")));
    for (const QString& t : texts)
        EXPECT_FALSE(t.startsWith(QStringLiteral("MARK"))) << "only names and grades are printed";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CommandsTest, PrintingAnEmptyGridPrintsTheHeaderAndOneEmptyRow) {
    TWorkF& w = window();
    auto printer = std::make_unique<vxg::RecordingPrinter>();
    vxg::RecordingPrinter* rec = printer.get();
    vxg::SetCurrentPrinter(std::move(printer));
    ASSERT_EQ(w.StringGrid->RowCount(), 2);
    w.PrintAExecute();
    const QStringList texts = rec->texts();
    const int jobsEnded = rec->jobsEnded;
    vxg::SetCurrentPrinter(nullptr);
    EXPECT_EQ(jobsEnded, 1);
    EXPECT_TRUE(texts.contains(englishText(69)));
}

TEST_F(CommandsTest, SkipFlagStaysRaisedWhenPressedAgain) {
    TWorkF& w = window();
    EXPECT_FALSE(w.StopCiklesA->isChecked());
    w.StopCiklesA->trigger();
    EXPECT_TRUE(w.StopCiklesA->isChecked());
    w.StopCiklesA->trigger();
    EXPECT_TRUE(w.StopCiklesA->isChecked());
}

TEST_F(CommandsTest, ShortcutsOfTheCommands) {
    TWorkF& w = window();
    const std::vector<std::pair<QAction*, QKeySequence>> expected{
        {w.OpenTopic, QKeySequence(QStringLiteral("Ctrl+O"))},
        {w.CloseTopic, QKeySequence(QStringLiteral("Shift+F4"))},
        {w.QueList, QKeySequence(QStringLiteral("Ctrl+W"))},
        {w.ExamwrightM, QKeySequence(QStringLiteral("Ctrl+Q"))},
        {w.GiveOut, QKeySequence(QStringLiteral("F2"))},
        {w.Stop, QKeySequence(QStringLiteral("F3"))},
        {w.SaveResults, QKeySequence(QStringLiteral("F4"))},
        {w.NewAtt, QKeySequence(QStringLiteral("F5"))},
        {w.LoadArhiv, QKeySequence(QStringLiteral("Ctrl+A"))},
        {w.CloseArhiv, QKeySequence(QStringLiteral("Ctrl+F4"))},
        {w.Options, QKeySequence(QStringLiteral("F12"))},
        {w.QuickHelpA, QKeySequence(QStringLiteral("F1"))},
        {w.Help, QKeySequence(QStringLiteral("Ctrl+F1"))},
        {w.PrevQueA, QKeySequence(QStringLiteral("F10"))},
        {w.NextQueA, QKeySequence(QStringLiteral("F11"))},
        {w.PrintA, QKeySequence(QStringLiteral("Ctrl+P"))},
        {w.DelStudA, QKeySequence(QStringLiteral("Ctrl+Del"))},
        {w.StopCiklesA, QKeySequence(QStringLiteral("Alt+Backspace"))},
    };
    for (const auto& [action, keys] : expected)
        EXPECT_EQ(action->shortcut(), keys) << action->objectName().toStdString();
    for (QAction* none : {w.ExitM, w.About, w.AboutVXGm, w.Eng1, w.Rus1})
        EXPECT_TRUE(none->shortcut().isEmpty()) << none->objectName().toStdString();
}

TEST_F(CommandsTest, EachShortcutKeyReachesItsCommandOnly) {
    TWorkF& w = window();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    struct Key {
        QAction* action;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const std::vector<Key> keys{
        {w.OpenTopic, Qt::Key_O, Qt::ControlModifier},
        {w.CloseTopic, Qt::Key_F4, Qt::ShiftModifier},
        {w.QueList, Qt::Key_W, Qt::ControlModifier},
        {w.ExamwrightM, Qt::Key_Q, Qt::ControlModifier},
        {w.GiveOut, Qt::Key_F2, Qt::NoModifier},
        {w.Stop, Qt::Key_F3, Qt::NoModifier},
        {w.SaveResults, Qt::Key_F4, Qt::NoModifier},
        {w.NewAtt, Qt::Key_F5, Qt::NoModifier},
        {w.LoadArhiv, Qt::Key_A, Qt::ControlModifier},
        {w.CloseArhiv, Qt::Key_F4, Qt::ControlModifier},
        {w.Options, Qt::Key_F12, Qt::NoModifier},
        {w.QuickHelpA, Qt::Key_F1, Qt::NoModifier},
        {w.Help, Qt::Key_F1, Qt::ControlModifier},
        {w.PrevQueA, Qt::Key_F10, Qt::NoModifier},
        {w.NextQueA, Qt::Key_F11, Qt::NoModifier},
        {w.PrintA, Qt::Key_P, Qt::ControlModifier},
        {w.DelStudA, Qt::Key_Delete, Qt::ControlModifier},
        {w.StopCiklesA, Qt::Key_Backspace, Qt::AltModifier},
    };
    // Only the way from the key to the command is looked at: the commands' own work (dialogs,
    // the help window, minimising) is cut off so that every key meets the same window.
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const Key& k : keys) {
        QObject::disconnect(k.action, &QAction::triggered, nullptr, nullptr);
        k.action->setEnabled(true);
        spies.push_back(std::make_unique<QSignalSpy>(k.action, &QAction::triggered));
    }

    // From the window itself and from the results grid, which has keys of its own (F2, Ctrl+A).
    for (QWidget* target : {static_cast<QWidget*>(&w), static_cast<QWidget*>(w.StringGridView)}) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            for (auto& spy : spies)
                spy->clear();
            QTest::keyClick(target, keys[i].key, keys[i].modifiers);
            for (std::size_t j = 0; j < keys.size(); ++j)
                EXPECT_EQ(spies[j]->count(), i == j ? 1 : 0)
                    << QKeySequence(keys[i].modifiers | keys[i].key).toString().toStdString() << " from "
                    << target->objectName().toStdString() << " -> "
                    << keys[j].action->objectName().toStdString();
        }
    }
}

TEST_F(CommandsTest, MissingQuestionEditorIsReportedAndTheWindowStaysAsItWas) {
    // The test programs lie apart from the built programs, so no editor is found beside this one.
    TWorkF& w = window();
    ASSERT_FALSE(w.isMinimized());
    w.ExamwrightM->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isMinimized());
    EXPECT_EQ(dialogs->texts(vxg::DlgKind::Error), QStringList{text(189).arg("VXG-Examwright")});
}

TEST_F(CommandsTest, MenusHoldTheirItemsInOrder) {
    TWorkF& w = window();
    auto items = [](QMenu* m) {
        QStringList names;
        for (QAction* a : m->actions())
            names << (a->isSeparator() ? QStringLiteral("-")
                      : a->menu()      ? a->menu()->objectName()
                                       : a->objectName());
        return names;
    };
    EXPECT_EQ(items(w.N1),
              QStringList({"OpenTopic", "CloseTopic", "-", "QueList", "ExamwrightM", "-", "-", "ExitM"}));
    EXPECT_EQ(items(w.N3), QStringList({"GiveOut", "Stop", "SaveResults", "NewAtt"}));
    EXPECT_EQ(items(w.N8), QStringList({"LoadArhiv", "CloseArhiv"}));
    EXPECT_EQ(items(w.N2), QStringList({"Options", "N10"}));
    EXPECT_EQ(items(w.N10), QStringList({"Eng1", "Rus1"}));
    EXPECT_EQ(items(w.N4), QStringList({"QuickHelpA", "Help", "-", "About", "AboutVXGm"}));
    EXPECT_TRUE(w.Eng1->isCheckable());
    EXPECT_EQ(w.Eng1->actionGroup(), w.Rus1->actionGroup());
}

TEST_F(CommandsTest, HiddenPanelsGaugeTimersAndStatusBar) {
    TWorkF& w = window();
    EXPECT_FALSE(w.Panel1->isVisible());
    EXPECT_FALSE(w.GiveOutPanel->isVisible());
    EXPECT_EQ(w.Gauge1->size(), QSize(81, 81));
    EXPECT_EQ(w.Gauge1->ForeColor(), QColor(Qt::red));
    EXPECT_EQ(w.Timer1->interval(), 60000);
    EXPECT_EQ(w.Timer2->interval(), 5000);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    // 500 and 300 pixels where the window has the room; a narrower window is not widened by them.
    w.resize(1400, 700);
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.StatusPanel0->width() == 500; }));
    EXPECT_EQ(w.StatusPanel1->width(), 300);
    EXPECT_LE(w.StatusBar->minimumSizeHint().width(), 780);
    EXPECT_EQ(w.StatusPanel0->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(w.StatusBar->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_TRUE(w.font().bold());
    EXPECT_EQ(w.font().pixelSize(), 13);
    EXPECT_EQ(w.GiveOutBtn->height(), 39);
    EXPECT_EQ(w.GiveOutBtn->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(w.OpenTopicBtn->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(w.OpenTopicBtn->size(), QSize(25, 25));
}

// In the restored 780-pixel window every command of both tool bars has its button on the bar,
// in both languages: none falls behind the overflow arrow.
TEST_F(CommandsTest, EveryToolButtonIsOnItsBarAtTheRestoredWidth) {
    TWorkF& w = window();
    w.showNormal();
    w.resize(780, 567);
    for (const bool russian : {true, false}) {
        (russian ? w.Rus1 : w.Eng1)->trigger();
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.width() == 780; }));
        for (QToolBar* bar : {w.MainToolBar, w.AttestationToolBar}) {
            bar->layout()->activate();
            for (QToolButton* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
                if (b->objectName() == QLatin1String("qt_toolbar_ext_button"))
                    EXPECT_FALSE(b->isVisible()) << (russian ? "Rus " : "Eng ") << "overflow arrow";
                else
                    EXPECT_TRUE(b->isVisible() && b->geometry().right() < bar->width())
                        << (russian ? "Rus " : "Eng ") << b->objectName().toStdString() << " ends at "
                        << b->geometry().right() << " of " << bar->width();
            }
        }
    }
}

// One program's string table as it lies in the source tree: id -> text as written.
QMap<int, QString> sourceStringTable(const QString& program) {
    const QDir sources = QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir();
    QFile file(sources.filePath(QStringLiteral("../../resources/%1/strings.tsv").arg(program)));
    QMap<int, QString> table;
    if (!file.open(QIODevice::ReadOnly))
        return table;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            table.insert(line.left(tab).toInt(), line.mid(tab + 1));
    }
    return table;
}

TEST(SuiteAboutTexts, AreTheSameInTheExaminerAndTheEditor) {
    const QMap<int, QString> examiner = sourceStringTable(QStringLiteral("examiner"));
    const QMap<int, QString> editor = sourceStringTable(QStringLiteral("editor"));
    ASSERT_FALSE(examiner.isEmpty());
    ASSERT_FALSE(editor.isEmpty());
    // The suite's About box shows these in either program.
    for (const int id : {70, 72, 73, 74, 270, 272, 273, 274}) {
        EXPECT_FALSE(examiner.value(id).isEmpty()) << id;
        EXPECT_EQ(examiner.value(id), editor.value(id)) << id;
        EXPECT_EQ(LangTableText(id), examiner.value(id)) << id << ": the table compiled in";
    }
}

TEST(PieGauge, ProgressIsKeptWithinZeroToHundred) {
    TPieGauge g;
    g.SetProgress(42);
    EXPECT_EQ(g.Progress(), 42);
    g.SetProgress(130);
    EXPECT_EQ(g.Progress(), 100);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);
}

TEST(PieGauge, PaintsThePieInItsColour) {
    TPieGauge g;
    g.resize(81, 81);
    g.SetProgress(25);
    const QImage img = g.grab().toImage();
    // A quarter, clockwise from twelve o'clock: the upper right is filled, the lower left not.
    EXPECT_EQ(img.pixelColor(60, 20), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(20, 60), QColor(Qt::white));
}

} // namespace
