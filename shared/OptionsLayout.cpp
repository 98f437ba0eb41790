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

void ReadTestOptions(const vxg::Registry& reg, const QString& key, TTestOptions& options) {
    // Field by field straight into options: a value that fails stops the read with what came
    // before it already in place.
    options.GivenVopr = reg.readInteger(key, QStringLiteral("GivenVopr"));
    for (int grade = 1; grade <= 12; ++grade)
        options.Na[grade - 1] = reg.readInteger(key, thresholdName(grade));
    options.TimeBool = reg.readBool(key, QStringLiteral("TimeBool"));
    options.MaxTime = reg.readInteger(key, QStringLiteral("MaxTime"));
    options.RandomGiveOut = reg.readBool(key, QStringLiteral("RandomGiveOut"));
    options.MayBack = reg.readBool(key, QStringLiteral("MayBack"));
    options.ShowRights = reg.readBool(key, QStringLiteral("ShowRights"));
}
