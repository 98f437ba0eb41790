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
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
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
// quoted, with \\, \", \n, \r, \t and \xHH for the other control characters. Sections of the
// same key (in any letter case) make one key; a value written twice keeps its first place and
// its last data.
//
// A change edits the file's text where the key it changes lies and leaves every other line
// byte for byte as it was: lines that are none of the above, a damaged or hand-edited file and
// bytes that are not UTF-8 lose nothing on the next change. A byte that is not part of valid
// UTF-8 reads as a character of its own (U+DC80 to U+DCFF), which is written back as that byte,
// so that a name in another code page keeps its bytes through a program that reads and writes it.
//
// Neither reading nor changing builds the whole tree of keys: a read walks the file once and
// keeps only what the key asked for holds, a change only where that key's lines lie, so both
// cost time and memory in proportion to the file.

namespace vxg {

namespace {

constexpr QChar kSeparator = u'\\';
constexpr int kStaleLockMs = 10000;
const QString kSignature = QStringLiteral("; VXG user settings");
const QString kDwordPrefix = QStringLiteral("dword:");
const QByteArray kUtf8Bom("\xef\xbb\xbf");
constexpr char16_t kRawByteBase = 0xdc00; // + the byte, for bytes 0x80 to 0xff

// ---- bytes and text ----------------------------------------------------------------------

// The length of the valid UTF-8 sequence at the start of bytes and its code point; 0 when
// there is none (a stray, overlong, cut-off or surrogate sequence).
int utf8Sequence(const uchar* bytes, qsizetype available, char32_t& code) {
    const uchar lead = bytes[0];
    int length = 0;
    char32_t least = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2, code = lead & 0x1f, least = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3, code = lead & 0x0f, least = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xc0) != 0x80)
            return 0;
        code = code << 6 | (bytes[i] & 0x3f);
    }
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    return code < least || surrogate || code > 0x10ffff ? 0 : length;
}

// UTF-8 where it is valid; each other byte becomes the character that stands for it.
void decode(QByteArrayView bytes, QString& out) {
    out.resize(bytes.size()); // never more UTF-16 units than bytes
    QChar* to = out.data();
    const auto* from = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        if (from[i] < 0x80) {
            *to++ = QChar(from[i++]);
            continue;
        }
        char32_t code = 0;
        const int length = utf8Sequence(from + i, size - i, code);
        if (length == 0) {
            *to++ = QChar(char16_t(kRawByteBase + from[i++]));
            continue;
        }
        if (code >= 0x10000) {
            *to++ = QChar(QChar::highSurrogate(code));
            *to++ = QChar(QChar::lowSurrogate(code));
        } else {
            *to++ = QChar(char16_t(code));
        }
        i += length;
    }
    out.truncate(to - out.constData());
}

bool isRawByte(char16_t unit) {
    return unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xff;
}

// The reverse of decode: the characters that stand for bytes become those bytes again.
void appendEncoded(QStringView text, QByteArray& out) {
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype upTo) { out += text.sliced(plainFrom, upTo - plainFrom).toUtf8(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // a character beyond 16 bits, whose second half may look like a byte's
            continue;
        }
        if (!isRawByte(text[i].unicode()))
            continue;
        flushPlain(i);
        out += char(text[i].unicode() - kRawByteBase);
        plainFrom = i + 1;
    }
    flushPlain(text.size());
}

