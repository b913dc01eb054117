// Protocol cell texts: layout and order of the cells, the three columns of a step for the
// primary and the periodic protocol, class terms, and where a text that is no number stops.
#include "verification/ProtocolCells.h"

#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

using protocol::Cell;
using protocol::Inputs;

namespace
{

const QString kSub04 = QStringLiteral("R\u2080\u2084\u2093 = ");
const QString kSub02 = QStringLiteral("R\u2080\u2082\u2093 = ");

struct Table {
    std::vector<std::vector<double>> stored;
    Inputs in;
};

// A verification window of 7 decades with the highest exponent maxDec, every cell empty,
// and a stored profile that holds every step's nominal.
Table makeTable(int maxDec, const char* classText = "0,02", const char* model = "RD5540-2")
{
    Table t;
    t.stored.assign(protocol::kDecades, std::vector<double>(protocol::kSteps, 0.0));
    for (int d = 0; d < protocol::kDecades; ++d) {
        for (int j = 0; j < protocol::kSteps; ++j) {
            const double nominal = (9 - j) * std::pow(10.0, maxDec - d);
            t.in.nominalTexts << numtext::floatToStr(nominal);
            t.in.cellTexts << QString();
            t.stored[d][j] = nominal;
        }
    }
    t.in.maxDec = maxDec;
    t.in.classText = QString::fromUtf8(classText);
    t.in.modelText = QString::fromUtf8(model);
    return t;
}

std::vector<Cell> collect(const Inputs& in)
{
    std::vector<Cell> cells;
    protocol::writeProtocolCells(in, [&](const Cell& c) { cells.push_back(c); });
    return cells;
}

using Key = std::tuple<int, int, int>;

std::map<Key, QString> byPosition(const std::vector<Cell>& cells)
{
    std::map<Key, QString> m;
    for (const Cell& c : cells)
        m[{c.table, c.row, c.column}] = c.text;
    return m;
}

QString pad(const char* s)
{
    return protocol::padded(QString::fromUtf8(s));
}

TEST(ProtocolCells, OrderOfTheCells)
{
    Table t = makeTable(3);
    const std::vector<Cell> cells = collect(t.in);
    ASSERT_EQ(cells.size(), 2u + 7u * (1u + 27u));
    EXPECT_EQ((Key{cells[0].table, cells[0].row, cells[0].column}), (Key{1, 1, 1}));
    EXPECT_EQ((Key{cells[1].table, cells[1].row, cells[1].column}), (Key{1, 1, 2}));
    size_t i = 2;
    for (int table = 2; table <= 8; ++table) {
        EXPECT_EQ((Key{cells[i].table, cells[i].row, cells[i].column}), (Key{table, 2, 1}));
        ++i;
        for (int column = 3; column <= 5; ++column) {
            for (int row = 2; row <= 10; ++row, ++i)
                EXPECT_EQ((Key{cells[i].table, cells[i].row, cells[i].column}), (Key{table, row, column}));
        }
    }
}

TEST(ProtocolCells, EveryTextIsFollowedByAsManyBlanks)
{
    Table t = makeTable(3);
    t.in.r04Text = QStringLiteral("0,01");
    t.in.r02Text = QStringLiteral("0,02");
    t.in.cellTexts[8] = QStringLiteral("1000,05");
    for (const Cell& c : collect(t.in)) {
        ASSERT_EQ(c.text.size() % 2, 0) << c.text.toStdString();
        const qsizetype half = c.text.size() / 2;
        EXPECT_EQ(c.text.mid(half), QString(half, QLatin1Char(' '))) << c.text.toStdString();
        EXPECT_FALSE(c.text.left(half).endsWith(QLatin1Char(' '))) << c.text.toStdString();
    }
    const auto m = byPosition(collect(t.in));
    EXPECT_EQ(m.at({1, 1, 1}), kSub04 + "0,01" + QString(11, QLatin1Char(' ')));
    EXPECT_EQ(m.at({1, 1, 2}), kSub02 + "0,02" + QString(11, QLatin1Char(' ')));
}

TEST(ProtocolCells, EmptyZeroResistancesGiveTheLabelAndSevenBlanks)
{
    Table t = makeTable(3);
    t.in.cellTexts[8] = QStringLiteral("1000,05"); // uncorrected without R04
    const auto m = byPosition(collect(t.in));
    EXPECT_EQ(m.at({1, 1, 1}), kSub04 + QString(7, QLatin1Char(' ')));
    EXPECT_EQ(m.at({1, 1, 2}), kSub02 + QString(7, QLatin1Char(' ')));
    EXPECT_EQ(m.at({8, 2, 3}), pad("1000,0500"));
    EXPECT_EQ(m.at({8, 2, 4}), pad("0,00500"));
}

// The step 1 x 10^e stands in row 2, 9 x 10^e in row 10, the lowest decade in table 2, and
// (2,1) names the decade by its smallest step.
TEST(ProtocolCells, EveryStepHasItsRow)
{
    Table t = makeTable(4);
    for (int i = 0; i < protocol::kCells; ++i)
        t.in.cellTexts[i] = numtext::formatFloat(QStringLiteral("0.00000"),
                                                 numtext::strToFloat(t.in.nominalTexts[i]) + 0.00001);
    const auto m = byPosition(collect(t.in));
    for (int table = 2; table <= 8; ++table) {
        const double e = std::pow(10.0, 4 - (8 - table));
        EXPECT_EQ(m.at({table, 2, 1}), protocol::padded(numtext::floatToStr(e)));
        for (int row = 2; row <= 10; ++row) {
            const double measured = (row - 1) * e + 0.00001;
            EXPECT_EQ(m.at({table, row, 3}),
                      protocol::padded(numtext::formatFloat(QStringLiteral("0.0000"), measured)))
                << table << " " << row;
        }
    }
    EXPECT_EQ(m.at({2, 2, 1}), pad("0,01"));
    EXPECT_EQ(m.at({8, 2, 1}), pad("10000"));
}

struct StepCase {
    const char* name;
    bool periodic;
    int maxDec;
    const char* classText;
    const char* model;
    int d, j; // the cell
    const char* cell;
    const char* r04;
    double stored; // actual value of the step (periodic)
    const char* measured;
    const char* deviation;
    const char* permissible;
};

std::ostream& operator<<(std::ostream& os, const StepCase& c)
{
    return os << c.name;
}

class ProtocolStep : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(ProtocolStep, Columns)
{
    const StepCase& c = GetParam();
    Table t = makeTable(c.maxDec, c.classText, c.model);
    t.in.cellTexts[c.d * 9 + c.j] = QString::fromUtf8(c.cell);
    t.in.r04Text = QString::fromUtf8(c.r04);
    t.stored[c.d][c.j] = c.stored;
    if (c.periodic)
        t.in.stored = &t.stored;
    const auto m = byPosition(collect(t.in));
    const int table = 8 - c.d;
    const int row = 10 - c.j;
    EXPECT_EQ(m.at({table, row, 3}), pad(c.measured));
    EXPECT_EQ(m.at({table, row, 4}), pad(c.deviation));
    EXPECT_EQ(m.at({table, row, 5}), pad(c.permissible));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ProtocolStep,
    ::testing::Values(
        // Class 0,02, step 1000 Ω of a variant whose highest exponent is 3.
        StepCase{"primary", false, 3, "0,02", "RD5540-1", 0, 8, "1000,05", "0,01", 1000, "1000,0400",
                 "0,00400", "0,0202"},
        StepCase{"periodic", true, 3, "0,02", "RD5540-1", 0, 8, "1000,05", "0,01", 1000.02, "1000,0400",
                 "0,00200", "0,0202"},
        StepCase{"primaryEmpty", false, 3, "0,02", "RD5540-1", 0, 8, "", "0,01", 1000, "1000", "0,00000",
                 "0,0202"},
        StepCase{"periodicEmpty", true, 3, "0,02", "RD5540-1", 0, 8, "", "0,01", 1000.02, "1000", "0,00000",
                 "0,0202"},
        StepCase{"primaryNegative", false, 3, "0,02", "RD5540-1", 0, 8, "999,95", "", 1000, "999,9500",
                 "-0,00500", "0,0202"},
        // A stored value of 0 has no quotient; an empty cell still has no deviation.
        StepCase{"periodicStoredZero", true, 3, "0,02", "RD5540-1", 0, 8, "1000,05", "0,01", 0, "1000,0400",
                 "--", "0,0202"},
        StepCase{"periodicStoredZeroEmpty", true, 3, "0,02", "RD5540-1", 0, 8, "", "", 0, "1000", "0,00000",
                 "0,0202"},
        // A class that is none of the four has no decade term: column 5 is k everywhere.
        StepCase{"otherClassTop", false, 3, "0,03", "RD5540-1", 0, 8, "", "", 0, "1000", "0,00000", "0,0300"},
        StepCase{"otherClassBottom", false, 3, "0,03", "RD5540-1", 6, 8, "", "", 0, "0,001", "0,00000",
                 "0,0300"},
        StepCase{"class01", false, 3, "0,1", "RD5540-1", 0, 8, "", "", 0, "1000", "0,00000", "0,1004"},
        StepCase{"class005", false, 3, "0,05", "RD5540-1", 1, 8, "", "", 0, "100", "0,00000", "0,0535"},
        StepCase{"class02", false, 3, "0,2", "RD5540-1", 3, 8, "", "", 0, "1", "0,00000", "0,8999"},
        // Below 0.01 the primary protocol counts 0.01 and the model chooses the decade term.
        StepCase{"fineModel1", false, 3, "0,005", "RD5540-1", 6, 8, "", "", 0, "0,001", "0,00000", "70,0100"},
        StepCase{"fineModel20", false, 3, "0,01", "RD5540-20", 6, 8, "", "", 0, "0,001", "0,00000",
                 "70,0100"},
        StepCase{"fineModel21", false, 3, "0,01", "RD5540-21", 6, 8, "", "", 0, "0,001", "0,00000",
                 "70,0100"},
        StepCase{"coarseModel2", false, 3, "0,01", "RD5540-2", 6, 8, "", "", 0, "0,001", "0,00000",
                 "140,0100"},
        StepCase{"coarseModel23", false, 3, "0,01", "RD5540-23", 6, 8, "", "", 0, "0,001", "0,00000",
                 "140,0100"},
        StepCase{"primaryFineAt1000", false, 3, "0,005", "RD5540-1", 0, 8, "", "", 0, "1000", "0,00000",
                 "0,0101"},
        // ... while the periodic one takes the class as it is, against 9 x 10^maxDec.
        StepCase{"periodicFineAt1000", true, 3, "0,005", "RD5540-1", 0, 8, "", "", 1000, "1000", "0,00000",
                 "0,0051"},
        StepCase{"largerVariant", false, 5, "0,02", "RD5540-3", 0, 8, "100000,3", "0,1", 0, "100000,2000",
                 "0,00020", "0,0200"}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    const char* classText;
    const char* r04;
    int badCell; // index of a cell holding a text that is no number; -1 none
    size_t cellsBefore;
    Key last;          // the last cell handed over before the error
    const char* named; // the text the message quotes
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c)
{
    return os << c.name;
}

class ProtocolFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(ProtocolFailure, StopsAfterTheCellsBefore)
{
    const FailureCase& c = GetParam();
    Table t = makeTable(3, c.classText);
    t.in.r04Text = QString::fromUtf8(c.r04);
    if (c.badCell >= 0)
        t.in.cellTexts[c.badCell] = QStringLiteral("12,3x");
    for (bool periodic : {false, true}) {
        t.in.stored = periodic ? &t.stored : nullptr;
        std::vector<Cell> cells;
        try {
            protocol::writeProtocolCells(t.in, [&](const Cell& cell) { cells.push_back(cell); });
            ADD_FAILURE() << "no error";
        } catch (const protocol::ProtocolError& e) {
            EXPECT_NE(QString::fromUtf8(e.what()).indexOf(QString::fromUtf8(c.named)), -1) << e.what();
        }
        ASSERT_EQ(cells.size(), c.cellsBefore);
        EXPECT_EQ((Key{cells.back().table, cells.back().row, cells.back().column}), c.last);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ProtocolFailure,
    ::testing::Values(
        // No instrument identified: table 1, then (2,1), columns 3 and 4 of table 2.
        FailureCase{"classUnknown", "--", "", -1, 21, Key{2, 10, 4}, "--"},
        FailureCase{"r04NotANumber", "0,02", "0,0a", -1, 2, Key{1, 1, 2}, "0,0a"},
        // The cell of 9000 Ω: table 8, row 10, column 3, after every other table.
        FailureCase{"cellNotANumber", "0,02", "", 0, 2 + 6 * 28 + 1 + 8, Key{8, 9, 3}, "12,3x"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(ProtocolCells, RefusesAGridOfAnotherSize)
{
    Table t = makeTable(3);
    t.in.cellTexts.removeLast();
    EXPECT_THROW(collect(t.in), std::invalid_argument);
}

} // namespace
