#include "Dialogs.h"
#include "Help.h"
#include "HelpWindowProbe.h"
#include "ScriptedDialogs.h"
#include "UiLanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using vxg::DlgButtons;
using vxg::DlgKind;
using vxg::DlgResult;

namespace {

const QString kTopicFilter =
    QStringLiteral("VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

// Runs act on the modal window that the next call opens, once it is up.
template <class W> void whenModal(std::function<void(W*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (W* w = qobject_cast<W*>(modal)) {
            act(w);
            return;
        }
        ADD_FAILURE() << "no modal window of the expected type";
        for (QWidget* top : QApplication::topLevelWidgets()) // do not leave the test hanging
            if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
                dialog->reject();
    });
}

} // namespace

TEST(DialogsFilter, PairsBecomeQtNameFilters) {
    EXPECT_EQ(vxg::qtNameFilters(kTopicFilter),
              (QStringList{"VXG Questions Files (*.vxg)", "Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(vxg::qtNameFilters("Archives|*.arh"), QStringList{"Archives (*.arh)"});
    EXPECT_EQ(vxg::qtNameFilters("Topics and text (*.vxg;*.txt)|*.vxg;*.txt"),
              QStringList{"Topics and text (*.vxg *.txt)"});
    // The pattern half decides what matches, whatever the description says.
    EXPECT_EQ(vxg::qtNameFilters("Old (*.old)|*.new"), QStringList{"Old (*.new)"});
    EXPECT_EQ(vxg::qtNameFilters("Half a pair|*.a|Dangling"), QStringList{"Half a pair (*.a)"});
    EXPECT_TRUE(vxg::qtNameFilters("").isEmpty());
}

TEST(DialogsFilter, FilterIndexIsOneBasedAndFallsBackToTheFirst) {
    EXPECT_EQ(vxg::selectedFilterIndex(kTopicFilter, 1), 0);
    EXPECT_EQ(vxg::selectedFilterIndex(kTopicFilter, 3), 2);
    EXPECT_EQ(vxg::selectedFilterIndex(kTopicFilter, 0), 0);
    EXPECT_EQ(vxg::selectedFilterIndex(kTopicFilter, 4), 0);
}

TEST(DialogsCaption, EachKindHasItsCaption) {
    EXPECT_EQ(vxg::dialogCaption(DlgKind::Warning), "Warning");
    EXPECT_EQ(vxg::dialogCaption(DlgKind::Error), "Error");
    EXPECT_EQ(vxg::dialogCaption(DlgKind::Information), "Information");
    EXPECT_EQ(vxg::dialogCaption(DlgKind::Confirmation), "Confirm");
}

TEST(DialogsSeam, InstalledDialogsAnswerUntilTheQtOnesArePutBack) {
    EXPECT_NE(dynamic_cast<vxg::QtDialogs*>(&vxg::Dialogs::instance()), nullptr);
    ScriptedDialogs* scripted = ScriptedDialogs::install();
    EXPECT_EQ(&vxg::Dialogs::instance(), scripted);
    scripted->answerNext(DlgResult::Yes);
    EXPECT_EQ(vxg::ShowMessage(DlgKind::Confirmation, "Save changes?", DlgButtons::YesNoCancel),
              DlgResult::Yes);
    ASSERT_EQ(scripted->boxes.size(), 1);
    EXPECT_EQ(scripted->boxes[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(scripted->boxes[0].buttons, DlgButtons::YesNoCancel);
    ScriptedDialogs::uninstall();
    EXPECT_NE(dynamic_cast<vxg::QtDialogs*>(&vxg::Dialogs::instance()), nullptr);
}

TEST(QtDialogsFile, TheDialogIsSetUpAsAsked) {
    QTemporaryDir dir;
    vxg::FileDialogRequest request;
    request.title = "Open topic";
    request.initialDir = dir.path();
    request.fileName = "Enter topic name";
    request.filter = kTopicFilter;
    request.filterIndex = 2;
    request.defaultSuffix = "vxg";

    QFileDialog open;
    vxg::configureFileDialog(open, request, false);
    EXPECT_EQ(open.windowTitle(), "Open topic");
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(QDir(open.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(open.nameFilters().size(), 3);
    EXPECT_EQ(open.selectedNameFilter(), "Text Files (*.txt)");
    EXPECT_EQ(open.defaultSuffix(), "vxg");

    request.mustExist = true;
    QFileDialog mustExist;
    vxg::configureFileDialog(mustExist, request, false);
    EXPECT_EQ(mustExist.fileMode(), QFileDialog::ExistingFile);

    QFileDialog save;
    vxg::configureFileDialog(save, request, true);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtDialogsFile, ATypedNameOfAMissingFileIsChosenWithTheDefaultSuffix) {
    QTemporaryDir dir;
    vxg::FileDialogRequest request;
    request.initialDir = dir.path();
    request.filter = kTopicFilter;
    request.defaultSuffix = "vxg";

    whenModal<QFileDialog>([](QFileDialog* d) {
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText("newtopic");
        static_cast<QDialog*>(d)->accept(); // as the Open button does
    });
    const std::optional<QString> chosen = vxg::QtDialogs().openFile(request, nullptr);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(*chosen).fileName(), "newtopic.vxg");
    EXPECT_EQ(QFileInfo(*chosen).dir().canonicalPath(), QDir(dir.path()).canonicalPath());

    whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(vxg::QtDialogs().saveFile(request, nullptr).has_value());
}

TEST(QtDialogsMessage, BoxesCarryCaptionIconAndButtonsOfTheirKind) {
    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Confirm");
        EXPECT_EQ(box->text(), "Save the topic?");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        vxg::QtDialogs().message(DlgKind::Confirmation, "Save the topic?", DlgButtons::YesNoCancel, nullptr),
        DlgResult::No);

    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Error");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(vxg::QtDialogs().message(DlgKind::Error, "Failed", DlgButtons::Ok, nullptr), DlgResult::Ok);

    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Warning");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(vxg::QtDialogs().message(DlgKind::Warning, "Really?", DlgButtons::YesNo, nullptr),
              DlgResult::No);

    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Information");
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(vxg::QtDialogs().message(DlgKind::Information, "Go?", DlgButtons::YesNo, nullptr),
              DlgResult::Yes);
}

// Texts hold names that stations send: a name such as "<b>X</b>" is shown as written, never
// taken for markup.
TEST(QtDialogsMessage, BoxesNeverRenderMarkup) {
    const QString text = QStringLiteral("<b>Иванов</b><img src=x> asks to come up!");
    std::pair<Qt::TextFormat, QString> shown{Qt::RichText, {}};
    whenModal<QMessageBox>([&](QMessageBox* box) {
        shown = {box->textFormat(), box->text()};
        box->button(QMessageBox::Ok)->click();
    });
    vxg::QtDialogs().message(DlgKind::Warning, text, DlgButtons::Ok, nullptr);
    EXPECT_EQ(shown, std::pair(Qt::PlainText, text));
}

// Enter presses the button a box names as its default, else the first one.
TEST(QtDialogsMessage, EnterPressesTheNamedDefaultButton) {
    vxg::QtDialogs qt;
    for (const auto& [buttons, named, enter] :
         {std::tuple{DlgButtons::YesNo, DlgResult::No, DlgResult::No},
          std::tuple{DlgButtons::YesNoCancel, DlgResult::Cancel, DlgResult::Cancel},
          std::tuple{DlgButtons::Ok, DlgResult::No, DlgResult::Ok}}) {
        whenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(qt.messageWithDefault(DlgKind::Confirmation, "Go?", buttons, named, nullptr), enter);
    }
    whenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(qt.message(DlgKind::Confirmation, "Go?", DlgButtons::YesNo, nullptr), DlgResult::Yes);
}

// A box or file dialog shown inside a busy scope shows the arrow; the hourglass comes back after.
TEST(QtDialogsCursor, BoxesAndFileDialogsShowTheNormalCursorOverAnHourglass) {
    auto shape = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::ArrowCursor;
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape inBox = Qt::WaitCursor;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        inBox = shape();
        box->button(QMessageBox::Ok)->click();
    });
    vxg::QtDialogs().message(DlgKind::Information, "Saved", DlgButtons::Ok, nullptr);
    Qt::CursorShape inDialog = Qt::WaitCursor;
    whenModal<QFileDialog>([&](QFileDialog* d) {
        inDialog = shape();
        d->reject();
    });
    vxg::QtDialogs().openFile(vxg::FileDialogRequest{}, nullptr);
    EXPECT_EQ(shape(), Qt::WaitCursor) << "the hourglass comes back after";
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(inBox, Qt::ArrowCursor);
    EXPECT_EQ(inDialog, Qt::ArrowCursor);
}

// With Russian in force, a real box shows Qt's Russian standard buttons and the caption given.
TEST(QtDialogsLanguage, BoxesTakeQtsTranslationsAndTheCaptionsInForce) {
    ASSERT_TRUE(vxg::SetQtLanguage(true)) << "qt6-translations-l10n provides qtbase_ru.qm";
    vxg::PlatformTexts russian;
    russian.confirmCaption = QStringLiteral("Подтверждение");
    vxg::SetPlatformTexts(russian);
    QStringList shown;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        shown << box->windowTitle();
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            shown << box->button(b)->text().remove(u'&');
        box->button(QMessageBox::Cancel)->click();
    });
    vxg::QtDialogs().message(DlgKind::Confirmation, "Сохранить?", DlgButtons::YesNoCancel, nullptr);
    vxg::SetQtLanguage(false);
    vxg::SetPlatformTexts({});
    EXPECT_EQ(shown, QStringList({"Подтверждение", "Да", "Нет", "Отмена"}));
}

