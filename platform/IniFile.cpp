#include "platform/IniFile.h"

#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "platform/TextFile.h"

#include <QFile>

namespace
{

const QByteArray LineEnd = "\r\n";
const QByteArray Utf8Mark = "\xEF\xBB\xBF";

bool hasControlChar(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F)
            return true;
    }
    return false;
}

bool hasControlChar(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F)
            return true;
    return false;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::Line IniFile::parse(const QByteArray& raw)
{
    Line line;
    line.raw = raw;
    if (hasControlChar(raw))
        return line;
    bool ok = false;
    const QString text = cp1251::toUnicode(raw, &ok).trimmed();
    if (!ok || text.isEmpty() || text.startsWith(QLatin1Char(';')))
        return line;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Line::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
        return line;
    }
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq > 0) {
        line.kind = Line::Key;
        line.name = text.left(eq).trimmed();
        line.value = text.mid(eq + 1).trimmed();
    }
    return line;
}

bool IniFile::load(const QString& path)
{
    m_lines.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    setBytes(f.readAll());
    return f.error() == QFileDevice::NoError;
}

void IniFile::setBytes(const QByteArray& bytes)
{
    m_lines.clear();
    QByteArray text = bytes;
    if (text.startsWith(Utf8Mark))
        text.remove(0, Utf8Mark.size());
    if (text.isEmpty())
        return;
    if (text.endsWith('\n'))
        text.chop(1); // the last line's end starts no further line
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        m_lines.append(parse(raw));
    }
}

QByteArray IniFile::bytes() const
{
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.raw + LineEnd;
    return out;
}

bool IniFile::save(const QString& path) const
{
    return textfile::writeBytes(path, bytes());
}

int IniFile::findSection(const QString& section) const
{
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Section && sameName(m_lines[i].name, section))
            return i;
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const
{
    for (int i = sectionLine + 1; i < m_lines.size() && m_lines[i].kind != Line::Section; ++i)
        if (m_lines[i].kind == Line::Key && sameName(m_lines[i].name, key))
            return i;
    return -1;
}

int IniFile::findKey(const QString& section, const QString& key) const
{
    const int s = findSection(section);
    return s < 0 ? -1 : findKey(s, key);
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    return findKey(section, key) >= 0;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const
{
    const int k = findKey(section, key);
    return k < 0 ? fallback : m_lines[k].value;
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const
{
    const int k = findKey(section, key);
    int value = 0;
    return k >= 0 && numtext::tryStrToInt(m_lines[k].value, value) ? value : fallback;
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    if (hasControlChar(value))
        return false;
    bool ok = false;
    const QByteArray encoded = cp1251::fromUnicode(key + QLatin1Char('=') + value, &ok);
    if (!ok)
        return false;
    Line line = parse(encoded);

    int s = findSection(section);
    if (s < 0) {
        m_lines.append(parse(cp1251::fromUnicode(QLatin1Char('[') + section + QLatin1Char(']'))));
        m_lines.append(line);
        return true;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return true;
    }
    // A new key goes to the end of its section, before the blank lines that part it from the next.
    int after = s;
    for (int i = s + 1; i < m_lines.size() && m_lines[i].kind != Line::Section; ++i)
        if (!m_lines[i].raw.trimmed().isEmpty())
            after = i;
    m_lines.insert(after + 1, line);
    return true;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
