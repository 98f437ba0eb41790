#pragma once
// What a language switch of the examiner changes besides the main window's own captions.
#include <QList>

class QToolBar;
class QToolButton;

// The help pages, Qt's own texts (standard buttons, file dialogs) and the platform's own
// messages (box captions, printer messages) follow the language in force. The language table
// must be loaded.
void PutPlatformLanguage();

// The width of the restored main window, which every tool button must fit into.
inline constexpr int kRestoredMainWidth = 780;

// The testing band's captions stay on one line each when they all fit the restored window;
// otherwise, as the Russian ones do, each goes on two lines, so that no button falls behind the
// bar's overflow arrow. Run after the captions were set (a button bound to an action: the
// action's text).
void FitTestingCaptions(QToolBar* bar, const QList<QToolButton*>& buttons);
