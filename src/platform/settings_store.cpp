#include "platform/settings_store.h"

#include "platform/cp949.h"
#include "platform/file_commit.h"
#include "platform/settings_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLockFile>
#include <QStringDecoder>
#include <QThread>

// The files are UTF-8 INI files that people read and edit by hand: section and key names stand in them as
// they are ("[서버정보]", "DB명=..."), a write changes the one line of its key and leaves every other byte
// as it was (comments, blank lines, order, sections added by hand). Names compare without regard to case,
// as the Windows settings store does.
//
// Values keep the escaping that earlier versions of the program wrote through Qt's INI format (quotes
// around a value with separators or outer blanks, backslash escapes inside), so files from an existing
// installation read the same. Those versions also wrote names as "%UC11C%UBC84..." escapes; a file that
// holds such names is repaired the first time it is touched: the names are written as they are, and where
// a section or key exists both ways, the one written as it is (by hand) wins.
//
// The Windows program and its connection manager wrote these files in code page 949. A file that is not
// valid UTF-8 is read as code page 949; the first write turns it into UTF-8 and keeps the original bytes
// beside it (<file>.cp949), so that nothing the old program wrote is lost.
//
// The files hold passwords (the connection's "PWD", the remembered login "passwd", the launcher's hand-over):
// each is written readable by its owner alone, and a settings folder the store creates is its owner's
// alone too.
//
// Two writers (two instances in a shared home, the connection manager beside the program) each read,
// change and rewrite the whole file: a lock file beside it (<file>.lock) makes those steps one at a time,
// so that neither writes back a file without the other's key.
namespace {

// How long a write waits for another writer before it goes on without the lock; a lock left by a writer
// that died is taken over at once (QLockFile knows its process), one of a hung writer after this long.
constexpr int kLockWaitMs = 10000;

// Holds the lock of one settings file for its lifetime; a lock that cannot be had in time (a folder without
// rights to create the lock file, a writer that hangs) lets the write go on unlocked, as before.
class WriteLock {
public:
    explicit WriteLock(const QString& path) : m_lock(path + QStringLiteral(".lock")) {
        m_lock.setStaleLockTime(kLockWaitMs);
        const QDeadlineTimer deadline(kLockWaitMs);
        int pause = 1;
        while (!m_lock.tryLock(0)) {
            if (m_lock.error() == QLockFile::PermissionError || deadline.hasExpired()) return;
            QThread::msleep(pause);
            pause = qMin(pause * 2, 16);
        }
    }

private:
    QLockFile m_lock;
};

QString fileFor(const QString& application) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = settings_folder::defaultFolder();
    return base + QLatin1Char('/') + application + QStringLiteral(".ini");
}

int hexValue(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f')) return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F')) return c.unicode() - 'A' + 10;
    return -1;
}

// The hex number of `count` digits at `at`, or -1.
int hexAt(const QString& text, qsizetype at, int count) {
    if (at + count > text.size()) return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text[at + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// A section or key name as the file holds it, with the escapes of the earlier format undone: "%UXXXX" a
// UTF-16 unit, "%XX" a Latin-1 character. A plain name comes back unchanged.
QString decodeName(const QString& stored) {
    QString name;
    name.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == QLatin1Char('%')) {
            if (i + 1 < stored.size() && stored[i + 1] == QLatin1Char('U')) {
                const int unit = hexAt(stored, i + 2, 4);
                if (unit >= 0) {
                    name += QChar(char16_t(unit));
                    i += 5;
                    continue;
                }
            }
            const int latin1 = hexAt(stored, i + 1, 2);
            if (latin1 >= 0) {
                name += QChar(char16_t(latin1));
                i += 2;
                continue;
            }
        }
        name += stored[i];
    }
    return name;
}

bool isEscapedName(const QString& stored) {
    return decodeName(stored) != stored;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value as stored after "=": quotes group, a backslash escapes the next character, a ";" outside quotes
// starts a comment; blanks outside quotes at either end are not part of the value.
QString decodeValue(const QString& stored) {
    QString value;
    bool inQuotes = false;
    qsizetype kept = 0;  // the length up to the last character that is not an outer blank
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored[i];
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            kept = value.size();
            continue;
        }
        if (!inQuotes && c == QLatin1Char(';')) break;
        if (c == QLatin1Char('\\') && i + 1 < stored.size()) {
            const QChar e = stored[++i];
            switch (e.unicode()) {
                case 'n':
                    value += QLatin1Char('\n');
                    break;
                case 'r':
                    value += QLatin1Char('\r');
                    break;
                case 't':
                    value += QLatin1Char('\t');
                    break;
                case '0':
                    value += QChar(0);
                    break;
                case 'x': {
                    const int code = hexAt(stored, i + 1, 2);
                    if (code >= 0) {
                        value += QChar(char16_t(code));
                        i += 2;
                    } else {
                        value += e;
                    }
                    break;
                }
                default:
                    value += e;
                    break;
            }
            kept = value.size();
            continue;
        }
        if (!inQuotes && value.isEmpty() && c.isSpace()) continue;
        value += c;
        if (inQuotes || !c.isSpace()) kept = value.size();
    }
    value.truncate(kept);
    // Earlier versions wrote a leading "@" doubled, to tell it from their type markers.
    if (value.startsWith(QStringLiteral("@@"))) value.remove(0, 1);
    return value;
}

