// The value text of any parameter value, as the host shows it, and the way back from such a
// text to a value. The plug-in's host interfaces all show the same texts through these.
#pragma once

#include <cstdint>

#include "plugin/parameters.h"

// Writes the value text of `value` for parameter index 0..7 (at most 12 bytes with the zero);
// nothing for any other index.
void parameterValueText(std::int32_t index, float value, char* text);

// Reads a text such as parameterValueText writes, or a plain number in the same unit, with or
// without the unit after it, into a value in 0..1 whose text is the one read (Transpose: the
// whole semitone nearest to the number); a number beyond the range gives the nearer end. Output
// reads decibels and "-oo"; Bypass also reads its two words. False, with value untouched, for a
// text that says no number of that parameter.
bool parameterValueFromText(std::int32_t index, const char* text, float& value);