QByteArray encoded(QStringView text) {
    QByteArray out;
    appendEncoded(text, out);
    return out;
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

QStringList foldedPath(const QString& key) {
    QStringList path = key.split(kSeparator, Qt::SkipEmptyParts);
    for (QString& piece : path)
        piece = folded(piece);
    return path;
}

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

QString valueLine(const RegValue& value) {
    QString line = quote(value.name) + u'=';
    if (const qint32* number = std::get_if<qint32>(&value.data))
        line += kDwordPrefix + QStringLiteral("%1").arg(quint32(*number), 8, 16, QChar(u'0'));
    else
        line += quote(std::get<QString>(value.data));
    return line;
}

// ---- lines of the file -------------------------------------------------------------------

// Where a line's bytes lie: [begin, end) without its line end, next where the line after it
// begins.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// Walks the lines of the file, each decoded and trimmed as the reader sees it.
class LineScanner {
public:
    explicit LineScanner(const QByteArray& bytes)
        : bytes_(bytes), pos_(bytes.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0) {}

    // Where the first line begins (after a byte order mark).
    qsizetype start() const { return bytes_.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0; }

    bool next() {
        if (pos_ >= bytes_.size())
            return false;
        const qsizetype lineEnd = bytes_.indexOf('\n', pos_);
        line_.begin = pos_;
        line_.end = lineEnd < 0 ? bytes_.size() : lineEnd;
        line_.next = lineEnd < 0 ? bytes_.size() : lineEnd + 1;
        pos_ = line_.next;
        decode(QByteArrayView(bytes_).sliced(line_.begin, line_.end - line_.begin), decoded_);
        text_ = QStringView(decoded_).trimmed();
        return true;
    }

    const Line& line() const { return line_; }
    QStringView text() const { return text_; }
    bool isBlank() const { return text_.isEmpty() || text_ == kSignature; }
    bool isHeader() const { return text_.size() >= 2 && text_.front() == u'[' && text_.back() == u']'; }

private:
    const QByteArray& bytes_;
    qsizetype pos_;
    Line line_;
    QString decoded_;
    QStringView text_;
};

// The pieces of a section header's key path as the file spells them; tooDeep when it lies
// deeper than the limit (the pieces then stop there).
struct HeaderPath {
    QVarLengthArray<QStringView, Registry::maxKeyDepth + 1> pieces;
    bool tooDeep = false;
    qsizetype depth() const { return pieces.size(); }
};

HeaderPath headerPath(QStringView header) {
    HeaderPath path;
    for (QStringView piece : header.sliced(1, header.size() - 2).tokenize(kSeparator, Qt::SkipEmptyParts)) {
        if (path.pieces.size() == Registry::maxKeyDepth) {
            path.tooDeep = true;
            break;
        }
        path.pieces.append(piece);
    }
    return path;
}

bool isPlainAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80 && c != u'%'; });
}

// Whether a key name as the file spells it is the name whose folding is given. Most names are
// plain ASCII, which folds to lower case without a copy.
bool sameName(QStringView spelled, const QString& foldedName) {
    if (!isPlainAscii(spelled))
        return folded(decodeKeyName(spelled)) == foldedName;
    if (spelled.size() != foldedName.size())
        return false;
    for (qsizetype i = 0; i < spelled.size(); ++i)
        if (QChar::toLower(spelled[i].unicode()) != foldedName[i].unicode())
            return false;
    return true;
}

// How many leading pieces the header and the path share.
int sharedDepth(const HeaderPath& header, const QStringList& path) {
    const qsizetype most = std::min(header.depth(), path.size());
    int depth = 0;
    while (depth < most && sameName(header.pieces[depth], path[depth]))
        ++depth;
    return depth;
}

// Values of one key in the order of first writing; a later one of the same name (in any case)
// gives its data to the first.
class ValueMerge {
public:
    void add(const RegValue& value) {
        const QString id = folded(value.name);
        if (const auto it = index_.constFind(id); it != index_.cend()) {
            values_[*it].data = value.data;
            return;
        }
        index_.insert(id, values_.size());
        values_.append(value);
    }
    const QList<RegValue>& values() const { return values_; }

private:
    QList<RegValue> values_;
    QHash<QString, qsizetype> index_;
};

// ---- reading one key ---------------------------------------------------------------------

// What one reading of the file shows of one key.
struct KeyState {
    bool exists = false;
    QStringList subKeys; // in the order of first writing, each in the case first written
    QList<RegValue> values;
};

// The key at the (folded) path; nullopt when a key of the file lies deeper than the limit.
std::optional<KeyState> readKeyState(const QByteArray& bytes, const QStringList& path) {
    KeyState state;
    state.exists = path.isEmpty();
    QSet<QString> subKeysSeen;
    ValueMerge values;
    bool inKey = path.isEmpty(); // lines before the first header belong to the root
    LineScanner lines(bytes);
    while (lines.next()) {
        if (lines.isBlank())
            continue;
        if (lines.isHeader()) {
            const HeaderPath header = headerPath(lines.text());
            if (header.tooDeep)
                return std::nullopt;
            const bool atOrBelow = sharedDepth(header, path) == path.size();
            inKey = atOrBelow && header.depth() == path.size();
            if (atOrBelow) {
                state.exists = true;
                if (!inKey) {
                    const QString name = decodeKeyName(header.pieces[path.size()]);
                    if (!subKeysSeen.contains(folded(name))) {
                        subKeysSeen.insert(folded(name));
                        state.subKeys << name;
                    }
                }
            }
            continue;
        }
        RegValue value;
        if (inKey && parseValueLine(lines.text(), value))
            values.add(value);
    }
    state.values = values.values();
    return state;
}

