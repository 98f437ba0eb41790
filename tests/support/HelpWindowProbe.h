#pragma once
// The help window as the user meets it: in front of a dialog, and scrolled by a click that comes
// through the window system, which drops input for a window that a modal dialog blocks.
#include "Help.h"

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

inline QTextBrowser* HelpBrowser() {
    QWidget* window = vxg::Help::instance().window();
    return window ? window->findChild<QTextBrowser*>() : nullptr;
}

// Shown, and the dialog's own window (null: a window of its own), which the window system keeps
// in front of the dialog.
inline bool HelpShownAsWindowOf(const QWidget* dialog) {
    QWidget* window = vxg::Help::instance().window();
    if (!window || !window->isVisible() || window->parentWidget() != dialog || !window->windowHandle())
        return false;
    return window->windowHandle()->transientParent() == (dialog ? dialog->windowHandle() : nullptr);
}

// Whether a click on the down arrow of the help page's scroll bar scrolls the page. The window is
// made too small for the page first.
inline bool HelpScrollsByClick() {
    QWidget* window = vxg::Help::instance().window();
    QTextBrowser* browser = HelpBrowser();
    if (!window || !browser)
        return false;
    window->resize(240, 160);
    QScrollBar* bar = browser->verticalScrollBar();
    if (!QTest::qWaitFor([bar] { return bar->maximum() > 0; }, 10000))
        return false;
    bar->setValue(0);
    const QPoint downArrow = bar->mapTo(window, QPoint(bar->width() / 2, bar->height() - 4));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, downArrow);
    return bar->value() > 0;
}

// F1 pressed in the open modal dialog: the help shows in front of it, scrolls, and shows the page
// of the control with the focus, while the dialog stays the modal one.
inline void ExpectHelpReadableFrom(QWidget& dialog, const QString& page) {
    QTest::keyClick(dialog.windowHandle(), Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor([&dialog] { return HelpShownAsWindowOf(&dialog); }, 10000));
    EXPECT_TRUE(HelpScrollsByClick());
    ASSERT_NE(HelpBrowser(), nullptr);
    EXPECT_EQ(HelpBrowser()->source().toString(), page);
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
}

// The modal dialog of that class that the program has opened, once it is shown; null when none
// came.
template <class Dialog = QDialog> inline Dialog* OpenedModal() {
    Dialog* opened = nullptr;
    const bool came = QTest::qWaitFor(
        [&opened] {
            opened = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            return opened && opened->isVisible() && opened->windowHandle();
        },
        10000);
    return came ? opened : nullptr;
}

// The dialog that open brings up modally, met from inside its modal loop: F1 in it shows page in
// front of it, to be read while it stays open; it is cancelled then.
template <class Dialog = QDialog>
inline void ExpectF1HelpOver(const std::function<void()>& open, const QString& page) {
    QObject inTheLoop;
    bool met = false;
    QTimer::singleShot(0, &inTheLoop, [&] {
        Dialog* dialog = OpenedModal<Dialog>();
        if (!(met = dialog != nullptr))
            return;
        ExpectHelpReadableFrom(*dialog, page);
        dialog->reject();
    });
    open();
    EXPECT_TRUE(met) << "no " << Dialog::staticMetaObject.className() << " came up";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
