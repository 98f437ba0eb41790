// A parameter set in the registry: eighteen values, written at once, read one by one.
#include "OptionsLayout.h"

#include "Error.h"
#include "Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class OptionsLayoutTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    vxg::Registry reg{dir.filePath("test.reg")};
    const QString key = OptionSetKey("Exam 7");

    TTestOptions sample() const {
        TTestOptions o;
        o.GivenVopr = 25;
        for (int i = 0; i < 12; ++i)
            o.Na[i] = 2 * i + 1;
        o.TimeBool = false;
        o.MaxTime = 45;
        o.RandomGiveOut = true;
        o.MayBack = false;
        o.ShowRights = true;
        return o;
    }

    // The read error's text, with options filled as far as the read got.
    QString readError(TTestOptions& options) const {
        try {
            ReadTestOptions(reg, key, options);
        } catch (const vxg::Error& e) {
            return e.text();
        }
        return QString();
    }
};

TEST(OptionsLayout, KeysAndFactoryValues) {
    EXPECT_EQ(OptionSetKey("Default"), "SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\Default");
    EXPECT_EQ(OptionSetKey(""), "SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options\\");

    const TTestOptions f = FactoryTestOptions();
    EXPECT_EQ(f.GivenVopr, 10);
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(f.Na[n - 1], n - 1) << "Na" << n;
    EXPECT_EQ(f.Na[11], 15);
    EXPECT_TRUE(f.TimeBool);
    EXPECT_EQ(f.MaxTime, 20);
    EXPECT_TRUE(f.RandomGiveOut);
    EXPECT_TRUE(f.MayBack);
    EXPECT_TRUE(f.ShowRights);
}

TEST(OptionsLayout, ValuesInStoredOrder) {
    TTestOptions o = FactoryTestOptions();
    o.TimeBool = false;
    o.Na[4] = 77;
    const QList<vxg::RegValue> values = TestOptionsValues(o);
    const QStringList expected{"GivenVopr", "Na1",      "Na2",     "Na3",           "Na4",     "Na5",
                               "Na6",       "Na7",      "Na8",     "Na9",           "Na10",    "Na11",
                               "Na12",      "TimeBool", "MaxTime", "RandomGiveOut", "MayBack", "ShowRights"};
    ASSERT_EQ(values.size(), 18);
    QStringList names;
    for (const vxg::RegValue& v : values) {
        names << v.name;
        EXPECT_TRUE(std::holds_alternative<qint32>(v.data)) << v.name.toStdString() << " is a DWORD";
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(std::get<qint32>(values[5].data), 77);
    EXPECT_EQ(std::get<qint32>(values[13].data), 0) << "TimeBool clear";
    EXPECT_EQ(std::get<qint32>(values[15].data), 1) << "RandomGiveOut set";
}

TEST_F(OptionsLayoutTest, WrittenSetReadsBackWhole) {
    WriteTestOptions(reg, key, sample());
    EXPECT_TRUE(reg.keyExists(key));
    EXPECT_EQ(reg.valueNames(key).size(), 18);

    TTestOptions back;
    ReadTestOptions(reg, key, back);
    EXPECT_EQ(back, sample());

    WriteTestOptions(reg, key, FactoryTestOptions());
    ReadTestOptions(reg, key, back);
    EXPECT_EQ(back, FactoryTestOptions());
}

TEST_F(OptionsLayoutTest, AnyNonZeroBooleanIsSet) {
    WriteTestOptions(reg, key, sample());
    reg.writeInteger(key, "MayBack", 2);
    reg.writeInteger(key, "TimeBool", -1);
    TTestOptions back;
    ReadTestOptions(reg, key, back);
    EXPECT_TRUE(back.MayBack);
    EXPECT_TRUE(back.TimeBool);
}

TEST_F(OptionsLayoutTest, MissingValueStopsWithFieldsBeforeItFilled) {
    WriteTestOptions(reg, key, sample());
    reg.deleteValue(key, "Na5");

    TTestOptions partial = FactoryTestOptions();
    EXPECT_EQ(readError(partial), "Failed to get data for 'Na5'");
    EXPECT_EQ(partial.GivenVopr, 25);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(partial.Na[i], 2 * i + 1) << "Na" << i + 1 << " was read";
    for (int i = 4; i < 12; ++i)
        EXPECT_EQ(partial.Na[i], FactoryTestOptions().Na[i]) << "Na" << i + 1 << " untouched";
    EXPECT_EQ(partial.MaxTime, 20);
    EXPECT_TRUE(partial.TimeBool);
}

TEST_F(OptionsLayoutTest, ValueOfAnotherTypeStopsTheRead) {
    WriteTestOptions(reg, key, sample());
    reg.writeString(key, "MaxTime", "45");
    TTestOptions partial;
    EXPECT_EQ(readError(partial), "Invalid data type for 'MaxTime'");
    EXPECT_EQ(partial.Na[11], 23);
    EXPECT_FALSE(partial.TimeBool);
    EXPECT_EQ(partial.MaxTime, 0);
}

TEST_F(OptionsLayoutTest, MissingKeyFailsOnTheFirstValue) {
    TTestOptions untouched = sample();
    EXPECT_EQ(readError(untouched), "Failed to get data for 'GivenVopr'");
    EXPECT_EQ(untouched, sample());
}

} // namespace
