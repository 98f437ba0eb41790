// The main window and its topic windows: New, Open, closing the active topic window, the
// parameters dialog, and the window commands (the other routed commands: BindCommands).
#include "Exwr_MDI.h"

#include "Dialogs.h"
#include "Error.h"
#include "Globals.h"
#include "MyFileUtils.h"
#include "OptionsUnit.h"
#include "TopicU.h"

#include <QAction>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

namespace {

const QString kTopicFilter =
    QStringLiteral("VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
const QString kNoFileName = QStringLiteral("Enter topic name");
constexpr int kFileExistsId = 60;

vxg::FileDialogRequest topicDialog(const QString& title, const QString& fileName) {
    vxg::FileDialogRequest request;
    request.title = title;
    request.fileName = fileName;
    const QString lastDir = TMDIForm::ReadLastDir();
    request.initialDir = lastDir.isEmpty() ? ProgramFolder() : lastDir;
    request.filter = kTopicFilter;
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("vxg");
    request.mustExist = false;
    return request;
}

} // namespace

TTopicF* TMDIForm::ActiveTopic() const {
    QMdiSubWindow* sub = MdiArea->currentSubWindow();
    return sub ? qobject_cast<TTopicF*>(sub->widget()) : nullptr;
}

QList<TTopicF*> TMDIForm::Topics() const {
    QList<TTopicF*> topics;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* topic = qobject_cast<TTopicF*>(sub->widget()))
            topics.append(topic);
    return topics;
}

void TMDIForm::ShowTopicWindow(TTopicF* topic) {
    QMdiSubWindow* sub = MdiArea->addSubWindow(topic);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->show();
    MdiArea->setActiveSubWindow(sub);
    topic->FormActivate();
}

void TMDIForm::FileNew1Execute() {
    struct ResetName {
        QString& name;
        ~ResetName() { name = kNoFileName; }
    } reset{OpenDialogFileName};

    const std::optional<QString> chosen =
        vxg::Dialogs::instance().openFile(topicDialog(NewTitle, QStringLiteral("Topic 1")), this);
    if (!chosen)
        return;
    // A file that exists would be replaced by the first save of an empty topic: the teacher
    // says so first.
    if (QFileInfo::exists(*chosen) &&
        vxg::ShowMessage(vxg::DlgKind::Confirmation, lang(kFileExistsId).arg(QFileInfo(*chosen).fileName()),
                         vxg::DlgButtons::YesNo, this) != vxg::DlgResult::Yes)
        return;

    auto* topic = new TTopicF(this);
    ShowTopicWindow(topic);
    topic->NewTopic(*chosen);
    WriteLastDir(FolderOf(*chosen));
}

void TMDIForm::FileOpen1Execute() {
    if (OpenDialogFileName.isEmpty())
        OpenDialogFileName = kNoFileName;
    const std::optional<QString> chosen =
        vxg::Dialogs::instance().openFile(topicDialog(OpenTitle, OpenDialogFileName), this);
    if (!chosen)
        return;
    OpenDialogFileName = *chosen;

    // The window is shown only once its file has been read: a failed read leaves no window
    // behind and no LastDir written.
    auto topic = std::make_unique<TTopicF>(this);
    const QString error = topic->LoadTopic(*chosen);
    if (!error.isEmpty())
        throw vxg::Error(error + QStringLiteral("\n") + *chosen);
    TTopicF* shown = topic.release();
    ShowTopicWindow(shown);
    WriteLastDir(FolderOf(*chosen));
}

// ---------------------------------------------------------------------------------------------
// Closing the active topic window; the other routed commands are bound in BindCommands.

void TMDIForm::CloseTopicActionExecute() {
    if (QMdiSubWindow* sub = MdiArea->currentSubWindow())
        sub->close();
}

// The parameters dialog, shown modally; how it was closed does not matter.
void TMDIForm::OptionsMClick() {
    if (OptionsForm)
        OptionsForm->exec();
}

// ---------------------------------------------------------------------------------------------
// Window commands.

QList<QMdiSubWindow*> TMDIForm::ShownSubWindows() const {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            shown.append(sub);
    return shown;
}

void TMDIForm::WindowTileHorizontal() {
    // One above the other, each the full width.
    const QList<QMdiSubWindow*> shown = ShownSubWindows();
    if (shown.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int height = area.height() / static_cast<int>(shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void TMDIForm::WindowTileVertical() {
    // Side by side, each the full height.
    const QList<QMdiSubWindow*> shown = ShownSubWindows();
    if (shown.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int width = area.width() / static_cast<int>(shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(i * width, 0, width, area.height());
    }
}

void TMDIForm::WindowMinimizeAll() {
    const QList<QMdiSubWindow*> subs = MdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        (*it)->showMinimized();
}

void TMDIForm::WindowArrangeAll() {
    // The minimised windows in a row along the bottom edge, in the order they were opened.
    const QRect area = MdiArea->viewport()->rect();
    int left = 0;
    int bottom = area.bottom() + 1;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (left > 0 && left + size.width() > area.width()) {
            left = 0;
            bottom -= size.height();
        }
        sub->move(left, bottom - size.height());
        left += size.width();
    }
}
