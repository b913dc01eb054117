// Reading actual-values profile files: every result code, line ends, value layout, file names.
#include "instrument/ProfileProcessor.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace
{

const char* const kE1 = "[0-9]{1,5}(,[0-9]{0,4})?";
const char* const kE2 = "([0-9]{1,5}(,[0-9]{0,4})?)|([0-9]{4,8}(,[0-9]{0,1})?)";
constexpr int kValues = 65; // R02, R04 and 7 x 9 cells

// Sets the model up as the main window does when a variant is chosen.
void applyVariant(ProfileProcessor& p, int id)
{
    p.deviceID = id;
    p.minDec = kDeviceTypes[id - 1].minDec;
    p.maxDec = kDeviceTypes[id - 1].maxDec;
    p.decSteps = 9;
    p.entryRegex = boost::regex(id <= 2 ? kE1 : kE2);
    p.resizeProfile();
}

// Value k of a file (0 = R02, 1 = R04, then the cells) encodes its position as k + 1,5.
QByteArray positionValue(int k)
{
    return QByteArray::number(k + 1) + ",5";
}

QList<QByteArray> positionValues(int n)
{
    QList<QByteArray> v;
    for (int k = 0; k < n; ++k)
        v.append(positionValue(k));
    return v;
}

QByteArray fileText(const QByteArray& header, const QList<QByteArray>& values, const QByteArray& eol = "\r\n",
                    bool finalEol = true, const QByteArray& sep = {})
{
    QByteArray out = header + eol;
    out += values.join(sep.isEmpty() ? eol : sep);
    if (finalEol && !values.isEmpty())
        out += eol;
    return out;
}

QList<QByteArray> withValue(QList<QByteArray> v, int k, const QByteArray& text)
{
    v[k] = text;
    return v;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

void expectPositions(const ProfileProcessor& p)
{
    EXPECT_EQ(p.R02, 1.5);
    EXPECT_EQ(p.R04, 2.5);
    ASSERT_EQ(p.profile.size(), 7u);
    for (int d = 0; d < 7; ++d) {
        ASSERT_EQ(p.profile[d].size(), 9u);
        for (int j = 0; j < 9; ++j)
            EXPECT_EQ(p.profile[d][j], 2 + 9 * d + j + 1.5) << "cell " << d << "," << j;
    }
}

struct FileCase {
    const char* name;
    std::optional<QByteArray> content; // none: the file does not exist
    int deviceID;
    int expected;
    const char* pattern = nullptr; // none: the variant's own entry pattern
    bool positional = false;       // a read file holds positionValues(65)
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

const QList<QByteArray> kAll = positionValues(kValues);

// A header of RD5540-3 that is length characters long (without its line end) and ends in tail.
QByteArray headerOf(int length, const QByteArray& tail, const QByteArray& model = "RD5540-3;")
{
    return model + QByteArray(length - int(model.size()) - int(tail.size()), 'x') + tail;
}

std::vector<FileCase> fileCases()
{
    const QByteArray h3 = "RD5540-3;f";
    return {
        // Header lengths around the 49-byte read: a line longer than 48 characters is never a
        // profile header, whatever stands at the cut; the values start after the whole line.
        {"Header47", fileText(headerOf(47, "f"), kAll), 3, 0, nullptr, true},
        {"Header48LfOnly", fileText(headerOf(48, "f"), kAll, "\n"), 3, 0, nullptr, true},
        {"Header48EndsInDigits", fileText(headerOf(48, "f12"), kAll), 3, 2},
        {"Header49FAtTheCut", fileText(headerOf(49, "f1"), kAll), 3, 2},
        {"Header49FAtTheCutLfOnly", fileText(headerOf(49, "fx"), kAll, "\n"), 3, 2},
        {"Header50FAndDigitsAtTheCut", fileText(headerOf(50, "f12"), kAll), 3, 2},
        {"Header50FAndLettersAtTheCut", fileText(headerOf(50, "fxy"), kAll), 3, 2},
        {"Header51FAndValuesAtTheCut", fileText(headerOf(51, "f1 2"), kAll), 3, 2},
        {"Header200FAndValuesAtTheCut", fileText(headerOf(48, "f") + QByteArray(152, '1'), kAll), 3, 2},
        {"Header200EndsInF", fileText(headerOf(200, "f"), kAll), 3, 2},
        {"Header49NothingAfter", headerOf(49, "f1"), 3, 2},
        {"Header200DigitNine", fileText(headerOf(200, "f", "RD5540-9;"), kAll), 3, 1},
        {"CrLfLines", fileText(h3, kAll), 3, 0, nullptr, true},
        {"LfLines", fileText(h3, kAll, "\n"), 3, 0, nullptr, true},
        {"ValuesOnOneLine", fileText(h3, kAll, "\r\n", true, " "), 3, 0, nullptr, true},
        {"TabsAndBlankLines", fileText(h3, kAll, "\n", false, "\t\r\n\r\n  "), 3, 0, nullptr, true},
        {"Variant1", fileText("RD5540-1;f", kAll), 1, 0, nullptr, true},
        {"Variant5", fileText("RD5540-5;f", kAll), 5, 0, nullptr, true},
        {"RestOfModelTextNotCompared", fileText("XY5540-3abc;f", kAll), 3, 0, nullptr, true},
        {"SixtySixValuesLastNeverRead", fileText(h3, kAll + QList<QByteArray>{"1.5"}), 3, 0, nullptr, true},
        {"SixtyFiveNoFinalLineEnd", fileText(h3, kAll, "\r\n", false), 3, 0, nullptr, true},
        {"SixtyFourValues", fileText(h3, positionValues(64)), 3, 3},
        {"SixtyFourNoFinalLineEnd", fileText(h3, positionValues(64), "\r\n", false), 3, 3},
        {"HeaderOnly", QByteArray("RD5540-3;f\r\n"), 3, 3},
        // the kind letter is the byte before the last one read, so a header without a line end
        // reads ';' there
        {"HeaderOnlyNoLineEnd", QByteArray("RD5540-3;f"), 3, 2},
        // 48 characters and the line end fill the 49-byte read; one more and the end is cut off
        {"HeaderFillsTheRead", fileText("RD5540-3;" + QByteArray(38, 'x') + "f", kAll), 3, 0, nullptr, true},
        {"HeaderOneByteTooLong", fileText("RD5540-3;" + QByteArray(39, 'x') + "f", kAll), 3, 2},
        {"PointAsDecimal", fileText(h3, withValue(kAll, 1, "1.5")), 3, 3},
        {"Signed", fileText(h3, withValue(kAll, 0, "-1")), 3, 3},
        {"Exponent", fileText(h3, withValue(kAll, 0, "1E3")), 3, 3},
        {"TooManyDecimalsForE1", fileText("RD5540-1;f", withValue(kAll, 64, "1,00001")), 1, 3},
        {"LongFormOfE2", fileText(h3, withValue(kAll, 2, "12345678,9")), 3, 0},
        {"CapitalF", fileText("RD5540-3;F", kAll), 3, 2},
        {"ValueListHeader", fileText("RD5540-2;w;o", kAll), 2, 2},
        {"OtherVariant", fileText("RD5540-2;f", kAll), 3, 2},
        {"BlankAfterF", fileText("RD5540-3;f ", kAll), 3, 2},
        {"HeaderLongerThanRead", fileText("RD5540-3;" + QByteArray(60, 'x') + "f", kAll), 3, 2},
        {"DigitNine", fileText("RD5540-9;f", kAll), 3, 1},
        {"DigitZero", fileText("RD5540-0;f", kAll), 3, 1},
        {"ShortModelText", fileText("RD55;f", kAll), 3, 1},
        {"NoSemicolon", fileText("RD5540-3f", kAll), 3, 1},
        {"EighthNotDigit", fileText("RD5540-X;f", kAll), 3, 1},
        {"EmptyFile", QByteArray(), 3, 1},
        {"MissingFile", std::nullopt, 3, 1},
        {"MatchesButNotANumber", fileText(h3, withValue(kAll, 5, "1,,2")), 3, 4, "[0-9,]+"},
        {"NoPatternSet", fileText(h3, kAll), 3, 3, ""},
        {"ValueLongerThanRead", fileText(h3, withValue(kAll, 0, QByteArray(50, '1'))), 3, 3, ".*"},
    };
}

class ProfileFileCase : public ::testing::TestWithParam<FileCase>
{
protected:
    QTemporaryDir dir;
    ProfileProcessor p;
};

TEST_P(ProfileFileCase, ResultCode)
{
    const FileCase& c = GetParam();
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("profile.txt"));
    if (c.content) {
        ASSERT_TRUE(writeFile(path, *c.content));
    }
    applyVariant(p, c.deviceID);
    if (c.pattern)
        p.entryRegex = *c.pattern ? boost::regex(c.pattern) : boost::regex();
    p.profLoaded = true; // a previous profile: every open starts by dropping it

    EXPECT_EQ(p.openFprof(cp1251::fromUnicode(path)), c.expected);
    EXPECT_EQ(p.profLoaded, c.expected == 0);
    if (c.positional)
        expectPositions(p);
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileFileCase, ::testing::ValuesIn(fileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, CommaWithoutDecimalsIsAWholeNumber)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    ASSERT_TRUE(writeFile(path, fileText("RD5540-1;f", withValue(withValue(kAll, 0, "1,"), 1, "00012,0"))));
    ProfileProcessor p;
    applyVariant(p, 1);
    ASSERT_EQ(p.openFprof(cp1251::fromUnicode(path)), 0);
    EXPECT_EQ(p.R02, 1.0);
    EXPECT_EQ(p.R04, 12.0);
}

TEST(ProfileFile, ValuesBeforeARefusedOneStay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    const int bad = 2 + 9 * 2 + 3; // cell 2,3
    ASSERT_TRUE(writeFile(path, fileText("RD5540-2;f", withValue(kAll, bad, "1.5"))));
    ProfileProcessor p;
    applyVariant(p, 2);
    for (auto& row : p.profile)
        row.assign(9, -7.0);

    EXPECT_EQ(p.openFprof(cp1251::fromUnicode(path)), 3);
    EXPECT_FALSE(p.profLoaded);
    EXPECT_EQ(p.R02, 1.5);
    EXPECT_EQ(p.R04, 2.5);
    for (int d = 0; d < 7; ++d)
        for (int j = 0; j < 9; ++j) {
            const int k = 2 + 9 * d + j;
            EXPECT_EQ(p.profile[d][j], k < bad ? k + 1.5 : -7.0) << "cell " << d << "," << j;
        }
}

TEST(ProfileFile, CyrillicFileName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Профиль RD5540-4 №1.txt"));
    ASSERT_TRUE(writeFile(path, fileText("RD5540-4;f", kAll)));
    bool ok = false;
    const QByteArray cpPath = cp1251::fromUnicode(path, &ok);
    ASSERT_TRUE(ok);
    ASSERT_NE(cpPath, path.toUtf8()); // the name really travels as CP1251 bytes
    ProfileProcessor p;
    applyVariant(p, 4);
    EXPECT_EQ(p.openFprof(cpPath), 0);
    expectPositions(p);
}

TEST(ProfileFile, UnsizedTableIsSizedBeforeCellsAreStored)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    ASSERT_TRUE(writeFile(path, fileText("RD5540-3;f", kAll)));
    ProfileProcessor p;
    p.deviceID = 3;
    p.minDec = -1;
    p.maxDec = 5;
    p.entryRegex = boost::regex(kE2);
    p.profile.assign(2, std::vector<double>(4, 0.0)); // wrong shape, no resizeProfile
    EXPECT_EQ(p.openFprof(cp1251::fromUnicode(path)), 0);
    expectPositions(p);
}

TEST(ProfileFile, PathsThatAreNotReadableFiles)
{
    QTemporaryDir dir;
    ProfileProcessor p;
    applyVariant(p, 3);
    EXPECT_EQ(p.openFprof(cp1251::fromUnicode(dir.path())), 1);
    EXPECT_EQ(p.openFprof(QByteArray()), 1);
    EXPECT_EQ(p.openFprof(QByteArray("\x98")), 1); // not a CP1251 text
    if (QFile::exists(QStringLiteral("/dev/zero"))) {
        EXPECT_EQ(p.openFprof(QByteArray("/dev/zero")), 1); // endless, and no header
    }
    EXPECT_FALSE(p.profLoaded);
}

TEST(ProfileFile, FileWithoutReadPermission)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files without read permission";
    QTemporaryDir dir;
    ProfileProcessor p;
    applyVariant(p, 3);
    const QString path = dir.filePath(QStringLiteral("locked.txt"));
    ASSERT_TRUE(writeFile(path, fileText("RD5540-3;f", kAll)));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    EXPECT_EQ(p.openFprof(cp1251::fromUnicode(path)), 1);
    EXPECT_FALSE(p.profLoaded);
}

} // namespace
