#pragma once
// The one seam for message boxes and file dialogs. Windows never call QMessageBox or QFileDialog
// themselves: the installed Dialogs shows real boxes in the programs and answers from a script
// in tests.
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace vxg {

enum class DlgKind { Warning, Error, Information, Confirmation };
enum class DlgButtons { Ok, YesNo, YesNoCancel };
enum class DlgResult { Ok, Yes, No, Cancel };

struct FileDialogRequest {
    QString title;
    QString fileName;      // preset text of the name field
    QString initialDir;    // folder shown first
    QString filter;        // "Description (*.ext)|*.ext|All Files (*.*)|*.*"
    int filterIndex = 1;   // 1-based, as the filter lists them
    QString defaultSuffix; // added to a typed name without extension, e.g. "vxg"
    bool mustExist = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Enter presses the first button (OK, or Yes).
    virtual DlgResult message(DlgKind kind, const QString& text, DlgButtons buttons, QWidget* parent) = 0;
    // The same box with the button Enter presses named (one the box has). A box that gives
    // something up on Yes names its safe answer, so that Enter keeps what is there.
    virtual DlgResult messageWithDefault(DlgKind kind, const QString& text, DlgButtons buttons,
                                         [[maybe_unused]] DlgResult defaultButton, QWidget* parent) {
        return message(kind, text, buttons, parent);
    }
    // The chosen path, or nothing when cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& request, QWidget* parent) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request, QWidget* parent) = 0;

    static Dialogs& instance();                      // a QtDialogs until something else is installed
    static void install(std::unique_ptr<Dialogs> d); // nullptr puts the Qt dialogs back
};

// The caption a box of this kind carries, in the language in force (UiLanguage): in English
// "Warning", "Error", "Information", "Confirm".
QString dialogCaption(DlgKind kind);

// Shorthands over Dialogs::instance().
DlgResult ShowMessage(DlgKind kind, const QString& text, DlgButtons buttons = DlgButtons::Ok,
                      QWidget* parent = nullptr);
DlgResult ShowMessage(DlgKind kind, const QString& text, DlgButtons buttons, DlgResult defaultButton,
                      QWidget* parent);
// The button Enter presses in a box that names none: OK, or Yes.
DlgResult firstButton(DlgButtons buttons);

// The filter of a file dialog request ("Description (*.ext)|*.ext|...") as Qt name filters,
// one per description/pattern pair: "*.*" becomes "*" (Linux names need no dot) and the
// description's own bracketed patterns are replaced by the pair's patterns.
QStringList qtNameFilters(const QString& filter);
// The 0-based position among qtNameFilters(filter) of the 1-based filterIndex; the first
// filter when filterIndex is out of range.
qsizetype selectedFilterIndex(const QString& filter, int filterIndex);
// Sets a file dialog up as the request asks (open or save).
void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

// The real boxes and dialogs.
class QtDialogs : public Dialogs {
public:
    DlgResult message(DlgKind kind, const QString& text, DlgButtons buttons, QWidget* parent) override;
    DlgResult messageWithDefault(DlgKind kind, const QString& text, DlgButtons buttons,
                                 DlgResult defaultButton, QWidget* parent) override;
    std::optional<QString> openFile(const FileDialogRequest& request, QWidget* parent) override;
    std::optional<QString> saveFile(const FileDialogRequest& request, QWidget* parent) override;
};

} // namespace vxg
