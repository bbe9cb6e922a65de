// The numbers a user reads for a parameter's normalised value, in the parameter's unit, and the
// way back. The host texts, the editor's readouts and every format's plain values go through
// these, so a unit's law is written once.
#pragma once

#include <cstdint>

// Transpose: the semitone the engine transposes by at value v, counted from no transposition
// (−24 at 0, +24 at 1). The engine's whole step, so what is shown is what is heard.
std::int64_t transposeSemitone(float v);

// The value of the whole semitone nearest to `semitones`, within −24..24: exactly the middle of
// its engine step, so that it reads back as that semitone.
float transposeValueOfSemitone(double semitones);

// Output in decibels: the gain the engine applies (4·v², so 0.5 is 0 dB), −∞ at 0.
double outputDecibels(float v);
// The value whose gain is `decibels`: the inverse of the gain law, v = √(gain / 4).
float outputValueOfDecibels(double decibels);

// Tune in cents: −100 at 0, +100 at 1. Exact in double for every float v.
double tuneCents(float v);
float tuneValueOfCents(double cents);

// Mix, Decay, Damp and Detune in percent. Exact in double for every float v.
double percentOf(float v);
float valueOfPercent(double percent);
