// Opening and closing a topic (a question file).
#include "WorkU.h"

#include "Captions.h"
#include "Dialogs.h"
#include "Globals.h"
#include "MyFileUtils.h"
#include "QuestionFile.h"

#include <QFileInfo>
#include <QLabel>

namespace {

const QString kTopicFilter = QStringLiteral("VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|VXG "
                                            "Archive Files (*.arh)|*.arh|All Files (*.*)|*.*");

} // namespace

bool TWorkF::OpenTopicClick(QObject* sender) {
    // The loaded topic stays until another one has been read whole: a cancelled dialog or a
    // failed read leaves it, its title, the folder and the state as they were.
    if (RefuseWhileBusy())
        return false;

    vxg::FileDialogRequest request;
    request.title = lang(52);
    request.fileName = lang(53);
    const QString lastDir = ReadLastDir(0);
    request.initialDir = lastDir.isEmpty() ? WithoutTrailingSlash(S.ProgramDir) : lastDir;
    request.filter = kTopicFilter;
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("vxg");
    request.mustExist = false;
    const std::optional<QString> chosen = vxg::Dialogs::instance().openFile(request, this);
    if (!chosen)
        return false;

    // Until a file was read, the remembered name stays the one the viewer and the title show.
    struct RestoreName {
        QString& name;
        QString previous;
        bool keep = false;
        ~RestoreName() {
            if (!keep)
                name = previous;
        }
    } restore{OpenDialogFileName, OpenDialogFileName};
    OpenDialogFileName = *chosen;

    // A missing file leads to the dialog once more; when that one is cancelled, this command
    // stops as if its own dialog had been cancelled.
    if (!ReadTopic(OpenDialogFileName))
        return false;
    restore.keep = true;

    WriteLastDir(FolderOf(OpenDialogFileName), 0);
    S.QueIndex = 0;
    if (StatusPanel0)
        StatusPanel0->setText(lang(54));
    if (sender)
        vxg::ShowMessage(vxg::DlgKind::Information, lang(55), vxg::DlgButtons::Ok, this);
    ShowTopicTitle();
    S.AttState = Ready;
    return true;
}

void TWorkF::ShowTopicTitle() {
    setWindowTitle(
        AsWindowTitle(S.BaseCaption + QStringLiteral(" -- ") + QFileInfo(OpenDialogFileName).fileName()));
}

bool TWorkF::ReadTopic(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        vxg::ShowMessage(vxg::DlgKind::Error, lang(123), vxg::DlgButtons::Ok, this);
        return OpenTopicClick(nullptr);
    }
    // The file is read whole or not at all: a failed read leaves the questions loaded before
    // and reaches the caller's error box.
    S.TopicQuestions = ReadQuestionFile(path);
    S.QueIndex = static_cast<qint32>(S.TopicQuestions.size());
    return true;
}

void TWorkF::CloseTopicClick() {
    if (RefuseWhileBusy())
        return;
    // The rows of an archive are no registered students: they go with its topic, and the
    // students who wait aside come back.
    if (S.AttState == ArhIsOpen) {
        CloseArhivClick();
        return;
    }
    DropTopic();
}

void TWorkF::DropTopic() {
    S.TopicQuestions.clear();
    setWindowTitle(S.BaseCaption);
    if (StatusPanel0)
        StatusPanel0->setText(lang(56));
    S.AttState = StatusQuo;
}
