#pragma once
// Per-user key store that stands in for the current user's registry hive.
//
// One file under the XDG config folder, shared by both programs. Keys are paths split at "\",
// compared without regard to letter case and kept in the case first written; values are typed
// (32-bit integer or string) and keep the order in which they were first written; subkeys keep
// the order in which they were first created. Every operation re-reads the file, and every
// change rewrites it atomically under a lock file, so two programs never lose each other's
// writes. Anything at the file's path that is not a plain file (a FIFO, a device, a folder) is
// unreadable, and no read of it waits. A change leaves every line it does not change as it was,
// byte for byte. Failures raise vxg::Error with the texts the user knows from the registry:
//   "Failed to get data for '%s'", "Invalid data type for '%s'", "Failed to set data for '%s'".
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace vxg {

struct RegValue {
    QString name;
    std::variant<qint32, QString> data;
};

// The values of one key as the file held them at one moment. The reads answer as the
// Registry's reads of the same names do.
class RegKeyValues {
public:
    explicit RegKeyValues(QList<RegValue> values = {}) : values_(std::move(values)) {}

    bool valueExists(const QString& name) const { return find(name) != nullptr; }
    QStringList valueNames() const;
    qint32 readInteger(const QString& name) const;
    bool readBool(const QString& name) const { return readInteger(name) != 0; }
    QString readString(const QString& name) const;

private:
    const RegValue* find(const QString& name) const;

    QList<RegValue> values_;
};

class Registry {
public:
    // The file used by both programs: <XDG config>/Brelkano/VXG.reg
    static QString defaultFilePath();

    // Far beyond what the programs write: a file beyond either limit is unreadable as a whole,
    // and a change that would go beyond either is refused.
    static constexpr qint64 maxFileBytes = 4 * 1024 * 1024;
    static constexpr int maxKeyDepth = 32;

    explicit Registry(QString filePath = defaultFilePath());
    const QString& filePath() const { return filePath_; }

    // Keys. A key path is split at "\"; empty pieces (a trailing "\") are dropped, so
    // "A\B\" names the key "A\B".
    bool keyExists(const QString& key) const;
    QStringList subKeyNames(const QString& key) const; // empty when the key is missing
    void createKey(const QString& key);                // creates the keys above it too
    void deleteKey(const QString& key);                // with everything below; missing: no-op
                                                       // (the empty path empties the store)

    // Values of an existing key.
    bool valueExists(const QString& key, const QString& name) const;
    QStringList valueNames(const QString& key) const;

    // Missing key or value: "Failed to get data for '<name>'". A string value: "Invalid data
    // type for '<name>'" when its data (single-byte text and a terminating zero) fits in four
    // bytes, "Failed to get data for '<name>'" when it does not.
    qint32 readInteger(const QString& key, const QString& name) const;
    bool readBool(const QString& key, const QString& name) const; // any non-zero integer is true
    // Missing key or value reads as the empty string; an integer value: "Invalid data type".
    QString readString(const QString& key, const QString& name) const;

    // The key's values from one reading of the file, for values that must agree with each
    // other (a set the other program saves whole); nullopt when the key is missing.
    std::optional<RegKeyValues> readKey(const QString& key) const;

    // Writes create the key (and the keys above it) when missing. A failed write raises
    // "Failed to set data for '<name>'" and leaves the file as it was.
    void writeInteger(const QString& key, const QString& name, qint32 value);
    void writeBool(const QString& key, const QString& name, bool value); // stored as 0 or 1
    void writeString(const QString& key, const QString& name, const QString& value);
    // Several values in one change: either all are written or none (on failure the error
    // names the first value).
    void writeValues(const QString& key, const QList<RegValue>& values);
    void deleteValue(const QString& key, const QString& name);

    // How long a change waits for the other program to finish its own before it gives up with
    // "Failed to set data".
    void setLockTimeout(int milliseconds) { lockTimeoutMs_ = milliseconds; }
    int lockTimeout() const { return lockTimeoutMs_; }

private:
    QString filePath_;
    int lockTimeoutMs_ = 5000;
};

} // namespace vxg
