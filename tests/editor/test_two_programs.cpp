// The examiner and the editor running at once on one settings file: when both leave together,
// each keeps what it wrote. The editor runs in this process, the examiner in a helper process.
#include "editor_fixture.h"

#include "PeerLink.h"

namespace {

using TwoProgramsTest = EditorTest;

TEST_F(TwoProgramsTest, EachKeepsWhatItWroteWhenBothLeaveTogether) {
    const QDir base(dir.path());
    ASSERT_TRUE(base.mkpath("examiner/VXG Student"));
    WriteRawFile(base.filePath("examiner/VXG Student/1.nna"), QByteArray(16, '\0'));
    for (int round = 1; round <= 3; ++round) {
        const QString setName = QStringLiteral("Set %1").arg(round);
        Peer examiner("vxg_peer_examiner", {base.filePath("examiner"), setName});
        ASSERT_TRUE(examiner.ready()) << round;
        TMDIForm& m = start();
        m.Rus1->trigger();
        newTopic("Тема.vxg");
        // Both leave at the same moment; the editor's topic is not saved.
        examiner.order("quit");
        dialogs->answerNext(vxg::DlgResult::No);
        m.FileExit1->trigger();
        m.FormDestroy();
        ASSERT_TRUE(examiner.ended()) << round;

        const vxg::Registry reg;
        EXPECT_EQ(reg.readInteger(kEditorKey, "LangN"), 0) << round;
        EXPECT_EQ(reg.readString(kEditorKey, "LastDir"), dir.path()) << round;
        EXPECT_EQ(reg.readInteger(kExaminerKey, "LangN"), 200) << round;
        EXPECT_EQ(reg.readString(OptionSetKey(kLastSetName), "LastName"), setName) << round;
        EXPECT_EQ(reg.readInteger(OptionSetKey(kLastSetName), "GivenVopr"), 17) << round;
        EXPECT_FALSE(QFile::exists(path("Тема.vxg")));
        editor.reset();
    }
}

} // namespace
