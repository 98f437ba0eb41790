#pragma once
// The editor's main window: an MDI frame holding one topic window per question file.
//
// Split by concern:
//   Exwr_MDI.cpp           layout, start-up and exit, language, idle update, registry, help,
//                          About boxes, starting the examiner
//   Exwr_MDI_Topics.cpp    New, Open, the commands routed to the active topic window, the
//                          window commands
#include <QMainWindow>
#include <QString>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;
class QToolButton;
class TAboutBox;
class TAboutVXG;
class TCopyDlg;
class TOptionsForm;
class TTopicF;
namespace vxg {
class TIdleHandler;
}

// Set by ApplyLanguage: the main window's title and the titles of the file dialog.
extern QString MainTitle;
extern QString OpenTitle;
extern QString NewTitle;

class TMDIForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate: reads the language, fills the language table,
    // labels the window.
    explicit TMDIForm(QWidget* parent = nullptr);
    ~TMDIForm() override;

    // The windows created after the main window at start-up.
    void SetWindows(TCopyDlg* copyDlg, TAboutBox* about, TAboutVXG* aboutVxg, TOptionsForm* options);

    void FormCreate();
    // The exit steps: frees the language table and stores the language. Called once the
    // message loop has ended; a registry failure raises vxg::Error.
    void FormDestroy();

    void ApplyLanguage();
    bool ReadLanguage();
    void WriteLanguage();
    static QString ReadLastDir();
    static void WriteLastDir(const QString& folder);

    // ---- commands
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileSave1Update();
    void CloseTopicActionExecute();
    void OptionsMClick();
    void FileExit1Execute();
    void CallVerirozazAExecute();
    void HelpMClick();
    void HelpAbout1Execute();
    void AboutVXGItemClick();
    void Rus1Click();
    void Eng1Click();
    void WindowTileHorizontal();
    void WindowTileVertical();
    void WindowMinimizeAll();
    void WindowArrangeAll();

    // The topic window the routed commands go to (null when none is open), and all of them
    // in the order they were opened.
    TTopicF* ActiveTopic() const;
    QList<TTopicF*> Topics() const;
    // The idle work: every topic window's enabling, then the main window's.
    void ApplicationIdle();

    bool TopicModified = false;
    QString OpenDialogFileName; // what the file dialog's name box holds between commands
    QMdiArea* MdiArea = nullptr;
    vxg::TIdleHandler* Idle = nullptr;

    TCopyDlg* CopyDlg = nullptr;
    TAboutBox* AboutBox = nullptr;
    TAboutVXG* AboutVXGBox = nullptr;
    TOptionsForm* OptionsForm = nullptr;

    // ---- actions of ActionList
    QAction* FileNew1 = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* PrintA = nullptr;
    QAction* CloseTopicAction = nullptr;
    QAction* CallVerirozazA = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* CutQuesAction = nullptr;
    QAction* CopyQuesAction = nullptr;
    QAction* PasteQuesAction = nullptr;
    QAction* OptionsA = nullptr;
    QAction* WindowCascade1 = nullptr;
    QAction* WindowTileHorizontal1 = nullptr;
    QAction* WindowTileVertical1 = nullptr;
    QAction* WindowMinimizeAll1 = nullptr;
    QAction* WindowArrangeAll1 = nullptr;
    QAction* HelpM = nullptr;
    QAction* HelpAboutItem = nullptr;
    QAction* AboutVXGItem = nullptr;
    QAction* Eng1 = nullptr;
    QAction* Rus1 = nullptr;
    QActionGroup* LanguageGroup = nullptr;

    // ---- menus, tool bar, status bar
    QMenu* File1 = nullptr;
    QMenu* N13 = nullptr;
    QMenu* ServiceM = nullptr;
    QMenu* LangM = nullptr;
    QMenu* N2 = nullptr;
    QMenu* Help1 = nullptr;
    QToolBar* ToolBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

signals:
    // Emitted after each idle update.
    void IdleUpdated();
    // The main window agreed to close: every topic window let it go.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void BindCommands();
    void SwitchLanguage(quint16 offset);
    // Adds a topic window to the frame and shows it.
    void ShowTopicWindow(TTopicF* topic);
    QList<QMdiSubWindow*> ShownSubWindows() const;
};
