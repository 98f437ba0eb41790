#pragma once
// Where and how a testing-parameter set lies in the registry.
#include "Records.h"

#include "Registry.h"

#include <QList>
#include <QString>

inline const QString kExaminerKey = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Verirozaz");
inline const QString kEditorKey = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Examwright");
inline const QString kOptionsKey = QStringLiteral("SOFTWARE\\Brelkano\\VXG\\Verirozaz\\Options");
inline const QString kDefaultSetName = QStringLiteral("Default");
inline const QString kNoNameSetName = QStringLiteral("No Name");
inline const QString kLastSetName = QStringLiteral("Last");

// kOptionsKey + "\" + name.
QString OptionSetKey(const QString& name);

// The eighteen values of a set in their stored order.
QList<vxg::RegValue> TestOptionsValues(const TTestOptions& options);

// Writes all eighteen values (GivenVopr, Na1..Na12, TimeBool, MaxTime, RandomGiveOut, MayBack,
// ShowRights) in that order, in one change, creating the key when missing.
void WriteTestOptions(vxg::Registry& reg, const QString& key, const TTestOptions& options);

// Reads the eighteen values in the same order into options. Stops at the first missing or
// mistyped value with the registry's error; the fields read before it are already set.
void ReadTestOptions(const vxg::RegKeyValues& set, TTestOptions& options);
// The same from the key as one reading of the registry finds it (a missing key holds no values).
void ReadTestOptions(const vxg::Registry& reg, const QString& key, TTestOptions& options);
