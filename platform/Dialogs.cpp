#include "Dialogs.h"

#include "BusyCursor.h"
#include "UiLanguage.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace vxg {

namespace {

std::unique_ptr<Dialogs>& installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

QWidget* ownerFor(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}

QMessageBox::Icon iconFor(DlgKind kind) {
    switch (kind) {
    case DlgKind::Warning:
        return QMessageBox::Warning;
    case DlgKind::Error:
        return QMessageBox::Critical;
    case DlgKind::Information:
        return QMessageBox::Information;
    case DlgKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(DlgResult result) {
    switch (result) {
    case DlgResult::Ok:
        return QMessageBox::Ok;
    case DlgResult::Yes:
        return QMessageBox::Yes;
    case DlgResult::No:
        return QMessageBox::No;
    case DlgResult::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

// What a box closed without a button (window closed, Escape) answers.
DlgResult dismissedResult(DlgButtons buttons) {
    switch (buttons) {
    case DlgButtons::Ok:
        return DlgResult::Ok;
    case DlgButtons::YesNo:
        return DlgResult::No;
    case DlgButtons::YesNoCancel:
        return DlgResult::Cancel;
    }
    return DlgResult::Cancel;
}

// A pattern list as the filter gives it ("*.vxg;*.txt") in the form Qt matches on this system.
// "*.*" means every file there, but on Linux it would miss names without a dot.
QString qtPatterns(const QString& patterns) {
    QStringList out;
    for (QString p : patterns.split(u';', Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == u"*.*")
            p = QStringLiteral("*");
        if (!p.isEmpty())
            out << p;
    }
    if (out.isEmpty())
        out << QStringLiteral("*");
    return out.join(u' ');
}

std::optional<QString> runFileDialog(const FileDialogRequest& request, QWidget* parent, bool save) {
    QFileDialog dialog(ownerFor(parent));
    configureFileDialog(dialog, request, save);
    // Boxes and file dialogs show the normal arrow, also over the hourglass of a busy command
    // around them; the hourglass comes back when they close.
    const OverrideCursor arrow(Qt::ArrowCursor);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}

} // namespace

void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Saving over an existing file asks nothing: the programs' own commands decide that.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // A dialog of the desktop's own is another program's window: F1 in it cannot reach the
    // program's help, nor can the help be shown as its window.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.at(selectedFilterIndex(request.filter, request.filterIndex)));
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

Dialogs& Dialogs::instance() {
    std::unique_ptr<Dialogs>& d = installed();
    if (!d)
        d = std::make_unique<QtDialogs>();
    return *d;
}

void Dialogs::install(std::unique_ptr<Dialogs> d) {
    installed() = std::move(d);
}

QString dialogCaption(DlgKind kind) {
    const PlatformTexts& t = platformTexts();
    switch (kind) {
    case DlgKind::Warning:
        return t.warningCaption;
    case DlgKind::Error:
        return t.errorCaption;
    case DlgKind::Information:
        return t.informationCaption;
    case DlgKind::Confirmation:
        return t.confirmCaption;
    }
    return {};
}

DlgResult ShowMessage(DlgKind kind, const QString& text, DlgButtons buttons, QWidget* parent) {
    return Dialogs::instance().message(kind, text, buttons, parent);
}

DlgResult ShowMessage(DlgKind kind, const QString& text, DlgButtons buttons, DlgResult defaultButton,
                      QWidget* parent) {
    return Dialogs::instance().messageWithDefault(kind, text, buttons, defaultButton, parent);
}

DlgResult firstButton(DlgButtons buttons) {
    return buttons == DlgButtons::Ok ? DlgResult::Ok : DlgResult::Yes;
}

QStringList qtNameFilters(const QString& filter) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description usually repeats the patterns in brackets; Qt takes the patterns from
        // the brackets, so they are written once, from the pattern half of the pair.
        description.remove(trailingPatterns);
        const QString patterns = qtPatterns(parts[i + 1]);
        out << (description.isEmpty() ? QStringLiteral("(%1)").arg(patterns)
                                      : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return out;
}

qsizetype selectedFilterIndex(const QString& filter, int filterIndex) {
    const qsizetype count = qtNameFilters(filter).size();
    if (filterIndex < 1 || filterIndex > count)
        return 0;
    return filterIndex - 1;
}

DlgResult QtDialogs::message(DlgKind kind, const QString& text, DlgButtons buttons, QWidget* parent) {
    return messageWithDefault(kind, text, buttons, firstButton(buttons), parent);
}

DlgResult QtDialogs::messageWithDefault(DlgKind kind, const QString& text, DlgButtons buttons,
                                        DlgResult defaultButton, QWidget* parent) {
    QMessageBox box(iconFor(kind), dialogCaption(kind), text, QMessageBox::NoButton, ownerFor(parent));
    // Texts hold names that stations send and file names: shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case DlgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case DlgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case DlgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // A button the box lacks leaves the first one the default.
    if (!box.button(standardButton(defaultButton)))
        defaultButton = firstButton(buttons);
    box.setDefaultButton(standardButton(defaultButton));
    {
        const OverrideCursor arrow(Qt::ArrowCursor); // as for the file dialogs
        box.exec();
    }
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return DlgResult::Ok;
    case QMessageBox::Yes:
        return DlgResult::Yes;
    case QMessageBox::No:
        return DlgResult::No;
    case QMessageBox::Cancel:
        return DlgResult::Cancel;
    default:
        return dismissedResult(buttons);
    }
}

std::optional<QString> QtDialogs::openFile(const FileDialogRequest& request, QWidget* parent) {
    return runFileDialog(request, parent, false);
}

std::optional<QString> QtDialogs::saveFile(const FileDialogRequest& request, QWidget* parent) {
    return runFileDialog(request, parent, true);
}

} // namespace vxg
