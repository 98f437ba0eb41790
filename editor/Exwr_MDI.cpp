#include "Exwr_MDI.h"

#include "AboutU.h"
#include "AboutVelmora.h"
#include "Dialogs.h"
#include "EditorIcons.h"
#include "Error.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "Help.h"
#include "IdleHandler.h"
#include "MyFileUtils.h"
#include "OptionsLayout.h"
#include "PlatformLanguage.h"
#include "Registry.h"
#include "TopicU.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

QString MainTitle;
QString OpenTitle;
QString NewTitle;

namespace {

const QString kLangN = QStringLiteral("LangN");
const QString kLastDir = QStringLiteral("LastDir");
constexpr quint16 kEnglish = 200;
constexpr int kNotStartedId = 61;

QAction* newAction(QObject* parent, const char* name, int image = -1, const QKeySequence& shortcut = {}) {
    auto* a = new QAction(parent);
    a->setObjectName(QString::fromLatin1(name));
    if (image >= 0)
        a->setIcon(EditorIcon(image));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

} // namespace

TMDIForm::TMDIForm(QWidget* parent) : QMainWindow(parent), MdiArea(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDIForm"));
    setWindowIcon(QIcon(EditorProgramPixmap(32)));
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setBackground(palette().brush(QPalette::Dark));
    // A topic window larger than the area (the restored main window) can be scrolled into view.
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea);
    resize(591, 418);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    BindCommands();

    // The topic window that becomes active takes the language in force and reports its state.
    connect(MdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* topic = sub ? qobject_cast<TTopicF*>(sub->widget()) : nullptr)
            vxg::RunGuarded([topic] { topic->FormActivate(); });
    });

    Idle = new vxg::TIdleHandler(this, [this] { ApplicationIdle(); });
    connect(Idle, &vxg::TIdleHandler::Updated, this, &TMDIForm::IdleUpdated);

    FormCreate();
}

TMDIForm::~TMDIForm() = default;

void TMDIForm::SetWindows(TCopyDlg* copyDlg, TAboutBox* about, TAboutVXG* aboutVxg, TOptionsForm* options) {
    CopyDlg = copyDlg;
    AboutBox = about;
    AboutVXGBox = aboutVxg;
    OptionsForm = options;
}

void TMDIForm::CreateActions() {
    FileNew1 = newAction(this, "FileNew1", 4, QKeySequence(Qt::CTRL | Qt::Key_N));
    FileOpen1 = newAction(this, "FileOpen1", 5, QKeySequence(Qt::CTRL | Qt::Key_O));
    FileSave1 = newAction(this, "FileSave1", 22, QKeySequence(Qt::CTRL | Qt::Key_S));
    PrintA = newAction(this, "PrintA", 23, QKeySequence(Qt::CTRL | Qt::Key_P));
    CloseTopicAction = newAction(this, "CloseTopicAction", 16, QKeySequence(Qt::SHIFT | Qt::Key_F4));
    CallVerirozazA = newAction(this, "CallVerirozazA", 19, QKeySequence(Qt::Key_F9));
    FileExit1 = newAction(this, "FileExit1", 15);
    CutQuesAction = newAction(this, "CutQuesAction", 0, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_X));
    CopyQuesAction = newAction(this, "CopyQuesAction", 1, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    PasteQuesAction = newAction(this, "PasteQuesAction", 2, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V));
    OptionsA = newAction(this, "OptionsA", 17, QKeySequence(Qt::Key_F12));
    WindowCascade1 = newAction(this, "WindowCascade1", 10);
    WindowTileHorizontal1 = newAction(this, "WindowTileHorizontal1", 8);
    WindowTileVertical1 = newAction(this, "WindowTileVertical1", 9);
    WindowMinimizeAll1 = newAction(this, "WindowMinimizeAll1");
    WindowArrangeAll1 = newAction(this, "WindowArrangeAll1");
    HelpM = newAction(this, "HelpM", 21, QKeySequence(Qt::Key_F1));
    HelpAboutItem = newAction(this, "HelpAboutItem", 18);
    AboutVXGItem = newAction(this, "AboutVXGItem", 19);

    // The language items keep their captions in both languages.
    LanguageGroup = new QActionGroup(this);
    LanguageGroup->setExclusive(true);
    Eng1 = newAction(this, "Eng1");
    Eng1->setText(QStringLiteral("Eng"));
    Rus1 = newAction(this, "Rus1");
    Rus1->setText(QStringLiteral("Rus"));
    for (QAction* item : {Eng1, Rus1}) {
        item->setCheckable(true);
        LanguageGroup->addAction(item);
    }
    Rus1->setChecked(true);

    for (QAction* a : {FileSave1, CloseTopicAction, PrintA, CutQuesAction, CopyQuesAction, PasteQuesAction})
        a->setEnabled(false);
    for (QAction* a : {CutQuesAction, CopyQuesAction, PasteQuesAction})
        a->setVisible(false);
    for (QAction* a :
         {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1, WindowArrangeAll1})
        a->setEnabled(false);
}

void TMDIForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    File1 = bar->addMenu(QString());
    File1->setObjectName(QStringLiteral("File1"));
    File1->addActions({FileNew1, FileOpen1, FileSave1, PrintA, CloseTopicAction});
    File1->addSeparator();
    File1->addAction(CallVerirozazA);
    File1->addSeparator();
    File1->addAction(FileExit1);

    N13 = bar->addMenu(QString());
    N13->setObjectName(QStringLiteral("N13"));
    N13->addActions({CutQuesAction, CopyQuesAction, PasteQuesAction});

    ServiceM = bar->addMenu(QString());
    ServiceM->setObjectName(QStringLiteral("ServiceM"));
    ServiceM->addAction(OptionsA);
    LangM = ServiceM->addMenu(EditorIcon(24), QString());
    LangM->setObjectName(QStringLiteral("LangM"));
    LangM->addActions({Eng1, Rus1});

    N2 = bar->addMenu(QString());
    N2->setObjectName(QStringLiteral("N2"));
    N2->addActions(
        {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1, WindowArrangeAll1});

    Help1 = bar->addMenu(QString());
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->addAction(HelpM);
    Help1->addSeparator();
    Help1->addActions({HelpAboutItem, AboutVXGItem});
}

void TMDIForm::CreateToolBar() {
    ToolBar = addToolBar(QString());
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->toggleViewAction()->setVisible(false);
    ToolBar->setIconSize(QSize(22, 22));
    ToolBar->setFixedHeight(30 + 4);

    auto button = [this](QAction* a, const char* name) {
        ToolBar->addAction(a);
        if (QWidget* w = ToolBar->widgetForAction(a))
            w->setObjectName(QString::fromLatin1(name));
    };
    button(FileNew1, "NewBtn");
    button(FileOpen1, "OpenBtn");
    button(FileSave1, "SaveBtn");
    button(PrintA, "PrintBtn");
    button(CloseTopicAction, "CloseTopicBtn");
    ToolBar->addSeparator();
    button(CutQuesAction, "CutQuesBtn");
    button(CopyQuesAction, "CopyQuesBtn");
    button(PasteQuesAction, "PasteQuesBtn");
    ToolBar->addSeparator();
    button(WindowCascade1, "CascadeBtn");
    button(WindowTileHorizontal1, "TileHorBtn");
    button(WindowTileVertical1, "TileVertBtn");
    ToolBar->addSeparator();
    button(HelpM, "HelpBtn");
    ToolBar->addSeparator();
    button(FileExit1, "ExitBtn");
}

