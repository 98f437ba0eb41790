#include "Registry.h"

#include "AtomicFile.h"
#include "Cp1251.h"
#include "Error.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <functional>
#include <optional>
#include <vector>

// File format (UTF-8 text, close to a Windows .reg export so that a person can read and mend it):
//
//   ; VXG user settings
//
//   [SOFTWARE\Brelkano\VXG\Verirozaz\Options\Default]
//   "GivenVopr"=dword:0000000a
//   "LastName"="Default"
//
// A section header names a key by its full path; a key that holds nothing but other keys has
// no section of its own, the paths below it name it. Key names are written as they are,
// except that control characters, "%" and "\" are written as %XX. Names and string data are
// quoted, with \\, \", \n, \r, \t and \xHH for the other control characters. Lines that are
// none of these are kept where they stand and written back unchanged, so that a damaged or
// hand-edited file never loses anything on the next change.

namespace vxg {

namespace {

constexpr QChar kSeparator = u'\\';
constexpr int kStaleLockMs = 10000;
const QString kSignature = QStringLiteral("; VXG user settings");
const QString kDwordPrefix = QStringLiteral("dword:");

// Subkeys and values are also indexed by their case-folded names (the folding that the
// case-insensitive comparison uses), so that a file of many keys or values is read in time in
// proportion to its size. No tree is deeper than maxKeyDepth: the reader refuses a deeper
// file and a change a deeper key, so freeing a tree, which recurses, stays shallow.
struct Key {
    QString name;
    QList<RegValue> values;
    std::vector<Key> subKeys;
    QStringList keptLines; // lines that could not be read, written back as they were
    QHash<QString, qsizetype> valueIndex;
    QHash<QString, std::size_t> subKeyIndex;

