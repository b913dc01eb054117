#include "verification/ProtocolCells.h"

#include "platform/NumberText.h"

#include <cmath>

namespace protocol
{

namespace
{

const QString kR04Label = QStringLiteral("R\u2080\u2084\u2093 = ");
const QString kR02Label = QStringLiteral("R\u2080\u2082\u2093 = ");

// What the deviation cell shows when the actual value it divides by is 0: such a profile
// holds no usable value for the step, and a number would be meaningless.
const QString kNoDeviation = QStringLiteral("--");

class Filler
{
public:
    Filler(const Inputs& in, const CellWriter& write) : m_in(in), m_write(write) {}

    void run()
    {
        put(1, 1, 1, kR04Label + m_in.r04Text);
        put(1, 1, 2, kR02Label + m_in.r02Text);
        // Every corrected value needs R04; a text that is no number ends the protocol here.
        m_zero = m_in.r04Text.isEmpty() ? 0.0 : number(m_in.r04Text, QStringLiteral("R04"));
        for (int t = 2; t <= 8; ++t) {
            const int d = 8 - t;
            put(t, 2, 1, m_in.nominalTexts.at(index(d, kSteps - 1)));
            for (int r = 2; r <= 10; ++r)
                put(t, r, 3, measuredText(index(d, 10 - r)));
            for (int r = 2; r <= 10; ++r)
                put(t, r, 4, deviationText(d, 10 - r));
            for (int r = 2; r <= 10; ++r)
                put(t, r, 5, permissibleText(index(d, 10 - r)));
        }
    }

private:
    static int index(int d, int j) { return d * kSteps + j; }

    void put(int table, int row, int column, const QString& text)
    {
        m_write(Cell{table, row, column, padded(text)});
    }

    bool periodic() const { return m_in.stored != nullptr; }

    double number(const QString& text, const QString& what) const
    {
        double v = 0;
        if (numtext::tryStrToFloat(text, v))
            return v;
        const QString shown = text.isEmpty() ? QStringLiteral("\"\"") : QStringLiteral("\"%1\"").arg(text);
        throw ProtocolError(
            m_in.russian
                ? QStringLiteral("Протокол не заполнен: %1 (%2) не является числом.").arg(what, shown)
                : QStringLiteral("The protocol is not filled: %1 (%2) is not a number.").arg(what, shown));
    }

    double nominal(int i) const
    {
        const QString& text = m_in.nominalTexts.at(i);
        return number(text, m_in.russian ? QStringLiteral("номинал ячейки")
                                         : QStringLiteral("the nominal of a cell"));
    }

    // The measured value less the 4-wire zero resistance (0 while R04 is empty).
    double corrected(int i) const
    {
        const double v = number(
            m_in.cellTexts.at(i),
            m_in.russian ? QStringLiteral("значение ячейки %1 Ом").arg(m_in.nominalTexts.at(i))
                         : QStringLiteral("the value of the cell %1 Ohm").arg(m_in.nominalTexts.at(i)));
        return v - m_zero;
    }

    bool empty(int i) const { return m_in.cellTexts.at(i).isEmpty(); }

    QString measuredText(int i) const
    {
        if (empty(i))
            return m_in.nominalTexts.at(i);
        return numtext::formatFloat(QStringLiteral("0.0000"), corrected(i));
    }

    QString deviationText(int d, int j) const
    {
        const int i = index(d, j);
        double reference = 0;
        if (periodic()) {
            const auto& stored = *m_in.stored;
            if (d < int(stored.size()) && j < int(stored[d].size()))
                reference = stored[d][j];
        } else {
            reference = nominal(i);
        }
        // An unmeasured step has no deviation, whatever it is compared with.
        if (empty(i))
            return numtext::formatFloat(QStringLiteral("0.00000"), 0.0);
        const double m = corrected(i);
        if (reference == 0.0)
            return kNoDeviation;
        return numtext::formatFloat(QStringLiteral("0.00000"), (m / reference) * 100 - 100);
    }

    QString permissibleText(int i) const
    {
        const double n = nominal(i);
        const double k = number(m_in.classText, m_in.russian ? QStringLiteral("класс точности")
                                                             : QStringLiteral("the accuracy class"));
        const ClassTerms terms = classTerms(k, m_in.classText, m_in.modelText, !periodic());
        const double top = periodic() ? nominal(0) : std::pow(10.0, m_in.maxDec + 1);
        const double dterm = 10 * terms.dn / top;
        return numtext::formatFloat(QStringLiteral("0.0000"), terms.c + dterm * (top / n - 1));
    }

    const Inputs& m_in;
    const CellWriter& m_write;
    double m_zero = 0; // R04, 0 while it is empty
};

} // namespace

ProtocolError::ProtocolError(const QString& text) : std::runtime_error(text.toStdString()) {}

QString padded(const QString& text)
{
    return text + QString(text.size(), QLatin1Char(' '));
}

ClassTerms classTerms(double k, const QString& classText, const QString& modelText, bool primary)
{
    if (k <= 0.01) {
        const QChar eighth = modelText.size() > 7 ? modelText.at(7) : QChar();
        const QChar ninth = modelText.size() > 8 ? modelText.at(8) : QChar();
        const bool fine = eighth == u'1' || (eighth == u'2' && (ninth == u'0' || ninth == u'1'));
        return {primary ? 0.01 : k, fine ? 0.007 : 0.014};
    }
    double dn = 0;
    if (classText == u"0,02")
        dn = 0.021;
    else if (classText == u"0,05")
        dn = 0.035;
    else if (classText == u"0,1")
        dn = 0.042;
    else if (classText == u"0,2")
        dn = 0.07;
    return {k, dn};
}

void writeProtocolCells(const Inputs& in, const CellWriter& write)
{
    if (in.cellTexts.size() != kCells || in.nominalTexts.size() != kCells)
        throw std::invalid_argument("a protocol needs 63 cell texts and 63 nominal texts");
    Filler(in, write).run();
}

} // namespace protocol
