#pragma once
// The named testing-parameter sets kept below the sets key (kOptionsKey), one key per set.
//
// Plain logic over the registry: no windows, no message boxes. The parameters dialog puts the
// user-facing messages around it; the archive reader uses it too. Every call goes to the
// registry afresh, so a set written meanwhile by the question editor is seen at once; a set is
// read whole from one reading, never part from one save of it and part from the next.
//
// The store keeps its own rules, so that every dialog over it inherits them: the reserved names
// ("Default", "No Name", "Last", in any letter case, since the registry ignores case) are never
// saved over or deleted by name, and a set whose values lie outside what the program can work
// with is never handed out.
#include "Records.h"
#include "Registry.h"

#include <QString>
#include <QStringList>

class OptionSetStore {
public:
    explicit OptionSetStore(vxg::Registry registry = vxg::Registry());

    // A name that can address a set of its own: not empty and without the key separator "\".
    // An empty name would address the sets key itself, and a separator would reach a key
    // nested inside another set (or, for "\" alone, the sets key again).
    static bool IsSetName(const QString& name);
    // "Default", "No Name" or "Last" in any letter case.
    static bool IsReservedName(const QString& name);
    // A name that save and remove accept: a set name that is not reserved.
    static bool IsUserSetName(const QString& name);

    // The first value of options outside what the program can work with (questions per card
    // 1..100, thresholds 0..110, time limit 1..1440 minutes), by its stored name ("GivenVopr",
    // "Na3", "MaxTime"); empty when every value is in range.
    static QString OutOfRangeValue(const TTestOptions& options);

    // Names of the stored sets in the registry's order, without "Last" (any letter case).
    // Empty when the sets key is missing.
    QStringList names() const;

    // Writes all eighteen values as the set name, creating its key when missing; other
    // values in the key (such as LastName) stay. A name that IsUserSetName refuses raises
    // vxg::Error with lang(117) and writes nothing.
    void save(const QString& name, const TTestOptions& options);

    // Reads the set name into options. False, options untouched, when no such set is stored
    // (a name that IsSetName refuses never names a stored set). A stored key that lacks a
    // value or holds one of another type raises the registry's error; the fields before it
    // are already filled in. A set with a value out of range (OutOfRangeValue) raises
    // vxg::Error naming the set and the value, options untouched.
    bool load(const QString& name, TTestOptions& options) const;

    // Deletes the set name with every key below it; a set that is not stored is no error.
    // A name that IsUserSetName refuses deletes nothing: returns false.
    bool remove(const QString& name);

    // Whether the factory set's key exists (the registry ignores letter case).
    bool hasDefault() const;
    // Writes the factory set "Default": the one way that set is written.
    void saveDefault(const TTestOptions& options);

    // The examiner's own set "Last" and its LastName, checked as load checks a set. False,
    // both untouched, when "Last" is not stored.
    bool loadLast(TTestOptions& options, QString& lastName) const;

    const vxg::Registry& registry() const { return registry_; }

private:
    vxg::Registry registry_;
};
