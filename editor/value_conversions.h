// The texts of the editor's value readouts. Each receives the display's value and writes a
// terminated text into the display's buffer (at least 32 bytes).
#pragma once

#include "plugin/parameters.h"

// 0..1 as a whole percent, cut toward zero: "0%" .. "100%".
void percentStringConvert(float value, char* text);
// 0..1 as whole semitones, rounded: "b24" .. "b1", "0", "#1" .. "#24".
void semitoneStringConvert(float value, char* text);
// 0..1 as whole cents, cut toward zero: "-100c" .. "100c".
void centsStringConvert(float value, char* text);
// A linear gain in decibels with one decimal cut off, "12.0dB", or "-oo dB" at and below 1e-8.
void decibelStringConvert(float value, char* text);

// The readout text of a parameter in `unit`; null for a parameter with no readout (Bypass).
using ReadoutConvert = void (*)(float value, char* text);
ReadoutConvert readoutConvert(ParameterUnit unit);
