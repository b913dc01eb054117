#pragma once
// Value limits of the RD5540 variants: per unit (Ω, kΩ, MΩ) the value format, the smallest
// step, the digit selector's range and the whole-text range pattern; for °C entry the same
// per thermometer R0 class and family; the entry patterns, the unit captions and the
// letters and short labels of the output-mode and display options. Pure data: the main
// window applies it to the model and the widgets.

namespace valuelimits
{

constexpr int VariantCount = 5; // BoxDevice index 0..4: RD5540-1 .. RD5540-5
constexpr int UnitCount = 3;    // ChooseOhm index: 0 Ω, 1 kΩ, 2 MΩ
constexpr int DecadeSteps = 9;  // steps per decade, every variant
constexpr const char* ProfileFormat = "0.0000";

// ---- Ω, kΩ, MΩ ----

struct OhmLimits {
    int row;                  // 1..15, variant-major: 3 * variantIndex + unitIndex + 1
    const char* format;       // FormatFloat pattern of values in this unit
    double step;              // the variant's smallest decade step, in this unit
    int selectorMin;          // decimal exponent of the step
    int selectorMax;          // one above the top decade: the operator's own step
    int selectorPosition;     // starting position (may lie above selectorMax, then clamped)
    const char* rangePattern; // admits 0 and every multiple of the step up to the top value
};

bool hasOhmLimits(int variantIndex, int unitIndex);
// Throws std::out_of_range unless hasOhmLimits(variantIndex, unitIndex).
const OhmLimits& ohmLimits(int variantIndex, int unitIndex);

// Entry pattern of one typed or profile-file value: E1 for RD5540-1 and -2, E2 for the
// others; nullptr outside 0..4.
const char* entryPattern(int variantIndex);

// ---- °C ----

enum class RtdFamily { Platinum = 0, Copper = 1, Nickel = 2 };

// rtdType 0 and 1: platinum, 2: copper, 3: nickel; false for any other type.
bool rtdFamily(int rtdType, RtdFamily& family);

struct CelsiusLimits {
    int row;                   // 1..6 (T1..T6)
    const char* editFormat;    // reformatting of the value edits
    const char* celsiusFormat; // format of °C values
    double digitStep;
    int selectorMin;
};
constexpr int CelsiusSelectorMax = 3; // the operator's own step position in °C

bool hasCelsiusLimits(int r0); // r0 is one of 10, 50, 100, 500, 1000 Ω
// r0 class 10 / 50 or 100 / 500 or 1000 Ω, and RD5540-1 or another variant.
// Throws std::out_of_range unless hasCelsiusLimits(r0).
const CelsiusLimits& celsiusLimits(int r0, bool rd5540_1);
// Range pattern of row 1..6 for a family: -200..850 °C platinum, -180..200 copper,
// -60..180 nickel, at the row's resolution. nullptr for a row outside 1..6.
const char* celsiusPattern(int row, RtdFamily family);

// ---- captions and option letters ----

struct UnitCaptions {
    const char* unitRu; // "R, Ом:"
    const char* unitEn;
    const char* stepRu; // "Шаг, Ом:"
    const char* stepEn;
};
// Throws std::out_of_range for an index outside 0..2.
const UnitCaptions& unitCaptions(int unitIndex);

// Output-mode items in menu order: funcDefaultx2, funcDefaultx4, funcCorrectionx2,
// funcCorrectionx4.
struct OutputMode {
    const char* letter;  // written to the output-mode register
    const char* labelRu; // short text of modeLabel
    const char* labelEn;
};
constexpr int OutputModeCount = 4;
extern const OutputMode kOutputModes[OutputModeCount];

// Display-selection letters in menu order: N11, N21, N31, R1, N13, N14, N17, N10.
constexpr int DisplayCount = 8;
extern const char* const kDisplayLetters[DisplayCount];

// Thermometer R0 of the items N01, N501, N1001, N1002, N10001.
constexpr int R0Count = 5;
constexpr int kR0Values[R0Count] = {10, 50, 100, 500, 1000};

} // namespace valuelimits