// The value as it is written after "=": plain when nothing in it could be read otherwise, else in quotes
// with backslash escapes, the form that both this reader and the earlier versions read back unchanged.
QString encodeValue(const QString& value) {
    bool plain = !value.startsWith(QLatin1Char('@'));
    if (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace())) plain = false;
    for (QChar c : value)
        if (c.unicode() < 0x20 || c == QLatin1Char('"') || c == QLatin1Char('\\') || c == QLatin1Char(';') ||
            c == QLatin1Char(',') || c == QLatin1Char('='))
            plain = false;
    if (plain) return value;
    QString out = QStringLiteral("\"");
    if (value.startsWith(QLatin1Char('@'))) out += QLatin1Char('@');
    for (QChar c : value) {
        switch (c.unicode()) {
            case '"':
                out += QStringLiteral("\\\"");
                break;
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            default:
                if (c.unicode() < 0x20)
                    out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    return out + QLatin1Char('"');
}

// One settings file as its lines (without line ends), read once for one call.
class SettingsFile {
public:
    explicit SettingsFile(const QString& path) : m_path(path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return;
        QByteArray bytes = f.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8);
        // Decoded only to learn whether the bytes are UTF-8.
        [[maybe_unused]] const QString asUtf8 = utf8.decode(bytes);
        if (utf8.hasError()) {
            m_original = bytes;
            bytes = cp949::decode(bytes).toUtf8();
        }
        m_crlf = bytes.contains("\r\n");
        m_lines = bytes.split('\n');
        for (QByteArray& l : m_lines)
            if (l.endsWith('\r')) l.chop(1);
        if (!m_lines.isEmpty() && m_lines.last().isEmpty()) m_lines.removeLast();
    }

    // The line index of the key's value in the section, or -1.
    qsizetype find(const QString& section, const QString& key) const {
        qsizetype found = -1;
        forEachKey([&](qsizetype i, const QString& s, const QString& k, bool) {
            if (found < 0 && sameName(s, section) && sameName(k, key)) found = i;
        });
        return found;
    }

    QString valueAt(qsizetype line) const {
        const QString text = QString::fromUtf8(m_lines[line]);
        return decodeValue(text.mid(text.indexOf(QLatin1Char('=')) + 1));
    }

    // Sets the key, replacing its line or adding it at the end of its section (the section at the end of
    // the file when there is none).
    void set(const QString& section, const QString& key, const QString& value) {
        const QByteArray entry = (key + QLatin1Char('=') + encodeValue(value)).toUtf8();
        const qsizetype at = find(section, key);
        if (at >= 0) {
            m_lines[at] = entry;
            return;
        }
        const qsizetype end = sectionEnd(section);
        if (end < 0) {
            if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty()) m_lines << QByteArray();
            m_lines << (QLatin1Char('[') + section + QLatin1Char(']')).toUtf8() << entry;
        } else {
            m_lines.insert(end, entry);
        }
    }

    bool removeKey(const QString& section, const QString& key) {
        const qsizetype at = find(section, key);
        if (at < 0) return false;
        m_lines.removeAt(at);
        return true;
    }

    // Writes the names that an earlier version escaped as they are. A key of an escaped section or an
    // escaped key that also exists written as it is gives way to that one. True when anything changed.
    bool repairEscapedNames() {
        bool changed = false;
        struct Move {
            qsizetype line;
            QString section, key;
        };
        QList<Move> escapedKeys;
        forEachKey([&](qsizetype i, const QString& s, const QString& k, bool escaped) {
            if (escaped) escapedKeys.append({i, s, k});
        });
        for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
            const QString text = QString::fromUtf8(m_lines[i]);
            if (!isSectionLine(text) || !isEscapedName(sectionName(text, false))) continue;
            changed = true;
        }
        if (!changed && escapedKeys.isEmpty()) return false;
        // Collect what the escaped entries hold, drop them, then write each where a plain one is missing.
        QList<std::pair<Move, QString>> entries;
        for (const Move& m : escapedKeys) entries.append({m, valueAt(m.line)});
        for (qsizetype i = escapedKeys.size() - 1; i >= 0; --i) m_lines.removeAt(escapedKeys[i].line);
        dropEmptyEscapedSections();
        for (const auto& [m, value] : entries)
            if (find(m.section, m.key) < 0) set(m.section, m.key, value);
        return true;
    }

    bool save() {
        QByteArray bytes;
        const QByteArray end = m_crlf ? "\r\n" : "\n";
        for (const QByteArray& l : m_lines) bytes += l + end;
        if (!m_original.isEmpty()) {
            // The old program's file, kept as it was before it becomes UTF-8.
            if (!file_commit::replacePrivateFile(m_path + QStringLiteral(".cp949"), m_original)) return false;
            m_original.clear();
        }
        return file_commit::replacePrivateFile(m_path, bytes);
    }

