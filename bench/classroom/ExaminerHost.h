#pragma once
// The examiner side of the benchmark: the real examiner window (offscreen) with its real link on
// the given ports, a topic of short questions open, driven through the control channel.
//
// What it counts, all on the window's side:
// - reg: a student added to the table (a selector item appended);
// - stored: an answers message stored (StoreAnswers refreshes the card view of the chosen
//   student, here the first one, whose first answer is always given: one variant is checked
//   anew per refresh);
// - final: a station whose last answers message of the run is stored (its last answer "4");
//   answers messages of a station that wait while a newer one arrives are replaced by it, so
//   "final" for every station means every answers message was acted on.
#include "ServerCore.h"

#include <QTemporaryDir>

#include <memory>

class TExaminer;
class TWorkF;

namespace bench {

class ExaminerHost : public ServerCore {
    Q_OBJECT
public:
    // backlog: the receiver's listen queue; 0 keeps the program's own.
    ExaminerHost(quint16 port, quint16 stationPort, int questions, int backlog = 0,
                 QObject* parent = nullptr);
    ~ExaminerHost() override;
    bool listening(QString* error) const;

protected:
    void giveOut() override;
    void stop() override;
    void quit() override;

private:
    void watchStores();
    void storeSeen();
    void stopWhenIdle(qint64 giveUpNs);

    QTemporaryDir programDir_;
    std::unique_ptr<TExaminer> examiner_;
    TWorkF* w_ = nullptr;
    int finalCursor_ = 0;
};

} // namespace bench
