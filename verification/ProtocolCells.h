#pragma once
// The texts of a verification protocol: which cell of which table of the template receives
// which text, for the primary protocol (deviation from the nominal) and the periodic one
// (deviation from the actual value the instrument holds). No window and no document: the
// caller hands in what the verification window shows and writes the cells it is given.
//
// The template's tables: table 1 holds the two zero resistances; tables 2 to 8 hold one
// decade each, from the lowest (table 2) to the highest (table 8), with the step 1 x 10^e in
// row 2 up to 9 x 10^e in row 10; column 3 the measured value less R04, column 4 its
// deviation in %, column 5 the permissible deviation in %.

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>
#include <vector>

namespace protocol
{

constexpr int kDecades = 7;
constexpr int kSteps = 9;
constexpr int kCells = kDecades * kSteps;

// A text that the protocol needs as a number and is none. Thrown at the cell that needs
// it, so that every cell before it has been handed to the writer already.
class ProtocolError : public std::runtime_error
{
public:
    explicit ProtocolError(const QString& text);
};

struct Inputs {
    // Cell index d * 9 + j, decade d (0 the highest) and step row j (0 the step 9 x 10^e),
    // as the verification window orders its cells. Cell texts are in Ω with the decimal
    // comma, or empty; nominal texts are the captions of the cells ("0,001", "9000").
    QStringList cellTexts;
    QStringList nominalTexts;
    QString r02Text;
    QString r04Text;
    QString classText; // accuracy class as the instrument reports it, "0,02"; "--" unknown
    QString modelText; // full model text, "RD5540-2"; its 8th and 9th characters matter
    int maxDec = 0;    // exponent of the highest decade
    // Periodic protocol: the actual values, [d][j] as the cells; nullptr for the primary one.
    const std::vector<std::vector<double>>* stored = nullptr;
    bool russian = true; // language of the error texts
};

struct Cell {
    int table;  // from 1
    int row;    // from 1
    int column; // from 1
    QString text;
    bool operator==(const Cell&) const = default;
};

using CellWriter = std::function<void(const Cell&)>;

// Hands every cell of the protocol to write, in the order they go into the document:
// table 1 (1,1) and (1,2); then for each table 2..8 its (2,1), column 3 rows 2..10,
// column 4 rows 2..10, column 5 rows 2..10. Every text is already followed by as many
// blanks as it has characters, as the template's cells expect. Throws ProtocolError at the
// first cell that needs a number where a text is none (a cell, a nominal, the class; R04
// right after table 1); exceptions of write pass through. A step whose stored actual value
// is 0 shows "--" as its periodic deviation. Throws std::invalid_argument when the lists do not
// hold 63 texts each.
void writeProtocolCells(const Inputs& in, const CellWriter& write);

// The text followed by as many blanks as it has characters.
QString padded(const QString& text);

// Class terms of the permissible deviation: c + 10 * dn / Rtop * (Rtop / N - 1), in %.
struct ClassTerms {
    double c;
    double dn;
};
// k is the class as a number, classText its text as reported, modelText the full model
// text. primary: a class of 0.01 or below counts as 0.01; periodic protocols use k itself.
ClassTerms classTerms(double k, const QString& classText, const QString& modelText, bool primary);

} // namespace protocol
