// Saving the results of a testing as an archive, opening an archive and closing it again;
// the exit prompt for results not saved, and the results shown again after a language switch.
#include "WorkU.h"

#include "AtomicFile.h"
#include "BusyCursor.h"
#include "Captions.h"
#include "Dialogs.h"
#include "Error.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "MyFileUtils.h"
#include "OptionSetStore.h"
#include "OptionsLayout.h"
#include "OptionsU.h"
#include "StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kNotOpenedId = 160;
constexpr int kTooLargeId = 166;
constexpr int kUnreadableId = 167;
constexpr int kSetUnreadableId = 168;
constexpr int kSetOutOfRangeId = 169;
constexpr int kNoTopicChosenId = 170;
constexpr int kTopicUnreadableId = 171;
constexpr int kNotSavedId = 172;
constexpr int kOverTopicId = 173;
constexpr int kLeaveUnsavedId = 174;
constexpr int kSetOtherCardId = 176;
constexpr int kNewUnsavedId = 177;
constexpr int kNotKeptId = 179;
constexpr int kTopicPathNotKeptId = 183;
constexpr int kSetNameNotKeptId = 184;

const QString kArchiveFilter =
    QStringLiteral("VXG Questions Files (*.vxg)|*.vxg|Text Files (*.txt)|*.txt|VXG "
                   "Archive Files (*.arh)|*.arh|All Files (*.*)|*.*");
constexpr int kArchiveFilterIndex = 3;
const QString kArchiveSuffix = QStringLiteral("arh");

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

vxg::FileDialogRequest ArchiveDialogRequest(const QString& title, const QString& initialDir) {
    vxg::FileDialogRequest request;
    request.title = title;
    request.fileName = lang(134);
    request.initialDir = initialDir;
    request.filter = kArchiveFilter;
    request.filterIndex = kArchiveFilterIndex;
    request.defaultSuffix = kArchiveSuffix;
    request.mustExist = false;
    return request;
}

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

int QuestionsPerCard(const TExaminerState& s) {
    return std::clamp(s.ActiveOptions.GivenVopr, 0, ResultsArchive::kMaxQuestionsPerCard);
}

// The set an archive naming setName is opened with: the one stored under the name as the file
// keeps it, else "Default"; questionsPerCard 0 when neither can be read, since such an archive
// does not open.
struct TSetOnOpening {
    QString name;
    int questionsPerCard = 0;
};

TSetOnOpening SetOnOpening(const QString& setName) {
    const OptionSetStore store;
    TTestOptions options;
    TSetOnOpening set{ResultsArchive::AsWritten(setName)};
    try {
        if (!store.load(set.name, options)) {
            set.name = kDefaultSetName;
            if (!store.load(set.name, options))
                return set;
        }
    } catch (const vxg::Error&) {
        return set;
    }
    set.questionsPerCard = options.GivenVopr;
    return set;
}

// Why an archive naming setName would not open with n questions per card; empty when it would.
QString SetRefusal(const QString& setName, int n) {
    const TSetOnOpening set = SetOnOpening(setName);
    return set.questionsPerCard == n ? QString()
                                     : lang(kSetOtherCardId).arg(set.name).arg(set.questionsPerCard).arg(n);
}

// The texts the file cannot keep as they are, each with what that means when it is opened.
QStringList TextsNotKept(const QString& topicPath, const QString& setName) {
    QStringList out;
    const QString path = ResultsArchive::AsWritten(topicPath);
    if (path != topicPath)
        out << lang(kTopicPathNotKeptId).arg(Shown(topicPath), Shown(path));
    const QString name = ResultsArchive::AsWritten(setName);
    if (name != setName)
        out << lang(kSetNameNotKeptId).arg(setName, name);
    return out;
}

// What a save keeps of the testing: every student's name, grade and answers.
bool SameResults(const TNet& a, const TNet& b) {
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const TClient& x, const TClient& y) {
        return x.Name == y.Name && x.Mark == y.Mark && x.Answers == y.Answers;
    });
}

void ShowArchiveTitle(TWorkF& w) {
    w.setWindowTitle(AsWindowTitle(w.S.BaseCaption + QStringLiteral(" - ") + lang(136) +
                                   QStringLiteral(": ") + QFileInfo(w.ArchiveFileName).fileName()));
    w.StatusPanel0->setText(lang(136) + QStringLiteral("..."));
}

