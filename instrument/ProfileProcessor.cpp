#include "instrument/ProfileProcessor.h"

#include "platform/CodePage.h"
#include "platform/NumberText.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

const DeviceType kDeviceTypes[5] = {
    {1, "RD5540-1", -3, 3}, {2, "RD5540-2", -2, 4}, {3, "RD5540-3", -1, 5},
    {4, "RD5540-4", 0, 6},  {5, "RD5540-5", 1, 7},
};

// GOST 6651-2009 sets. A, B and C are written as mantissa times a power of ten on purpose:
// that is how the characteristic tables state them and the products are what we compute with.
const RtdCoefficients kRtdCoefficients[4] = {
    {3.969 * 1e-3, -5.841 * 1e-7, -4.33 * 1e-12, 251.903, 8.80035, -2.91506, 1.67611},
    {3.9083 * 1e-3, -5.775 * 1e-7, -4.183 * 1e-12, 255.819, 9.1455, -2.92363, 1.7909},
    {4.28 * 1e-3, -6.2032 * 1e-7, 8.5154 * 1e-10, 233.87, 7.937, -2.0062, -0.3953},
    {5.4963 * 1e-3, 6.7556 * 1e-6, 9.2004 * 1e-9, 144.096, -25.502, 4.4876, 0},
};

void loadRtdCoefficients(ProfileProcessor& p, int type)
{
    if (type < 0 || type > 3)
        return;
    const RtdCoefficients& c = kRtdCoefficients[type];
    p.coefABC = {c.A, c.B, c.C};
    p.coefD = {c.D1, c.D2, c.D3, c.D4};
}

