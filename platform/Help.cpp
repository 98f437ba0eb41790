#include "Help.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace vxg {

namespace {

QString notFoundPage(const QString& topicId, bool russian) {
    const QString id = topicId.toHtmlEscaped();
    if (russian)
        return QStringLiteral("<html><head><title>Раздел не найден</title></head><body>"
                              "<h2>Раздел не найден</h2><p>Раздел справки «%1» не найден.</p>"
                              "</body></html>")
            .arg(id);
    return QStringLiteral("<html><head><title>Topic not found</title></head><body>"
                          "<h2>Topic not found</h2><p>The help topic \"%1\" was not found.</p>"
                          "</body></html>")
        .arg(id);
}

// A dialog takes its keys away from the main window, whose F1 command then never hears them. A
// dialog with help of its own answers F1 with a shortcut, and the key reaches nobody else.
class DialogF1 : public QObject {
public:
    explicit DialogF1(QObject* parent) : QObject(parent) {}
    QPointer<QAction> command;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !command || !command->isEnabled())
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (!widget || !qobject_cast<const QDialog*>(widget->window()))
            return false;
        command->trigger();
        return true;
    }
};

} // namespace

Help& Help::instance() {
    static Help help;
    return help;
}

QString Help::pagePath(const QString& topicId) const {
    return QStringLiteral(":/help/%1/%2.html")
        .arg(russian_ ? QStringLiteral("ru") : QStringLiteral("en"), topicId);
}

QWidget* Help::window() const {
    return window_.data();
}

QTextBrowser* Help::ensureWindow() {
    if (window_ && browser_)
        return browser_.data();
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("HelpWindow"));
    auto* browser = new QTextBrowser(window);
    browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(720, 540);
    QObject::connect(browser, &QTextBrowser::sourceChanged, window, [window, browser, this] {
        const QString title = browser->documentTitle();
        window->setWindowTitle(title.isEmpty() ? helpFile_ : title);
    });
    // Without a parent the window goes with the program rather than outliving the application.
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    window_ = window;
    browser_ = browser;
    return browser;
}

void Help::followModalDialog() {
    // A modal dialog blocks every window that is not its own, and the window system may put
    // such a window behind it: help asked for from the dialog could then be neither read nor
    // scrolled until the dialog closes. As the dialog's window it stays in front and takes input.
    QWidget* owner = QApplication::activeModalWidget();
    if (window_->parentWidget() != owner)
        window_->setParent(owner, Qt::Window);
}

QString Help::showTopic(const QString& topicId) {
    QTextBrowser* browser = ensureWindow();
    const QString path = pagePath(topicId);
    const bool found = !topicId.contains(u'/') && QFile::exists(path);
    if (found) {
        browser->setSource(QUrl(QStringLiteral("qrc") + path));
    } else {
        browser->setHtml(notFoundPage(topicId, russian_));
        window_->setWindowTitle(browser->documentTitle());
    }
    followModalDialog();
    window_->show();
    window_->raise();
    window_->activateWindow();
    return found ? path : QString();
}

QString Help::showContents() {
    return showTopic(QStringLiteral("contents"));
}

void Help::answerF1InDialogsWith(QAction* command) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (!dialogF1_) {
        auto* filter = new DialogF1(app);
        app->installEventFilter(filter);
        dialogF1_ = filter;
    }
    static_cast<DialogF1*>(dialogF1_.data())->command = command;
}

} // namespace vxg
