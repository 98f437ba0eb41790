#pragma once
// The help "file": HTML pages compiled in under :/help/<lang>/<topic>.html, lang "en" or "ru",
// shown in one help window. Contents is the page "contents". Help asked for while a modal dialog
// is open shows in front of that dialog and takes input while it stays open.
#include <QPointer>
#include <QString>

class QAction;
class QObject;
class QTextBrowser;
class QWidget;

namespace vxg {

class Help {
public:
    static Help& instance();

    void setHelpFile(const QString& name) { helpFile_ = name; } // the name the programs give
    const QString& helpFile() const { return helpFile_; }
    void setLanguage(bool russian) { russian_ = russian; }

    // Shows the topic's page; a missing topic shows a page that says so. Returns the resource
    // path shown (empty when the topic was not found).
    QString showTopic(const QString& topicId);
    QString showContents();

    // F1 in any dialog of the program that has no help of its own (message boxes, file dialogs,
    // the program's own dialogs) runs command, the program's F1 command, as F1 does in its main
    // window. Null stops it.
    void answerF1InDialogsWith(QAction* command);

    // The page's resource path for the language in force (exists or not).
    QString pagePath(const QString& topicId) const;
    // The window, created at first use (null before any page was shown, and once the dialog it
    // belonged to has gone); for tests.
    QWidget* window() const;

private:
    QTextBrowser* ensureWindow();
    // Makes the window the active modal dialog's own, or a window of its own when none is open.
    void followModalDialog();

    QString helpFile_;
    bool russian_ = false;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
    QPointer<QObject> dialogF1_;
};

} // namespace vxg
