#include "DeepSettingsFile.h"
#include "Error.h"
#include "ErrorText.h"
#include "FileSizeLimit.h"
#include "Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using vxg::Registry;
using vxg::RegValue;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class RegistryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Brelkano/VXG.reg"));
    Registry reg{path};
};

const QString kSets = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options");

// Opens the path for writing without waiting, which lets a reader blocked in its open go on.
void FileDescriptorOpenedForWriting(const QString& path) {
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        close(fd);
}

} // namespace

TEST(RegistryPath, DefaultFileLiesInTheUsersConfigFolder) {
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Brelkano/VXG.reg");
    EXPECT_EQ(Registry::defaultFilePath(), expected);
    EXPECT_EQ(Registry().filePath(), expected);
}

TEST_F(RegistryTest, TypedValuesSurviveInAFreshReader) {
    const QString odd =
        QStringLiteral("quote \" backslash \\ newline \n tab \t cr \r bell \a end; [x] =%41 Ёжик ✓");
    reg.writeInteger(kSets + "\\Default", "GivenVopr", 10);
    reg.writeInteger(kSets + "\\Default", "Min", INT_MIN);
    reg.writeInteger(kSets + "\\Default", "Max", INT_MAX);
    reg.writeInteger(kSets + "\\Default", "Minus", -1);
    reg.writeString(kSets + "\\Last", "LastName", odd);
    reg.writeString(kSets + "\\Last", "Empty", QString());

    const Registry other(path);
    EXPECT_EQ(other.readInteger(kSets + "\\Default", "GivenVopr"), 10);
    EXPECT_EQ(other.readInteger(kSets + "\\Default", "Min"), INT_MIN);
    EXPECT_EQ(other.readInteger(kSets + "\\Default", "Max"), INT_MAX);
    EXPECT_EQ(other.readInteger(kSets + "\\Default", "Minus"), -1);
    EXPECT_EQ(other.readString(kSets + "\\Last", "LastName"), odd);
    EXPECT_TRUE(other.valueExists(kSets + "\\Last", "Empty"));
    EXPECT_EQ(other.readString(kSets + "\\Last", "Empty"), QString());
}

TEST_F(RegistryTest, ReadErrorsAreWordedAsTheUserKnowsThem) {
    EXPECT_EQ(ErrorText([&] { reg.readInteger(kSets + "\\Default", "GivenVopr"); }),
              "Failed to get data for 'GivenVopr'"); // no file at all
    reg.createKey(kSets + "\\Empty");
    EXPECT_EQ(ErrorText([&] { reg.readInteger(kSets + "\\Empty", "GivenVopr"); }),
              "Failed to get data for 'GivenVopr'"); // key without values
    EXPECT_EQ(ErrorText([&] { reg.readBool(kSets + "\\Empty", "MayBack"); }),
              "Failed to get data for 'MayBack'");

    reg.writeString(kSets + "\\Last", "LastName", "Default");
    reg.writeInteger(kSets + "\\Last", "Na1", 0);
    EXPECT_EQ(ErrorText([&] { reg.readString(kSets + "\\Last", "Na1"); }), "Invalid data type for 'Na1'");

    // An integer read of a string: the type is wrong only when the string's data (its bytes and
    // a terminating zero) fits in four bytes; a longer one already fails to be fetched.
    EXPECT_EQ(ErrorText([&] { reg.readInteger(kSets + "\\Last", "LastName"); }),
              "Failed to get data for 'LastName'");
    const struct {
        const char* value;
        const char* error;
    } strings[] = {
        {"", "Invalid data type for 'S'"},      {"abc", "Invalid data type for 'S'"},
        {"Ёжи", "Invalid data type for 'S'"}, // single-byte on disk: three bytes
        {"abcd", "Failed to get data for 'S'"}, {"Ёжик", "Failed to get data for 'S'"},
    };
    for (const auto& s : strings) {
        reg.writeString("Typed", "S", QString::fromUtf8(s.value));
        EXPECT_EQ(ErrorText([&] { reg.readInteger("Typed", "S"); }), s.error) << s.value;
        EXPECT_EQ(ErrorText([&] { reg.readBool("Typed", "S"); }), s.error) << s.value;
    }

    // A missing string reads empty, also below a missing key.
    EXPECT_EQ(reg.readString(kSets + "\\Last", "Nothing"), QString());
    EXPECT_EQ(reg.readString("No\\Such\\Key", "LastDir"), QString());
    EXPECT_FALSE(reg.keyExists("No\\Such"));
}

