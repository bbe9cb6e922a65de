// How long the effect rings on after its input falls silent, for the formats that tell their
// hosts: from Decay's loop gain and the longest string loop at the current tuning.
#pragma once

class ADelay;

// Samples until the longest-ringing string has fallen to -120 dB; infinity when the strings
// never fall silent (a loop gain of one or more).
double tailLengthSamples(ADelay& effect);
