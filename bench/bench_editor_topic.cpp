// Load and save of a 10,000-question topic through the editor's own LoadTopic and SaveTopic,
// and a paste and a cut of 10,000 whole questions through its Paste and Cut commands (the copy
// dialog answered as soon as it shows), in a real topic window of the real main window
// (offscreen). Prints the times of each run and the median; ends with code 1 when a median is
// 200 ms or more.
#include "CopyDlgU.h"
#include "Exwr_MDI.h"
#include "Globals.h"
#include "QuestionFile.h"
#include "TopicU.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
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

// Answers the copy dialog, as soon as it shows, with the questions first..last.
void chooseRange(TCopyDlg& dlg, int first, int last) {
    QTimer::singleShot(0, &dlg, [&dlg, first, last] {
        dlg.RangeQuesRB->click();
        dlg.BeginSpin->setValue(first);
        dlg.EndSpin->setValue(last);
        dlg.OkBtn->click();
    });
}

double msSince(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
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
    TCopyDlg copyDlg(&main);
    main.SetWindows(&copyDlg, nullptr, nullptr, nullptr);
    std::vector<double> loads;
    std::vector<double> saves;
    std::vector<double> pastes;
    std::vector<double> cuts;
    for (int run = 0; run < kRuns; ++run) {
        TTopicF topic(&main);
        QElapsedTimer timer;
        timer.start();
        const QString error = topic.LoadTopic(path);
        loads.push_back(msSince(timer));
        if (!error.isEmpty() || topic.Topic.Questions.size() != kQuestions) {
            std::printf("load failed: %s\n", qPrintable(error));
            return 2;
        }
        topic.Topic.Modified = true;
        timer.restart();
        const bool saved = topic.SaveTopic();
        saves.push_back(msSince(timer));
        if (!saved) {
            std::printf("save failed\n");
            return 2;
        }

        // The whole topic pasted before its first question, then cut again.
        chooseRange(copyDlg, 1, kQuestions);
        topic.CopyQuesMClick();
        timer.restart();
        topic.PasteQuesMClick();
        pastes.push_back(msSince(timer));
        chooseRange(copyDlg, 1, kQuestions);
        timer.restart();
        topic.CutQuesMClick();
        cuts.push_back(msSince(timer));
        if (QuesBuffer.size() != kQuestions || topic.Topic.Questions.size() != kQuestions) {
            std::printf("cut or paste failed\n");
            return 2;
        }
        std::printf(
            "run %d: LoadTopic %.1f ms, SaveTopic %.1f ms, Cut 10,000 %.1f ms, Paste 10,000 %.1f ms\n",
            run + 1, loads.back(), saves.back(), cuts.back(), pastes.back());
    }
    const std::vector<double> medians{median(loads), median(saves), median(cuts), median(pastes)};
    std::printf("median: LoadTopic %.1f ms, SaveTopic %.1f ms, Cut 10,000 %.1f ms, Paste 10,000 %.1f ms "
                "(limit %.0f ms each)\n",
                medians[0], medians[1], medians[2], medians[3], kLimitMs);
    return std::all_of(medians.begin(), medians.end(), [](double m) { return m < kLimitMs; }) ? 0 : 1;
}
