// The examiner and the editor running at once on one settings file: when both leave together,
// each keeps what it wrote (the editor's LastDir and LangN, the examiner's LangN and "Last").
#include "OptionsLayout.h"
#include "Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kStartMs = 20000;

std::unique_ptr<QProcess> startHelper(const QString& name, const QStringList& args) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QDir(QCoreApplication::applicationDirPath()).filePath(name), args);
    return p;
}

bool waitReady(QProcess& p) {
    return QTest::qWaitFor([&p] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, kStartMs) &&
           p.readLine().startsWith("ready");
}

TEST(TwoProgramsTest, EachKeepsWhatItWroteWhenBothLeaveTogether) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir base(root.path());
    ASSERT_TRUE(base.mkpath("examiner/VXG Student"));
    ASSERT_TRUE(base.mkpath("topics"));
    QFile address(base.filePath("examiner/VXG Student/1.nna"));
    ASSERT_TRUE(address.open(QIODevice::WriteOnly));
    address.write(QByteArray(16, '\0'));
    address.close();
    QFile::remove(vxg::Registry::defaultFilePath());

    for (int round = 1; round <= 3; ++round) {
        const QString setName = QStringLiteral("Set %1").arg(round);
        auto examiner = startHelper("vxg_settings_examiner", {base.filePath("examiner"), setName});
        auto editor = startHelper("vxg_settings_editor", {base.filePath("topics")});
        ASSERT_TRUE(waitReady(*examiner)) << "round " << round;
        ASSERT_TRUE(waitReady(*editor)) << "round " << round;

        // Both are told to leave at the same moment.
        examiner->write("quit\n");
        editor->write("quit\n");
        ASSERT_TRUE(examiner->waitForFinished(kStartMs));
        ASSERT_TRUE(editor->waitForFinished(kStartMs));
        EXPECT_EQ(examiner->exitCode(), 0);
        EXPECT_EQ(editor->exitCode(), 0);

        const vxg::Registry reg;
        EXPECT_EQ(reg.readInteger(kEditorKey, "LangN"), 0) << "round " << round;
        EXPECT_EQ(reg.readString(kEditorKey, "LastDir"), base.filePath("topics")) << "round " << round;
        EXPECT_EQ(reg.readInteger(kExaminerKey, "LangN"), 200) << "round " << round;
        const QString last = OptionSetKey(kLastSetName);
        EXPECT_EQ(reg.readString(last, "LastName"), setName) << "round " << round;
        EXPECT_EQ(reg.readInteger(last, "GivenVopr"), 17) << "round " << round;
        EXPECT_FALSE(QFile::exists(base.filePath("topics/Тема.vxg"))) << "the topic was left unsaved";
    }
}

} // namespace
