#pragma once
// The named testing-parameter sets kept below the sets key (kOptionsKey), one key per set.
//
// Plain logic over the registry: no windows, no message boxes. The parameters dialog puts the
// user-facing messages around it; the archive reader uses it too. Every call goes to the
// registry afresh, so a set written meanwhile by the question editor is seen at once.
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

    // Names of the stored sets in the registry's order, without "Last" (any letter case).
    // Empty when the sets key is missing.
    QStringList names() const;

    // Writes all eighteen values as the set name, creating its key when missing; other
    // values in the key (such as LastName) stay. A name that IsSetName refuses raises
    // vxg::Error with lang(117) and writes nothing.
    void save(const QString& name, const TTestOptions& options);

    // Reads the set name into options. False, options untouched, when no such set is stored
    // (a name that IsSetName refuses never names a stored set). A stored key that lacks a
    // value or holds one of another type raises the registry's error; the fields before it
    // are already filled in.
    bool load(const QString& name, TTestOptions& options) const;

    // Deletes the set name with every key below it; a set that is not stored is no error.
    // A name that IsSetName refuses deletes nothing: returns false.
    bool remove(const QString& name);

    // Whether the factory set's key exists (the registry ignores letter case).
    bool hasDefault() const;

    const vxg::Registry& registry() const { return registry_; }

private:
    vxg::Registry registry_;
};
