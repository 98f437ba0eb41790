// The named parameter-set store below the sets key, driven without any window.
#include "ErrorText.h"
#include "OptionSetStore.h"

#include "Error.h"
#include "Globals.h"
#include "OptionsLayout.h"
#include "Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TTestOptions Sample(int seed) {
    TTestOptions o;
    o.GivenVopr = 20 + seed;
    for (int i = 0; i < 12; ++i)
        o.Na[i] = seed + 2 * i;
    o.TimeBool = seed % 2 == 0;
    o.MaxTime = 30 + seed;
    o.RandomGiveOut = seed % 3 == 0;
    o.MayBack = seed % 2 != 0;
    o.ShowRights = true;
    return o;
}

class OptionSetStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        LangOffset = 200;
        LoadLangStrings();
    }

    QTemporaryDir dir;
    vxg::Registry reg{dir.filePath("store.reg")};
    OptionSetStore store{reg};
};

TEST_F(OptionSetStoreTest, EmptyProfileHasNoSets) {
    EXPECT_TRUE(store.names().isEmpty());
    EXPECT_FALSE(store.hasDefault());
    TTestOptions o = Sample(1);
    EXPECT_FALSE(store.load("Default", o));
    EXPECT_EQ(o, Sample(1));
}

TEST_F(OptionSetStoreTest, ListKeepsRegistryOrderAndLeavesOutLastInAnyCase) {
    reg.createKey(OptionSetKey("Zeta"));
    reg.createKey(OptionSetKey("LAST"));
    reg.createKey(OptionSetKey("alpha"));
    reg.createKey(OptionSetKey("Default"));
    EXPECT_EQ(store.names(), QStringList({"Zeta", "alpha", "Default"}));
    EXPECT_TRUE(store.hasDefault());

    vxg::Registry other{dir.filePath("only-last.reg")};
    other.createKey(OptionSetKey("Last"));
    EXPECT_TRUE(OptionSetStore(other).names().isEmpty());
}

TEST_F(OptionSetStoreTest, SaveLoadRoundTripAndNamesIgnoreCase) {
    store.save("Exam 7", Sample(4));
    TTestOptions o;
    ASSERT_TRUE(store.load("EXAM 7", o));
    EXPECT_EQ(o, Sample(4));
    EXPECT_EQ(store.names(), QStringList({"Exam 7"}));
}

// The registry takes "default" for the factory set's key: the reserved names are refused in
// every letter case, for saving and for deleting alike.
TEST_F(OptionSetStoreTest, ReservedNamesInAnyCaseAreNeitherSavedOverNorDeleted) {
    store.saveDefault(FactoryTestOptions());
    WriteTestOptions(reg, OptionSetKey("Last"), Sample(2));
    for (const char* name : {"Default", "default", "DEFAULT", "No Name", "no name", "Last", "LAST"}) {
        EXPECT_FALSE(OptionSetStore::IsUserSetName(name)) << name;
        EXPECT_EQ(ErrorText([&] { store.save(name, Sample(3)); }), lang(117)) << name;
        EXPECT_FALSE(store.remove(name)) << name;
    }
    EXPECT_TRUE(OptionSetStore::IsUserSetName("Defaults"));
    TTestOptions o;
    EXPECT_TRUE(store.load("Default", o) && o == FactoryTestOptions());
    EXPECT_TRUE(store.load("Last", o) && o == Sample(2));
    EXPECT_EQ(store.names(), QStringList({"Default"}));
}

// A set is handed out only when every value lies where the program can work with it; one
// value outside makes the whole set unreadable, named in the error, and changes nothing.
// ("Last" is read the same way: see the start's tests.)
TEST_F(OptionSetStoreTest, ASetWithAValueOutOfRangeIsUnreadable) {
    const std::tuple<const char*, qint32, bool> cases[] = {
        {"GivenVopr", 1, true}, {"GivenVopr", 100, true}, {"GivenVopr", 0, false}, {"GivenVopr", 101, false},
        {"Na1", 0, true},       {"Na1", -1, false},       {"Na7", 110, true},      {"Na12", 111, false},
        {"MaxTime", 1, true},   {"MaxTime", 1440, true},  {"MaxTime", 0, false},   {"MaxTime", 1441, false},
    };
    for (const auto& [value, stored, readable] : cases) {
        SCOPED_TRACE(std::string(value) + " " + std::to_string(stored));
        store.save("Exam", Sample(1));
        reg.writeInteger(OptionSetKey("Exam"), value, stored);
        TTestOptions o = Sample(9);
        EXPECT_EQ(ErrorText([&] { EXPECT_TRUE(store.load("Exam", o)); }),
                  readable ? "" : lang(190).arg("Exam", value));
        EXPECT_EQ(o == Sample(9), !readable);
    }
}

TEST_F(OptionSetStoreTest, AnyNonZeroBooleanReadsAsSet) {
    store.save("B", Sample(1));
    reg.writeInteger(OptionSetKey("B"), "MayBack", 0);
    reg.writeInteger(OptionSetKey("B"), "ShowRights", 2);
    TTestOptions o;
    ASSERT_TRUE(store.load("B", o));
    EXPECT_FALSE(o.MayBack);
    EXPECT_TRUE(o.ShowRights);
}

TEST_F(OptionSetStoreTest, SaveOverExistingKeyKeepsOtherValues) {
    const QString key = OptionSetKey("Exam");
    reg.writeString(key, "LastName", "Exam 7");
    WriteTestOptions(reg, key, Sample(1));

    store.save("Exam", Sample(2));

    EXPECT_EQ(reg.readString(key, "LastName"), "Exam 7");
    EXPECT_EQ(reg.valueNames(key).first(), "LastName");
    TTestOptions o;
    ASSERT_TRUE(store.load("Exam", o));
    EXPECT_EQ(o, Sample(2));
}

