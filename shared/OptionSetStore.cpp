#include "OptionSetStore.h"

#include "Error.h"
#include "Globals.h"
#include "OptionsLayout.h"

OptionSetStore::OptionSetStore(vxg::Registry registry) : registry_(std::move(registry)) {}

bool OptionSetStore::IsSetName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('\\'));
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
    if (!IsSetName(name))
        throw vxg::Error(lang(117));
    WriteTestOptions(registry_, OptionSetKey(name), options);
}

bool OptionSetStore::load(const QString& name, TTestOptions& options) const {
    if (!IsSetName(name))
        return false;
    const QString key = OptionSetKey(name);
    if (!registry_.keyExists(key))
        return false;
    ReadTestOptions(registry_, key, options);
    return true;
}

bool OptionSetStore::remove(const QString& name) {
    if (!IsSetName(name))
        return false;
    registry_.deleteKey(OptionSetKey(name));
    return true;
}

bool OptionSetStore::hasDefault() const {
    return registry_.keyExists(OptionSetKey(kDefaultSetName));
}
