#include "Help.h"

#include <QApplication>
#include <QFile>
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

} // namespace vxg
