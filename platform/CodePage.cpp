#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace cp1251
{

namespace
{

// Converts bytes between two iconv encodings without transliteration, so a character the
// target lacks or a byte the source leaves undefined fails the whole conversion.
bool convert(const char* to, const char* from, const QByteArray& in, QByteArray& out)
{
    out.clear();
    if (in.isEmpty())
        return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;

    // One CP1251 byte is at most three UTF-8 bytes; the loop still grows on E2BIG.
    QByteArray buffer(in.size() * 3 + 16, Qt::Uninitialized);
    char* inPtr = const_cast<char*>(in.constData());
    std::size_t inLeft = static_cast<std::size_t>(in.size());
    std::size_t written = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data() + written;
        std::size_t outLeft = static_cast<std::size_t>(buffer.size()) - written;
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        written = static_cast<std::size_t>(outPtr - buffer.data());
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        ok = false; // EILSEQ: not representable or undefined; EINVAL: truncated sequence
        break;
    }
    iconv_close(cd);
    if (!ok)
        return false;
    buffer.truncate(static_cast<qsizetype>(written));
    out = buffer;
    return true;
}

// QString::toUtf8 would silently replace a lone surrogate; such a text is refused instead.
bool wellFormed(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray fromUnicode(const QString& text, bool* ok)
{
    QByteArray out;
    const bool done = wellFormed(text) && convert("CP1251", "UTF-8", text.toUtf8(), out);
    if (ok)
        *ok = done;
    return done ? out : QByteArray();
}

QString toUnicode(const QByteArray& bytes, bool* ok)
{
    QByteArray utf8;
    const bool done = convert("UTF-8", "CP1251", bytes, utf8);
    if (ok)
        *ok = done;
    return done ? QString::fromUtf8(utf8) : QString();
}

} // namespace cp1251
