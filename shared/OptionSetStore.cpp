#include "OptionSetStore.h"

#include "Error.h"
#include "Globals.h"
#include "OptionsLayout.h"

namespace {

// "The settings <%1> cannot be used: the value %2 is out of range."
constexpr int kOutOfRangeId = 190; // the same id in both programs' tables

const QString kLastNameValue = QStringLiteral("LastName");

// Takes the set into options only when it is whole and in range; a registry error leaves the
// fields read before it in options, as a plain read does.
void ReadCheckedSet(const vxg::RegKeyValues& set, const QString& setName, TTestOptions& options) {
    TTestOptions read = options;
    try {
        ReadTestOptions(set, read);
    } catch (const vxg::Error&) {
        options = read;
        throw;
    }
    const QString bad = OptionSetStore::OutOfRangeValue(read);
    if (!bad.isEmpty())
        throw vxg::Error(lang(kOutOfRangeId).arg(setName, bad));
    options = read;
}

} // namespace

OptionSetStore::OptionSetStore(vxg::Registry registry) : registry_(std::move(registry)) {}

bool OptionSetStore::IsSetName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('\\'));
}

bool OptionSetStore::IsReservedName(const QString& name) {
    for (const QString& reserved : {kDefaultSetName, kNoNameSetName, kLastSetName})
        if (name.compare(reserved, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool OptionSetStore::IsUserSetName(const QString& name) {
    return IsSetName(name) && !IsReservedName(name);
}

QString OptionSetStore::OutOfRangeValue(const TTestOptions& options) {
    if (options.GivenVopr < 1 || options.GivenVopr > 100)
        return QStringLiteral("GivenVopr");
    for (int grade = 1; grade <= 12; ++grade) {
        const qint32 na = options.Na[static_cast<std::size_t>(grade - 1)];
        if (na < 0 || na > 110)
            return QStringLiteral("Na") + QString::number(grade);
    }
    if (options.MaxTime < 1 || options.MaxTime > 1440)
        return QStringLiteral("MaxTime");
    return {};
}

QStringList OptionSetStore::names() const {
    QStringList list = registry_.subKeyNames(kOptionsKey);
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).compare(kLastSetName, Qt::CaseInsensitive) == 0) {
            list.removeAt(i);
            break;
        }
    }
    return list;
}

void OptionSetStore::save(const QString& name, const TTestOptions& options) {
    if (!IsUserSetName(name))
        throw vxg::Error(lang(117));
    WriteTestOptions(registry_, OptionSetKey(name), options);
}

bool OptionSetStore::load(const QString& name, TTestOptions& options) const {
    if (!IsSetName(name))
        return false;
    // One reading for the whole set: the other program may save it at any moment.
    const std::optional<vxg::RegKeyValues> set = registry_.readKey(OptionSetKey(name));
    if (!set)
        return false;
    ReadCheckedSet(*set, name, options);
    return true;
}

bool OptionSetStore::remove(const QString& name) {
    if (!IsUserSetName(name))
        return false;
    registry_.deleteKey(OptionSetKey(name));
    return true;
}

bool OptionSetStore::hasDefault() const {
    return registry_.keyExists(OptionSetKey(kDefaultSetName));
}

void OptionSetStore::saveDefault(const TTestOptions& options) {
    WriteTestOptions(registry_, OptionSetKey(kDefaultSetName), options);
}

bool OptionSetStore::loadLast(TTestOptions& options, QString& lastName) const {
    const std::optional<vxg::RegKeyValues> set = registry_.readKey(OptionSetKey(kLastSetName));
    if (!set)
        return false;
    const QString name = set->readString(kLastNameValue);
    TTestOptions read = options;
    ReadCheckedSet(*set, kLastSetName, read);
    lastName = name;
    options = read;
    return true;
}