TEST_F(RegistryTest, BooleansAreStoredAsZeroOrOneAndAnyNonZeroReadsTrue) {
    reg.writeBool("K", "TimeBool", true);
    reg.writeBool("K", "MayBack", false);
    EXPECT_EQ(reg.readInteger("K", "TimeBool"), 1);
    EXPECT_EQ(reg.readInteger("K", "MayBack"), 0);
    reg.writeInteger("K", "ShowRights", 2);
    reg.writeInteger("K", "RandomGiveOut", -7);
    EXPECT_TRUE(reg.readBool("K", "ShowRights"));
    EXPECT_TRUE(reg.readBool("K", "RandomGiveOut"));
    EXPECT_FALSE(reg.readBool("K", "MayBack"));
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheCaseFirstWritten) {
    reg.writeInteger("Software\\Brelkano\\Options\\Default", "GivenVopr", 10);
    reg.writeInteger("SOFTWARE\\BRELKANO\\OPTIONS\\DEFAULT", "givenvopr", 12);
    reg.writeInteger("software\\brelkano\\options\\default", "Na1", 3);

    EXPECT_EQ(reg.subKeyNames(""), QStringList{"Software"});
    EXPECT_EQ(reg.subKeyNames("SOFTWARE\\brelkano\\OPTIONS"), QStringList{"Default"});
    EXPECT_EQ(reg.valueNames("software\\Brelkano\\options\\default"), (QStringList{"GivenVopr", "Na1"}));
    EXPECT_EQ(reg.readInteger("sOfTwArE\\bReLkAnO\\Options\\dEfAuLt", "GIVENVOPR"), 12);
    EXPECT_TRUE(reg.keyExists("software\\BRELKANO"));
    EXPECT_TRUE(reg.valueExists("Software\\Brelkano\\Options\\Default", "NA1"));
    EXPECT_FALSE(reg.valueExists("Software\\Brelkano\\Options\\Default", "Na2"));
}

TEST_F(RegistryTest, SubkeysAndValuesKeepTheOrderOfFirstWriting) {
    for (const char* set : {"Zeta", "Default", "alpha", "Last", "Mid"})
        reg.createKey(kSets + "\\" + set);
    EXPECT_EQ(reg.subKeyNames(kSets), (QStringList{"Zeta", "Default", "alpha", "Last", "Mid"}));

    reg.writeInteger("K", "Z", 1);
    reg.writeInteger("K", "A", 2);
    reg.writeString("K", "M", "m");
    reg.writeInteger("K", "A", 5); // overwriting keeps the place
    reg.writeString("K", "z", "now a string");
    EXPECT_EQ(reg.valueNames("K"), (QStringList{"Z", "A", "M"}));
    EXPECT_EQ(reg.readString("K", "Z"), "now a string");
    EXPECT_EQ(reg.readInteger("K", "A"), 5);
}

TEST_F(RegistryTest, WriteValuesWritesAllInOrderAndKeepsOtherValues) {
    reg.writeString(kSets + "\\Last", "LastName", "Exam");
    QList<RegValue> set{{"GivenVopr", 10}};
    for (int n = 1; n <= 12; ++n)
        set.append({QStringLiteral("Na%1").arg(n), n - 1});
    set.append({"TimeBool", 1});
    reg.writeValues(kSets + "\\Last", set);

    QStringList expected{"LastName"};
    for (const RegValue& v : set)
        expected << v.name;
    EXPECT_EQ(reg.valueNames(kSets + "\\Last"), expected);
    EXPECT_EQ(reg.readString(kSets + "\\Last", "LastName"), "Exam");
    EXPECT_EQ(reg.readInteger(kSets + "\\Last", "Na12"), 11);
}

TEST_F(RegistryTest, DeleteKeyRemovesEverythingBelowAndNothingElse) {
    reg.writeInteger("A", "Top", 1);
    reg.writeInteger("A\\B", "V", 1);
    reg.writeInteger("A\\B\\C\\D", "V", 2);
    reg.writeInteger("A\\E", "V", 3);
    reg.writeInteger("AB", "V", 4);

    reg.deleteKey("a\\b");
    EXPECT_FALSE(reg.keyExists("A\\B"));
    EXPECT_FALSE(reg.keyExists("A\\B\\C\\D"));
    EXPECT_EQ(reg.subKeyNames("A"), QStringList{"E"});
    EXPECT_EQ(reg.readInteger("A", "Top"), 1);
    EXPECT_EQ(reg.readInteger("A\\E", "V"), 3);
    EXPECT_EQ(reg.readInteger("AB", "V"), 4);

    // Deleting what is not there changes nothing, not even the file.
    const QByteArray before = fileBytes(path);
    reg.deleteKey("A\\B");
    reg.deleteKey("Nowhere\\Deep");
    reg.deleteValue("A", "Missing");
    EXPECT_EQ(fileBytes(path), before);

    reg.deleteValue("a", "TOP");
    EXPECT_TRUE(reg.valueNames("A").isEmpty());
    EXPECT_TRUE(reg.keyExists("A"));
}

