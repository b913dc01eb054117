#pragma once
// Small text helpers of the profile window's handlers.

#include "platform/NumberText.h"
#include "ui/main.h"

#include <QString>

namespace profilewindow
{

// A text in the main window's language (Russian when there is no main window).
inline QString lang(const char* russian, const char* english)
{
    return QString::fromUtf8(Form1 == nullptr || Form1->isRussian() ? russian : english);
}

// A text as a number, or fallback when it is not one.
inline double numberOr(const QString& text, double fallback)
{
    double v = 0;
    return numtext::tryStrToFloat(text, v) ? v : fallback;
}

} // namespace profilewindow