    bool hasContent() const { return !values.isEmpty() || !keptLines.isEmpty(); }
};

QStringList splitPath(const QString& key) {
    return key.split(kSeparator, Qt::SkipEmptyParts);
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

template <class K> auto findSubKey(K& key, const QString& name) -> decltype(&key.subKeys[0]) {
    const auto it = key.subKeyIndex.constFind(folded(name));
    return it == key.subKeyIndex.cend() ? nullptr : &key.subKeys[*it];
}

template <class K> auto findKey(K& root, const QStringList& path) -> decltype(&root) {
    auto* key = &root;
    for (const QString& piece : path) {
        key = findSubKey(*key, piece);
        if (!key)
            return nullptr;
    }
    return key;
}

Key& makeKey(Key& root, const QStringList& path) {
    Key* key = &root;
    for (const QString& piece : path) {
        const QString id = folded(piece);
        auto it = key->subKeyIndex.constFind(id);
        if (it == key->subKeyIndex.cend()) {
            it = key->subKeyIndex.insert(id, key->subKeys.size());
            key->subKeys.emplace_back().name = piece;
        }
        key = &key->subKeys[*it];
    }
    return *key;
}

bool removeSubKey(Key& key, const QString& name) {
    const auto it = key.subKeyIndex.constFind(folded(name));
    if (it == key.subKeyIndex.cend())
        return false;
    key.subKeys.erase(key.subKeys.begin() + std::ptrdiff_t(*it));
    key.subKeyIndex.clear();
    for (std::size_t i = 0; i < key.subKeys.size(); ++i)
        key.subKeyIndex.insert(folded(key.subKeys[i].name), i);
    return true;
}

void setValue(Key& key, const RegValue& value) {
    const QString id = folded(value.name);
    if (const auto it = key.valueIndex.constFind(id); it != key.valueIndex.cend()) {
        key.values[*it].data = value.data; // the name keeps the case it was first written in
        return;
    }
    key.valueIndex.insert(id, key.values.size());
    key.values.append(value);
}

bool removeValue(Key& key, const QString& name) {
    const auto it = key.valueIndex.constFind(folded(name));
    if (it == key.valueIndex.cend())
        return false;
    key.values.removeAt(*it);
    key.valueIndex.clear();
    for (qsizetype i = 0; i < key.values.size(); ++i)
        key.valueIndex.insert(folded(key.values[i].name), i);
    return true;
}

// ---- text format -------------------------------------------------------------------------

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString hex2(ushort code) {
    return QStringLiteral("%1").arg(code, 2, 16, QChar(u'0')).toUpper();
}

QString quote(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += u"\\\\";
            break;
        case '"':
            out += u"\\\"";
            break;
        case '\n':
            out += u"\\n";
            break;
        case '\r':
            out += u"\\r";
            break;
        case '\t':
            out += u"\\t";
            break;
        default:
            if (isControl(c))
                out += QStringLiteral("\\x") + hex2(c.unicode());
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

int hexDigit(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads a quoted string starting at pos (which must hold the opening quote); pos ends after
// the closing quote. False when the text is not a well-formed quoted string.
bool unquote(QStringView line, qsizetype& pos, QString& out) {
    if (pos >= line.size() || line[pos] != u'"')
        return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const QChar c = line[pos++];
        if (c == u'"')
            return true;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        const QChar e = line[pos++];
        switch (e.unicode()) {
        case '\\':
            out += u'\\';
            break;
        case '"':
            out += u'"';
            break;
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case 'x': {
            if (pos + 2 > line.size())
                return false;
            const int hi = hexDigit(line[pos]);
            const int lo = hexDigit(line[pos + 1]);
            if (hi < 0 || lo < 0)
                return false;
            out += QChar(char16_t(hi * 16 + lo));
            pos += 2;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

QString encodeKeyName(const QString& name) {
    QString out;
    for (QChar c : name) {
        if (isControl(c) || c == u'%' || c == kSeparator)
            out += u'%' + hex2(c.unicode());
        else
            out += c;
    }
    return out;
}

QString decodeKeyName(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            const int hi = hexDigit(text[i + 1]);
            const int lo = hexDigit(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += QChar(char16_t(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool parseValueLine(QStringView line, RegValue& value) {
    qsizetype pos = 0;
    QString name;
    if (!unquote(line, pos, name))
        return false;
    if (pos >= line.size() || line[pos] != u'=')
        return false;
    ++pos;
    const QStringView rest = line.mid(pos);
    if (rest.startsWith(kDwordPrefix)) {
        const QStringView digits = rest.mid(kDwordPrefix.size());
        if (digits.isEmpty() || digits.size() > 8)
            return false;
        for (QChar c : digits)
            if (hexDigit(c) < 0)
                return false;
        bool ok = false;
        const uint bits = digits.toUInt(&ok, 16);
        if (!ok)
            return false;
        value = RegValue{name, qint32(bits)};
        return true;
    }
    QString text;
    if (!unquote(line, pos, text) || pos != line.size())
        return false;
    value = RegValue{name, text};
    return true;
}

// The key path of a section header; nullopt when it lies deeper than the limit.
std::optional<QStringList> headerPath(QStringView inner) {
    QStringList path;
    for (QStringView piece : inner.tokenize(kSeparator, Qt::SkipEmptyParts)) {
        if (path.size() == Registry::maxKeyDepth)
            return std::nullopt;
        path << decodeKeyName(piece);
    }
    return path;
}

// The tree the text holds; nullopt when a key lies deeper than the limit.
std::optional<Key> parse(const QByteArray& bytes) {
    Key root;
    Key* current = &root;
    const QString text = QString::fromUtf8(bytes);
    QStringView rest(text);
    if (rest.startsWith(QChar(0xfeff)))
        rest = rest.mid(1);
    for (QStringView raw : rest.tokenize(u'\n')) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line == kSignature)
            continue;
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            const std::optional<QStringList> path = headerPath(line.mid(1, line.size() - 2));
            if (!path)
                return std::nullopt;
            current = &makeKey(root, *path);
            continue;
        }
        RegValue value;
        if (parseValueLine(line, value))
            setValue(*current, value);
        else
            current->keptLines << line.toString();
    }
    return root;
}

QString valueLine(const RegValue& value) {
    QString line = quote(value.name) + u'=';
    if (const qint32* number = std::get_if<qint32>(&value.data))
        line += kDwordPrefix + QStringLiteral("%1").arg(quint32(*number), 8, 16, QChar(u'0'));
    else
        line += quote(std::get<QString>(value.data));
    return line;
}

void writeSection(const Key& key, const QString& path, QString& out) {
    out += u'[' + path + QStringLiteral("]\n");
    for (const RegValue& value : key.values)
        out += valueLine(value) + u'\n';
    for (const QString& line : key.keptLines)
        out += line + u'\n';
    out += u'\n';
}

// Parents before their subkeys, each key at most once. A key that holds nothing but subkeys is
// made again, at the same place among its siblings, by the first path below it, so it takes no
// section: repeating every such key with its full path would grow the file with the square of
// its depth. The tree is no deeper than maxKeyDepth, and neither is this recursion.
void writeSubKeys(const Key& key, const QString& path, QString& out) {
    for (const Key& sub : key.subKeys) {
        const QString name = encodeKeyName(sub.name);
        const QString subPath = path.isEmpty() ? name : path + kSeparator + name;
        if (sub.hasContent() || sub.subKeys.empty())
            writeSection(sub, subPath, out);
        writeSubKeys(sub, subPath, out);
    }
}

QByteArray serialize(const Key& root) {
    QString out = kSignature + QStringLiteral("\n\n");
    if (root.hasContent())
        writeSection(root, QString(), out);
    writeSubKeys(root, QString(), out);
    return out.toUtf8();
}

// ---- file access -------------------------------------------------------------------------

// The tree as the file holds it now. A missing file is an empty store; false when the file
// cannot be read, or lies beyond the limits: no program of the suite wrote such a file, and
// whatever it is, it is not ours to write over.
bool load(const QString& filePath, Key& root) {
    root = Key{};
    QFile file(filePath);
    // Opened before anything else is asked of it: while the other program replaces the file,
    // an existence check can miss it.
    if (!file.open(QIODevice::ReadOnly))
        return !QFileInfo::exists(filePath);
    if (file.size() > Registry::maxFileBytes)
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() > Registry::maxFileBytes)
        return false;
    std::optional<Key> tree = parse(bytes);
    if (!tree)
        return false;
    root = std::move(*tree);
    return true;
}

Key loadForReading(const QString& filePath) {
    Key root;
    if (!load(filePath, root))
        root = Key{}; // an unreadable store reads like an empty one
    return root;
}

RegKeyValues valuesAt(const Key& root, const QString& key) {
    const Key* k = findKey(root, splitPath(key));
    return RegKeyValues(k ? k->values : QList<RegValue>());
}

QString getDataError(const QString& name) {
    return QStringLiteral("Failed to get data for '%1'").arg(name);
}
QString typeError(const QString& name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}
QString setDataError(const QString& name) {
    return QStringLiteral("Failed to set data for '%1'").arg(name);
}

QString lockPath(const QString& filePath) {
    return filePath + QStringLiteral(".lock");
}

// Waits for the lock with short, randomised retries: QLockFile's own waiting doubles its pause
// up to seconds, which lets a busy writer starve the other program.
bool acquire(QLockFile& lock, int timeoutMs) {
    lock.setStaleLockTime(kStaleLockMs);
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (lock.tryLock(0))
            return true;
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(QRandomGenerator::global()->bounded(1, 6));
    }
}

// Re-reads the file under the lock, lets edit change the tree and writes the tree back in one
// atomic replacement. edit returns false when it changed nothing; then the file is not touched.
void change(const QString& filePath, int lockTimeoutMs, const QString& errorName,
            const std::function<bool(Key&)>& edit) {
    const QFileInfo info(filePath);
    if (!QDir().mkpath(info.absolutePath()))
        throw Error(setDataError(errorName));

    QLockFile lock(lockPath(filePath));
    if (!acquire(lock, lockTimeoutMs))
        throw Error(setDataError(errorName));

    Key root;
    if (!load(filePath, root))
        throw Error(setDataError(errorName)); // rewriting what we could not read would lose it
    if (!edit(root))
        return;

    // Never a file that could not be read back.
    const QByteArray bytes = serialize(root);
    if (bytes.size() > Registry::maxFileBytes || !WriteFileAtomically(filePath, bytes).ok())
        throw Error(setDataError(errorName));
}

// The pieces of a key that a change may create.
QStringList writablePath(const QString& key, const QString& errorName) {
    QStringList path = splitPath(key);
    if (path.size() > Registry::maxKeyDepth)
        throw Error(setDataError(errorName));
    return path;
}

} // namespace

QStringList RegKeyValues::valueNames() const {
    QStringList names;
    for (const RegValue& value : values_)
        names << value.name;
    return names;
}

const RegValue* RegKeyValues::find(const QString& name) const {
    for (const RegValue& value : values_)
        if (value.name.compare(name, Qt::CaseInsensitive) == 0)
            return &value;
    return nullptr;
}

qint32 RegKeyValues::readInteger(const QString& name) const {
    const RegValue* value = find(name);
    if (!value)
        throw Error(getDataError(name));
    if (const qint32* number = std::get_if<qint32>(&value->data))
        return *number;
    // A string's data does not fit the four bytes of an integer unless it is at most three
    // single-byte characters and its terminating zero: then the read itself fails before its
    // type is looked at.
    const qsizetype dataSize = cp1251::encode(std::get<QString>(value->data)).size() + 1;
    if (dataSize > qsizetype(sizeof(qint32)))
        throw Error(getDataError(name));
    throw Error(typeError(name));
}

QString RegKeyValues::readString(const QString& name) const {
    const RegValue* value = find(name);
    if (!value)
        return {};
    if (const QString* text = std::get_if<QString>(&value->data))
        return *text;
    throw Error(typeError(name));
}

QString Registry::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brelkano/VXG.reg");
}

Registry::Registry(QString filePath) : filePath_(std::move(filePath)) {}

bool Registry::keyExists(const QString& key) const {
    const Key root = loadForReading(filePath_);
    return findKey(root, splitPath(key)) != nullptr;
}

QStringList Registry::subKeyNames(const QString& key) const {
    const Key root = loadForReading(filePath_);
    QStringList names;
    if (const Key* k = findKey(root, splitPath(key)))
        for (const Key& sub : k->subKeys)
            names << sub.name;
    return names;
}

void Registry::createKey(const QString& key) {
    const QStringList path = writablePath(key, key);
    change(filePath_, lockTimeoutMs_, key, [&](Key& root) {
        if (findKey(root, path))
            return false;
        makeKey(root, path);
        return true;
    });
}

void Registry::deleteKey(const QString& key) {
    const QStringList path = splitPath(key);
    if (!keyExists(key))
        return;
    change(filePath_, lockTimeoutMs_, key, [&](Key& root) {
        if (path.isEmpty()) {
            const bool hadAnything = !root.subKeys.empty() || root.hasContent();
            root = Key{};
            return hadAnything;
        }
        Key* parent = findKey(root, path.mid(0, path.size() - 1));
        return parent && removeSubKey(*parent, path.back());
    });
}

bool Registry::valueExists(const QString& key, const QString& name) const {
    return valuesAt(loadForReading(filePath_), key).valueExists(name);
}

QStringList Registry::valueNames(const QString& key) const {
    return valuesAt(loadForReading(filePath_), key).valueNames();
}

qint32 Registry::readInteger(const QString& key, const QString& name) const {
    return valuesAt(loadForReading(filePath_), key).readInteger(name);
}

bool Registry::readBool(const QString& key, const QString& name) const {
    return readInteger(key, name) != 0;
}

QString Registry::readString(const QString& key, const QString& name) const {
    return valuesAt(loadForReading(filePath_), key).readString(name);
}

std::optional<RegKeyValues> Registry::readKey(const QString& key) const {
    // Under the lock, as changes are made, so that the file read is the one the last finished
    // change left. A lock that cannot be had (a folder the user may not write to, another
    // program that does not let go in time) does not stop the read: every change replaces the
    // file whole, so one reading of it still sees one state.
    QLockFile lock(lockPath(filePath_));
    acquire(lock, lockTimeoutMs_);
    const Key root = loadForReading(filePath_);
    const Key* k = findKey(root, splitPath(key));
    if (!k)
        return std::nullopt;
    return RegKeyValues(k->values);
}

void Registry::writeInteger(const QString& key, const QString& name, qint32 value) {
    writeValues(key, {RegValue{name, value}});
}

void Registry::writeBool(const QString& key, const QString& name, bool value) {
    writeInteger(key, name, value ? 1 : 0);
}

void Registry::writeString(const QString& key, const QString& name, const QString& value) {
    writeValues(key, {RegValue{name, value}});
}

void Registry::writeValues(const QString& key, const QList<RegValue>& values) {
    const QString errorName = values.isEmpty() ? key : values.front().name;
    const QStringList path = writablePath(key, errorName);
    change(filePath_, lockTimeoutMs_, errorName, [&](Key& root) {
        Key& k = makeKey(root, path);
        for (const RegValue& value : values)
            setValue(k, value);
        return true;
    });
}

void Registry::deleteValue(const QString& key, const QString& name) {
    const QStringList path = splitPath(key);
    if (!valueExists(key, name))
        return;
    change(filePath_, lockTimeoutMs_, name, [&](Key& root) {
        Key* k = findKey(root, path);
        return k && removeValue(*k, name);
    });
}

} // namespace vxg