// Choosing the language in force again reads no catalogue and has no window relabelled; a real
// change does both.
TEST(QtDialogsLanguage, ChoosingTheLanguageInForceAgainChangesNothing) {
    struct LanguageChanges : QObject {
        int count = 0;
        bool eventFilter(QObject* to, QEvent* e) override {
            count += to == qApp && e->type() == QEvent::LanguageChange;
            return false;
        }
    } changes;
    vxg::SetQtLanguage(false);
    QCoreApplication::sendPostedEvents(qApp, QEvent::LanguageChange);
    qApp->installEventFilter(&changes);
    const struct {
        bool russian;
        bool changes;
    } steps[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const auto& step : steps) {
        changes.count = 0;
        EXPECT_TRUE(vxg::SetQtLanguage(step.russian));
        QCoreApplication::sendPostedEvents(qApp, QEvent::LanguageChange);
        EXPECT_EQ(changes.count > 0, step.changes) << (step.russian ? "Russian" : "English");
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), step.russian ? "Открыть" : "Open");
    }
    qApp->removeEventFilter(&changes);
}

// The program's F1 command, counted, as the help seam runs it from a dialog.
class QtDialogsHelp : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&f1Command, &QAction::triggered, [this] {
            ++f1Runs;
            vxg::Help::instance().showContents();
        });
        vxg::Help::instance().answerF1InDialogsWith(&f1Command);
    }
    void TearDown() override { vxg::Help::instance().answerF1InDialogsWith(nullptr); }

    QAction f1Command;
    int f1Runs = 0;
};

