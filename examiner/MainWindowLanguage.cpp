#include "MainWindowLanguage.h"

#include "Globals.h"
#include "Help.h"
#include "PlatformLanguage.h"

#include <QAction>
#include <QLayout>
#include <QToolBar>
#include <QToolButton>

namespace {

// The text on two lines, broken at the blank nearest its middle; a text without a blank stays.
QString onTwoLines(const QString& text) {
    qsizetype best = -1;
    for (qsizetype i = text.indexOf(u' '); i >= 0; i = text.indexOf(u' ', i + 1))
        if (best < 0 || qAbs(i - text.size() / 2) < qAbs(best - text.size() / 2))
            best = i;
    return best < 0 ? text : text.left(best) + u'\n' + text.mid(best + 1);
}

} // namespace

void PutPlatformLanguage() {
    vxg::Help::instance().setLanguage(LangOffset == 0);
    vxg::PutPlatformTexts(191);
}

void FitTestingCaptions(QToolBar* bar, const QList<QToolButton*>& buttons) {
    // The captions were just set, on one line; a button bound to an action shows the action's
    // icon text, which a longer caption of the other language may have left on two lines.
    for (QToolButton* b : buttons)
        if (QAction* a = b->defaultAction())
            a->setIconText(a->text());

    const QMargins margins = bar->layout()->contentsMargins();
    int needed = margins.left() + margins.right() + bar->layout()->spacing() * int(buttons.size() - 1);
    for (QToolButton* b : buttons)
        needed += b->sizeHint().width();
    if (needed <= kRestoredMainWidth)
        return;
    for (QToolButton* b : buttons) {
        if (QAction* a = b->defaultAction())
            a->setIconText(onTwoLines(a->text()));
        else
            b->setText(onTwoLines(b->text()));
    }
}