TEST_F(OptionSetStoreTest, BrokenSetStopsAtTheFailingValue) {
    TTestOptions o = Sample(9);

    reg.createKey(OptionSetKey("Empty"));
    EXPECT_EQ(ErrorText([&] { store.load("Empty", o); }), "Failed to get data for 'GivenVopr'");
    EXPECT_EQ(o, Sample(9));

    // Fields before the missing value are filled in, those after it stay.
    store.save("NoTime", Sample(2));
    reg.deleteValue(OptionSetKey("NoTime"), "MaxTime");
    EXPECT_EQ(ErrorText([&] { store.load("NoTime", o); }), "Failed to get data for 'MaxTime'");
    EXPECT_EQ(o.GivenVopr, Sample(2).GivenVopr);
    EXPECT_EQ(o.Na, Sample(2).Na);
    EXPECT_EQ(o.TimeBool, Sample(2).TimeBool);
    EXPECT_EQ(o.MaxTime, Sample(9).MaxTime);
    EXPECT_EQ(o.RandomGiveOut, Sample(9).RandomGiveOut);

    store.save("Typed", Sample(3));
    reg.writeString(OptionSetKey("Typed"), "Na3", "3");
    o = Sample(9);
    EXPECT_EQ(ErrorText([&] { store.load("Typed", o); }), "Invalid data type for 'Na3'");
    EXPECT_EQ(o.Na[1], Sample(3).Na[1]);
    EXPECT_EQ(o.Na[2], Sample(9).Na[2]);
}

// The other program saves the set over and over while this one loads it: every load is one
// save or the other, never the first values of one with the rest of the other.
TEST_F(OptionSetStoreTest, ASetSavedWhileItIsLoadedIsReadFromOneSave) {
    store.save("Shared", Sample(1));
    std::atomic<int> saves = 0;
    const std::jthread otherProgram([&](const std::stop_token& stop) {
        OptionSetStore other{vxg::Registry(reg.filePath())};
        while (!stop.stop_requested()) {
            other.save("Shared", Sample(saves % 2 + 1));
            ++saves;
        }
    });
    int mixed = 0;
    for (int loads = 0; loads < 100 || saves < 100; ++loads) {
        TTestOptions o;
        ASSERT_TRUE(store.load("Shared", o));
        mixed += o != Sample(1) && o != Sample(2);
    }
    EXPECT_EQ(mixed, 0);
}

TEST_F(OptionSetStoreTest, RemoveTakesNestedKeysAndIgnoresMissingSets) {
    store.save("A", Sample(1));
    reg.createKey(OptionSetKey("A") + "\\Inner");
    store.save("B", Sample(2));

    EXPECT_TRUE(store.remove("a"));
    EXPECT_FALSE(reg.keyExists(OptionSetKey("A") + "\\Inner"));
    EXPECT_FALSE(reg.keyExists(OptionSetKey("A")));
    EXPECT_EQ(store.names(), QStringList({"B"}));

    EXPECT_TRUE(store.remove("Never stored"));
    EXPECT_EQ(store.names(), QStringList({"B"}));
}

// An empty name, or one made only of separators, addresses the sets key itself: deleting it
// would wipe every stored set.
TEST_F(OptionSetStoreTest, RemoveRefusesNamesThatReachBeyondOneSet) {
    store.saveDefault(FactoryTestOptions());
    store.save("A", Sample(1));
    reg.createKey(OptionSetKey("A") + "\\Inner");
    for (const QString& name : {QString(), QStringLiteral("\\"), QStringLiteral("\\\\"),
                                QStringLiteral("A\\Inner"), QStringLiteral("A\\")}) {
        EXPECT_FALSE(store.remove(name)) << qPrintable(name);
        EXPECT_EQ(store.names(), QStringList({"Default", "A"})) << qPrintable(name);
        EXPECT_TRUE(reg.keyExists(OptionSetKey("A") + "\\Inner")) << qPrintable(name);
    }
}

// The empty name would read the sets key itself, and "A\" would read the set "A" under a name
// it does not have: neither names a stored set.
TEST_F(OptionSetStoreTest, LoadOfEmptyOrSeparatedNameIsAMissingSet) {
    store.save("A", Sample(1));
    WriteTestOptions(reg, kOptionsKey, Sample(2)); // values on the sets key itself
    for (const QString& name : {QString(), QStringLiteral("\\"), QStringLiteral("A\\")}) {
        TTestOptions o = Sample(7);
        EXPECT_FALSE(store.load(name, o)) << qPrintable(name);
        EXPECT_EQ(o, Sample(7)) << qPrintable(name);
    }
}

// A separator in a saved name would make a key hidden inside another key: the list would show
// only its first part, and that part would not load.
TEST_F(OptionSetStoreTest, SaveRefusesEmptyAndSeparatedNames) {
    store.save("A", Sample(1));
    for (const QString& name :
         {QStringLiteral("A\\B"), QStringLiteral("New\\Set"), QStringLiteral("\\"), QString()}) {
        EXPECT_EQ(ErrorText([&] { store.save(name, Sample(3)); }), lang(117)) << qPrintable(name);
    }
    EXPECT_EQ(store.names(), QStringList({"A"}));
    EXPECT_TRUE(reg.subKeyNames(OptionSetKey("A")).isEmpty());
    EXPECT_TRUE(reg.valueNames(kOptionsKey).isEmpty());
    TTestOptions o;
    ASSERT_TRUE(store.load("A", o));
    EXPECT_EQ(o, Sample(1));
}

} // namespace
