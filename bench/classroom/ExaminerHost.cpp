#include "ExaminerHost.h"

#include "Classroom.h"
#include "Dialogs.h"
#include "ExaminerApp.h"
#include "QuestionFile.h"
#include "WorkU.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

namespace bench {

namespace {

// Every box is answered at once (OK, Yes) and its text goes to standard error; the open dialog
// gives the benchmark's topic.
class AutoDialogs : public vxg::Dialogs {
public:
    explicit AutoDialogs(QString topic) : topic_(std::move(topic)) {}
    vxg::DlgResult message(vxg::DlgKind, const QString& text, vxg::DlgButtons buttons, QWidget*) override {
        std::fprintf(stderr, "examiner box: %s\n", qPrintable(QString(text).replace(u'\n', u' ')));
        return buttons == vxg::DlgButtons::Ok ? vxg::DlgResult::Ok : vxg::DlgResult::Yes;
    }
    std::optional<QString> openFile(const vxg::FileDialogRequest&, QWidget*) override { return topic_; }
    std::optional<QString> saveFile(const vxg::FileDialogRequest&, QWidget*) override { return std::nullopt; }

private:
    QString topic_;
};

} // namespace

ExaminerHost::ExaminerHost(quint16 port, quint16 stationPort, int questions, int backlog, QObject* parent)
    : ServerCore(parent) {
    // An adapted program folder: the examiner starts normally instead of writing its address file.
    const QString students = programDir_.filePath(QStringLiteral("VXG Student"));
    QDir().mkpath(students);
    QFile address(students + QStringLiteral("/1.nna"));
    if (address.open(QIODevice::WriteOnly))
        address.write(QByteArray("\x7f\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    address.close();
    const QString topic = programDir_.filePath(QStringLiteral("classroom.vxg"));
    WriteQuestionFile(topic, BenchTopic(questions + questions / 5));
    vxg::Dialogs::install(std::make_unique<AutoDialogs>(topic));

    TLinkConfig link;
    link.listenPort = port;
    link.studentPort = stationPort;
    if (backlog > 0)
        link.listenBacklog = backlog;
    examiner_ = std::make_unique<TExaminer>(programDir_.path(), link);
    w_ = examiner_->WorkF();
    w_->show();
    w_->OpenTopicClick(nullptr);
    TTestOptions& options = examiner_->State.ActiveOptions;
    options = FactoryTestOptions();
    options.GivenVopr = questions;
    options.RandomGiveOut = true;
    options.TimeBool = true; // the timers run as in a timed testing; the limit is never reached
    options.MaxTime = 90;
    w_->SetupGrid();

    connect(w_->StudentName->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int i = first; i <= last; ++i)
                    count(QStringLiteral("reg"));
            });
}

ExaminerHost::~ExaminerHost() {
    examiner_.reset();
    vxg::Dialogs::install(nullptr);
}

bool ExaminerHost::listening(QString* error) const {
    *error = QStringLiteral("the examiner's receiver did not start");
    return w_ && w_->LinkPort() != 0;
}

void ExaminerHost::giveOut() {
    const qint64 start = NowNs();
    w_->GiveOutClick();
    const qint64 end = NowNs();
    int cards = 0;
    for (const TClient& c : examiner_->State.Students)
        cards += c.CardSent;
    Reply(QStringLiteral("gaveout %1 %2 %3").arg(start).arg(end).arg(cards));
    watchStores();
}

void ExaminerHost::watchStores() {
    // The teacher looks at the card of the first station's student (who registered first depends
    // on arrival): every stored answers message redraws it.
    const int first = w_->StudentName->findText(QString::fromLatin1(StationName(0)));
    if (first < 0)
        return;
    w_->StudentName->setCurrentIndex(first);
    w_->StudentNameChange(w_->StudentName);
    for (QRadioButton* b : {w_->RadioButton1, w_->RadioButton2, w_->RadioButton3, w_->RadioButton4})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                storeSeen();
        });
}

void ExaminerHost::storeSeen() {
    count(QStringLiteral("stored"));
    const TNet& students = examiner_->State.Students;
    while (finalCursor_ < students.size() && !students.at(finalCursor_).Answers.isEmpty() &&
           students.at(finalCursor_).Answers.last().Given == QLatin1String("4")) {
        ++finalCursor_;
        count(QStringLiteral("final"));
    }
}

void ExaminerHost::stop() {
    stopWhenIdle(NowNs() + 10'000'000'000LL);
}

void ExaminerHost::stopWhenIdle(qint64 giveUpNs) {
    // The teacher presses F3 when the window is not busy sending (a grade may still be on its way
    // to the last ready station): the stop command is refused while a send waits. This command
    // may itself have come in during such a send's wait, so it waits by returning to the loop.
    if (w_->Busy() && NowNs() < giveUpNs) {
        QTimer::singleShot(5, this, [this, giveUpNs] { stopWhenIdle(giveUpNs); });
        return;
    }
    const qint64 start = NowNs();
    w_->StopCommand();
    Reply(QStringLiteral("stopped %1 %2").arg(start).arg(NowNs()));
}

void ExaminerHost::quit() {
    QCoreApplication::quit();
}

} // namespace bench
