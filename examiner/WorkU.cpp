#include "WorkU.h"

#include "AboutProf.h"
#include "AboutVelmora.h"
#include "AtomicFile.h"
#include "BusyCursor.h"
#include "ConsoleIcons.h"
#include "Dialogs.h"
#include "Error.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "Help.h"
#include "MainWindowLanguage.h"
#include "MessageLink.h"
#include "MessageQueue.h"
#include "MyFileUtils.h"
#include "MyPrintUtils.h"
#include "NetAdapt.h"
#include "OptionSetStore.h"
#include "OptionsLayout.h"
#include "PieGauge.h"
#include "QueListU.h"
#include "Registry.h"
#include "StringGrid.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Texts of the failed network adaptation (the examiner's own string table).
constexpr int kAdaptNoFolderId = 180;
constexpr int kAdaptNoAddressId = 181;
constexpr int kAdaptWriteFailedId = 182;
constexpr int kEditorNotStartedId = 189;

const QString kLangNValue = QStringLiteral("LangN");
const QString kLastNameValue = QStringLiteral("LastName");
const QString kAddressFileName = QStringLiteral("1.nna");

QString lastDirValueName(quint16 kind) {
    return kind == 0 ? QStringLiteral("LastTopicDir") : QStringLiteral("LastArhivDir");
}