// What loading the question file may change (the open-topic command runs when the file has
// moved), to be put back when the archive is not opened after all.
class TopicSnapshot {
public:
    explicit TopicSnapshot(TWorkF& w)
        : w_(w), questions_(w.S.TopicQuestions), queIndex_(w.S.QueIndex), dialogName_(w.OpenDialogFileName),
          state_(w.S.AttState), title_(w.windowTitle()), status0_(w.StatusPanel0->text()) {}

    void Restore() {
        w_.S.TopicQuestions = questions_;
        w_.S.QueIndex = queIndex_;
        w_.OpenDialogFileName = dialogName_;
        w_.S.AttState = state_;
        w_.setWindowTitle(title_);
        w_.StatusPanel0->setText(status0_);
    }

private:
    TWorkF& w_;
    TWorkQues questions_;
    qint32 queIndex_;
    QString dialogName_;
    quint8 state_;
    QString title_;
    QString status0_;
};

} // namespace

void TWorkF::BindArchiveCommands() {
    connect(SaveResults, &QAction::triggered, this, vxg::Guarded([this](bool) { SaveResultsBtnClick(); }));
    connect(SaveResultsBtn, &QToolButton::clicked, this,
            vxg::Guarded([this](bool) { SaveResultsBtnClick(); }));
    connect(LoadArhiv, &QAction::triggered, this, vxg::Guarded([this](bool) { LoadResultsBtnClick(); }));
    connect(LoadArhivBtn, &QToolButton::clicked, this, vxg::Guarded([this](bool) { LoadResultsBtnClick(); }));
    connect(CloseArhiv, &QAction::triggered, this, vxg::Guarded([this](bool) { CloseArhivClick(); }));
    connect(CloseArhivBtn, &QToolButton::clicked, this, vxg::Guarded([this](bool) { CloseArhivClick(); }));
}

// ---------------------------------------------------------------------------------------------
// Saving.

void TWorkF::SaveResultsBtnClick() {
    if (DeferWhileBusy(SaveResults, &TWorkF::SaveResultsBtnClick))
        return;
    {
        vxg::BusyCursor busy;
        S.WorkDir = ReadLastDir(1);
    }
    WriteArchive();
}

void TWorkF::WriteArchive() {
    const vxg::FileDialogRequest request =
        ArchiveDialogRequest(lang(133), S.WorkDir.isEmpty() ? WithoutTrailingSlash(S.ProgramDir) : S.WorkDir);
    const std::optional<QString> chosen = vxg::Dialogs::instance().saveFile(request, this);
    if (!chosen)
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + kArchiveSuffix;
    // The question file named on line 1 stays what it is.
    if (SameFile(path, OpenDialogFileName))
        throw vxg::Error(lang(kOverTopicId).arg(Shown(OpenDialogFileName)));

    // Line 2 names the set the archive is opened with, which gives the number of pieces read
    // from every answer line.
    const int n = QuestionsPerCard(S);
    if (S.OptionsName == kNoNameSetName || !SetRefusal(S.OptionsName, n).isEmpty()) {
        vxg::ShowMessage(vxg::DlgKind::Warning, lang(122), vxg::DlgButtons::Ok, this);
        if (OptionsF && !NameArchiveSet(n))
            return;
    }

    ArhData = TSavingData{};
    ArhData.TopicPath = OpenDialogFileName;
    const QByteArray bytes = ResultsArchive::Write(OpenDialogFileName, S.OptionsName, S.Students, n);
    // Written beside and renamed over the old file: a failed save leaves the old one whole.
    const vxg::FileWriteResult written = vxg::WriteFileAtomically(path, bytes);
    if (!written.ok())
        throw vxg::Error(lang(kNotSavedId).arg(Shown(path), written.error));
    SavedResults = S.Students;

    // The idle update enables the command again in AttIsFinished.
    SetCommandEnabled(SaveResults, SaveResultsBtn, false);
    S.WorkDir = QFileInfo(path).absolutePath();
    WriteLastDir(S.WorkDir, 1);

    const QStringList notKept = TextsNotKept(OpenDialogFileName, S.OptionsName);
    if (!notKept.isEmpty())
        vxg::ShowMessage(vxg::DlgKind::Warning,
                         lang(kNotKeptId).arg(Shown(path)) + QStringLiteral("\n\n") +
                             notKept.join(QStringLiteral("\n\n")),
                         vxg::DlgButtons::Ok, this);
}

