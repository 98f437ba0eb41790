#include "OptionsLayout.h"

namespace {

QString thresholdName(int grade) {
    return QStringLiteral("Na") + QString::number(grade);
}

qint32 asDword(bool flag) {
    return flag ? 1 : 0;
}

} // namespace

QString OptionSetKey(const QString& name) {
    return kOptionsKey + u'\\' + name;
}

QList<vxg::RegValue> TestOptionsValues(const TTestOptions& options) {
    QList<vxg::RegValue> values;
    values.reserve(18);
    values.append({QStringLiteral("GivenVopr"), options.GivenVopr});
    for (int grade = 1; grade <= 12; ++grade)
        values.append({thresholdName(grade), options.Na[grade - 1]});
    values.append({QStringLiteral("TimeBool"), asDword(options.TimeBool)});
    values.append({QStringLiteral("MaxTime"), options.MaxTime});
    values.append({QStringLiteral("RandomGiveOut"), asDword(options.RandomGiveOut)});
    values.append({QStringLiteral("MayBack"), asDword(options.MayBack)});
    values.append({QStringLiteral("ShowRights"), asDword(options.ShowRights)});
    return values;
}

void WriteTestOptions(vxg::Registry& reg, const QString& key, const TTestOptions& options) {
    reg.writeValues(key, TestOptionsValues(options));
}

void ReadTestOptions(const vxg::RegKeyValues& set, TTestOptions& options) {
    // Field by field straight into options: a value that fails stops the read with what came
    // before it already in place.
    options.GivenVopr = set.readInteger(QStringLiteral("GivenVopr"));
    for (int grade = 1; grade <= 12; ++grade)
        options.Na[grade - 1] = set.readInteger(thresholdName(grade));
    options.TimeBool = set.readBool(QStringLiteral("TimeBool"));
    options.MaxTime = set.readInteger(QStringLiteral("MaxTime"));
    options.RandomGiveOut = set.readBool(QStringLiteral("RandomGiveOut"));
    options.MayBack = set.readBool(QStringLiteral("MayBack"));
    options.ShowRights = set.readBool(QStringLiteral("ShowRights"));
}

void ReadTestOptions(const vxg::Registry& reg, const QString& key, TTestOptions& options) {
    ReadTestOptions(reg.readKey(key).value_or(vxg::RegKeyValues()), options);
}
