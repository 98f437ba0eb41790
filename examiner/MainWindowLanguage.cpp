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

void FitTestingCaptions(QToolBar* bar, const QList<QToolButton*>& buttons, QAction* print) {
    QList<QToolButton*> all = buttons;
    QStringList texts;
    for (QToolButton* b : buttons)
        texts << b->text().replace(u'\n', u' ');
    print->setIconText(print->text());
    for (QToolButton* b : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (b->defaultAction() == print)
            all << b;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(texts[i]);

    const QMargins margins = bar->layout()->contentsMargins();
    int needed = margins.left() + margins.right() + bar->layout()->spacing() * int(all.size() - 1);
    for (QToolButton* b : all)
        needed += b->sizeHint().width();
    if (needed <= kRestoredMainWidth)
        return;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(onTwoLines(texts[i]));
    print->setIconText(onTwoLines(print->text()));
}
