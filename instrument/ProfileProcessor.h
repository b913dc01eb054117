#pragma once
// The instrument model: which RD5540 variant is in use, its decades, the value formats
// and patterns, accuracy class and step, the actual-values profile with its zero
// resistances, and the thermometer characteristic. A shared record with a few operations;
// the windows and the link read and write its fields directly.

#include <QByteArray>
#include <QString>
#include <boost/regex.hpp>
#include <vector>

class ProfileProcessor
{
public:
    ProfileProcessor();
    ~ProfileProcessor();
    ProfileProcessor(const ProfileProcessor&) = delete;
    ProfileProcessor& operator=(const ProfileProcessor&) = delete;

    int deviceID = 0;        // variant 1..5 (BoxDevice index + 1); 0 until applied
    QString ohmFormat;       // FormatFloat pattern of Ω values in the current unit
    QString celsiusFormat;   // FormatFloat pattern of °C values
    QString profFormat;      // "0.0000" for every variant
    boost::regex rangeRegex; // in range and a multiple of the step, current unit
    boost::regex entryRegex; // one typed value / one profile file value
    int minDec = 0;          // exponent of the lowest decade, -3..1
    int maxDec = 0;          // exponent of the highest decade, 3..7
    int decSteps = 0;        // steps per decade, 9
    QString precClass;       // accuracy class as the instrument reports it, "0,02"
    // Actual values: row d (0 = highest decade), column j holds nominal (9 - j) x 10^(maxDec - d).
    std::vector<std::vector<double>> profile;
    double R02 = -1.0;           // 2-wire zero resistance, Ω; -1 while none is held
    double R04 = -1.0;           // 4-wire zero resistance, Ω; -1 while none is held
    int Rt0 = 100;               // thermometer resistance at 0 °C: 10, 50, 100, 500, 1000
    QByteArray profPath;         // value-list file path, CP1251, at most 199 bytes
    bool profLoaded = false;     // profile, R02 and R04 hold a complete profile
    double digitStep = 0.0;      // smallest digit increment of the entry, current unit
    double discreteness = 0.0;   // the instrument's step, current unit
    std::vector<double> coefABC; // A, B, C of the thermometer characteristic
    std::vector<double> coefD;   // D1..D4 of the inverse characteristic
    QString* curFormat;          // &ohmFormat or &celsiusFormat, whichever unit is in use

    static constexpr int MaxProfPath = 199;

    void setProfPath(const QByteArray& path); // copies at most MaxProfPath bytes
    int closeProf();                          // always 0
    void resizeProfile();
    // Reads an actual-values profile file (path in CP1251); 0 read, 1 not a profile (also
    // unreadable or empty, or a malformed model text), 2 other variant or not ";f" (also a
    // header without its line end or too long for the 49-byte header read), 3 too few or a
    // value refused by entryRegex, 4 a value that is not a number. Sizes profile to the
    // file's 7 x 9 first.
    int openFprof(const QByteArray& path);
    // Thermometer characteristic of type (RtdType 0..3) with Rt0, coefABC and coefD; for a type
    // outside 0..3 there is no characteristic and the input is returned unchanged.
    double tempToOhm(double celsius, short type) const;
    double ohmToTemp(double ohms, short type) const;
    QString getDeviceName() const;               // "RD5540-1".."RD5540-5", else "WrongID"
    static int getDeviceID(const QString& name); // exact match, else -1

private:
    QString m_noFormat; // what curFormat points at before a unit is applied
};

// Variant catalogue row: index 0..4 in BoxDevice.
struct DeviceType {
    int id;
    const char* name;
    int minDec;
    int maxDec;
};
extern const DeviceType kDeviceTypes[5];

// Thermometer types (RtdType): 0 Pt 0.00391, 1 Pt 0.00385, 2 Cu 0.00428, 3 Ni 0.00617.
struct RtdCoefficients {
    double A, B, C;
    double D1, D2, D3, D4;
};
extern const RtdCoefficients kRtdCoefficients[4];

// Loads the coefficient set of type into the model; does nothing for a type outside 0..3.
void loadRtdCoefficients(ProfileProcessor& p, int type);
