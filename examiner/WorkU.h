#pragma once
// The examiner's main window: the teacher's console.
//
// The window is split over several files by concern:
//   WorkU.cpp          layout, start-up and exit, states and their enabling, language, help,
//                      About boxes, the question editor, printing the results
//   WorkU_Grid.cpp     results grid and card view: creation of the grid, Panel2 and Panel4
//                      widgets, SetupGrid, ShowStudentQue, selection handlers
//   WorkU_Topic.cpp    opening and closing a topic
//   WorkU_Options.cpp  the Options command
//   WorkU_Archive.cpp  saving, opening and closing a results archive
#include "ExaminerState.h"
#include "IdleHandler.h"
#include "ResultsArchive.h"
#include "StudentTable.h"

#include <QElapsedTimer>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QSet>
#include <QString>
#include <QStringList>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QRadioButton;
class QStatusBar;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
class TStringGrid;
class TAboutVerirozaz;
class TAboutVXG;
class TOptionsF;
class TQueListF;
class TResultsGrid;
class TPieGauge;
class TMessageReceiver;
namespace vxg::link {
enum class TMsgKind;
class TMessageQueue;
class TBoxQueue;
class TReplyThrottle;
} // namespace vxg::link
class QActionGroup;

class TWorkF : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window's widgets and binds its commands; nothing else. TExaminer runs FormCreate
    // right after it, which completes the creation of the main window at start-up.
    explicit TWorkF(TExaminerState& state, QWidget* parent = nullptr);
    ~TWorkF() override;

    // The windows created after the main window at start-up (TExaminer does it).
    void SetWindows(TAboutVerirozaz* about, TQueListF* queList, TOptionsF* options, TAboutVXG* aboutVxg);

    TExaminerState& S;

    // ---- start-up and exit
    // programFolder: the folder of the program file; empty means the running program's folder.
    void FormCreate(const QString& programFolder = {});
    void FormShow();
    void FormDestroy();
    void InitLanguage();
    void AdaptToNetwork();
    void ReadLastOptions();
    void ExitMClick();
    // Asks the application to end. The request takes effect when the event loop runs, so a
    // start-up in progress still completes.
    void RequestApplicationEnd();
    bool ApplicationEndRequested() const { return endRequested_; }
    static QString ReadLastDir(quint16 kind);
    static void WriteLastDir(const QString& folder, quint16 kind);

    // ---- states
    void QuickHelpAUpdate();
    void ApplyStatusQuoState();
    void ApplyReadyState();
    void ApplyAttInProcessState();
    void ApplyAttIsFinishedState();
    void ApplyArhIsOpenState();
    int HelpContext() const { return helpContext_; }

    // The idle mechanism: whenever the event loop is about to wait for more events, the window
    // calls ApplicationIdle, which runs QuickHelpAUpdate while the window is shown and enabled,
    // no modal window is open and no TIdleSuspend is alive, and then emits IdleUpdated.
    void ApplicationIdle();
    // Loops that keep the window responsive while they run (give-out, stop, waiting for a
    // station's reply) hold one of these: the state is applied again only after they end.
    class TIdleSuspend : public vxg::TIdleSuspend {
    public:
        explicit TIdleSuspend(TWorkF& w) : vxg::TIdleSuspend(*w.Idle) {}
    };
    vxg::TIdleHandler* Idle = nullptr;

    // ---- commands of the console
    void QuickHelpAExecute();
    void HelpClick();
    void AboutClick();
    void AboutVXGmClick();
    void QueListClick();
    void ExamwrightMClick();
    void Rus1Click();
    void Eng1Click();
    void ApplyMainLanguage();
    void PrintAExecute();
    void StopCiklesAExecute();
    void OptionsClick(); // WorkU_Options.cpp

    // ---- topic (WorkU_Topic.cpp)
    // Both return true when a question file was read (also through the dialog offered again
    // after a missing file) and false when the dialog was cancelled; a read error is thrown.
    bool OpenTopicClick(QObject* sender);
    // Closes the topic; while an archive is shown, the archive with it (CloseArhivClick).
    void CloseTopicClick();
    bool ReadTopic(const QString& path);
    // The title of an open topic: the program's title and the topic's file name.
    void ShowTopicTitle();
    QString OpenDialogFileName; // the file last chosen in the open dialog

    // ---- results archive (WorkU_Archive.cpp)
    void BindArchiveCommands(); // SaveResults, LoadArhiv, CloseArhiv and their buttons
    void SaveResultsBtnClick();
    void WriteArchive();
    void LoadResultsBtnClick();
    // The archive at path, read and checked whole: its header, its students and the parameter
    // set they are read with. Changes nothing in the window; throws vxg::Error naming what is
    // wrong and where.
    struct TArchiveRead {
        TSavingData Header;
        TNet Students;
        TTestOptions Options;
        QString SetName; // the set actually read: line 2, or "Default" in its place
    };
    TArchiveRead ReadArchive(const QString& path);
    void CloseArhivClick();
    // Exit, the close box, new testing: true when the results may go (they are saved, or the
    // teacher said Yes; Enter says No).
    bool ConfirmLeaveWithResults();
    bool ConfirmNewTesting();
    // The results changed since the last save (a testing in progress always has).
    bool ResultsUnsaved() const;
    // After a language switch or new parameters, in any state: the grades and marks on screen
    // are shown again from Students.
    void ShowResultsAgain();
    TSavingData ArhData;
    QString ArchiveFileName; // the archive shown in ArhIsOpen
    // The students as the last save of this testing wrote them; none before its first save.
    std::optional<TNet> SavedResults;
    // The students of the table in the selector and the grid's name column (after ClearResults).
    void ShowRegisteredStudents();

    // ---- results grid and card view (WorkU_Grid.cpp)
    void CreateResultsArea(); // creates StringGrid, Panel2 and Panel4 with their widgets
    void SetupGrid();
    void ShowStudentQue(const TQuestion& Question, const TCardAnswer& Answer, int Row);
    void FillGridFromArchive();
    void ClearQueView();
    void ClearResults();
    void StudentNameChange(QObject* sender);
    void StringGridClick();
    void PrevArhQueBtnClick();
    void NextArhQueBtnClick();
    void ApplyGridHeight(); // height := rows x default row height + 22, at most 345
    int CountAnsweredQues(int row) const;
    int CountRightAnswers(int row) const;
    // The shaping part of SetupGrid whatever the state (the archive load needs it in ArhIsOpen).
    void ShapeGrid();
    // Grade (column 1) and marks (columns 2..n+1) of one student in grid row `row`; a student
    // without a grade shows "0" when showNoGrade, else an empty cell.
    void ShowStudentResults(int row, const TClient& student, int n, bool showNoGrade);
    // Shows again the card question at ViewQueIndex of the student chosen in the selector, if
    // one is chosen (the live refresh after an answers message).
    void RefreshQueView();
    // Loads CurAnswer/CurQuestion for SelStudent and ViewQueIndex and shows them; when either
    // does not exist the card part of the view is left empty.
    void ShowViewQuestion();
    void UpdateQueStepCommands(); // PrevQueA/NextQueA from ViewQueIndex and the chosen card
    void BlankCardView();         // question, variants, position and counters emptied
    int ViewCardLength() const;   // positions the chosen student's card has on screen

    // ---- message link and student table (WorkU_Link.cpp)
    // Received messages wait in arrival order and are acted on one at a time on this thread,
    // from the first showing of the window on, also while a loop or a send of the window waits;
    // a stop that fell due, and a put-off command that can run, go before the next message.
    // The boxes they ask for wait apart and are shown one at a time when the window is free (no
    // loop or send running, no other modal window open), so an open box holds nothing up.
    void CreateLink();        // the receiver listens from the creation of the window
    void OpenMessageQueue();  // the window is shown: messages are acted on from now
    void ReportDeafLink();    // the window is shown: an error box when the port cannot be had
    void ShutdownLink();      // at exit, before the window goes: nothing more is received or sent
    quint16 LinkPort() const; // the port the receiver listens on (0: none)
    void MessageArrived();    // the receiver queued messages: they are acted on from the event loop
    void ProcessMessages();
    void NMMSGServ1MSG(const QString& sFrom, const QString& sMsg, const QString& peer);
    // Acts at once on every answers message received so far that no ready message of its sender
    // precedes, also on those still on their way from the receiver: before a grading.
    void ActOnReceivedAnswers();
    // Sends text to port studentPort of host; two bounded attempts; the window stays responsive.
    bool SendToStudent(const QString& host, const QString& text);
    // Registers name from address unless known or refused (refusals go to the status bar).
    // Returns the student's index, or -1 (also when he waits aside while an archive is shown).
    int AddStudent(const QString& name, const QString& address);
    // Removes name with his selector item and grid row; held back while a loop walks the table.
    void RemoveStudent(const QString& name);
    // Student k has results of this testing: a grade, or a card once the testing was stopped.
    // His station's leave message keeps him in the table.
    bool HasResults(int k) const;
    void DelClientMClick();
    TStudentTable Table{S};

    // While a give-out, warning, stop or grading loop or a send runs, the window is busy: the
    // commands that change the topic, the table, the state or the parameters are refused
    // (RefuseWhileBusy), or for the stop, the save and the archive commands put off until the
    // end (DeferWhileBusy); removals, boxes and a stop that falls due wait for the end too.
    class TBusy {
    public:
        explicit TBusy(TWorkF& w);
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TWorkF& w_;
        TIdleSuspend idle_;
    };
    bool Busy() const { return busy_ > 0; }
    // True (and a note in the status bar) when the window is busy: the caller does nothing.
    bool RefuseWhileBusy();
    // True when the window is busy: the command is noted in the status bar and runs once the
    // window is free, if it is still enabled then; the caller does nothing now.
    bool DeferWhileBusy(QAction* command, void (TWorkF::*run)());
    void NoteDeferred(); // the status bar says a command will run once the window is free

    // ---- cards, answers, timers and grading (WorkU_Testing.cpp)
    // The give-out command: refused while busy; false when a check refused it.
    bool GiveOutClick();
    // Cards for the students without one; returns one line per student who got none (the skipped
    // one aside), for the box after the loop.
    QStringList GiveOutCards();
    // Gives student k his card; false when he got none (skipped, too long, not delivered), with
    // the reason in *noCard (empty when skipped).
    bool GiveOutCard(int k, QString* noCard = nullptr);
    // The reactions to a station's answers and ready messages: once the stop grades, neither
    // changes anything.
    void StoreAnswers(const QString& name, const QString& text);
    void GradeStudent(int k);
    void StopClick();
    void StopCommand(); // the teacher's stop: put off while busy
    void GiveOutCommand() { GiveOutClick(); }
    // The stop that the time limit makes due: it runs as soon as no send is in flight. The
    // give-out and warning loops end early for it, and no further message is acted on first.
    void RequestStop();
    void NewAttClick();
    void Timer1Timer();
    void Timer2Timer();
    void WarnStudents(); // the one-minute warning: "Soon!!" to everyone, then the box
    // Elapsed testing time on the programs' scale (one minute is 60000 ms) from a monotonic clock.
    qint64 TestingElapsedMs() const;
    bool StopDone = false;    // the testing was stopped: it is stopped at most once
    bool WarningSent = false; // the one-minute warning went out in this testing
    bool StopPending = false; // a stop fell due and waits for the send in flight

    // ---- windows of the start-up
    TAboutVerirozaz* AboutBox = nullptr;
    TQueListF* QueListF = nullptr;
    TOptionsF* OptionsF = nullptr;
    TAboutVXG* AboutVXGBox = nullptr;

    // ---- menus and commands (each menu item with its tool button, enabled together)
    QMenu* N1 = nullptr;  // Topic
    QMenu* N3 = nullptr;  // Testing
    QMenu* N8 = nullptr;  // Archive
    QMenu* N2 = nullptr;  // Service
    QMenu* N10 = nullptr; // Language
    QMenu* N4 = nullptr;  // Help
    QAction* OpenTopic = nullptr;
    QAction* CloseTopic = nullptr;
    QAction* QueList = nullptr;
    QAction* ExamwrightM = nullptr;
    QAction* ExitM = nullptr;
    QAction* GiveOut = nullptr;
    QAction* Stop = nullptr;
    QAction* SaveResults = nullptr;
    QAction* NewAtt = nullptr;
    QAction* LoadArhiv = nullptr;
    QAction* CloseArhiv = nullptr;
    QAction* Options = nullptr;
    QAction* Eng1 = nullptr;
    QAction* Rus1 = nullptr;
    QAction* Help = nullptr;
    QAction* About = nullptr;
    QAction* AboutVXGm = nullptr;
    QActionGroup* LanguageGroup = nullptr; // Eng1, Rus1
    // actions of the ActionList
    QAction* QuickHelpA = nullptr;
    QAction* PrevQueA = nullptr;
    QAction* NextQueA = nullptr;
    QAction* PrintA = nullptr;
    QAction* DelStudA = nullptr;
    QAction* StopCiklesA = nullptr;
    // tool bars
    QToolBar* MainToolBar = nullptr;
    QToolBar* AttestationToolBar = nullptr;
    QToolButton* OpenTopicBtn = nullptr;
    QToolButton* CloseTopicBtn = nullptr;
    QToolButton* OptionsBtn = nullptr;
    QToolButton* LoadArhivBtn = nullptr;
    QToolButton* CloseArhivBtn = nullptr;
    QToolButton* QuickHelpBtn = nullptr;
    QToolButton* ExitBtn = nullptr;
    QToolButton* GiveOutBtn = nullptr;
    QToolButton* StopBtn = nullptr;
    QToolButton* SaveResultsBtn = nullptr;
    QToolButton* ToolButton2 = nullptr; // print results
    QToolButton* NewAttBtn = nullptr;

    // ---- results grid and card view (created by CreateResultsArea)
    TStringGrid* StringGrid = nullptr;
    QTableView* StringGridView = nullptr;
    QWidget* Panel2 = nullptr;
    QToolButton* PrevArhQueBtn = nullptr;
    QToolButton* NextArhQueBtn = nullptr;
    QComboBox* StudentName = nullptr;
    QLabel* PositionL = nullptr;
    QLabel* ReshCountL = nullptr;
    QLabel* RightsCountL = nullptr;
    QWidget* Panel4 = nullptr;
    QLabel* SamVoprLabel = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    int ViewQueIndex = 0;             // the card position the view shows (kept apart from QueIndex)
    bool SelectorHadNoChoice = false; // no student chosen when items were last added

    // ---- gauge, give-out panel, status bar, timers
    QWidget* Panel1 = nullptr;
    TPieGauge* Gauge1 = nullptr;
    QLabel* Label8 = nullptr;
    QWidget* GiveOutPanel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* ProgressLabel = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* VsegoLabel = nullptr;
    QProgressBar* GiveOutProgress = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    // Sets a command and its tool button (if any) together.
    static void SetCommandEnabled(QAction* item, QToolButton* button, bool enabled);

    QStatusBar* StatusBar = nullptr;