// Every box and file dialog answers F1 with the program's help in front of it, to be read and
// scrolled while the dialog stays open.
TEST_F(QtDialogsHelp, F1InEveryBoxAndFileDialogShowsHelpInFrontOfIt) {
    QTemporaryDir dir;
    vxg::FileDialogRequest request;
    request.title = "Pick";
    request.initialDir = dir.path();
    request.filter = kTopicFilter;
    vxg::QtDialogs qt;
    const std::vector<std::pair<const char*, std::function<void()>>> dialogs{
        {"confirmation", [&] { qt.message(DlgKind::Confirmation, "Delete?", DlgButtons::YesNo, nullptr); }},
        {"error", [&] { qt.message(DlgKind::Error, "Failed.", DlgButtons::Ok, nullptr); }},
        {"warning with a named default",
         [&] {
             qt.messageWithDefault(DlgKind::Warning, "Sure?", DlgButtons::YesNoCancel, DlgResult::No,
                                   nullptr);
         }},
        {"open file", [&] { qt.openFile(request, nullptr); }},
        {"save file", [&] { qt.saveFile(request, nullptr); }},
    };
    for (const auto& [name, open] : dialogs) {
        SCOPED_TRACE(name);
        ExpectF1HelpOver(open, "qrc:/help/en/contents.html");
    }
    EXPECT_EQ(f1Runs, static_cast<int>(dialogs.size()));
}

// A dialog with help of its own answers F1 itself; other keys and F1 with a modifier are the
// dialog's, and without a command F1 does nothing.
TEST_F(QtDialogsHelp, OnlyPlainF1InADialogWithoutHelpOfItsOwnRunsTheCommand) {
    QDialog own;
    int ownRuns = 0;
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &own);
    QObject::connect(f1, &QShortcut::activated, [&ownRuns] { ++ownRuns; });
    QDialog plain;
    const struct {
        QDialog* dialog;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool withCommand;
        int commandRuns;
        int ownRuns;
    } cases[] = {
        {&own, Qt::Key_F1, Qt::NoModifier, true, 0, 1},
        {&plain, Qt::Key_F1, Qt::NoModifier, true, 1, 0},
        {&plain, Qt::Key_F1, Qt::ControlModifier, true, 0, 0},
        {&plain, Qt::Key_F2, Qt::NoModifier, true, 0, 0},
        {&plain, Qt::Key_F1, Qt::NoModifier, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.dialog == &own ? "own help " : "") << c.key << " " << c.modifiers);
        vxg::Help::instance().answerF1InDialogsWith(c.withCommand ? &f1Command : nullptr);
        f1Runs = ownRuns = 0;
        c.dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.dialog));
        QTest::keyClick(c.dialog->windowHandle(), c.key, c.modifiers);
        EXPECT_EQ(f1Runs, c.commandRuns);
        EXPECT_EQ(ownRuns, c.ownRuns);
        c.dialog->hide();
    }
}