// ---- where a key lies, for a change ------------------------------------------------------

struct ValueLine {
    Line line;
    QString name; // as the file spells it
    QString id;   // folded
};

struct Range {
    qsizetype begin;
    qsizetype end;
};

// The lines of one key and of the keys around it that a change of that key edits.
struct KeyLayout {
    qsizetype depth = 0;           // of the key's path
    qsizetype existingDepth = 0;   // how many leading pieces of the path name keys that exist
    QStringList spelling;          // the names of those keys, in the case first written
    std::vector<Line> ownHeaders;  // of the key's own sections (the root's: the file's start)
    std::vector<ValueLine> values; // the value lines of those sections, in file order
    qsizetype firstBelow = -1;     // where the first section of a key below it begins
    std::vector<Range> sections;   // the sections of the key and of every key below it
    bool parentHasSection = false; // the key above it has a section of its own
    bool parentHasOthers = false;  // the key above it has another subkey
    // For each depth d: where the last section of a key at or below the path's first d pieces
    // ends, which is where a new key below that one goes.
    std::array<qsizetype, Registry::maxKeyDepth + 1> subtreeEnd{};

    bool exists() const { return existingDepth == depth; }
};

class LayoutScan {
public:
    LayoutScan(const QByteArray& bytes, const QStringList& path) : path_(path) {
        layout_.depth = path.size();
        pending_.fill(false);
        pending_[0] = true; // the root's own lines start the file
        if (path.isEmpty())
            layout_.ownHeaders.push_back(Line{0, 0, LineScanner(bytes).start()});
        inKey_ = path.isEmpty();
        end_ = bytes.size();
    }

    // False when a key of the file lies deeper than the limit.
    bool header(const HeaderPath& header, const Line& line) {
        if (header.tooDeep)
            return false;
        closeSections(line.begin);
        const int shared = sharedDepth(header, path_);
        noteSpelling(header, shared);
        for (int d = 0; d <= shared; ++d)
            pending_[d] = true;
        const bool atOrBelow = shared == layout_.depth;
        inKey_ = atOrBelow && header.depth() == layout_.depth;
        if (inKey_)
            layout_.ownHeaders.push_back(line);
        else if (atOrBelow && layout_.firstBelow < 0)
            layout_.firstBelow = line.begin;
        if (atOrBelow && layout_.depth > 0)
            sectionBegin_ = line.begin;
        noteParent(header, shared);
        return true;
    }

    void otherLine(QStringView text, const Line& line) {
        RegValue value;
        if (inKey_ && parseValueLine(text, value))
            layout_.values.push_back(ValueLine{line, value.name, folded(value.name)});
    }

    KeyLayout finish() {
        closeSections(end_);
        return std::move(layout_);
    }

private:
    void closeSections(qsizetype at) {
        for (qsizetype d = 0; d <= layout_.depth; ++d)
            if (pending_[d]) {
                layout_.subtreeEnd[d] = at;
                pending_[d] = false;
            }
        if (sectionBegin_ >= 0)
            layout_.sections.push_back(Range{sectionBegin_, at});
        sectionBegin_ = -1;
    }

    void noteSpelling(const HeaderPath& header, int shared) {
        for (qsizetype d = layout_.existingDepth; d < shared; ++d)
            layout_.spelling << decodeKeyName(header.pieces[d]);
        layout_.existingDepth = std::max<qsizetype>(layout_.existingDepth, shared);
    }

    void noteParent(const HeaderPath& header, int shared) {
        const qsizetype parent = layout_.depth - 1;
        if (parent < 0 || shared != parent)
            return;
        if (header.depth() == parent)
            layout_.parentHasSection = true;
        else
            layout_.parentHasOthers = true;
    }