TEST_F(RegistryTest, EmptyPiecesOfAKeyPathAreDropped) {
    reg.writeInteger(kSets + "\\Default\\", "GivenVopr", 10);
    EXPECT_EQ(reg.readInteger(kSets + "\\Default", "GivenVopr"), 10);
    EXPECT_EQ(reg.readInteger("\\" + kSets + "\\\\Default\\\\", "GivenVopr"), 10);
    EXPECT_EQ(reg.subKeyNames(kSets + "\\"), QStringList{"Default"});
    EXPECT_TRUE(reg.keyExists(kSets + "\\Default\\"));

    // The sets key itself, addressed with a trailing separator, holds no set's values.
    EXPECT_EQ(ErrorText([&] { reg.readInteger(kSets + "\\", "GivenVopr"); }),
              "Failed to get data for 'GivenVopr'");

    // A name holding the separator is a key further down.
    reg.writeInteger(kSets + "\\Part\\Two", "GivenVopr", 5);
    EXPECT_EQ(reg.subKeyNames(kSets), (QStringList{"Default", "Part"}));
    EXPECT_EQ(ErrorText([&] { reg.readInteger(kSets + "\\Part", "GivenVopr"); }),
              "Failed to get data for 'GivenVopr'");
}

TEST_F(RegistryTest, OddCharactersInKeyAndValueNamesRoundTrip) {
    const QStringList keys{"Per%cent", "[bracket]", "a]b[c", "tab\there", "quote\"d", "=equals", " spaced "};
    for (const QString& key : keys)
        reg.writeString("Odd\\" + key, "name \\ with \" odd = chars\n", key);
    const Registry other(path);
    EXPECT_EQ(other.subKeyNames("Odd"), keys);
    for (const QString& key : keys)
        EXPECT_EQ(other.readString("Odd\\" + key, "name \\ with \" odd = chars\n"), key);
}

TEST_F(RegistryTest, TheFileIsPlainText) {
    reg.writeInteger(kSets + "\\Default", "GivenVopr", 10);
    reg.writeString("SOFTWARE\\Brelkano\\VXG\\Examwright", "LastDir", "/home/teacher/Topics");
    const QString text = QString::fromUtf8(fileBytes(path));
    EXPECT_TRUE(text.contains(
        "[SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\Default]\n\"GivenVopr\"=dword:0000000a\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\"LastDir\"=\"/home/teacher/Topics\"")) << text.toStdString();
}

