#pragma once
// The instrument's registers. Each holds a text; numbers travel as decimal-comma text.

#include <cstdint>

enum class Reg : std::uint16_t {
    R02 = 40001,           // 2-wire zero resistance, "0.0000"
    R04 = 40002,           // 4-wire zero resistance, "0.0000"
    ProfCellFirst = 40003, // actual value of the smallest step (1 x 10^minDec)
    ProfCellLast = 40065,  // actual value of the largest step (9 x 10^maxDec)
    DeviceName = 40066,    // model text, "RD5540-3"; 8th character is the variant digit
    SerialNumber = 40067,  // serial number
    AccuracyClass = 40068, // accuracy class, "0,02"
    MakeYear = 40069,      // year of manufacture
    Password = 40070,      // neither read nor written by the program
    NominalRange = 40071,  // nominal range in ohms
    Step = 40072,          // the instrument's step in ohms, a number
    SetValue = 40073,      // the value to reproduce / reproduced, in ohms
    Command = 40074,       // "A" applies the set value, "B" stores the written profile
    Ready = 40075,         // '0' not ready, '1' ready
    DecadeSteps = 40076,   // switched decade steps
    R40077 = 40077,        // unused
    Display = 40078,       // display selection letter 'A'..'H'
    TrueValue = 40079,     // reproduced resistance, ohms
    DeltaR = 40080,        // deviation in ohms
    DeltaRPercent = 40081, // deviation in percent
    R40082 = 40082,        // unused
    UMax = 40083,          // maximum voltage
    IMax = 40084,          // maximum current; a trailing "mA"-like suffix names the unit
    OutputMode = 40085,    // output mode letter 'A'..'D'
    Firmware = 40086,      // firmware version
    Status = 40087,        // status bits; writing "0" clears them
};

constexpr std::uint16_t regNumber(Reg r)
{
    return static_cast<std::uint16_t>(r);
}
constexpr bool isProfileRegister(std::uint16_t n)
{
    return n >= 40001 && n <= 40065;
}

// Bits of the status register's character (40087): changes made on the instrument itself.
namespace statusbit
{
constexpr std::uint8_t ValueChanged = 1u << 1;   // the value was set on the front panel
constexpr std::uint8_t NotReady = 1u << 2;       // a value is still being set
constexpr std::uint8_t ClearPending = 1u << 3;   // nothing to read, but the status wants clearing
constexpr std::uint8_t DisplayChanged = 1u << 4; // the display selection was changed
constexpr std::uint8_t ModeChanged = 1u << 5;    // the output mode was changed
// The bits that the program handles by reading a register.
constexpr std::uint8_t Handled = ValueChanged | NotReady | DisplayChanged | ModeChanged;
} // namespace statusbit
