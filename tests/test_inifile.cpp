// The INI file class: the bytes it writes, how it reads names and values, and a save that
// fails or is cut short.
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace
{

QByteArray cp(const char* utf8)
{
    return cp1251::fromUnicode(QString::fromUtf8(utf8));
}

using testsupport::readFileBytes;
using testsupport::writeFileBytes;

} // namespace

TEST(IniFile, WritesSectionsInOrderOfFirstUseWithCp1251AndCrLf)
{
    IniFile ini;
    ini.writeInteger(QStringLiteral("POSITION"), QStringLiteral("x"), -20);
    ini.writeString(QStringLiteral("SETTINGS"), QStringLiteral("physicalValueDegreeCap"),
                    QStringLiteral("R, Ом"));
    ini.writeBool(QStringLiteral("POSITION"), QStringLiteral("on"), true);   // after the section's last key
    ini.writeString(QStringLiteral("SETTINGS"), QStringLiteral("time"), {}); // an empty value
    ini.writeBool(QStringLiteral("Language"), QStringLiteral("Russian"), false);
    ini.writeInteger(QStringLiteral("position"), QStringLiteral("X"), 7); // an existing key, any case
    EXPECT_EQ(ini.bytes(), QByteArray("[POSITION]\r\nX=7\r\non=1\r\n[SETTINGS]\r\nphysicalValueDegreeCap=") +
                               cp("R, Ом") + "\r\ntime=\r\n[Language]\r\nRussian=0\r\n");
}

TEST(IniFile, RewritingKeepsEveryLineItDoesNotWrite)
{
    const QByteArray before = "; written by hand\n"
                              "[A]\n"
                              "k = old value \n"
                              "foreign=1\n"
                              "\n"
                              "[B]\n"
                              "\x98 not a text line\n"
                              "x=\x01\n";
    IniFile ini;
    ini.setBytes(before);
    ini.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("new"));
    ini.writeString(QStringLiteral("A"), QStringLiteral("added"), QStringLiteral("2"));
    ini.writeString(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("3"));
    EXPECT_EQ(ini.bytes(), QByteArray("; written by hand\r\n"
                                      "[A]\r\n"
                                      "k=new\r\n"
                                      "foreign=1\r\n"
                                      "added=2\r\n"
                                      "\r\n"
                                      "[B]\r\n"
                                      "\x98 not a text line\r\n"
                                      "x=\x01\r\n"
                                      "x=3\r\n"));
}

TEST(IniFile, ReadsNamesWithoutCaseAndTrimsBlanks)
{
    IniFile ini;
    ini.setBytes(QByteArray("\xEF\xBB\xBF[ Device ]\r\n  DevNum =  5 \r\ndevnum=6\r\ncap=") + cp(" R, кОм ") +
                 "\r\n[Other]\r\ndevNum=7");
    EXPECT_EQ(ini.readInteger(QStringLiteral("DEVICE"), QStringLiteral("devNum"), 1), 5); // the first one
    EXPECT_EQ(ini.readString(QStringLiteral("device"), QStringLiteral("CAP"), {}), QStringLiteral("R, кОм"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Other"), QStringLiteral("devNum"), 1), 7); // no line end
    EXPECT_EQ(ini.readString(QStringLiteral("Missing"), QStringLiteral("devNum"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Device"), QStringLiteral("other")));
}

struct IntegerCase {
    const char* text;
    int expected; // with the fallback 42
};

void PrintTo(const IntegerCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class IniInteger : public ::testing::TestWithParam<IntegerCase>
{
};

TEST_P(IniInteger, ReadsDecimalOrGivesTheFallback)
{
    IniFile ini;
    ini.setBytes(QByteArray("[S]\r\nk=") + GetParam().text + "\r\n");
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("k"), 42), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IniInteger,
                         ::testing::Values(IntegerCase{"7", 7}, IntegerCase{"-1", -1}, IntegerCase{"+3", 3},
                                           IntegerCase{" 12 ", 12}, IntegerCase{"2147483647", 2147483647},
                                           IntegerCase{"", 42}, IntegerCase{"abc", 42},
                                           IntegerCase{"12a", 42}, IntegerCase{"1,5", 42},
                                           IntegerCase{"1.5", 42}, IntegerCase{"0x10", 42},
                                           IntegerCase{"2147483648", 42},
                                           IntegerCase{"99999999999999999999", 42}, IntegerCase{"-", 42}));

TEST(IniFile, BooleanIsAnIntegerOtherThanZero)
{
    IniFile ini;
    ini.setBytes("[S]\r\nzero=0\r\ntwo=2\r\nword=true\r\n");
    EXPECT_FALSE(ini.readBool(QStringLiteral("S"), QStringLiteral("zero"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("S"), QStringLiteral("two"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("S"), QStringLiteral("word"), false));
    EXPECT_TRUE(ini.readBool(QStringLiteral("S"), QStringLiteral("word"), true));
}

TEST(IniFile, UnreadableLinesAndFilesHoldNoKeys)
{
    IniFile ini;
    // UTF-16 with its byte-order mark: every line holds NUL bytes.
    const QString text = QStringLiteral("[S]\r\nk=5\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ini.setBytes(utf16);
    EXPECT_FALSE(ini.hasKey(QStringLiteral("S"), QStringLiteral("k")));

    ini.setBytes(QByteArray("[S]\nk=\x98\nj=a\0b\n", 15));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("S"), QStringLiteral("k")));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("S"), QStringLiteral("j")));
}

TEST(IniFile, RefusesValuesThatWouldBreakTheFile)
{
    IniFile ini;
    ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("kept"));
    EXPECT_FALSE(ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\r\n[T]")));
    EXPECT_FALSE(ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("漢字")));
    EXPECT_FALSE(ini.writeString(QStringLiteral("S"), QStringLiteral("new"), QStringLiteral("a\tb\x01")));
    EXPECT_EQ(ini.bytes(), QByteArray("[S]\r\nk=kept\r\n"));
}

TEST(IniFile, SaveThatFailsLeavesTheEarlierFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_TRUE(writeFileBytes(path, "[S]\r\nk=earlier\r\n"));
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ini.writeString(QStringLiteral("S"), QStringLiteral("k"), QString(400, QLatin1Char('v')));

    // The file system takes no more than 100 bytes of a file: the new one does not fit.
    bool saved = true;
    testsupport::withFileSizeLimit(100, [&] { saved = ini.save(path); });

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFileBytes(path), QByteArray("[S]\r\nk=earlier\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});

    EXPECT_FALSE(ini.save(path + QStringLiteral("/inside-a-file.ini")));
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(readFileBytes(path), ini.bytes());
}

TEST(IniFile, LoadOfAMissingFileIsEmpty)
{
    IniFile ini;
    ini.setBytes("[S]\r\nk=1\r\n");
    EXPECT_FALSE(ini.load(QStringLiteral("/nonexistent/settings.ini")));
    EXPECT_TRUE(ini.bytes().isEmpty());
}