private:
    static bool isSectionLine(const QString& text) {
        const QString t = text.trimmed();
        return t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
    }
    static QString sectionName(const QString& text, bool decoded = true) {
        const QString t = text.trimmed();
        const QString stored = t.mid(1, t.size() - 2).trimmed();
        return decoded ? decodeName(stored) : stored;
    }

    // Calls visit(line, section, key, escaped) for every "key=value" line; escaped when the key's name
    // or its section's was written escaped.
    template <typename Visit>
    void forEachKey(Visit visit) const {
        QString section;
        bool sectionEscaped = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const QString text = QString::fromUtf8(m_lines[i]);
            if (isSectionLine(text)) {
                section = sectionName(text);
                sectionEscaped = isEscapedName(sectionName(text, false));
                continue;
            }
            const QString t = text.trimmed();
            if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'))) continue;
            const qsizetype eq = text.indexOf(QLatin1Char('='));
            if (eq <= 0) continue;
            const QString stored = text.left(eq).trimmed();
            visit(i, section, decodeName(stored), sectionEscaped || isEscapedName(stored));
        }
    }

    // The line after the last non-blank line of the first section written as `section`, or -1.
    qsizetype sectionEnd(const QString& section) const {
        qsizetype end = -1;
        bool inside = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const QString text = QString::fromUtf8(m_lines[i]);
            if (isSectionLine(text)) {
                if (inside) break;
                inside = sameName(sectionName(text), section) && !isEscapedName(sectionName(text, false));
                if (inside) end = i + 1;
                continue;
            }
            if (inside && !text.trimmed().isEmpty()) end = i + 1;
        }
        return end;
    }

    // Removes the header of every escaped section that has no key left (with the blank lines after it).
    void dropEmptyEscapedSections() {
        for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
            const QString text = QString::fromUtf8(m_lines[i]);
            if (!isSectionLine(text) || !isEscapedName(sectionName(text, false))) continue;
            qsizetype next = i + 1;
            while (next < m_lines.size() && m_lines[next].trimmed().isEmpty()) ++next;
            if (next < m_lines.size() && !isSectionLine(QString::fromUtf8(m_lines[next]))) continue;
            m_lines.remove(i, next - i);
        }
    }

    QString m_path;
    QList<QByteArray> m_lines;
    bool m_crlf = false;
    QByteArray m_original;  // the file's bytes when it was code page 949, until it is written as UTF-8
};

// The file of the application, its escaped names repaired (and the repair saved, under the write lock)
// when it has any.
SettingsFile openRepaired(const QString& path) {
    SettingsFile file(path);
    if (file.repairEscapedNames()) {
        const WriteLock lock(path);
        SettingsFile current(path);
        if (current.repairEscapedNames()) current.save();
        return current;
    }
    return file;
}

// Creates the folder of the settings files readable by its owner alone; a folder that is there already
// (the desktop's own config folder, shared with every other program) is left as it is.
void makeFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(folder)) return;
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

namespace settings {

QString get(const QString& application, const QString& section, const QString& key,
            const QString& defaultValue) {
    const SettingsFile file = openRepaired(fileFor(application));
    const qsizetype at = file.find(section, key);
    return at < 0 ? defaultValue : file.valueAt(at);
}

void save(const QString& application, const QString& section, const QString& key, const QString& value) {
    const QString path = fileFor(application);
    makeFolder(path);
    const WriteLock lock(path);
    SettingsFile file(path);
    file.repairEscapedNames();
    file.set(section, key, value);
    file.save();
}

void remove(const QString& application, const QString& section, const QString& key) {
    const QString path = fileFor(application);
    if (!QFileInfo::exists(path)) return;
    const WriteLock lock(path);
    SettingsFile file(path);
    const bool repaired = file.repairEscapedNames();
    if (file.removeKey(section, key) || repaired) file.save();
}

}  // namespace settings
