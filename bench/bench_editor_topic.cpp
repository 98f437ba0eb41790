// Load and save of a 10,000-question topic through the editor's own LoadTopic and SaveTopic,
// in a real topic window of the real main window (offscreen). Prints the times of each run and
// the median; ends with code 1 when a median is 200 ms or more.
#include "Exwr_MDI.h"
#include "Globals.h"
#include "QuestionFile.h"
#include "TopicU.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kQuestions = 10000;
constexpr int kRuns = 7;
constexpr double kLimitMs = 200.0;

TWorkQues makeTopic() {
    TWorkQues topic;
    topic.reserve(kQuestions);
    const QString cyr = QStringLiteral("Съешь же ещё этих мягких французских булок, да выпей чаю. ");
    for (int n = 1; n <= kQuestions; ++n) {
        TQuestion q;
        q.QuestionText = (QString::number(n) + u' ' + cyr.repeated(4)).left(255);
        q.Answer1 = cyr + QString::number(n);
        q.Answer2 = QStringLiteral("Answer two of %1").arg(n);
        q.Answer3 = cyr.left(30);
        q.Answer4 = cyr.repeated(5).left(255);
        q.RightAnswer = QString::number(n % 4 + 1);
        topic.append(q);
    }
    return topic;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    // The bench's own settings, never the user's.
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    QApplication app(argc, argv);

    const QString path = dir.filePath("big.vxg");
    WriteQuestionFile(path, makeTopic());
    std::printf("topic: %d questions, %lld bytes\n", kQuestions, static_cast<long long>(QFile(path).size()));

    TMDIForm main;
    std::vector<double> loads;
    std::vector<double> saves;
    for (int run = 0; run < kRuns; ++run) {
        TTopicF topic(&main);
        QElapsedTimer timer;
        timer.start();
        const QString error = topic.LoadTopic(path);
        loads.push_back(timer.nsecsElapsed() / 1e6);
        if (!error.isEmpty() || topic.Topic.Questions.size() != kQuestions) {
            std::printf("load failed: %s\n", qPrintable(error));
            return 2;
        }
        topic.Topic.Modified = true;
        timer.restart();
        const bool saved = topic.SaveTopic();
        saves.push_back(timer.nsecsElapsed() / 1e6);
        if (!saved) {
            std::printf("save failed\n");
            return 2;
        }
        std::printf("run %d: LoadTopic %.1f ms, SaveTopic %.1f ms\n", run + 1, loads.back(), saves.back());
    }
    const double load = median(loads);
    const double save = median(saves);
    std::printf("median: LoadTopic %.1f ms, SaveTopic %.1f ms (limit %.0f ms each)\n", load, save, kLimitMs);
    return load < kLimitMs && save < kLimitMs ? 0 : 1;
}