signals:
    // Emitted after each idle update of the commands (see ApplicationIdle).
    void IdleUpdated();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateClientArea();
    void CreateStatusBar();
    // Save results: the set line 2 names must give the archive its questions per card.
    bool NameArchiveSet(int questionsPerCard);
    void DropTopic(); // the topic closed: no questions, bare title, StatusQuo
    void BindCommands();
    void SetHelpContext(int context);
    void SetQuickHelpTopic(const QString& topic);
    void SwitchLanguage(quint16 offset);
    static void SetWidgetEnabled(QWidget* widget, bool enabled);

    int helpContext_ = 5;
    bool shownOnce_ = false;
    bool endRequested_ = false;
    // message link and testing (WorkU_Link.cpp, WorkU_Testing.cpp)
    void EndBusy();
    // Grades student k unless he has a grade or no card; the mark message goes to his station.
    void Grade(int k);
    // The student whose card send waits for its acknowledgement (-1: none), and whether his
    // station answered it meanwhile: it then plainly holds the card.
    int cardAwaitingAck_ = -1;
    bool cardAnswered_ = false;
    void PostMessageProcessing();
    // Runs work from the event loop once, however often it is asked for before then.
    void PostOnce(bool& posted, void (TWorkF::*work)());
    void SetStudentStatus();
    void ReplyLanguage(const QString& peer);
    // The replies held while a loop (the stop's included) went out: grades first, then the
    // language queries, each in the order they came; EndBusy posts them.
    void SendHeldReplies();
    void PostHeldReplies();
    bool heldRepliesPosted_ = false;
    QStringList heldLangQueries_;
    QSet<QString> heldLangPeers_;
    // Grades made while a send was in flight ("Ready!!" acted on within a give-out's send): sent
    // once the loop ends, not as a send within that send. At most one per student.
    struct THeldGrade {
        QString host;
        QString text;
    };
    QList<THeldGrade> heldGrades_;
    int sendsInFlight_ = 0;
    bool HeldRepliesWaiting() const { return !heldGrades_.isEmpty() || !heldLangQueries_.isEmpty(); }
    // A leave of a registered student, or of one waiting aside: his box, and his row goes
    // unless it holds results.
    void StudentLeft(const QString& name, const QString& peer);
    // Registrations wait aside while an archive is shown or the new-testing prompt is open.
    bool RegistersAside() const { return S.AttState == ArhIsOpen || newTestingAsked_; }
    bool newTestingAsked_ = false;
    // Commands put off while busy, then the boxes, each when the window is free.
    void QueueBox(vxg::link::TMsgKind kind, const QString& name, const QString& peer);
    bool WorkWaiting() const;
    // A stop fell due and has not run yet.
    bool StopDue() const;
    bool FreeForCommands() const;
    bool FreeForWaitingWork() const;
    // The stop, or a put-off command that could run now: it goes before the next message.
    bool WorkDueFirst() const;
    void PostWaitingWork();
    void DoWaitingWork();
    struct TDeferredCommand {
        QAction* command = nullptr;
        void (TWorkF::*run)() = nullptr;
    };
    void RunDeferred(const TDeferredCommand& deferred);
    std::unique_ptr<TMessageReceiver> receiver_;
    QObject* inbox_ = nullptr; // receives the receiver's wake-ups
    // Shared with the receiver's thread, which queues into it before acknowledging.
    std::shared_ptr<vxg::link::TMessageQueue> messages_;
    std::unique_ptr<vxg::link::TBoxQueue> boxes_;
    std::unique_ptr<vxg::link::TReplyThrottle> langReplies_;
    QElapsedTimer linkClock_;
    QList<TDeferredCommand> deferred_;
    QString statusBeforeNote_; // the status text that the note of a put-off command replaced
    bool messagesOpen_ = false;
    bool processing_ = false;
    bool pumpPosted_ = false;
    bool workPosted_ = false;
    bool workRunning_ = false;
    int busy_ = 0;
    QElapsedTimer testingClock_;
};
