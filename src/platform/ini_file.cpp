#include "platform/ini_file.h"

#include "platform/cp949.h"
#include "platform/file_commit.h"

#include <QFile>
#include <QStringList>

namespace ini_file {

namespace {

// The file's lines as stored, without their line ends; empty when there is no file.
QList<QByteArray> readRawLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList readLines(const QString& path) {
    QStringList lines;
    for (const QByteArray& raw : readRawLines(path)) lines << cp949::decode(raw);
    return lines;
}

// The section name of a "[name]" line, or a null text for any other line.
QString sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

// Splits "key=value"; false for lines without "=".
bool keyValue(const QString& line, QString* key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString read(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
             int bufferSize) {
    const QStringList lines = readLines(path);
    QString result = defaultValue;
    bool inSection = false;
    for (const QString& line : lines) {
        const QString s = sectionOf(line);
        if (!s.isNull()) {
            inSection = sameName(s, section);
            continue;
        }
        QString k, v;
        if (inSection && keyValue(line, &k, &v) && sameName(k, key)) {
            // Quotes around a value are not part of it.
            if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                v = v.mid(1, v.size() - 2);
            result = v;
            break;
        }
    }
    if (bufferSize > 0 && result.size() > bufferSize - 1) result.truncate(bufferSize - 1);
    return result;
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    // The other lines go back byte for byte as they were: a byte that is no code page 949 text (a file
    // edited elsewhere) must not turn into "?" because some other key was written.
    QList<QByteArray> lines = readRawLines(path);
    const QByteArray entry = cp949::encode(key + QLatin1Char('=') + value);
    int sectionLine = -1;
    int lastInSection = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString line = cp949::decode(lines[i]);
        const QString s = sectionOf(line);
        if (!s.isNull()) {
            if (sectionLine >= 0) break;  // past the section
            if (sameName(s, section)) sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0) continue;
        QString k, v;
        if (keyValue(line, &k, &v) && sameName(k, key)) {
            lines[i] = entry;
            done = true;
        }
        if (!line.trimmed().isEmpty()) lastInSection = i;
    }
    if (!done) {
        if (sectionLine < 0)
            lines << cp949::encode(QLatin1Char('[') + section + QLatin1Char(']')) << entry;
        else
            lines.insert(lastInSection + 1, entry);
    }
    return file_commit::replaceFile(path, lines.join("\r\n") + "\r\n");
}

}  // namespace ini_file