TEST_F(RegistryTest, ADamagedFileReadsWhatIsReadableAndLosesNothingOnTheNextWrite) {
    QByteArray damaged = "garbage before any key\n"
                         "[Good]\n"
                         "\"Kept\"=dword:00000007\n"
                         "\"BadNumber\"=dword:xyz\n"
                         "\"TooLong\"=dword:123456789\n"
                         "\"Unterminated\"=\"abc\n"
                         "\"BadEscape\"=\"a\\qb\"\n"
                         "no equals sign at all\n"
                         "[Broken header\n"
                         "\"Text\"=\"still good\"\n"
                         "[Other]\r\n"
                         "\"Crlf\"=dword:00000001\r\n";
    static const char binary[] = "\x00\xff\xfe binary \x01\x02";
    damaged += QByteArray(binary, sizeof binary - 1) + "\n";
    writeBytes(path, damaged);

    EXPECT_EQ(reg.readInteger("Good", "Kept"), 7);
    EXPECT_EQ(reg.readString("Good", "Text"), "still good");
    EXPECT_EQ(reg.readInteger("Other", "Crlf"), 1);
    EXPECT_EQ(reg.valueNames("Good"), (QStringList{"Kept", "Text"}));
    EXPECT_EQ(ErrorText([&] { reg.readInteger("Good", "BadNumber"); }), "Failed to get data for 'BadNumber'");
    EXPECT_EQ(reg.readString("Good", "Unterminated"), QString());

    reg.writeInteger("New", "Value", 42);
    const Registry after(path);
    EXPECT_EQ(after.readInteger("Good", "Kept"), 7);
    EXPECT_EQ(after.readString("Good", "Text"), "still good");
    EXPECT_EQ(after.readInteger("Other", "Crlf"), 1);
    EXPECT_EQ(after.readInteger("New", "Value"), 42);
    const QString text = QString::fromUtf8(fileBytes(path));
    for (const char* line : {"garbage before any key", "\"BadNumber\"=dword:xyz", "\"Unterminated\"=\"abc",
                             "no equals sign at all", "[Broken header"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
}

TEST_F(RegistryTest, ABinaryFileNeitherCrashesNorBlocksWriting) {
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise += char((i * 7919 + 13) % 256);
    writeBytes(path, noise);
    EXPECT_NO_THROW(reg.subKeyNames(""));
    EXPECT_EQ(reg.readString("After", "Noise"), QString());
    reg.writeString("After", "Noise", "ok");
    EXPECT_EQ(Registry(path).readString("After", "Noise"), "ok");
    EXPECT_GT(fileBytes(path).size(), noise.size() / 2); // the noise was kept, not dropped
}

// The other program replaces the file over and over: a reader finds it every time. The reads
// count only while a write is under way: one that began while a write was unfinished, or during
// which a write began.
TEST_F(RegistryTest, AReadWhileTheOtherProgramWritesAlwaysFindsTheFile) {
    constexpr int kOverlappingReads = 2000;
    constexpr int kWritesDuringReads = 200;
    reg.writeInteger("K", "V", 0);
    std::atomic<int> writesBegun = 0;
    std::atomic<int> writesDone = 0;
    const std::jthread otherProgram([&](const std::stop_token& stop) {
        Registry other(path);
        for (int n = 1; !stop.stop_requested(); ++n) {
            ++writesBegun;
            other.writeInteger("K", "V", n);
            ++writesDone;
        }
    });
    int overlapping = 0;
    int missed = 0;
    const int writesBefore = writesDone;
    QElapsedTimer clock;
    clock.start();
    while ((overlapping < kOverlappingReads || writesDone - writesBefore < kWritesDuringReads) &&
           clock.elapsed() < 120000) {
        const int begunBefore = writesBegun;
        const bool writeUnfinished = begunBefore != writesDone;
        missed += !reg.keyExists("K");
        overlapping += writeUnfinished || writesBegun != begunBefore;
    }
    EXPECT_EQ(missed, 0);
    EXPECT_GE(overlapping, kOverlappingReads);
    EXPECT_GE(writesDone - writesBefore, kWritesDuringReads);
}

// A file beyond what the programs could ever have written is unreadable as a whole, as one that
// cannot be opened: it reads as an empty store, and a change refuses to write over it.
TEST_F(RegistryTest, AFileBeyondTheDepthOrSizeLimitIsUnreadableAndLeftAsItIs) {
    const auto keyAtDepth = [](int depth) {
        QByteArray header("[K");
        for (int level = 1; level < depth; ++level)
            header += "\\a";
        return header + "]\n\"V\"=dword:00000001\n";
    };
    const QByteArray small = keyAtDepth(2);
    const struct {
        const char* what;
        QByteArray bytes;
        bool readable;
    } files[] = {
        {"as deep as allowed", keyAtDepth(Registry::maxKeyDepth), true},
        {"one level deeper", keyAtDepth(Registry::maxKeyDepth + 1), false},
        {"400,000 levels", keyAtDepth(400000), false},
        {"as big as allowed", small + QByteArray(Registry::maxFileBytes - small.size(), '\n'), true},
        {"one byte bigger", small + QByteArray(Registry::maxFileBytes - small.size() + 1, '\n'), false},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        writeBytes(path, file.bytes);
        EXPECT_EQ(reg.subKeyNames("").size(), file.readable ? 1 : 0);
        EXPECT_EQ(ErrorText([&] { reg.writeInteger("New", "W", 1); }),
                  file.readable ? "" : "Failed to set data for 'W'");
        EXPECT_EQ(fileBytes(path) == file.bytes, !file.readable);
    }
}

// Nothing the programs write can make the file unreadable to them afterwards.
TEST_F(RegistryTest, AWriteBeyondTheDepthOrSizeLimitIsRefused) {
    reg.writeInteger("K", "Before", 1);
    const QByteArray before = fileBytes(path);
    EXPECT_EQ(
        ErrorText([&] { reg.writeInteger(QString("K\\").repeated(Registry::maxKeyDepth + 1), "Deep", 1); }),
        "Failed to set data for 'Deep'");
    EXPECT_EQ(ErrorText([&] { reg.writeString("K", "Huge", QString(Registry::maxFileBytes, u'x')); }),
              "Failed to set data for 'Huge'");
    EXPECT_EQ(fileBytes(path), before);
}

// Anything at the path that is not a plain file is unreadable, as a directory is, and nothing
// waits on it: a FIFO with no writer would hold an open for reading forever.
TEST_F(RegistryTest, SomethingThatIsNoPlainFileIsUnreadableAndLeftAsItIs) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    const struct {
        const char* what;
        std::function<bool()> make;
        bool (*stillThere)(mode_t);
    } things[] = {
        {"a FIFO", [&] { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         [](mode_t mode) { return S_ISFIFO(mode); }},
        {"a directory", [&] { return QDir().mkpath(path); }, [](mode_t mode) { return S_ISDIR(mode); }},
    };
    for (const auto& thing : things) {
        SCOPED_TRACE(thing.what);
        ASSERT_TRUE(thing.make());
        auto reads = std::async(std::launch::async, [&] {
            return reg.subKeyNames("").size() + reg.readString("K", "S").size() + reg.keyExists("K") +
                   reg.readKey(kSets + "\\Last").has_value() +
                   ErrorText([&] { reg.readInteger("K", "I"); }).compare("Failed to get data for 'I'");
        });
        const bool finished = reads.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
        // Lets each read blocked in the open go, so that the test can end.
        while (reads.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
            FileDescriptorOpenedForWriting(path);
        ASSERT_TRUE(finished) << "a read waited";
        EXPECT_EQ(reads.get(), 0) << "the defaults";
        EXPECT_EQ(ErrorText([&] { reg.writeInteger("K", "W", 1); }), "Failed to set data for 'W'");
        struct stat info {};
        ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_TRUE(thing.stillThere(info.st_mode));
        QFile::remove(path);
        QDir().rmdir(path);
    }
}

// A link to a plain file reads as that file.
TEST_F(RegistryTest, ALinkToAPlainFileReadsAsTheFile) {
    const QString target = dir.filePath("elsewhere.reg");
    writeBytes(target, "[K]\n\"V\"=dword:00000007\n");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(QFile::link(target, path));
    EXPECT_EQ(reg.readInteger("K", "V"), 7);
}

// A set name typed in code page 1251 by hand is bytes that are not UTF-8: its bytes survive the
// next write of either program, and the programs can read, load and save that set by the name
// they list.
TEST_F(RegistryTest, BytesThatAreNotUtf8ComeBackByteForByte) {
    const QByteArray cp1251Name("\xca\xee\xed\xf2\xf0\xee\xeb\xfc\xed\xe0\xff"); // "Kontrolnaya"
    const QByteArray header = "[" + kSets.toUtf8() + "\\" + cp1251Name + "]\n";
    const QByteArray original = "; VXG user settings\n\n" + header + "\"GivenVopr\"=dword:00000005\n" +
                                "\"LastName\"=\"" + cp1251Name + "\"\n\n";
    writeBytes(path, original);

    const QStringList sets = reg.subKeyNames(kSets);
    ASSERT_EQ(sets.size(), 1);
    EXPECT_FALSE(sets[0].contains(QChar::ReplacementCharacter));
    EXPECT_EQ(reg.readInteger(kSets + "\\" + sets[0], "GivenVopr"), 5);

    reg.writeInteger("SOFTWARE\\Brelkano\\VXG\\Examwright", "LangN", 200); // the editor at exit
    EXPECT_TRUE(fileBytes(path).startsWith(original));

    // The set saved again under the name read: the same key, the same bytes.
    const QString lastName = reg.readString(kSets + "\\" + sets[0], "LastName");
    EXPECT_EQ(lastName, sets[0]);
    reg.deleteKey(kSets + "\\" + sets[0]);
    reg.writeValues(kSets + "\\" + sets[0], {{"GivenVopr", 6}, {"LastName", lastName}});
    EXPECT_EQ(reg.subKeyNames(kSets), sets);
    const QByteArray after = fileBytes(path);
    EXPECT_TRUE(
        after.contains(header + "\"GivenVopr\"=dword:00000006\n\"LastName\"=\"" + cp1251Name + "\"\n"))
        << after.toStdString();
}

// Whatever a write does not change stays as it was, byte for byte.
TEST_F(RegistryTest, AWriteLeavesEveryLineItDoesNotChangeAsItWas) {
    QByteArray junk;
    QRandomGenerator random(19);
    while (junk.size() < 64 * 1024) // bytes that are rarely UTF-8, in lines of up to 100
        junk += random.bounded(100) == 0 ? '\n' : char(0x80 + random.bounded(0x80));
    const struct {
        const char* what;
        QByteArray bytes;
    } files[] = {
        {"64 KB of junk", junk},
        {"hand-written", "\xef\xbb\xbf[Keys]\r\n\"Short\"=dword:a\r\n  \"Spaced\" = 1\n[100%]\n"
                         "\"Dup\"=dword:00000001\n[keys]\n\"dup\"=\"x\"\n; a comment\n\t[Tabbed]\t\n"
                         "\"Esc\"=\"\\x41\\t\"\n[No\\Line\\End]"},
        {"written by hand in code page 1251", "[\xca\xee\xed]\n\"\xc8\xec\xff\"=\"\xc4\xe0\"\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        writeBytes(path, file.bytes);
        const QStringList keys = reg.subKeyNames("");
        reg.writeInteger("Zeta\\New", "W", 1);
        const QByteArray after = fileBytes(path);
        EXPECT_EQ(after.left(file.bytes.size()), file.bytes);
        EXPECT_LT(after.size(), file.bytes.size() + 40);
        EXPECT_EQ(reg.subKeyNames(""), keys + QStringList{"Zeta"});
    }
}

// The file the programs write reads back, and changes, exactly as it always has.
TEST_F(RegistryTest, TheProgramsFileKeepsItsLayout) {
    const QString examiner = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Verirozaz");
    reg.writeInteger(examiner, "LangN", 200);
    reg.writeValues(kSets + "\\Default", {{"GivenVopr", 10}, {"TimeBool", 0}});
    reg.writeValues(kSets + "\\Last", {{"GivenVopr", 12}, {"LastName", "Default"}});
    reg.writeString("SOFTWARE\\Brelkano\\VXG\\Examwright", "LastDir", "/home/teacher");
    reg.writeString(examiner, "LastTopicDir", "/topics");
    reg.writeValues(kSets + "\\Exam", {{"GivenVopr", 20}});
    reg.writeValues(kSets + "\\Last", {{"GivenVopr", 20}, {"LastName", "Exam"}});
    reg.deleteKey(kSets + "\\Default");
    reg.createKey(kSets + "\\Empty");
    reg.deleteValue(kSets + "\\Exam", "GivenVopr");
    EXPECT_EQ(
        QString::fromUtf8(fileBytes(path)).toStdString(),
        "; VXG user settings\n\n"
        "[SOFTWARE\\Brelkano\\VXG\\Verirozaz]\n\"LangN\"=dword:000000c8\n\"LastTopicDir\"=\"/topics\"\n\n"
        "[SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\Last]\n\"GivenVopr\"=dword:00000014\n"
        "\"LastName\"=\"Exam\"\n\n"
        "[SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\Exam]\n\n"
        "[SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\Empty]\n\n"
        "[SOFTWARE\\Brelkano\\VXG\\Examwright]\n\"LastDir\"=\"/home/teacher\"\n\n");
    reg.deleteKey(kSets);
    EXPECT_EQ(reg.subKeyNames(examiner), QStringList{});
    EXPECT_TRUE(reg.keyExists(examiner));
    reg.deleteKey("");
    EXPECT_EQ(fileBytes(path), "; VXG user settings\n\n");
}

// A key name comes back from the file the same after any later write, whatever its spelling.
TEST_F(RegistryTest, AKeyNameReadFromTheFileIsWrittenBackTheSame) {
    const struct {
        const char* header;
        const char* name;
    } keys[] = {
        {"[A%5CB]", "A\\B"}, {"[%5c]", "\\"},       {"[Per%25cent]", "Per%cent"},
        {"[100%]", "100%"},  {"[tab%09]", "tab\t"}, {"[%zz%4]", "%zz%4"},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.header);
        writeBytes(path, QByteArray(key.header) + "\n\"V\"=dword:00000001\n");
        for (int write = 1; write <= 2; ++write) {
            reg.writeInteger("Other", "W", write);
            EXPECT_EQ(Registry(path).subKeyNames(""), (QStringList{QString::fromUtf8(key.name), "Other"}));
        }
    }
}

// Keys that hold nothing but other keys are told by the paths below them: a write does not
// repeat them, so the file keeps in proportion to what it holds.
TEST_F(RegistryTest, AKeyThatHoldsOnlyKeysTakesNoLineOfItsOwn) {
    QStringList pieces;
    for (int level = 0; level < Registry::maxKeyDepth; ++level)
        pieces << QString(100, QChar(u'a' + level % 26));
    const QString key = pieces.join(u'\\');
    reg.writeInteger(key, "V", 1);
    reg.createKey(pieces.first() + "\\Empty");
    EXPECT_LT(fileBytes(path).size(), 2 * key.size());
    const Registry after(path);
    EXPECT_EQ(after.readInteger(key, "V"), 1);
    EXPECT_EQ(after.subKeyNames(pieces.first()), (QStringList{pieces.at(1), "Empty"}));
}

// Finding a key or a value does not walk its siblings, so a file of many is read in time in
// proportion to its size (walking them, this one took most of a minute).
TEST_F(RegistryTest, AFileOfManyKeysAndValuesReadsInTimeInProportionToItsSize) {
    constexpr int kMany = 60000;
    QByteArray bytes;
    for (int n = 0; n < kMany; ++n)
        bytes += "[Keys\\K" + QByteArray::number(n) + "]\n";
    bytes += "[Values]\n";
    for (int n = 0; n < kMany; ++n)
        bytes += "\"V" + QByteArray::number(n) + "\"=dword:00000001\n";
    writeBytes(path, bytes);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(reg.subKeyNames("Keys").size(), kMany);
    EXPECT_EQ(reg.valueNames("Values").size(), kMany);
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST_F(RegistryTest, DuplicateSectionsAndValuesMerge) {
    writeBytes(path, "[K]\n\"A\"=dword:00000001\n[k]\n\"B\"=dword:00000002\n\"a\"=dword:00000003\n");
    EXPECT_EQ(reg.valueNames("K"), (QStringList{"A", "B"}));
    EXPECT_EQ(reg.readInteger("K", "A"), 3);
    EXPECT_EQ(reg.subKeyNames(""), QStringList{"K"});
}

TEST_F(RegistryTest, AWriteThatCannotBeDoneRaisesAndChangesNothing) {
    // A folder that cannot be created: its parent is a regular file.
    QFile blocker(dir.filePath("plainfile"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry nowhere(dir.filePath("plainfile/Brelkano/VXG.reg"));
    EXPECT_EQ(ErrorText([&] { nowhere.writeInteger(kSets + "\\Default", "GivenVopr", 10); }),
              "Failed to set data for 'GivenVopr'");
    EXPECT_EQ(ErrorText([&] {
                  nowhere.writeValues(kSets + "\\Default", {{"GivenVopr", 10}, {"Na1", 0}});
              }),
              "Failed to set data for 'GivenVopr'");
    EXPECT_EQ(ErrorText([&] { nowhere.writeString("K", "LastDir", "/tmp"); }),
              "Failed to set data for 'LastDir'");
    EXPECT_FALSE(ErrorText([&] { nowhere.createKey("K"); }).isEmpty());
    EXPECT_FALSE(nowhere.keyExists("K"));
}

TEST_F(RegistryTest, AWriteThatCannotGetTheLockRaisesAndLeavesTheFileAsItWas) {
    reg.writeInteger(kSets + "\\Default", "GivenVopr", 10);
    const QByteArray before = fileBytes(path);

    QLockFile otherProgram(path + ".lock");
    ASSERT_TRUE(otherProgram.tryLock(0));
    reg.setLockTimeout(200);
    EXPECT_EQ(ErrorText([&] {
                  reg.writeValues(kSets + "\\Default", {{"GivenVopr", 20}, {"Na1", 5}});
              }),
              "Failed to set data for 'GivenVopr'");
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(reg.readInteger(kSets + "\\Default", "GivenVopr"), 10);          // reading needs no lock
    EXPECT_EQ(reg.readKey(kSets + "\\Default")->readInteger("GivenVopr"), 10); // nor after waiting for it
    EXPECT_FALSE(reg.valueExists(kSets + "\\Default", "Na1"));

    otherProgram.unlock();
    reg.writeValues(kSets + "\\Default", {{"GivenVopr", 20}, {"Na1", 5}});
    EXPECT_EQ(reg.readInteger(kSets + "\\Default", "Na1"), 5);
}

// A full disk: the write is reported as failed and the file stays byte for byte what it was,
// also when the new file is small enough to be written in one piece.
TEST_F(RegistryTest, AWriteOnAFullDiskRaisesAndLeavesTheFileAsItWas) {
    reg.writeString("K", "LastDir", "/tmp");
    const QByteArray before = fileBytes(path);
    const QString longDir = QString(600, QChar(u'ж'));

    const int status = RunUnderFileSizeLimit(1000, [&] {
        const QString error = ErrorText([&] { reg.writeString("K", "LastDir", longDir); });
        return error == "Failed to set data for 'LastDir'" ? 0 : error.isEmpty() ? 1 : 2;
    });

    EXPECT_EQ(status, 0) << "1: reported as written, 2: another error";
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"VXG.reg"});
    reg.writeString("K", "LastDir", longDir);
    EXPECT_EQ(reg.readString("K", "LastDir"), longDir) << "without the limit the same write succeeds";
}

// ---- several processes on one file ---------------------------------------------------------

namespace {

const char* const kChildFile = "VXG_REGTEST_FILE";
const char* const kChildId = "VXG_REGTEST_WRITER";
const char* const kChildCount = "VXG_REGTEST_COUNT";
const char* const kChildMode = "VXG_REGTEST_MODE";

std::unique_ptr<QProcess> startChild(const QString& file, const QString& mode, int writer, int count) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildFile, file);
    env.insert(kChildMode, mode);
    env.insert(kChildId, QString::number(writer));
    env.insert(kChildCount, QString::number(count));
    // Under AddressSanitizer, freed memory is held back for a while and would count as the child's.
    env.insert("ASAN_OPTIONS",
               env.value("ASAN_OPTIONS") + ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(QCoreApplication::applicationFilePath(),
             {"--gtest_filter=RegistryChildProcess.DISABLED_Run", "--gtest_also_run_disabled_tests"});
    return p;
}

} // namespace

// Not a test of its own: the body of the child processes that the tests below start.
TEST(RegistryChildProcess, DISABLED_Run) {
    const QString file = qEnvironmentVariable(kChildFile);
    ASSERT_FALSE(file.isEmpty()) << "run only as a child of the registry tests";
    const QString mode = qEnvironmentVariable(kChildMode);
    if (mode == "crash-holding-lock") {
        QLockFile* lock = new QLockFile(file + ".lock"); // never released: the process dies holding it
        ASSERT_TRUE(lock->tryLock(0));
        std::cout << "locked" << std::endl;
        std::_Exit(0);
    }
    if (mode == "read") { // one read of every key, its time and its peak memory
        const Registry reg(file);
        ResetPeakResident();
        const qint64 before = ResidentKb();
        QElapsedTimer clock;
        clock.start();
        const qsizetype keys = reg.subKeyNames("").size();
        reg.readKey(kSets + "\\Last");
        std::cout << "read: " << clock.nsecsElapsed() / 1e9 << ' ' << PeakResidentKb() - before << ' ' << keys
                  << std::endl;
        return;
    }
    ASSERT_EQ(mode, "write");
    const int writer = qEnvironmentVariableIntValue(kChildId);
    const int count = qEnvironmentVariableIntValue(kChildCount);
    Registry reg(file);
    std::cout << "ready" << std::endl;
    for (int n = 0; n < count; ++n) {
        reg.writeInteger("Concurrent\\Shared", QStringLiteral("W%1_%2").arg(writer).arg(n),
                         writer * 100000 + n);
        if (n % 10 == 0)
            reg.writeString(QStringLiteral("Concurrent\\Writer%1").arg(writer), QStringLiteral("S%1").arg(n),
                            QStringLiteral("text %1/%2").arg(writer).arg(n));
    }
}

TEST_F(RegistryTest, ProgramsWritingAtTheSameTimeLoseNothing) {
    constexpr int kWriters = 3;
    constexpr int kCount = 200;
    reg.writeString("Concurrent", "Before", "kept");

    // Hold the lock until every writer is ready, so that all of them start writing at once.
    QLockFile gate(path + ".lock");
    ASSERT_TRUE(gate.tryLock(0));
    std::vector<std::unique_ptr<QProcess>> children;
    for (int w = 0; w < kWriters; ++w)
        children.push_back(startChild(path, "write", w, kCount));
    for (auto& child : children) {
        ASSERT_TRUE(child->waitForStarted(30000));
        QByteArray said;
        while (!(said += child->readAllStandardOutput()).contains("ready"))
            ASSERT_TRUE(child->waitForReadyRead(30000)) << child->readAllStandardError().toStdString();
    }
    gate.unlock();

    for (auto& child : children) {
        ASSERT_TRUE(child->waitForFinished(180000));
        EXPECT_EQ(child->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child->exitCode(), 0)
            << child->readAllStandardOutput().toStdString() << child->readAllStandardError().toStdString();
    }

    const Registry check(path);
    EXPECT_EQ(check.readString("Concurrent", "Before"), "kept");
    EXPECT_EQ(check.valueNames("Concurrent\\Shared").size(), kWriters * kCount);
    for (int w = 0; w < kWriters; ++w) {
        for (int n = 0; n < kCount; ++n)
            ASSERT_EQ(check.readInteger("Concurrent\\Shared", QStringLiteral("W%1_%2").arg(w).arg(n)),
                      w * 100000 + n);
        EXPECT_EQ(check.valueNames(QStringLiteral("Concurrent\\Writer%1").arg(w)).size(), kCount / 10);
        EXPECT_EQ(check.readString(QStringLiteral("Concurrent\\Writer%1").arg(w), "S190"),
                  QStringLiteral("text %1/190").arg(w));
    }
    // Neither a lock nor a half-written temporary file is left behind.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"VXG.reg"});
}

TEST_F(RegistryTest, ALockLeftByAProgramThatDiedDoesNotBlockWriting) {
    reg.writeInteger("K", "Before", 1);
    auto child = startChild(path, "crash-holding-lock", 0, 0);
    ASSERT_TRUE(child->waitForFinished(60000));
    ASSERT_TRUE(child->readAllStandardOutput().contains("locked"));
    ASSERT_TRUE(QFile::exists(path + ".lock"));

    reg.writeInteger("K", "After", 2);
    EXPECT_EQ(reg.readInteger("K", "After"), 2);
    EXPECT_EQ(reg.readInteger("K", "Before"), 1);
}

// The most keys a file within both limits can hold: 4 MB of lines that each open a new chain of
// keys as deep as allowed. One read costs a few times the file in memory and well under a second
// (the figures below allow for a sanitizer build; bench_registry times it).
TEST_F(RegistryTest, TheFileOfTheMostKeysWithinTheLimitsReadsInLittleTimeAndMemory) {
    writeBytes(path, DeepestSettingsFile(Registry::maxFileBytes));
    auto child = startChild(path, "read", 0, 0);
    ASSERT_TRUE(child->waitForFinished(240000));
    const QByteArray output = child->readAllStandardOutput();
    const qsizetype report = output.indexOf("read: ");
    ASSERT_GE(report, 0) << output.toStdString() << child->readAllStandardError().toStdString();
    const QList<QByteArray> said = output.mid(report + 6).split('\n').front().split(' ');
    ASSERT_EQ(said.size(), 3) << output.toStdString();
    const double seconds = said[0].toDouble();
    const qint64 peakGrowth = said[1].toLongLong() * 1024;
    EXPECT_EQ(said[2].toLongLong(), DeepestSettingsFile(Registry::maxFileBytes).count('['));
    EXPECT_LT(seconds, 20.0);
    EXPECT_LT(peakGrowth, 12 * Registry::maxFileBytes);
}
