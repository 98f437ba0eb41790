#include "ScriptedDialogs.h"

ScriptedDialogs* ScriptedDialogs::install() {
    auto d = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs* raw = d.get();
    vxg::Dialogs::install(std::move(d));
    return raw;
}

void ScriptedDialogs::uninstall() {
    vxg::Dialogs::install(nullptr);
}

vxg::DlgResult ScriptedDialogs::message(vxg::DlgKind kind, const QString& text, vxg::DlgButtons buttons,
                                        QWidget* parent) {
    return messageWithDefault(kind, text, buttons, vxg::firstButton(buttons), parent);
}

vxg::DlgResult ScriptedDialogs::messageWithDefault(vxg::DlgKind kind, const QString& text,
                                                   vxg::DlgButtons buttons, vxg::DlgResult defaultButton,
                                                   QWidget*) {
    boxes.push_back({kind, text, buttons, defaultButton});
    if (!answers.empty()) {
        const vxg::DlgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    switch (buttons) {
    case vxg::DlgButtons::Ok:
        return vxg::DlgResult::Ok;
    case vxg::DlgButtons::YesNo:
        return vxg::DlgResult::No;
    case vxg::DlgButtons::YesNoCancel:
        return vxg::DlgResult::Cancel;
    }
    return vxg::DlgResult::Cancel;
}

std::optional<QString> ScriptedDialogs::openFile(const vxg::FileDialogRequest& request, QWidget*) {
    fileRequests.push_back({false, request});
    return takeFile();
}

std::optional<QString> ScriptedDialogs::saveFile(const vxg::FileDialogRequest& request, QWidget*) {
    fileRequests.push_back({true, request});
    return takeFile();
}

std::optional<QString> ScriptedDialogs::takeFile() {
    if (files.empty())
        return std::nullopt;
    const QString path = files.front();
    files.pop_front();
    if (path.isNull())
        return std::nullopt;
    return path;
}

QStringList ScriptedDialogs::texts(vxg::DlgKind kind) const {
    QStringList out;
    for (const Box& b : boxes)
        if (b.kind == kind)
            out << b.text;
    return out;
}

QStringList ScriptedDialogs::allTexts() const {
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}