void TMDIForm::CreateStatusBar() {
    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setAutoFillBackground(true);
    QPalette pal = StatusBar->palette();
    pal.setColor(QPalette::Window, QColor(0, 255, 255));
    pal.setColor(QPalette::WindowText, Qt::blue);
    StatusBar->setPalette(pal);
    QFont bold = StatusBar->font();
    bold.setBold(true);

    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    // 550 pixels, narrower only when the window leaves the other panel too little for its text
    // (the Russian "changes not saved" in the restored window).
    StatusPanel0->setMaximumWidth(550);
    StatusPanel0->setMinimumWidth(1);
    StatusPanel0->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    StatusPanel0->setText(LangTableText(40));
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    // 50 pixels, wider only as far as its text needs.
    StatusPanel1->setMinimumWidth(50);
    for (QLabel* panel : {StatusPanel0, StatusPanel1}) {
        panel->setFont(bold);
        panel->setPalette(pal);
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    StatusBar->addWidget(StatusPanel0, 1);
    StatusBar->addWidget(StatusPanel1);
}

void TMDIForm::BindCommands() {
    // Every command runs inside the error guard.
    auto on = [this](QAction* action, void (TMDIForm::*handler)()) {
        connect(action, &QAction::triggered, this,
                vxg::Guarded([this, handler](bool) { (this->*handler)(); }));
    };
    // These go to the active topic window and do nothing when none is open.
    auto toTopic = [this](QAction* action, auto command) {
        connect(action, &QAction::triggered, this, vxg::Guarded([this, command](bool) {
                    if (TTopicF* topic = ActiveTopic())
                        (topic->*command)();
                }));
    };
    on(FileNew1, &TMDIForm::FileNew1Execute);
    on(FileOpen1, &TMDIForm::FileOpen1Execute);
    toTopic(FileSave1, &TTopicF::SaveTopic);
    toTopic(PrintA, &TTopicF::PrintTopic);
    on(CloseTopicAction, &TMDIForm::CloseTopicActionExecute);
    toTopic(CutQuesAction, &TTopicF::CutQuesMClick);
    toTopic(CopyQuesAction, &TTopicF::CopyQuesMClick);
    toTopic(PasteQuesAction, &TTopicF::PasteQuesMClick);
    on(OptionsA, &TMDIForm::OptionsMClick);
    on(CallVerirozazA, &TMDIForm::CallVerirozazAExecute);
    on(FileExit1, &TMDIForm::FileExit1Execute);
    connect(WindowCascade1, &QAction::triggered, MdiArea, &QMdiArea::cascadeSubWindows);
    on(WindowTileHorizontal1, &TMDIForm::WindowTileHorizontal);
    on(WindowTileVertical1, &TMDIForm::WindowTileVertical);
    on(WindowMinimizeAll1, &TMDIForm::WindowMinimizeAll);
    on(WindowArrangeAll1, &TMDIForm::WindowArrangeAll);
    on(HelpM, &TMDIForm::HelpMClick);
    // F1 anywhere in the editor, its dialogs included, opens the contents.
    vxg::Help::instance().answerF1InDialogsWith(HelpM);
    on(HelpAboutItem, &TMDIForm::HelpAbout1Execute);
    on(AboutVXGItem, &TMDIForm::AboutVXGItemClick);
    on(Rus1, &TMDIForm::Rus1Click);
    on(Eng1, &TMDIForm::Eng1Click);
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit.

void TMDIForm::FormCreate() {
    ReadLanguage();
    (LangOffset == 0 ? Rus1 : Eng1)->setChecked(true);
    vxg::Help::instance().setLanguage(LangOffset == 0);
    LoadLangStrings();
    ApplyLanguage();
}

void TMDIForm::FormDestroy() {
    LangStrings.clear();
    WriteLanguage();
}

void TMDIForm::closeEvent(QCloseEvent* event) {
    // Every topic window is asked in turn; the first that refuses keeps the program running.
    for (TTopicF* topic : Topics()) {
        bool mayClose = false;
        vxg::RunGuarded([&] { mayClose = topic->FormCloseQuery(); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit Closed();
}

void TMDIForm::FileExit1Execute() {
    close();
}

bool TMDIForm::ReadLanguage() {
    LangOffset = kEnglish;
    bool keyFound = false;
    try {
        const vxg::Registry reg;
        keyFound = reg.keyExists(kEditorKey);
        if (keyFound && reg.valueExists(kEditorKey, kLangN))
            LangOffset = static_cast<quint16>(reg.readInteger(kEditorKey, kLangN));
    } catch (const vxg::Error&) {
        // A LangN of another type reads as no choice at all: English, without a word.
        LangOffset = kEnglish;
    }
    return keyFound;
}

void TMDIForm::WriteLanguage() {
    vxg::Registry reg;
    reg.writeInteger(kEditorKey, kLangN, LangOffset);
}

QString TMDIForm::ReadLastDir() {
    return ReadLastFolder(kEditorKey, kLastDir);
}

void TMDIForm::WriteLastDir(const QString& folder) {
    vxg::Registry reg;
    reg.writeString(kEditorKey, kLastDir, folder);
}

// ---------------------------------------------------------------------------------------------
// Language.

void TMDIForm::ApplyLanguage() {
    MainTitle = lang(1);
    OpenTitle = lang(2);
    NewTitle = lang(3);
    setWindowTitle(MainTitle);
    vxg::PutPlatformTexts(191); // the boxes' captions and buttons, the file dialogs, printing

    struct Texts {
        QAction* action;
        int caption;
        int hint; // 0: none
    };
    const Texts texts[] = {
        {FileNew1, 4, 5},
        {FileOpen1, 6, 7},
        {FileSave1, 8, 9},
        {PrintA, 15, 16},
        {CloseTopicAction, 12, 12},
        {CallVerirozazA, 14, 0},
        {FileExit1, 10, 11},
        {CutQuesAction, 25, 26},
        {CopyQuesAction, 27, 28},
        {PasteQuesAction, 29, 30},
        {OptionsA, 13, 0},
        {WindowCascade1, 17, 18},
        {WindowTileHorizontal1, 19, 20},
        {WindowTileVertical1, 21, 22},
        {WindowMinimizeAll1, 23, 0},
        {WindowArrangeAll1, 24, 0},
        {HelpM, 35, 36},
        {HelpAboutItem, 37, 0},
        {AboutVXGItem, 38, 0},
    };
    for (const Texts& t : texts) {
        t.action->setText(lang(t.caption));
        // A command without a hint of its own shows its caption, without the "&".
        t.action->setToolTip(t.hint ? lang(t.hint) : QString(lang(t.caption)).remove(u'&'));
    }
    File1->setTitle(lang(31));
    N13->setTitle(lang(32));
    ServiceM->setTitle(lang(57));
    LangM->setTitle(lang(58));
    N2->setTitle(lang(33));
    Help1->setTitle(lang(34));
}

void TMDIForm::Rus1Click() {
    SwitchLanguage(0);
}

void TMDIForm::Eng1Click() {
    SwitchLanguage(kEnglish);
}

void TMDIForm::SwitchLanguage(quint16 offset) {
    LangOffset = offset;
    LoadLangStrings();
    ApplyLanguage();
    (offset == 0 ? Rus1 : Eng1)->setChecked(true);
    vxg::Help::instance().setLanguage(offset == 0);
    if (TTopicF* topic = ActiveTopic())
        topic->FormActivate();
}

// ---------------------------------------------------------------------------------------------
// The idle update.

void TMDIForm::ApplicationIdle() {
    // A minimised topic window hides its fields, not its frame: it is still open, and while it
    // is the active one it still drives Save and the status panels.
    for (TTopicF* topic : Topics())
        if (const QWidget* frame = topic->parentWidget(); frame && frame->isVisible())
            vxg::RunGuarded([topic] { topic->NextAUpdate(); });
    FileSave1Update();
}

void TMDIForm::FileSave1Update() {
    // An action or label set to what it already shows costs nothing and signals nothing.
    FileSave1->setEnabled(TopicModified);
    StatusPanel1->setText(TopicModified ? lang(39) : QString());

    const bool any = !Topics().isEmpty();
    if (!any) {
        TopicModified = false;
        StatusPanel0->setText(lang(40));
    }
    for (QAction* a : {CutQuesAction, CopyQuesAction, CloseTopicAction, PrintA, WindowCascade1,
                       WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1, WindowArrangeAll1})
        a->setEnabled(any);
    for (QAction* a : {CutQuesAction, CopyQuesAction, PasteQuesAction})
        a->setVisible(any);
}

// ---------------------------------------------------------------------------------------------
// Help, About boxes, the examiner.

void TMDIForm::HelpMClick() {
    vxg::Help::instance().showContents();
}

void TMDIForm::HelpAbout1Execute() {
    if (AboutBox)
        AboutBox->exec();
}

void TMDIForm::AboutVXGItemClick() {
    if (AboutVXGBox)
        AboutVXGBox->exec();
}

void TMDIForm::CallVerirozazAExecute() {
    // The window steps aside only for a program that started; a missing examiner is reported.
    const QString program = QStringLiteral("VXG-Verirozaz");
    if (!LaunchProgram(program, QString(), ProgramFolder()))
        throw vxg::Error(lang(kNotStartedId).arg(program));
    showMinimized();
}
