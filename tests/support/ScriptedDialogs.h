#pragma once
// Dialogs for tests: every box and file dialog is recorded and answered from a script.
// Install with ScriptedDialogs::install(); uninstall() puts the Qt dialogs back.
#include "Dialogs.h"

#include <QList>
#include <QString>
#include <deque>
#include <memory>
#include <optional>

class ScriptedDialogs : public vxg::Dialogs {
public:
    struct Box {
        vxg::DlgKind kind;
        QString text;
        vxg::DlgButtons buttons;
        vxg::DlgResult defaultButton; // the button Enter would press
    };
    struct FileRequest {
        bool save;
        vxg::FileDialogRequest request;
    };

    // Installs a fresh ScriptedDialogs as Dialogs::instance(); the pointer stays valid until
    // uninstall() or the next install().
    static ScriptedDialogs* install();
    static void uninstall();

    // Script. An unscripted box answers Ok (OK box), No (Yes/No) or Cancel (Yes/No/Cancel);
    // an unscripted file dialog is cancelled.
    void answerNext(vxg::DlgResult result) { answers.push_back(result); }
    void chooseFile(const QString& path) { files.push_back(path.isNull() ? QString("") : path); }
    void cancelFile() { files.push_back(QString()); }

    vxg::DlgResult message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                           QWidget* parent) override;
    vxg::DlgResult messageWithDefault(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                                      vxg::DlgResult defaultButton, QWidget* parent) override;
    std::optional<QString> openFile(const vxg::FileDialogRequest& request, QWidget* parent) override;
    std::optional<QString> saveFile(const vxg::FileDialogRequest& request, QWidget* parent) override;

    // What was shown.
    QList<Box> boxes;
    QList<FileRequest> fileRequests;
    std::deque<vxg::DlgResult> answers;
    std::deque<QString> files; // a null string cancels

private:
    std::optional<QString> takeFile();

public:
    // Texts of the boxes of one kind, in order.
    QStringList texts(vxg::DlgKind kind) const;
    QStringList allTexts() const;
};