bool TWorkF::NameArchiveSet(int questionsPerCard) {
    // The dialog shows the parameters the results were made with, so that a set saved there is
    // that one; its result does not change the parameters in force. A set that would open the
    // archive with another number of questions per card is refused there.
    S.EditOptions = S.ActiveOptions;
    OptionsF->OkRefusal = [questionsPerCard](const QString& name) {
        return SetRefusal(name, questionsPerCard);
    };
    const bool accepted = OptionsF->exec() == QDialog::Accepted;
    OptionsF->OkRefusal = nullptr;
    StatusPanel1->setText(lang(46) + S.OptionsName);
    // Cancelled: the save goes on only with a set that fits.
    return accepted || SetRefusal(S.OptionsName, questionsPerCard).isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Opening.

TWorkF::TArchiveRead TWorkF::ReadArchive(const QString& path) {
    auto failure = [&path](const QString& what) {
        return vxg::Error(lang(kNotOpenedId).arg(Shown(path), what));
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw failure(lang(kUnreadableId).arg(file.errorString()));
    if (file.size() > ResultsArchive::kMaxFileSize)
        throw failure(lang(kTooLargeId).arg(ResultsArchive::kMaxFileSize / (1024 * 1024)));
    const QByteArray bytes = file.read(ResultsArchive::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw failure(lang(kUnreadableId).arg(file.errorString()));
    file.close();

    auto parse = [&]() {
        try {
            return ResultsArchive::Parse(bytes);
        } catch (const vxg::Error& e) {
            throw failure(e.text());
        }
    };
    const ResultsArchive archive = parse();

    TArchiveRead read;
    read.Header = archive.Header();

    // The set is read as the parameters dialog loads one (a missing set is reported there),
    // but into a copy: the dialog's working copy stays until the archive is opened.
    auto loadSet = [&](const QString& name) {
        const TTestOptions before = S.EditOptions;
        bool loaded = false;
        try {
            if (OptionsF) {
                loaded = OptionsF->LoadOptionSet(name);
            } else {
                loaded = OptionSetStore().load(name, S.EditOptions);
                if (!loaded)
                    vxg::ShowMessage(vxg::DlgKind::Error, lang(116), vxg::DlgButtons::Ok, this);
            }
        } catch (const vxg::Error& e) {
            S.EditOptions = before;
            throw failure(lang(kSetUnreadableId).arg(name, e.text()));
        }
        read.Options = S.EditOptions;
        S.EditOptions = before;
        return loaded;
    };
    // An empty line 2 names no set: it reads as a missing one.
    read.SetName = read.Header.OptionsSetName;
    if (!loadSet(read.SetName)) {
        read.SetName = kDefaultSetName;
        if (!loadSet(read.SetName))
            throw failure(lang(kSetUnreadableId).arg(read.SetName, lang(116)));
    }

    const int n = read.Options.GivenVopr;
    if (n < 1 || n > ResultsArchive::kMaxQuestionsPerCard)
        throw failure(lang(kSetOutOfRangeId).arg(read.SetName).arg(n));
    try {
        read.Students = archive.Students(n);
    } catch (const vxg::Error& e) {
        throw failure(e.text());
    }
    return read;
}

void TWorkF::LoadResultsBtnClick() {
    if (DeferWhileBusy(LoadArhiv, &TWorkF::LoadResultsBtnClick))
        return;
    const QString lastDir = ReadLastDir(1);
    const vxg::FileDialogRequest request =
        ArchiveDialogRequest(lang(135), lastDir.isEmpty() ? WithoutTrailingSlash(S.ProgramDir) : lastDir);
    const std::optional<QString> chosen = vxg::Dialogs::instance().openFile(request, this);
    if (!chosen)
        return;
    const QString path = *chosen;

    // Everything is read and checked before anything on screen changes.
    TArchiveRead read = ReadArchive(path);
    // Read before the topic: when it has moved, the open-topic command it runs enters Ready.
    const bool archiveShown = S.AttState == ArhIsOpen;

    // The question file named on line 1, or the one the teacher picks in its place when it has
    // moved. A cancelled pick or an unreadable file leaves the loaded topic as it was.
    const QString topicPath = read.Header.TopicPath;
    const bool topicWhereNamed = QFileInfo(topicPath).isFile();
    TopicSnapshot before(*this);
    bool topicRead = false;
    try {
        topicRead = ReadTopic(topicPath);
    } catch (const vxg::Error& e) {
        before.Restore();
        throw vxg::Error(
            lang(kNotOpenedId).arg(Shown(path), lang(kTopicUnreadableId).arg(Shown(topicPath), e.text())));
    } catch (...) {
        before.Restore();
        throw;
    }
    if (!topicRead) {
        before.Restore();
        throw vxg::Error(lang(kNotOpenedId).arg(Shown(path), lang(kNoTopicChosenId).arg(Shown(topicPath))));
    }
    const QString loadedTopic = topicWhereNamed ? topicPath : OpenDialogFileName;

    ClearResults();
    ArhData = read.Header;
    if (!archiveShown)
        Table.PutAside();
    Table.Assign(read.Students);
    S.EditOptions = read.Options;
    S.ActiveOptions = read.Options;
    // The name in force is that of the set actually read, so the exit stores it rightly.
    S.OptionsName = read.SetName;
    StatusPanel1->setText(lang(46) + read.SetName);
    OpenDialogFileName = loadedTopic;

    ShapeGrid(); // SetupGrid leaves the grid alone in ArhIsOpen
    FillGridFromArchive();
    S.AttState = ArhIsOpen;
    ArchiveFileName = path;
    ShowArchiveTitle(*this);
    StudentName->setPlaceholderText(lang(51));
    WriteLastDir(QFileInfo(path).absolutePath(), 1);
}

// ---------------------------------------------------------------------------------------------
// Closing.

void TWorkF::CloseArhivClick() {
    if (DeferWhileBusy(CloseArhiv, &TWorkF::CloseArhivClick))
        return;
    Table.Assign(Table.TakeAside());
    // Cleared before the topic is closed, so that the status bar ends with "Open the topic".
    ClearResults();
    ShowRegisteredStudents();
    DropTopic();
    ArhData = TSavingData{};
    ArchiveFileName.clear();
}

void TWorkF::ShowRegisteredStudents() {
    const int count = static_cast<int>(S.Students.size());
    StringGrid->SetRowCount(count > 0 ? count + 1 : 2);
    for (int k = 0; k < count; ++k) {
        StringGrid->SetCell(0, k + 1, S.Students.at(k).Name);
        StudentName->addItem(S.Students.at(k).Name);
    }
    StudentName->setMaxVisibleItems(std::max(1, count));
    ApplyGridHeight();
}

// ---------------------------------------------------------------------------------------------
// Results kept: the exit prompt and the language switch.

bool TWorkF::ResultsUnsaved() const {
    if (S.AttState == AttInProcess)
        return true;
    return S.AttState == AttIsFinished && !S.Students.isEmpty() &&
           !(SavedResults && SameResults(S.Students, *SavedResults));
}

namespace {

// Yes lets the unsaved results go; Enter keeps them.
bool ConfirmDropResults(TWorkF& w, int questionId) {
    return !w.ResultsUnsaved() ||
           vxg::ShowMessage(vxg::DlgKind::Confirmation, lang(questionId), vxg::DlgButtons::YesNo,
                            vxg::DlgResult::No, &w) == vxg::DlgResult::Yes;
}

} // namespace

bool TWorkF::ConfirmLeaveWithResults() {
    return ConfirmDropResults(*this, kLeaveUnsavedId);
}

bool TWorkF::ConfirmNewTesting() {
    return ConfirmDropResults(*this, kNewUnsavedId);
}

void TWorkF::ShowResultsAgain() {
    // In every state: a set-up in Ready empties the marks, and cards may already be out then
    // (the first give-out waiting on a slow station). Grading counts the grid's marks.
    const bool archive = S.AttState == ArhIsOpen;
    if (archive) {
        ShapeGrid(); // relabels; SetupGrid leaves an archive alone
        ShowArchiveTitle(*this);
    }
    const int n = QuestionsPerCard(S);
    const int rows = static_cast<int>(std::min<qsizetype>(S.Students.size(), StringGrid->RowCount() - 1));
    for (int r = 1; r <= rows; ++r) {
        // A live testing shows no grade for a student without one; an archive shows "0".
        ShowStudentResults(r, S.Students.at(r - 1), n, archive);
    }
    if (StudentName->currentIndex() == -1)
        StudentName->setPlaceholderText(StudentName->placeholderText().isEmpty() ? QString() : lang(51));
    else
        RefreshQueView();
}
