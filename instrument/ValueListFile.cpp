#include "instrument/ValueListFile.h"

#include "instrument/ProfileProcessor.h"
#include "instrument/ValueLimitTables.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "platform/TextFile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <boost/regex.hpp>
#include <string>

namespace valuelist
{

namespace
{

struct Bom {
    Encoding encoding;
    const char* mark;
    int size;
    QStringConverter::Encoding converter;
};
const Bom kBoms[] = {
    {Encoding::Utf8, "\xEF\xBB\xBF", 3, QStringConverter::Utf8},
    {Encoding::Utf16LE, "\xFF\xFE", 2, QStringConverter::Utf16LE},
    {Encoding::Utf16BE, "\xFE\xFF", 2, QStringConverter::Utf16BE},
};

QString decode(const QByteArray& bytes, Encoding* encoding)
{
    for (const Bom& b : kBoms) {
        if (bytes.startsWith(QByteArray::fromRawData(b.mark, b.size))) {
            if (encoding)
                *encoding = b.encoding;
            QStringDecoder decoder(b.converter, QStringConverter::Flag::Stateless);
            return decoder.decode(bytes.mid(b.size));
        }
    }
    if (encoding)
        *encoding = Encoding::Cp1251;
    bool ok = false;
    const QString text = cp1251::toUnicode(bytes, &ok);
    // The one byte code page 1251 leaves undefined: taken byte for byte, so that the line
    // holding it fails its check instead of the whole text going missing.
    return ok ? text : QString::fromLatin1(bytes);
}

bool matches(const QString& value, const boost::regex& pattern)
{
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(value, &ok);
    if (!ok)
        return false;
    try {
        return boost::regex_match(std::string(bytes.constData(), bytes.size()), pattern);
    } catch (const std::exception&) {
        return false;
    }
}

// The leading decimal integer of a text; 0 when it does not begin with a digit. A number
// too long for an int is kept out of 0..3 all the same.
int leadingInteger(const QString& text)
{
    int n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        n = n * 10 + (c.unicode() - '0');
        if (n > 1000000)
            break;
    }
    return n;
}

ValueList refused(Result r)
{
    ValueList list;
    list.result = r;
    return list;
}

} // namespace

QStringList splitLines(const QByteArray& bytes, Encoding* encoding)
{
    const QString text = decode(bytes, encoding);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            ++i;
            continue;
        }
        lines << text.mid(start, i - start);
        ++i;
        if (c == QLatin1Char('\r') && i < n && text.at(i) == QLatin1Char('\n'))
            ++i;
        start = i;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QByteArray encodeLines(const QStringList& lines, Encoding encoding)
{
    for (const Bom& b : kBoms) {
        if (b.encoding != encoding)
            continue;
        QString text;
        for (const QString& line : lines)
            text += line + QStringLiteral("\r\n");
        QStringEncoder encoder(b.converter, QStringConverter::Flag::Stateless);
        return QByteArray(b.mark, b.size) + encoder.encode(text);
    }
    return textfile::encodeLines(lines);
}

ValueList parse(const QStringList& lines, int deviceID)
{
    // The header is taken apart by position after its first ';': the kind, a separator, the
    // unit; a °C header goes on with a separator, the type, one more character and R0.
    const QString header = lines.value(0);
    const qsizetype semicolon = header.indexOf(QLatin1Char(';'));
    const QString name = semicolon < 0 ? header : header.left(semicolon);
    const QString rest = semicolon < 0 ? QString() : header.mid(semicolon + 1);
    const QChar kind = rest.isEmpty() ? QChar() : rest.at(0);
    const QChar unit = rest.size() > 2 ? rest.at(2) : QChar();

    const int id = ProfileProcessor::getDeviceID(name);
    if (id == -1)
        return refused(Result::NotAList);
    if (id != deviceID)
        return refused(kind == QLatin1Char('w') ? Result::OtherVariant : Result::NotAList);

    const int variant = deviceID - 1;
    ValueList list;
    const char* pattern = nullptr;
    if (unit == QLatin1Char('o')) {
        if (!valuelimits::hasOhmLimits(variant, 0))
            return refused(Result::BadData);
        pattern = valuelimits::ohmLimits(variant, 0).rangePattern;
    } else {
        const QString thermometer = rest.mid(4);
        if (thermometer.size() < 4)
            return refused(Result::BadData);
        list.celsius = true;
        list.rtdType = leadingInteger(thermometer);
        valuelimits::RtdFamily family;
        if (!valuelimits::rtdFamily(list.rtdType, family))
            return refused(Result::BadData);
        if (!numtext::tryStrToInt(thermometer.mid(2), list.r0) || !valuelimits::hasCelsiusLimits(list.r0))
            return refused(Result::BadData);
        // Only RD5540-1 and RD5540-2 imitate thermometers.
        if (variant > 1)
            return refused(Result::BadData);
        pattern = valuelimits::celsiusPattern(valuelimits::celsiusLimits(list.r0, variant == 0).row, family);
    }
    if (!pattern)
        return refused(Result::BadData);

    // The range patterns also admit the beginnings of a value ("", "-", "12,") for typing;
    // a line of the file must be a whole number as well.
    static const boost::regex whole("-?[0-9]+(,[0-9]+)?");
    const boost::regex re(pattern);
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!matches(lines.at(i), whole) || !matches(lines.at(i), re))
            return refused(Result::BadData);
    list.values = lines.mid(1);
    list.result = Result::Ok;
    return list;
}

QString resultText(Result result, bool russian)
{
    switch (result) {
    case Result::Ok:
        break;
    case Result::NotAList:
        return russian ? QStringLiteral("Файл не содержит профиль") : QStringLiteral("Profile not found");
    case Result::OtherVariant:
        return russian ? QStringLiteral("Профиль не соответствует активному прибору")
                       : QStringLiteral("Profile doesn't match the device");
    case Result::BadData:
        return russian ? QStringLiteral("Файл содержит некорректные данные")
                       : QStringLiteral("Data is not correct");
    }
    return QString();
}

} // namespace valuelist