    const QStringList& path_;
    KeyLayout layout_;
    std::array<bool, Registry::maxKeyDepth + 1> pending_{};
    qsizetype sectionBegin_ = -1;
    qsizetype end_ = 0;
    bool inKey_ = false;
};

std::optional<KeyLayout> scanLayout(const QByteArray& bytes, const QStringList& path) {
    LayoutScan scan(bytes, path);
    LineScanner lines(bytes);
    while (lines.next()) {
        if (lines.isBlank())
            continue;
        if (!lines.isHeader())
            scan.otherLine(lines.text(), lines.line());
        else if (!scan.header(headerPath(lines.text()), lines.line()))
            return std::nullopt;
    }
    return scan.finish();
}

// ---- editing the text --------------------------------------------------------------------

// Replaces the bytes [begin, end) with text (an insertion when begin == end).
struct Edit {
    qsizetype begin;
    qsizetype end;
    QByteArray text;
};

bool isBlankLine(QByteArrayView line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

// Blank lines carry nothing: a run of them is written as one, so that padding never keeps a
// change from fitting within the size limit.
QByteArray withoutBlankRuns(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    bool lastBlank = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype lineEnd = bytes.indexOf('\n', pos);
        const qsizetype next = lineEnd < 0 ? bytes.size() : lineEnd + 1;
        const QByteArrayView line = QByteArrayView(bytes).sliced(pos, next - pos);
        const bool blank = isBlankLine(line.first(lineEnd < 0 ? line.size() : line.size() - 1));
        if (!(blank && lastBlank))
            out += line;
        lastBlank = blank;
        pos = next;
    }
    return out;
}

QByteArray applyEdits(const QByteArray& bytes, std::vector<Edit> edits) {
    // Insertions at a place come before what is cut from there, in the order they were made.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end < b.end;
    });
    QByteArray out;
    if (bytes.isEmpty())
        out = encoded(kSignature) + "\n\n";
    bool lastLineOpen = !bytes.isEmpty() && !bytes.endsWith('\n');
    qsizetype pos = 0;
    for (const Edit& edit : edits) {
        out += QByteArrayView(bytes).sliced(pos, edit.begin - pos);
        if (edit.begin == bytes.size() && lastLineOpen && !edit.text.isEmpty()) {
            out += '\n'; // text added after a last line that has no line end
            lastLineOpen = false;
        }
        out += edit.text;
        pos = std::max(pos, edit.end);
    }
    out += QByteArrayView(bytes).sliced(pos);
    return withoutBlankRuns(out);
}

QByteArray encodedPath(const QStringList& names) {
    QStringList pieces;
    for (const QString& name : names)
        pieces << encodeKeyName(name);
    return encoded(pieces.join(kSeparator));
}

QByteArray valueLines(const QList<RegValue>& values) {
    QByteArray out;
    for (const RegValue& value : values)
        out += encoded(valueLine(value)) + '\n';
    return out;
}

QByteArray sectionText(const QStringList& names, const QList<RegValue>& values) {
    return '[' + encodedPath(names) + "]\n" + valueLines(values) + '\n';
}

// The key's names: those of the keys that exist as first written, the rest as asked for.
QStringList spelledPath(const KeyLayout& layout, const QStringList& asked) {
    return layout.spelling + asked.mid(layout.spelling.size());
}

// A new key goes after the last section below its deepest existing key, so that it comes last
// among that key's subkeys.
Edit newKey(const KeyLayout& layout, const QStringList& names, const QList<RegValue>& values) {
    const qsizetype at = layout.subtreeEnd[layout.existingDepth];
    return Edit{at, at, sectionText(spelledPath(layout, names), values)};
}

