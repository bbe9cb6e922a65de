// The number and decibel texts that the effect shows the host for parameter values.
#include <cmath>
#include <cstring>

#include "vst/audioeffect.h"

namespace {

constexpr int kTextWidth = 8;  // characters the number text fills when it can
constexpr double kLargestPositive = 99999999.0;
constexpr double kLargestNegative = 9999999.0;

}  // namespace

void AudioEffect::float2string(float value, char* text) {
    if (!text) return;
    double magnitude = value;
    const bool negative = magnitude < 0.0;
    if (negative) magnitude = -magnitude;
    if (magnitude > (negative ? kLargestNegative : kLargestPositive) || std::isnan(magnitude)) {
        std::strcpy(text, "Huge!");
        return;
    }

    // Integer digits, lowest first. Every digit of the integer part is written, even where
    // sign, digits and point pass eight characters: dropping the leading digit of a large
    // number would show a plainly wrong value.
    char integerDigits[16];
    int digitCount = 0;
    int used = (negative ? 1 : 0) + 1;  // sign and point
    double integer = std::floor(magnitude);
    do {
        integerDigits[digitCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(integer, 10.0)));
        integer /= 10.0;
        ++used;
    } while (integer >= 1.0);

    char* out = text;
    if (negative) *out++ = '-';
    while (digitCount > 0) *out++ = integerDigits[--digitCount];
    *out++ = '.';

    // Fraction digits fill the text to eight characters: the fractional part scaled to that
    // many digits and cut off, not rounded.
    const int fractionCount = kTextWidth - used;
    if (fractionCount > 0) {
        double mantissa = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionCount);
        for (int i = fractionCount - 1; i >= 0; --i) {
            if (mantissa <= 0.0) {
                out[i] = '0';
            } else {
                out[i] = static_cast<char>('0' + static_cast<int>(std::fmod(mantissa, 10.0)));
                mantissa /= 10.0;
            }
        }
        out += fractionCount;
    }
    *out = 0;
}

void AudioEffect::dB2string(float value, char* text) {
    if (!text) return;
    if (value <= 0.0f) {
        std::strcpy(text, "-oo");
        return;
    }
    const float log = static_cast<float>(std::log10(static_cast<double>(value)));
    float2string(static_cast<float>(20.0f * log), text);
}
