#include "inigroupfile.h"

#include "platform/userfiles.h"

#include <QStringDecoder>

namespace {

// A settings file larger than this is no settings file of ours.
constexpr qint64 MaxFileBytes = 1 << 20;

// The bytes of the file (none when it is absent), or false when it must be left alone.
bool readFile(const QString& path, QByteArray* bytes)
{
    switch (userfiles::readSmallFile(path, MaxFileBytes, bytes)) {
    case userfiles::ReadResult::Absent:
        return true;
    case userfiles::ReadResult::Refused:
        return false;
    case userfiles::ReadResult::Read:
        break;
    }
    return ini::isText(*bytes);
}

// One line of the file: where it starts, where its text ends (before "\r\n" or "\n"), and where
// the next line starts.
struct Line {
    qsizetype begin, end, next;
};

QList<Line> linesOf(const QByteArray& file)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < file.size()) {
        qsizetype nl = file.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? file.size() : nl + 1;
        qsizetype end = nl < 0 ? file.size() : nl;
        if (end > pos && file[end - 1] == '\r')
            --end;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

QString textOf(const QByteArray& file, const Line& l)
{
    return QString::fromUtf8(file.constData() + l.begin, l.end - l.begin);
}

bool isComment(const QString& t) { return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')); }

// The group a header line opens, or nothing when the line is no header. Group names are
// percent-encoded in the file.
bool headerName(const QString& t, QString* name)
{
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = QString::fromUtf8(QByteArray::fromPercentEncoding(t.mid(1, close - 1).toUtf8()));
    return true;
}

// A quoted value loses its quotes and escapes; a bare one is taken as it stands.
QString unquoted(const QString& v)
{
    if (!v.startsWith(QLatin1Char('"')))
        return v;
    QString out;
    for (qsizetype i = 1; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c == QLatin1Char('"'))
            break;
        if (c == QLatin1Char('\\') && i + 1 < v.size()) {
            const QChar e = v[++i];
            out += e == QLatin1Char('n') ? QChar('\n')
                 : e == QLatin1Char('t') ? QChar('\t')
                 : e == QLatin1Char('r') ? QChar('\r')
                                         : e;
            continue;
        }
        out += c;
    }
    return out;
}

QString quotedIfNeeded(const QString& v)
{
    bool plain = v == v.trimmed() && !v.startsWith(QLatin1Char('@'));
    for (QChar c : v)
        if (c < QChar(' ') || QStringLiteral("\"\\;,=#").contains(c))
            plain = false;
    if (plain)
        return v;
    QString out = QStringLiteral("\"");
    for (QChar c : v) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c == QChar('\n') ? QStringLiteral("\\n")
             : c == QChar('\r') ? QStringLiteral("\\r")
             : c == QChar('\t') ? QStringLiteral("\\t")
                                : QString(c);
    }
    return out + QLatin1Char('"');
}

// Where the key's line is in the group (-1 when absent), where a new key line would go, and
// whether the group is there at all.
struct Place {
    qsizetype keyLine = -1;
    qsizetype insertAt = -1; // byte offset of the line a new key goes before
    bool groupFound = false;
};

Place locate(const QByteArray& file, const QList<Line>& lines, const QString& group,
             const QString& key)
{
    Place p;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString t = textOf(file, lines[i]).trimmed();
        QString name;
        if (headerName(t, &name)) {
            inGroup = name == group;
            if (inGroup) {
                p.groupFound = true;
                p.insertAt = lines[i].next;
            }
            continue;
        }
        if (!inGroup || t.isEmpty() || isComment(t))
            continue;
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        p.insertAt = lines[i].next;
        if (t.left(eq).trimmed() == key)
            p.keyLine = i; // the last one counts, as it would for anyone reading the file
    }
    return p;
}

} // namespace

namespace ini {

bool isText(const QByteArray& file)
{
    if (file.contains('\0'))
        return false;
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(file);
    return !decode.hasError();
}

bool findValue(const QByteArray& file, const QString& group, const QString& key, QString* value)
{
    const QList<Line> lines = linesOf(file);
    const Place p = locate(file, lines, group, key);
    if (p.keyLine < 0)
        return false;
    const QString t = textOf(file, lines[p.keyLine]);
    *value = unquoted(t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed());
    return true;
}

QByteArray withValue(const QByteArray& file, const QString& group, const QString& key,
                     const QString& value)
{
    const QList<Line> lines = linesOf(file);
    const Place p = locate(file, lines, group, key);
    const QByteArray encoded = quotedIfNeeded(value).toUtf8();
    if (p.keyLine >= 0) {
        // Keep the key and its spacing; replace what follows the "=".
        const Line& l = lines[p.keyLine];
        const qsizetype eq = file.indexOf('=', l.begin);
        qsizetype start = eq + 1;
        while (start < l.end && (file[start] == ' ' || file[start] == '\t'))
            ++start;
        return file.left(start) + encoded + file.mid(l.end);
    }
    const QByteArray eol = file.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    const QByteArray keyLine = key.toUtf8() + '=' + encoded + eol;
    if (p.groupFound) {
        QByteArray out = file.left(p.insertAt);
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += eol;
        return out + keyLine + file.mid(p.insertAt);
    }
    QByteArray out = file;
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += eol;
    if (!out.isEmpty())
        out += eol;
    return out + '[' + group.toUtf8().toPercentEncoding() + ']' + eol + keyLine;
}

} // namespace ini

IniGroupFile::IniGroupFile(const QString& path, const QString& group) : path_(path), group_(group)
{
}

QString IniGroupFile::read(const QString& key) const
{
    // A value that could not be written is the value for this run, whatever the file says.
    if (const auto kept = unsaved_.constFind(key); kept != unsaved_.constEnd())
        return kept.value();
    QByteArray bytes;
    QString value;
    if (!readFile(path_, &bytes) || !ini::findValue(bytes, group_, key, &value))
        return {};
    return value;
}

bool IniGroupFile::save(const QString& key, const QString& value)
{
    QByteArray bytes;
    const bool written = readFile(path_, &bytes) &&
                         userfiles::replaceFile(path_, ini::withValue(bytes, group_, key, value));
    if (written)
        unsaved_.remove(key);
    else
        unsaved_.insert(key, value);
    return written;
}