std::vector<Edit> setValues(const KeyLayout& layout, const QStringList& names,
                            const QList<RegValue>& values) {
    ValueMerge merged;
    for (const RegValue& value : values)
        merged.add(value);
    if (!layout.exists())
        return {newKey(layout, names, merged.values())};

    std::vector<Edit> edits;
    QList<RegValue> added;
    for (const RegValue& value : merged.values()) {
        bool found = false;
        const QString id = folded(value.name);
        for (const ValueLine& line : layout.values) {
            if (line.id != id)
                continue;
            // The first keeps its place and the case of its name; later ones would override it.
            const QByteArray text =
                found ? QByteArray() : encoded(valueLine(RegValue{line.name, value.data}));
            edits.push_back(found ? Edit{line.line.begin, line.line.next, text}
                                  : Edit{line.line.begin, line.line.end, text});
            found = true;
        }
        if (!found)
            added << value;
    }
    if (added.isEmpty())
        return edits;
    if (layout.ownHeaders.empty()) { // a key told only by the paths below it
        edits.push_back(Edit{layout.firstBelow, layout.firstBelow, sectionText(layout.spelling, added)});
        return edits;
    }
    const qsizetype at =
        layout.values.empty() ? layout.ownHeaders.front().next : layout.values.back().line.next;
    edits.push_back(Edit{at, at, valueLines(added)});
    return edits;
}

std::vector<Edit> removeValue(const KeyLayout& layout, const QString& name) {
    std::vector<Edit> edits;
    const QString id = folded(name);
    for (const ValueLine& line : layout.values)
        if (line.id == id)
            edits.push_back(Edit{line.line.begin, line.line.next, {}});
    return edits;
}

// The key above keeps existing when the last key below it goes: it gets a section of its own.
std::vector<Edit> removeKey(const KeyLayout& layout) {
    std::vector<Edit> edits;
    for (const Range& range : layout.sections)
        edits.push_back(Edit{range.begin, range.end, {}});
    if (layout.depth > 1 && !layout.parentHasSection && !layout.parentHasOthers && !edits.empty()) {
        const qsizetype at = edits.front().begin;
        edits.push_back(Edit{at, at, sectionText(layout.spelling.mid(0, layout.depth - 1), {})});
    }
    return edits;
}

// ---- file access -------------------------------------------------------------------------

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool isPlainFile(const struct stat& info) {
    return S_ISREG(info.st_mode);
}

// Reads to the end, at most one byte beyond the limit; false on a read error.
bool readAll(int fd, QByteArray& bytes) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(buffer, got);
        if (bytes.size() > Registry::maxFileBytes)
            return true;
    }
}

// The file's bytes: empty when there is no file; nullopt when it cannot be read, is anything
// but a plain file, or lies beyond the size limit: no program of the suite wrote such a file,
// and whatever it is, it is not ours to write over. A FIFO or a device is never opened for
// reading in a way that waits: it is told by its type before the open, and the open (which
// does not wait) is checked again, in case something else was put there in between.
std::optional<QByteArray> readFileBytes(const QString& filePath) {
    const QByteArray name = QFile::encodeName(filePath);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    if (!isPlainFile(info))
        return std::nullopt;
    const FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    if (::fstat(file.get(), &info) != 0 || !isPlainFile(info) || info.st_size > Registry::maxFileBytes)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    if (!readAll(file.get(), bytes) || bytes.size() > Registry::maxFileBytes)
        return std::nullopt;
    return bytes;
}