QAction* newCommand(QObject* parent, const char* name, const QKeySequence& shortcut = {}) {
    auto* action = new QAction(parent);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QToolButton* newToolButton(QToolBar* bar, const char* name, const QIcon& icon) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

// A status panel whose text runs on over as many lines as it needs at the width it has: a long
// refusal (a name and two addresses) is read whole instead of being cut at both ends. The status
// bar is as high as its highest panel needs; the layout reads the height from the size hints,
// never from a height-for-width of its own choosing.
class TWrappingPanel : public QLabel {
public:
    explicit TWrappingPanel(QWidget* parent) : QLabel(parent) { setWordWrap(true); }
    bool hasHeightForWidth() const override { return false; }
    QSize sizeHint() const override { return {QLabel::sizeHint().width(), LinesHeight()}; }
    QSize minimumSizeHint() const override { return {QLabel::minimumSizeHint().width(), LinesHeight()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (height() != LinesHeight())
            updateGeometry();
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            laidOutWidth_ = -1;
        QLabel::changeEvent(event);
    }

private:
    // Asked for at every layout of the window (a progress label that changes, a card view that
    // redraws): the text is laid out again only when it or the width changed.
    int LinesHeight() const {
        const int w = width() > 0 ? width() : maximumWidth();
        if (w != laidOutWidth_ || text() != laidOutText_) {
            laidOutWidth_ = w;
            laidOutText_ = text();
            laidOutHeight_ = heightForWidth(w);
        }
        return laidOutHeight_;
    }
    mutable int laidOutWidth_ = -1;
    mutable QString laidOutText_;
    mutable int laidOutHeight_ = 0;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction: the window's widgets and the binding of its commands.

TWorkF::TWorkF(TExaminerState& state, QWidget* parent) : QMainWindow(parent), S(state) {
    setObjectName(QStringLiteral("WorkF"));
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(13);
    setFont(f);
    setWindowIcon(QIcon(ExaminerProgramPixmap(32)));

    resize(780, 567);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateResultsArea();
    CreateClientArea();
    CreateStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(5000);

    BindCommands();
    CreateLink();

    // The idle update: each time the event loop is about to wait for more events.
    Idle = new vxg::TIdleHandler(this, [this] { QuickHelpAUpdate(); });
    connect(Idle, &vxg::TIdleHandler::Updated, this, &TWorkF::IdleUpdated);
}

TWorkF::~TWorkF() = default;

void TWorkF::SetWindows(TAboutVerirozaz* about, TQueListF* queList, TOptionsF* options, TAboutVXG* aboutVxg) {
    AboutBox = about;
    QueListF = queList;
    OptionsF = options;
    AboutVXGBox = aboutVxg;
}

void TWorkF::CreateActions() {
    OpenTopic = newCommand(this, "OpenTopic", QKeySequence(Qt::CTRL | Qt::Key_O));
    CloseTopic = newCommand(this, "CloseTopic", QKeySequence(Qt::SHIFT | Qt::Key_F4));
    QueList = newCommand(this, "QueList", QKeySequence(Qt::CTRL | Qt::Key_W));
    ExamwrightM = newCommand(this, "ExamwrightM", QKeySequence(Qt::CTRL | Qt::Key_Q));
    ExitM = newCommand(this, "ExitM");
    GiveOut = newCommand(this, "GiveOut", QKeySequence(Qt::Key_F2));
    Stop = newCommand(this, "Stop", QKeySequence(Qt::Key_F3));
    SaveResults = newCommand(this, "SaveResults", QKeySequence(Qt::Key_F4));
    NewAtt = newCommand(this, "NewAtt", QKeySequence(Qt::Key_F5));
    LoadArhiv = newCommand(this, "LoadArhiv", QKeySequence(Qt::CTRL | Qt::Key_A));
    CloseArhiv = newCommand(this, "CloseArhiv", QKeySequence(Qt::CTRL | Qt::Key_F4));
    Options = newCommand(this, "Options", QKeySequence(Qt::Key_F12));
    Help = newCommand(this, "Help", QKeySequence(Qt::CTRL | Qt::Key_F1));
    About = newCommand(this, "About");
    AboutVXGm = newCommand(this, "AboutVXGm");

    // The language items keep their captions in both languages.
    LanguageGroup = new QActionGroup(this);
    LanguageGroup->setExclusive(true);
    Eng1 = newCommand(this, "Eng1");
    Eng1->setText(QStringLiteral("Eng"));
    Rus1 = newCommand(this, "Rus1");
    Rus1->setText(QStringLiteral("Rus"));
    for (QAction* item : {Eng1, Rus1}) {
        item->setCheckable(true);
        LanguageGroup->addAction(item);
    }
    Rus1->setChecked(true);

    // The action list.
    QuickHelpA = newCommand(this, "QuickHelpA", QKeySequence(Qt::Key_F1));
    QuickHelpA->setIcon(ConsoleIcon(TConsoleIcon::QuickHelp));
    PrevQueA = newCommand(this, "PrevQueA", QKeySequence(Qt::Key_F10));
    NextQueA = newCommand(this, "NextQueA", QKeySequence(Qt::Key_F11));
    PrintA = newCommand(this, "PrintA", QKeySequence(Qt::CTRL | Qt::Key_P));
    PrintA->setIcon(ConsoleIcon(TConsoleIcon::Print));
    DelStudA = newCommand(this, "DelStudA", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    StopCiklesA = newCommand(this, "StopCiklesA", QKeySequence(Qt::ALT | Qt::Key_Backspace));
    StopCiklesA->setCheckable(true);
    // Actions that sit in no menu still answer their shortcuts through the window.
    addActions({PrevQueA, NextQueA, PrintA, DelStudA, StopCiklesA});

    // Enabled at design: open topic, open archive, parameters, delete student.
    for (QAction* a :
         {CloseTopic, QueList, GiveOut, Stop, SaveResults, NewAtt, CloseArhiv, PrintA, PrevQueA, NextQueA})
        a->setEnabled(false);
}

void TWorkF::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    N1 = bar->addMenu(QString());
    N1->setObjectName(QStringLiteral("N1"));
    N1->addActions({OpenTopic, CloseTopic});
    N1->addSeparator();
    N1->addActions({QueList, ExamwrightM});
    N1->addSeparator();
    N1->addSeparator();
    N1->addAction(ExitM);

    N3 = bar->addMenu(QString());
    N3->setObjectName(QStringLiteral("N3"));
    N3->addActions({GiveOut, Stop, SaveResults, NewAtt});

    N8 = bar->addMenu(QString());
    N8->setObjectName(QStringLiteral("N8"));
    N8->addActions({LoadArhiv, CloseArhiv});

    N2 = bar->addMenu(QString());
    N2->setObjectName(QStringLiteral("N2"));
    N2->addAction(Options);
    N10 = N2->addMenu(QString());
    N10->setObjectName(QStringLiteral("N10"));
    N10->addActions({Eng1, Rus1});

    N4 = bar->addMenu(QString());
    N4->setObjectName(QStringLiteral("N4"));
    N4->addActions({QuickHelpA, Help});
    N4->addSeparator();
    N4->addActions({About, AboutVXGm});
}

void TWorkF::CreateToolBars() {
    MainToolBar = addToolBar(QString());
    MainToolBar->setObjectName(QStringLiteral("MainToolBar"));
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->toggleViewAction()->setVisible(false);
    MainToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    MainToolBar->setIconSize(QSize(20, 20));

    OpenTopicBtn = newToolButton(MainToolBar, "OpenTopicBtn", ConsoleIcon(TConsoleIcon::OpenTopic));
    CloseTopicBtn = newToolButton(MainToolBar, "CloseTopicBtn", ConsoleIcon(TConsoleIcon::CloseTopic));
    OptionsBtn = newToolButton(MainToolBar, "OptionsBtn", ConsoleIcon(TConsoleIcon::Options));
    MainToolBar->addSeparator();
    LoadArhivBtn = newToolButton(MainToolBar, "LoadArhivBtn", ConsoleIcon(TConsoleIcon::LoadArhiv));
    CloseArhivBtn = newToolButton(MainToolBar, "CloseArhivBtn", ConsoleIcon(TConsoleIcon::CloseArhiv));
    MainToolBar->addSeparator();
    QuickHelpBtn = newToolButton(MainToolBar, "QuickHelpBtn", QIcon());
    QuickHelpBtn->setDefaultAction(QuickHelpA);
    ExitBtn = newToolButton(MainToolBar, "ExitBtn", ConsoleIcon(TConsoleIcon::Exit));
    for (QToolButton* b :
         {OpenTopicBtn, CloseTopicBtn, OptionsBtn, LoadArhivBtn, CloseArhivBtn, QuickHelpBtn, ExitBtn}) {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setFixedSize(25, 25);
    }

    // The second band sits under the first, so that its captions keep their room at any width.
    addToolBarBreak();
    AttestationToolBar = addToolBar(QString());
    AttestationToolBar->setObjectName(QStringLiteral("AttestationToolBar"));
    AttestationToolBar->setMovable(false);
    AttestationToolBar->setFloatable(false);
    AttestationToolBar->toggleViewAction()->setVisible(false);
    AttestationToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    AttestationToolBar->setIconSize(QSize(22, 22));
    // Narrower letters where the desktop has them, so that the five captions keep to one row
    // on a 1024-pixel screen in either language.
    QFont bold = font();
    bold.setBold(true);
    bold.setStretch(QFont::SemiCondensed);
    AttestationToolBar->setFont(bold);

    GiveOutBtn = newToolButton(AttestationToolBar, "GiveOutBtn", ConsoleIcon(TConsoleIcon::GiveOut));
    StopBtn = newToolButton(AttestationToolBar, "StopBtn", ConsoleIcon(TConsoleIcon::Stop));
    SaveResultsBtn =
        newToolButton(AttestationToolBar, "SaveResultsBtn", ConsoleIcon(TConsoleIcon::SaveResults));
    ToolButton2 = newToolButton(AttestationToolBar, "ToolButton2", QIcon());
    ToolButton2->setDefaultAction(PrintA);
    NewAttBtn = newToolButton(AttestationToolBar, "NewAttBtn", ConsoleIcon(TConsoleIcon::NewAtt));
    for (QToolButton* b : {GiveOutBtn, StopBtn, SaveResultsBtn, ToolButton2, NewAttBtn}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFixedHeight(39);
        b->setFont(bold);
    }

    for (QToolButton* b : {CloseTopicBtn, GiveOutBtn, StopBtn, SaveResultsBtn, CloseArhivBtn, NewAttBtn})
        b->setEnabled(false);
}

void TWorkF::CreateClientArea() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The results grid at the top; its height follows the number of rows.
    if (StringGridView)
        column->addWidget(StringGridView, 0, Qt::AlignTop);

    // The room under the grid, where the give-out progress shows during the first give-out.
    auto* room = new QWidget(central);
    room->setObjectName(QStringLiteral("GridRoom"));
    auto* roomLayout = new QVBoxLayout(room);
    roomLayout->addStretch(1);

    GiveOutPanel = new QFrame(room);
    GiveOutPanel->setObjectName(QStringLiteral("GiveOutPanel"));
    static_cast<QFrame*>(GiveOutPanel)->setFrameShape(QFrame::Panel);
    static_cast<QFrame*>(GiveOutPanel)->setFrameShadow(QFrame::Raised);
    GiveOutPanel->setMinimumWidth(420);
    auto* giveOut = new QVBoxLayout(GiveOutPanel);
    auto* counts = new QHBoxLayout;
    Label1 = new QLabel(GiveOutPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgressLabel = new QLabel(QStringLiteral("0"), GiveOutPanel);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    Label3 = new QLabel(GiveOutPanel);
    Label3->setObjectName(QStringLiteral("Label3"));
    VsegoLabel = new QLabel(QStringLiteral("0"), GiveOutPanel);
    VsegoLabel->setObjectName(QStringLiteral("VsegoLabel"));
    counts->addStretch(1);
    for (QLabel* l : {Label1, ProgressLabel, Label3, VsegoLabel})
        counts->addWidget(l);
    counts->addStretch(1);
    giveOut->addLayout(counts);
    GiveOutProgress = new QProgressBar(GiveOutPanel);
    GiveOutProgress->setObjectName(QStringLiteral("GiveOutProgress"));
    GiveOutProgress->setRange(0, 100);
    GiveOutProgress->setValue(0);
    giveOut->addWidget(GiveOutProgress);
    GiveOutPanel->hide();
    roomLayout->addWidget(GiveOutPanel, 0, Qt::AlignHCenter);
    roomLayout->addStretch(1);
    column->addWidget(room, 1);

    if (Panel2)
        column->addWidget(Panel2);

    // The card view with the time gauge at its right.
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    if (Panel4)
        bottom->addWidget(Panel4, 1);
    auto* panel1 = new QFrame(central);
    Panel1 = panel1;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFrameShape(QFrame::Panel);
    panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFixedWidth(110);
    if (Panel4)
        Panel1->setFixedHeight(Panel4->maximumHeight() < QWIDGETSIZE_MAX ? Panel4->maximumHeight() : 160);
    auto* gaugeColumn = new QVBoxLayout(Panel1);
    gaugeColumn->setContentsMargins(4, 8, 4, 8);
    Gauge1 = new TPieGauge(Panel1);
    Gauge1->setFixedSize(81, 81);
    Gauge1->SetForeColor(Qt::red);
    gaugeColumn->addWidget(Gauge1, 0, Qt::AlignHCenter);
    Label8 = new QLabel(Panel1);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setAlignment(Qt::AlignCenter);
    gaugeColumn->addWidget(Label8, 0, Qt::AlignHCenter);
    gaugeColumn->addStretch(1);
    Panel1->hide();
    bottom->addWidget(Panel1);
    column->addLayout(bottom);

    setCentralWidget(central);
}

void TWorkF::CreateStatusBar() {
    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setAutoFillBackground(true);
    QPalette pal = StatusBar->palette();
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    pal.setColor(QPalette::WindowText, Qt::black);
    StatusBar->setPalette(pal);

    // The panels are 500 and 300 pixels wide when the window has the room, and give way in a
    // narrower window instead of widening it.
    StatusPanel0 = new TWrappingPanel(StatusBar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMaximumWidth(500);
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setMaximumWidth(300);
    for (QLabel* panel : {StatusPanel0, StatusPanel1}) {
        // Set names and station names are shown as written, never taken for markup.
        panel->setTextFormat(Qt::PlainText);
        panel->setMinimumWidth(100);
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    // In a narrow window the two share the width 5 : 3, as their full widths do.
    StatusBar->addWidget(StatusPanel0, 5);
    StatusBar->addWidget(StatusPanel1, 3);
}

void TWorkF::BindCommands() {
    // Every command runs inside the error guard; a command bound to nothing here is one whose
    // work is not part of the window yet.
    auto onAction = [this](QAction* action, void (TWorkF::*handler)()) {
        connect(action, &QAction::triggered, this,
                vxg::Guarded([this, handler](bool) { (this->*handler)(); }));
    };
    auto onButton = [this](QToolButton* button, void (TWorkF::*handler)()) {
        connect(button, &QToolButton::clicked, this,
                vxg::Guarded([this, handler](bool) { (this->*handler)(); }));
    };

    connect(OpenTopic, &QAction::triggered, this, vxg::Guarded([this](bool) { OpenTopicClick(OpenTopic); }));
    connect(OpenTopicBtn, &QToolButton::clicked, this,
            vxg::Guarded([this](bool) { OpenTopicClick(OpenTopicBtn); }));
    onAction(CloseTopic, &TWorkF::CloseTopicClick);
    onButton(CloseTopicBtn, &TWorkF::CloseTopicClick);
    onAction(QueList, &TWorkF::QueListClick);
    onAction(ExamwrightM, &TWorkF::ExamwrightMClick);
    onAction(ExitM, &TWorkF::ExitMClick);
    onButton(ExitBtn, &TWorkF::ExitMClick);
    onAction(Options, &TWorkF::OptionsClick);
    onButton(OptionsBtn, &TWorkF::OptionsClick);
    onAction(Eng1, &TWorkF::Eng1Click);
    onAction(Rus1, &TWorkF::Rus1Click);
    onAction(QuickHelpA, &TWorkF::QuickHelpAExecute);
    // Over the examiner's dialogs F1 gives the state's help too.
    vxg::Help::instance().answerF1InDialogsWith(QuickHelpA);
    onAction(Help, &TWorkF::HelpClick);
    onAction(About, &TWorkF::AboutClick);
    onAction(AboutVXGm, &TWorkF::AboutVXGmClick);
    // PrevQueA and NextQueA are bound where the card view is built (CreateResultsArea).
    onAction(PrintA, &TWorkF::PrintAExecute);
    onAction(StopCiklesA, &TWorkF::StopCiklesAExecute);
    BindArchiveCommands();
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit.

void TWorkF::FormCreate(const QString& programFolder) {
    S.QuickHelpTopic = QStringLiteral("IDH_StatusQuo");

    QString folder = QDir::fromNativeSeparators(
        programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    S.ProgramDir = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    S.WorkDir = folder;
    S.StudentDir = S.ProgramDir + QStringLiteral("VXG Student/");

    InitLanguage();

    if (!QFile::exists(S.StudentDir + kAddressFileName))
        vxg::RunGuarded([this] { AdaptToNetwork(); });

    S.AttState = StatusQuo;
}

void TWorkF::InitLanguage() {
    // A missing key or value means English; an unreadable value is reported and means English too.
    int stored = 200;
    vxg::RunGuarded([&stored] {
        const vxg::Registry reg;
        if (reg.keyExists(kExaminerKey) && reg.valueExists(kExaminerKey, kLangNValue))
            stored = reg.readInteger(kExaminerKey, kLangNValue);
    });
    LangOffset = stored == 0 ? 0 : 200;

    (LangOffset == 0 ? Rus1 : Eng1)->setChecked(true);

    LoadLangStrings();
    PutPlatformLanguage();
    ApplyMainLanguage();
}

void TWorkF::AdaptToNetwork() {
    {
        vxg::BusyCursor busy;

        QString folder = S.StudentDir;
        folder.chop(1);
        if (!QDir(folder).exists())
            throw vxg::Error(lang(kAdaptNoFolderId).arg(QDir::toNativeSeparators(folder)));

        const std::optional<QHostAddress> address = ChooseExaminerAddress(LocalInterfaces());
        if (!address)
            throw vxg::Error(lang(kAdaptNoAddressId));

        const QString path = S.StudentDir + kAddressFileName;
        const QByteArray bytes = AddressFileBytes(address->toString());
        const vxg::FileWriteResult written = vxg::WriteFileAtomically(path, bytes);
        if (!written.ok())
            throw vxg::Error(lang(kAdaptWriteFailedId).arg(QDir::toNativeSeparators(path), written.error));
    }

    vxg::ShowMessage(vxg::DlgKind::Information, lang(137), vxg::DlgButtons::Ok, this);
    RequestApplicationEnd();
}

void TWorkF::FormShow() {
    ReadLastOptions();
    vxg::RunGuarded([this] { SetupGrid(); });
    OpenMessageQueue();
    ReportDeafLink();
}

void TWorkF::ReadLastOptions() {
    // A set is taken whole or not at all. A "Last" that cannot be read, or holds a value the
    // program cannot work with, is reported and "Default" is tried instead; when neither can be
    // read, the set in force stays, and the window still opens.
    const OptionSetStore store;
    bool done = false;
    vxg::RunGuarded([&] {
        TTestOptions options = S.ActiveOptions;
        QString name;
        done = store.loadLast(options, name);
        if (done) {
            S.OptionsName = name;
            S.ActiveOptions = options;
        }
    });
    if (!done)
        vxg::RunGuarded([&] {
            TTestOptions options = S.ActiveOptions;
            if (store.load(kDefaultSetName, options)) {
                S.OptionsName = kDefaultSetName;
                S.ActiveOptions = options;
            }
        });
    // Nothing readable at all, and nothing usable in force yet: the factory values.
    if (!OptionSetStore::OutOfRangeValue(S.ActiveOptions).isEmpty()) {
        S.ActiveOptions = FactoryTestOptions();
        S.OptionsName = kDefaultSetName;
    }

    StatusPanel1->setText(lang(46) + S.OptionsName);
}

void TWorkF::FormDestroy() {
    LangStrings.clear();
    if (S.OptionsName.isEmpty())
        S.OptionsName = QStringLiteral("Без имени");

    vxg::RunGuarded([] {
        vxg::Registry reg;
        reg.writeInteger(kExaminerKey, kLangNValue, LangOffset);
    });
    vxg::RunGuarded([this] {
        vxg::Registry reg;
        QList<vxg::RegValue> values;
        values.append({kLastNameValue, S.OptionsName});
        values.append(TestOptionsValues(S.ActiveOptions));
        reg.writeValues(OptionSetKey(kLastSetName), values);
    });
}

void TWorkF::ExitMClick() {
    if (!ConfirmLeaveWithResults())
        return;
    RequestApplicationEnd();
}

void TWorkF::RequestApplicationEnd() {
    endRequested_ = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

QString TWorkF::ReadLastDir(quint16 kind) {
    return ReadLastFolder(kExaminerKey, lastDirValueName(kind));
}

void TWorkF::WriteLastDir(const QString& folder, quint16 kind) {
    vxg::Registry reg;
    reg.writeString(kExaminerKey, lastDirValueName(kind), folder);
}

void TWorkF::closeEvent(QCloseEvent* event) {
    // Once the end is requested (Exit asked already), the closing that follows asks nothing.
    if (!endRequested_ && !ConfirmLeaveWithResults()) {
        event->ignore();
        return;
    }
    RequestApplicationEnd();
    event->accept();
}

void TWorkF::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

// ---------------------------------------------------------------------------------------------
// States.

void TWorkF::ApplicationIdle() {
    Idle->Run();
}

void TWorkF::QuickHelpAUpdate() {
    switch (S.AttState) {
    case StatusQuo:
        ApplyStatusQuoState();
        break;
    case Ready:
        ApplyReadyState();
        break;
    case AttInProcess:
        ApplyAttInProcessState();
        break;
    case AttIsFinished:
        ApplyAttIsFinishedState();
        break;
    case ArhIsOpen:
        ApplyArhIsOpenState();
        break;
    default:
        break;
    }
}

void TWorkF::SetHelpContext(int context) {
    if (helpContext_ != context)
        helpContext_ = context;
}

void TWorkF::SetQuickHelpTopic(const QString& topic) {
    if (S.QuickHelpTopic != topic)
        S.QuickHelpTopic = topic;
}

void TWorkF::SetCommandEnabled(QAction* item, QToolButton* button, bool enabled) {
    if (item && item->isEnabled() != enabled)
        item->setEnabled(enabled);
    // A button that shows the item itself follows it already.
    if (button && button->defaultAction() != item && button->isEnabled() != enabled)
        button->setEnabled(enabled);
}

void TWorkF::SetWidgetEnabled(QWidget* widget, bool enabled) {
    if (widget && widget->isEnabled() != enabled)
        widget->setEnabled(enabled);
}

void TWorkF::ApplyStatusQuoState() {
    SetHelpContext(51);
    SetQuickHelpTopic(QStringLiteral("IDH_StatusQuo"));
    SetCommandEnabled(OpenTopic, OpenTopicBtn, true);
    SetCommandEnabled(CloseTopic, CloseTopicBtn, false);
    SetCommandEnabled(QueList, nullptr, false);
    SetCommandEnabled(GiveOut, GiveOutBtn, false);
    SetCommandEnabled(CloseArhiv, CloseArhivBtn, false);
    SetCommandEnabled(Options, OptionsBtn, true);
    SetCommandEnabled(PrintA, ToolButton2, false);
    SetCommandEnabled(PrevQueA, nullptr, false);
    SetCommandEnabled(NextQueA, nullptr, false);
    SetCommandEnabled(DelStudA, nullptr, false);
    SetWidgetEnabled(StudentName, false);
}

void TWorkF::ApplyReadyState() {
    SetHelpContext(52);
    SetQuickHelpTopic(QStringLiteral("IDH_Ready"));
    SetCommandEnabled(OpenTopic, OpenTopicBtn, true);
    SetCommandEnabled(CloseTopic, CloseTopicBtn, true);
    SetCommandEnabled(QueList, nullptr, true);
    SetCommandEnabled(GiveOut, GiveOutBtn, true);
    SetCommandEnabled(Stop, StopBtn, false);
    SetCommandEnabled(SaveResults, SaveResultsBtn, false);
    SetCommandEnabled(NewAtt, NewAttBtn, false);
    SetCommandEnabled(LoadArhiv, LoadArhivBtn, true);
    SetCommandEnabled(PrintA, ToolButton2, false);
    SetCommandEnabled(DelStudA, nullptr, true);
    SetWidgetEnabled(StudentName, false);
}

void TWorkF::ApplyAttInProcessState() {
    SetHelpContext(53);
    SetQuickHelpTopic(QStringLiteral("IDH_AttInProcess"));
    SetCommandEnabled(OpenTopic, OpenTopicBtn, false);
    SetCommandEnabled(CloseTopic, CloseTopicBtn, false);
    SetCommandEnabled(Stop, StopBtn, true);
    SetCommandEnabled(SaveResults, SaveResultsBtn, false);
    SetCommandEnabled(LoadArhiv, LoadArhivBtn, false);
    SetCommandEnabled(Options, OptionsBtn, false);
    SetCommandEnabled(PrintA, ToolButton2, false);
    SetCommandEnabled(DelStudA, nullptr, true);
    SetWidgetEnabled(StudentName, true);
}

void TWorkF::ApplyAttIsFinishedState() {
    SetHelpContext(54);
    SetQuickHelpTopic(QStringLiteral("IDH_AttIsFinished"));
    SetCommandEnabled(Stop, StopBtn, false);
    SetCommandEnabled(SaveResults, SaveResultsBtn, true);
    SetCommandEnabled(NewAtt, NewAttBtn, true);
    SetCommandEnabled(Options, OptionsBtn, true);
    SetCommandEnabled(PrintA, ToolButton2, true);
    SetCommandEnabled(DelStudA, nullptr, false);
    SetWidgetEnabled(StudentName, true);
}

void TWorkF::ApplyArhIsOpenState() {
    SetHelpContext(55);
    SetQuickHelpTopic(QStringLiteral("IDH_ArhIsOpen"));
    SetCommandEnabled(OpenTopic, OpenTopicBtn, false);
    SetCommandEnabled(GiveOut, GiveOutBtn, false);
    SetCommandEnabled(SaveResults, SaveResultsBtn, false);
    SetCommandEnabled(NewAtt, NewAttBtn, false);
    SetCommandEnabled(CloseArhiv, CloseArhivBtn, true);
    SetCommandEnabled(Options, OptionsBtn, false);
    SetCommandEnabled(PrintA, ToolButton2, true);
    SetCommandEnabled(DelStudA, nullptr, false);
    SetWidgetEnabled(StudentName, true);
}

// ---------------------------------------------------------------------------------------------
// Commands of the console.

void TWorkF::QuickHelpAExecute() {
    vxg::Help::instance().showTopic(S.QuickHelpTopic);
}

void TWorkF::HelpClick() {
    vxg::Help::instance().showContents();
}

void TWorkF::AboutClick() {
    if (AboutBox)
        AboutBox->exec();
}

void TWorkF::AboutVXGmClick() {
    if (AboutVXGBox)
        AboutVXGBox->exec();
}

void TWorkF::QueListClick() {
    if (QueListF)
        QueListF->exec();
}

void TWorkF::ExamwrightMClick() {
    // The window steps aside only for a program that started; a missing editor is reported.
    const QString program = QStringLiteral("VXG-Examwright");
    if (!LaunchProgram(program, QString(), S.WorkDir))
        throw vxg::Error(lang(kEditorNotStartedId).arg(program));
    showMinimized();
}

void TWorkF::Rus1Click() {
    SwitchLanguage(0);
}

void TWorkF::Eng1Click() {
    SwitchLanguage(200);
}

void TWorkF::SwitchLanguage(quint16 offset) {
    LangOffset = offset;
    LoadLangStrings();
    ApplyMainLanguage();
    // The labelling puts up the bare program title: a topic open in these states keeps its
    // name there (an archive's title comes back with the results).
    if (S.AttState == Ready || S.AttState == AttInProcess || S.AttState == AttIsFinished)
        ShowTopicTitle();
    SetupGrid();
    ShowResultsAgain();
    (offset == 0 ? Rus1 : Eng1)->setChecked(true);
    PutPlatformLanguage();
}

void TWorkF::ApplyMainLanguage() {
    S.BaseCaption = lang(1);
    setWindowTitle(S.BaseCaption);

    N1->setTitle(lang(10));
    N3->setTitle(lang(11));
    N8->setTitle(lang(12));
    N2->setTitle(lang(13));
    N4->setTitle(lang(14));
    OpenTopic->setText(lang(15));
    OpenTopicBtn->setToolTip(lang(16));
    CloseTopic->setText(lang(17));
    CloseTopicBtn->setToolTip(lang(18));
    QueList->setText(lang(19));
    ExamwrightM->setText(lang(20));
    ExitM->setText(lang(21));
    ExitBtn->setToolTip(lang(22));
    GiveOut->setText(lang(23));
    GiveOutBtn->setToolTip(lang(24));
    GiveOutBtn->setText(lang(24));
    Stop->setText(QStringLiteral("&") + lang(25));
    StopBtn->setToolTip(lang(26));
    StopBtn->setText(lang(25) + QStringLiteral(" (F3)"));
    SaveResults->setText(lang(27));
    SaveResultsBtn->setToolTip(lang(28));
    SaveResultsBtn->setText(lang(28));
    NewAtt->setText(lang(29));
    NewAttBtn->setToolTip(lang(30));
    NewAttBtn->setText(lang(30));
    LoadArhiv->setText(lang(15));
    LoadArhivBtn->setToolTip(lang(31));
    CloseArhiv->setText(lang(17));
    CloseArhivBtn->setToolTip(lang(32));
    Options->setText(lang(33));
    OptionsBtn->setToolTip(lang(34));
    N10->setTitle(lang(35));
    Help->setText(lang(36));
    Help->setToolTip(lang(37));
    About->setText(lang(38));
    AboutVXGm->setText(lang(39));
    QuickHelpA->setText(lang(40));
    QuickHelpA->setToolTip(lang(41));
    PrevQueA->setText(lang(42));
    NextQueA->setText(lang(43));
    PrintA->setText(lang(44));
    PrintA->setToolTip(lang(45));
    Label8->setText(lang(130));
    StatusPanel0->setText(lang(56));
    StatusPanel1->setText(lang(46) + S.OptionsName);
    Label1->setText(lang(87));
    Label3->setText(lang(88));
    FitTestingCaptions(AttestationToolBar, {GiveOutBtn, StopBtn, SaveResultsBtn, ToolButton2, NewAttBtn});
}

void TWorkF::PrintAExecute() {
    vxg::BusyCursor busy;
    QSet<int> rows;
    const int last = std::min(StringGrid->RowCount() - 1, 255);
    for (int r = 0; r <= last; ++r)
        rows.insert(r);
    PrintGrid(*StringGrid, lang(125), 12, rows, QSet<int>{0, 1});
}

void TWorkF::StopCiklesAExecute() {
    // Raised until a loop takes it: pressing again before then leaves it raised.
    StopCiklesA->setChecked(true);
}
