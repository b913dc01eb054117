// The model object itself: initial state, variant catalogue, names, path buffer, table sizing.
#include "instrument/ProfileProcessor.h"

#include <gtest/gtest.h>

TEST(ProfileProcessor, StartsEmptyWithNoValuesHeld)
{
    ProfileProcessor p;
    EXPECT_EQ(p.deviceID, 0);
    EXPECT_TRUE(p.ohmFormat.isEmpty());
    EXPECT_TRUE(p.celsiusFormat.isEmpty());
    EXPECT_TRUE(p.profFormat.isEmpty());
    EXPECT_TRUE(p.rangeRegex.empty());
    EXPECT_TRUE(p.entryRegex.empty());
    EXPECT_EQ(p.minDec, 0);
    EXPECT_EQ(p.maxDec, 0);
    EXPECT_EQ(p.decSteps, 0);
    EXPECT_TRUE(p.precClass.isEmpty());
    EXPECT_TRUE(p.profile.empty());
    EXPECT_EQ(p.R02, -1.0);
    EXPECT_EQ(p.R04, -1.0);
    EXPECT_EQ(p.Rt0, 100);
    EXPECT_TRUE(p.profPath.isEmpty());
    EXPECT_FALSE(p.profLoaded);
    EXPECT_EQ(p.digitStep, 0.0);
    EXPECT_EQ(p.discreteness, 0.0);
    EXPECT_EQ(p.coefABC, std::vector<double>(3, 0.0));
    EXPECT_EQ(p.coefD, std::vector<double>(4, 0.0));
    // Readers may dereference curFormat before any unit is applied.
    ASSERT_NE(p.curFormat, nullptr);
    EXPECT_TRUE(p.curFormat->isEmpty());
    EXPECT_NE(p.curFormat, &p.ohmFormat);
    EXPECT_NE(p.curFormat, &p.celsiusFormat);
}

TEST(ProfileProcessor, CatalogueSpansSevenDecadesPerVariant)
{
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const DeviceType& t = kDeviceTypes[i];
        EXPECT_EQ(t.id, i + 1);
        EXPECT_EQ(t.minDec, i - 3);
        EXPECT_EQ(t.maxDec, i + 3);
        const QString name = QString::fromLatin1(t.name);
        // The profile-file reader takes the variant digit from the eighth character.
        ASSERT_EQ(name.size(), 8);
        EXPECT_EQ(name, QStringLiteral("RD5540-%1").arg(i + 1));
        EXPECT_EQ(name.at(7).digitValue(), t.id);
    }
}

TEST(ProfileProcessor, DeviceNameByID)
{
    const struct {
        int id;
        const char* name;
    } cases[] = {{0, "WrongID"}, {1, "RD5540-1"}, {3, "RD5540-3"}, {5, "RD5540-5"},
                 {6, "WrongID"}, {-1, "WrongID"}, {100, "WrongID"}};
    ProfileProcessor p;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        p.deviceID = c.id;
        EXPECT_EQ(p.getDeviceName(), QString::fromLatin1(c.name));
    }
}

TEST(ProfileProcessor, DeviceIDComparesExactly)
{
    const struct {
        const char* name;
        int id;
    } cases[] = {{"RD5540-1", 1},   {"RD5540-2", 2},  {"RD5540-5", 5}, {"rd5540-5", -1}, {"RD5540-5 ", -1},
                 {" RD5540-5", -1}, {"RD5540-6", -1}, {"RD5540-", -1}, {"", -1},         {"WrongID", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ProfileProcessor::getDeviceID(QString::fromLatin1(c.name)), c.id);
    }
    // A Cyrillic Р that looks like the Latin R is another character.
    EXPECT_EQ(ProfileProcessor::getDeviceID(QStringLiteral("РD5540-5")), -1);
}

TEST(ProfileProcessor, ProfPathKeepsAtMost199Bytes)
{
    ProfileProcessor p;
    p.setProfPath(QByteArray("C:\\\xcf\xf0\xee\xf4\xe8\xeb\xfc.txt"));
    EXPECT_EQ(p.profPath, QByteArray("C:\\\xcf\xf0\xee\xf4\xe8\xeb\xfc.txt"));

    p.setProfPath(QByteArray(199, 'a'));
    EXPECT_EQ(p.profPath, QByteArray(199, 'a'));
    p.setProfPath(QByteArray(250, 'b'));
    EXPECT_EQ(p.profPath, QByteArray(199, 'b'));
    p.setProfPath(QByteArray("ab\0cd", 5));
    EXPECT_EQ(p.profPath, QByteArray("ab"));
    p.setProfPath(QByteArray());
    EXPECT_TRUE(p.profPath.isEmpty());
}

TEST(ProfileProcessor, ResizeKeepsValuesAndCloseEmpties)
{
    ProfileProcessor p;
    EXPECT_EQ(p.closeProf(), 0); // nothing held: still 0 and both zero values reset
    EXPECT_EQ(p.R02, -1.0);
    EXPECT_EQ(p.R04, -1.0);

    for (const DeviceType& t : kDeviceTypes) {
        SCOPED_TRACE(t.name);
        p.minDec = t.minDec;
        p.maxDec = t.maxDec;
        p.decSteps = 9;
        p.resizeProfile();
        ASSERT_EQ(p.profile.size(), 7u);
        for (const auto& row : p.profile)
            EXPECT_EQ(row.size(), 9u);
    }

    p.profile[0][0] = 9000.1;
    p.profile[6][8] = 0.001;
    p.profile.pop_back(); // a short table is completed with zeros
    p.resizeProfile();
    EXPECT_EQ(p.profile[0][0], 9000.1);
    ASSERT_EQ(p.profile.size(), 7u);
    EXPECT_EQ(p.profile[6], std::vector<double>(9, 0.0));

    p.R02 = 0.01;
    p.R04 = 0.02;
    p.profLoaded = true;
    EXPECT_EQ(p.closeProf(), 0);
    EXPECT_TRUE(p.profile.empty());
    EXPECT_FALSE(p.profLoaded);
    EXPECT_EQ(p.R02, -1.0);
    EXPECT_EQ(p.R04, -1.0);

    // Decades not yet set (or inverted) give an empty table rather than a bad size.
    p.minDec = 1;
    p.maxDec = 0;
    p.resizeProfile();
    EXPECT_TRUE(p.profile.empty());
}