namespace
{

// The profile file always has nine steps per decade (nominals 9 down to 1).
constexpr int kFileSteps = 9;
// The header is read like a fixed 50-byte line buffer: at most 49 bytes with the line end.
constexpr int kHeaderMax = 49;
// Longest value text the reader takes; no entry pattern admits more than 13 characters.
constexpr int kValueMax = 49;

// Resizes the table to rows x cols, keeping the values already present (new ones 0.0).
void shapeTable(std::vector<std::vector<double>>& table, int rows, int cols)
{
    table.resize(static_cast<std::size_t>(std::max(rows, 0)));
    for (auto& row : table)
        row.resize(static_cast<std::size_t>(std::max(cols, 0)), 0.0);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads whitespace-separated values from the device, in the manner of repeated "%s" reads.
// Streams, so a huge or endless file costs no memory; a value is kept only up to one byte
// past the longest the reader takes, which is enough to refuse it.
class ValueReader
{
public:
    explicit ValueReader(QIODevice& dev) : m_dev(dev) {}

    bool next(QByteArray& value)
    {
        value.clear();
        char c = 0;
        do {
            if (!m_dev.getChar(&c))
                return false;
        } while (isBlank(c));
        do {
            if (value.size() <= kValueMax)
                value.append(c);
        } while (m_dev.getChar(&c) && !isBlank(c));
        return true;
    }

private:
    QIODevice& m_dev;
};

enum class ValueResult { Ok, Refused, NotANumber };

ValueResult convertValue(const QByteArray& text, const boost::regex& pattern, double& out)
{
    if (text.size() > kValueMax || pattern.empty())
        return ValueResult::Refused;
    try {
        if (!boost::regex_match(text.toStdString(), pattern))
            return ValueResult::Refused;
    } catch (const std::runtime_error&) {
        // A pathological pattern that exhausts the matcher refuses the value, nothing more.
        return ValueResult::Refused;
    }
    bool ok = false;
    const QString unicode = cp1251::toUnicode(text, &ok);
    if (!ok || !numtext::tryStrToFloat(unicode, out))
        return ValueResult::NotANumber;
    return ValueResult::Ok;
}

} // namespace

ProfileProcessor::ProfileProcessor() : coefABC(3, 0.0), coefD(4, 0.0), curFormat(&m_noFormat) {}

ProfileProcessor::~ProfileProcessor() = default;

void ProfileProcessor::setProfPath(const QByteArray& path)
{
    // The path buffer holds a zero-terminated text: stop at an embedded zero as well.
    qsizetype n = path.indexOf('\0');
    if (n < 0)
        n = path.size();
    profPath = path.left(std::min<qsizetype>(n, MaxProfPath));
}

int ProfileProcessor::closeProf()
{
    for (auto& row : profile)
        row.clear();
    profile.clear();
    profLoaded = false;
    R02 = -1.0;
    R04 = -1.0;
    return 0;
}

void ProfileProcessor::resizeProfile()
{
    shapeTable(profile, maxDec - minDec + 1, decSteps);
}

int ProfileProcessor::openFprof(const QByteArray& path)
{
    profLoaded = false;

    bool pathOk = false;
    const QString localPath = cp1251::toUnicode(path, &pathOk);
    if (!pathOk || localPath.isEmpty())
        return 1;
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return 1;

    // Header: the first line as a text-mode line read into a 50-byte buffer takes it: at most
    // 49 characters, CR LF read as one LF, the LF included when it is reached.
    QByteArray header;
    char c = 0;
    while (header.size() < kHeaderMax && file.getChar(&c)) {
        if (c == '\r') {
            char next = 0;
            if (file.getChar(&next)) {
                if (next == '\n')
                    c = '\n';
                else
                    file.ungetChar(next);
            }
        }
        header.append(c);
        if (c == '\n')
            break;
    }
    if (header.isEmpty())
        return 1; // empty or unreadable
    const qint64 bodyStart = file.pos();

    // The model text is what stands before the first ';'; its eighth character is the digit.
    const qsizetype semi = header.indexOf(';');
    const QByteArray model = semi >= 0 ? header.left(semi) : QByteArray();
    if (model.size() < 8 || model.at(7) < '0' || model.at(7) > '9')
        return 1;
    const int digit = model.at(7) - '0';
    if (digit < 1 || digit > 5)
        return 1;
    // The kind letter is the byte before the line end. A first line whose end is not within
    // the 49 bytes read (longer than 48 characters, or the file's only line) is no profile
    // header, whatever byte stands at the cut; so the values are only ever counted and read
    // from after the whole first line.
    if (digit != deviceID || !header.endsWith('\n') || header.at(header.size() - 2) != 'f')
        return 2;

    const int rows = std::max(maxDec - minDec + 1, 0);
    const int needed = rows * kFileSteps + 2;
    {
        ValueReader counter(file);
        QByteArray value;
        int count = 0;
        while (count < needed && counter.next(value))
            ++count;
        if (count < needed)
            return 3;
    }

    // Cells are stored straight into the table, so it must have the file's shape first;
    // values already present stay.
    shapeTable(profile, rows, kFileSteps);

    if (!file.seek(bodyStart))
        return 1;
    ValueReader reader(file);
    auto readInto = [&](double& target) -> int {
        QByteArray text;
        reader.next(text); // the count above guarantees the value is there
        double v = 0.0;
        switch (convertValue(text, entryRegex, v)) {
        case ValueResult::Refused:
            return 3;
        case ValueResult::NotANumber:
            return 4;
        case ValueResult::Ok:
            break;
        }
        target = v;
        return 0;
    };

    if (int rc = readInto(R02))
        return rc;
    if (int rc = readInto(R04))
        return rc;
    for (int d = 0; d < rows; ++d)
        for (int j = 0; j < kFileSteps; ++j)
            if (int rc = readInto(profile[d][j]))
                return rc;

    profLoaded = true;
    return 0;
}

double ProfileProcessor::tempToOhm(double t, short type) const
{
    if (type < 0 || type > 3 || coefABC.size() < 3)
        return t; // no characteristic: hand the value back unchanged
    const double A = coefABC[0];
    const double B = coefABC[1];
    const double C = coefABC[2];
    double w;
    switch (type) {
    case 0:
    case 1:
        if (t < 0)
            w = 1 + A * t + B * std::pow(t, 2) + C * (t - 100) * std::pow(t, 3);
        else
            w = 1 + A * t + B * std::pow(t, 2);
        break;
    case 2:
        if (t < 0)
            w = 1 + A * t + B * t * (t + 6.7) + C * std::pow(t, 3);
        else
            w = 1 + A * t;
        break;
    default:
        if (t < 100)
            w = 1 + A * t + B * std::pow(t, 2);
        else
            w = 1 + A * t + B * std::pow(t, 2) + C * (t - 100) * std::pow(t, 2);
        break;
    }
    return Rt0 * w;
}

double ProfileProcessor::ohmToTemp(double r, short type) const
{
    if (type < 0 || type > 3 || coefABC.size() < 3 || coefD.size() < 4)
        return r; // no characteristic: hand the value back unchanged
    const double A = coefABC[0];
    const double B = coefABC[1];
    const double w = r / Rt0;
    auto quadratic = [&] { return (std::sqrt(std::pow(A, 2) - 4 * B * (1 - w)) - A) / (2 * B); };
    auto inversePolynomial = [&] {
        double t = 0;
        for (int i = 0; i < 4; ++i)
            t += coefD[i] * std::pow(w - 1, i + 1);
        return t;
    };
    switch (type) {
    case 0:
    case 1:
        return w < 1 ? inversePolynomial() : quadratic();
    case 2:
        return w < 1 ? inversePolynomial() : (w - 1) / A;
    default:
        if (r < tempToOhm(100, 3))
            return quadratic();
        double t = 100;
        for (int i = 0; i < 3; ++i)
            t += coefD[i] * std::pow(w - 1.6172, i + 1);
        return t;
    }
}

QString ProfileProcessor::getDeviceName() const
{
    if (deviceID >= 1 && deviceID <= 5)
        return QString::fromLatin1(kDeviceTypes[deviceID - 1].name);
    return QStringLiteral("WrongID");
}

int ProfileProcessor::getDeviceID(const QString& name)
{
    for (const DeviceType& t : kDeviceTypes)
        if (name == QLatin1String(t.name))
            return t.id;
    return -1;
}
