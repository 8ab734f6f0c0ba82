#pragma once

#include <QString>

#include <optional>

// Turning what a user typed into settings values, and the escapes of the settings file.
namespace ValueText {

// The number the start of the text spells (blanks, tabs and line feeds anywhere ignored;
// sign, decimals, exponent, &H and &O), rounded half to even; default when outside min..max.
int valInRange(const QString &text, int min, int max, int defaultValue);

// A whole settings value read as a number (surrounding blanks ignored, nothing else after it),
// rounded half to even; nothing when it is empty, not a number or beyond 32 bits.
std::optional<int> toInteger(const QString &text);

QString strOrDefault(const QString &text, int minLength, const QString &defaultText);

// Direction 0 decodes the stored form ("\n", "{tab}", "{space}"), 1 encodes; any other
// direction returns the text unchanged.
QString convertEscapes(const QString &text, int direction);
QString convertLineBreaks(const QString &text, int direction);

// The text without leading and trailing blanks (U+0020 only; tabs stay).
QStringView trimBlanks(QStringView s);

} // namespace ValueText
