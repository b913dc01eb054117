// Code page 1251 <-> Unicode: exact bytes both ways, refusal instead of garbling.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace
{

TEST(CodePage, KnownTextsBothWays)
{
    const struct {
        const char* utf8;
        QByteArray cp1251;
    } cases[] = {
        {"Ом", QByteArray("\xCE\xEC")},
        {"РД5540-1", QByteArray("\xD0\xC4"
                                "5540-1")},
        {"°С", QByteArray("\xB0\xD1")},
        {"€", QByteArray("\x88")},
        {"№ Ёё", QByteArray("\xB9 \xA8\xB8")},
        {"RD5540-3;f", QByteArray("RD5540-3;f")},
        {"", QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const QString text = QString::fromUtf8(c.utf8);
        bool ok = false;
        EXPECT_EQ(cp1251::fromUnicode(text, &ok), c.cp1251);
        EXPECT_TRUE(ok);
        ok = false;
        EXPECT_EQ(cp1251::toUnicode(c.cp1251, &ok), text);
        EXPECT_TRUE(ok);
    }
}

TEST(CodePage, EveryDefinedByteRoundTripsAndNulsSurvive)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x98)
            all.append(static_cast<char>(b));
    }
    all.append('\0'); // a trailing NUL as well as the leading one
    bool ok = false;
    const QString text = cp1251::toUnicode(all, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(text.size(), all.size()); // one character per byte, NULs included
    EXPECT_EQ(text.at(0), QChar(0));
    EXPECT_EQ(cp1251::fromUnicode(text, &ok), all);
    EXPECT_TRUE(ok);
}

TEST(CodePage, RefusesWhatHasNoCounterpart)
{
    const QString unicodeCases[] = {
        QString::fromUtf8("中文"),
        QString::fromUtf8("Ом中"), // one bad character spoils the whole text
        QString::fromUtf8("Ω"),    // the ohm sign is not in the code page
        QString::fromUtf8("😀"),
        QString(QChar(0xD800)), // a lone surrogate
        QString::fromUtf8("a") + QChar(0xDC00) + QString::fromUtf8("b"),
    };
    for (const QString& text : unicodeCases) {
        SCOPED_TRACE(text.toStdString());
        bool ok = true;
        EXPECT_TRUE(cp1251::fromUnicode(text, &ok).isEmpty());
        EXPECT_FALSE(ok);
    }
    for (const QByteArray& bytes : {QByteArray("\x98"), QByteArray("abc\x98"
                                                                   "def")}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        bool ok = true;
        EXPECT_TRUE(cp1251::toUnicode(bytes, &ok).isEmpty());
        EXPECT_FALSE(ok);
    }
    // the flag is optional
    EXPECT_TRUE(cp1251::fromUnicode(QString::fromUtf8("中")).isEmpty());
    EXPECT_TRUE(cp1251::toUnicode(QByteArray("\x98")).isEmpty());
}

} // namespace