// An unreadable store reads like an empty one.
KeyState keyStateNow(const QString& filePath, const QString& key) {
    const QStringList path = foldedPath(key);
    const std::optional<QByteArray> bytes = readFileBytes(filePath);
    std::optional<KeyState> state = bytes ? readKeyState(*bytes, path) : std::nullopt;
    return state ? std::move(*state) : *readKeyState(QByteArray(), path);
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

// The edits of a change to one key, from where that key lies in the file now; nullopt leaves
// the file untouched.
using KeyEdit = std::function<std::optional<std::vector<Edit>>(const KeyLayout&)>;

// Re-reads the file under the lock, edits it where the key lies and writes it back in one
// atomic replacement.
void change(const QString& filePath, int lockTimeoutMs, const QString& errorName, const QStringList& names,
            const KeyEdit& edit) {
    const QFileInfo info(filePath);
    if (!QDir().mkpath(info.absolutePath()))
        throw Error(setDataError(errorName));

    QLockFile lock(lockPath(filePath));
    if (!acquire(lock, lockTimeoutMs))
        throw Error(setDataError(errorName));

    // Rewriting what we could not read would lose it.
    const std::optional<QByteArray> bytes = readFileBytes(filePath);
    if (!bytes)
        throw Error(setDataError(errorName));
    QStringList path;
    for (const QString& name : names)
        path << folded(name);
    const std::optional<KeyLayout> layout = scanLayout(*bytes, path);
    if (!layout)
        throw Error(setDataError(errorName));
    const std::optional<std::vector<Edit>> edits = edit(*layout);
    if (!edits)
        return;

    // Never a file that could not be read back.
    const QByteArray changed = applyEdits(*bytes, *edits);
    if (changed.size() > Registry::maxFileBytes || !WriteFileAtomically(filePath, changed).ok())
        throw Error(setDataError(errorName));
}

// The pieces of a key that a change may create.
QStringList writablePath(const QString& key, const QString& errorName) {
    QStringList path = key.split(kSeparator, Qt::SkipEmptyParts);
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
    return keyStateNow(filePath_, key).exists;
}

QStringList Registry::subKeyNames(const QString& key) const {
    return keyStateNow(filePath_, key).subKeys;
}

void Registry::createKey(const QString& key) {
    const QStringList names = writablePath(key, key);
    change(filePath_, lockTimeoutMs_, key, names,
           [&](const KeyLayout& layout) -> std::optional<std::vector<Edit>> {
               if (layout.exists())
                   return std::nullopt;
               return std::vector<Edit>{newKey(layout, names, {})};
           });
}

void Registry::deleteKey(const QString& key) {
    const QStringList names = key.split(kSeparator, Qt::SkipEmptyParts);
    if (!keyExists(key))
        return;
    if (names.isEmpty()) {
        // The whole store goes, whatever the file held.
        change(filePath_, lockTimeoutMs_, key, names,
               [](const KeyLayout& layout) -> std::optional<std::vector<Edit>> {
                   const qsizetype fileEnd = layout.subtreeEnd[0];
                   if (fileEnd == 0)
                       return std::nullopt;
                   return std::vector<Edit>{Edit{0, fileEnd, encoded(kSignature) + "\n\n"}};
               });
        return;
    }
    change(filePath_, lockTimeoutMs_, key, names,
           [](const KeyLayout& layout) -> std::optional<std::vector<Edit>> {
               if (!layout.exists())
                   return std::nullopt;
               return removeKey(layout);
           });
}

bool Registry::valueExists(const QString& key, const QString& name) const {
    return RegKeyValues(keyStateNow(filePath_, key).values).valueExists(name);
}

QStringList Registry::valueNames(const QString& key) const {
    return RegKeyValues(keyStateNow(filePath_, key).values).valueNames();
}

qint32 Registry::readInteger(const QString& key, const QString& name) const {
    return RegKeyValues(keyStateNow(filePath_, key).values).readInteger(name);
}

bool Registry::readBool(const QString& key, const QString& name) const {
    return readInteger(key, name) != 0;
}

QString Registry::readString(const QString& key, const QString& name) const {
    return RegKeyValues(keyStateNow(filePath_, key).values).readString(name);
}

std::optional<RegKeyValues> Registry::readKey(const QString& key) const {
    // Under the lock, as changes are made, so that the file read is the one the last finished
    // change left. A lock that cannot be had (a folder the user may not write to, another
    // program that does not let go in time) does not stop the read: every change replaces the
    // file whole, so one reading of it still sees one state.
    QLockFile lock(lockPath(filePath_));
    acquire(lock, lockTimeoutMs_);
    KeyState state = keyStateNow(filePath_, key);
    if (!state.exists)
        return std::nullopt;
    return RegKeyValues(std::move(state.values));
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
    const QStringList names = writablePath(key, errorName);
    change(filePath_, lockTimeoutMs_, errorName, names,
           [&](const KeyLayout& layout) { return setValues(layout, names, values); });
}

void Registry::deleteValue(const QString& key, const QString& name) {
    const QStringList names = key.split(kSeparator, Qt::SkipEmptyParts);
    if (!valueExists(key, name))
        return;
    change(filePath_, lockTimeoutMs_, name, names,
           [&](const KeyLayout& layout) -> std::optional<std::vector<Edit>> {
               std::vector<Edit> edits = removeValue(layout, name);
               if (edits.empty())
                   return std::nullopt;
               return edits;
           });
}

} // namespace vxg
