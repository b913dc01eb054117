#pragma once
// An INI file in code page 1251: "[section]" lines and "key=value" lines, CR LF after every
// line. Names match without regard to case; the first of several equal names counts.
//
// Reading trims blanks around names and values. A line that is not CP1251 text or holds a
// control character is no section and no key. Writing changes a key's line where it stands,
// or adds it at the end of its section, or adds the section at the end of the file;
// every other line (comments, foreign keys, unreadable lines) is kept as it was.

#include <QByteArray>
#include <QList>
#include <QString>

class IniFile
{
public:
    IniFile() = default;

    // Reads the file; false (and an empty object) when it cannot be read.
    bool load(const QString& path);
    // Takes the bytes of a file; a leading UTF-8 byte-order mark is dropped.
    void setBytes(const QByteArray& bytes);
    // The file as it would be written.
    QByteArray bytes() const;
    // Writes the file in one step: a write that fails or is cut short leaves the earlier file
    // as it was. False when the file could not be written.
    bool save(const QString& path) const;

    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal, with an optional sign; anything else, or a number outside int, gives fallback.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // True when the integer is not 0.
    bool readBool(const QString& section, const QString& key, bool fallback) const;

    // False, and nothing changes, for a value with a line break or a control character or
    // one that has no CP1251 form.
    bool writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

private:
    struct Line {
        enum Kind { Section, Key, Other };
        QByteArray raw; // the line's bytes without its line end
        Kind kind = Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed
    };

    static Line parse(const QByteArray& raw);
    int findSection(const QString& section) const;          // index of its header, or -1
    int findKey(int sectionLine, const QString& key) const; // index of its line, or -1
    int findKey(const QString& section, const QString& key) const;

    QList<Line> m_lines;
};
