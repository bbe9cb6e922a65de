#include "plugin/parameter_texts.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dsp/parameter_laws.h"
#include "vst/audioeffect.h"

namespace {

constexpr double kTransposeRange = 48.0;  // semitones from value 0 to value 1
constexpr double kTuneRange = 200.0;      // cents from value 0 to value 1
constexpr double kPercent = 100.0;
// Output's texts read back through 10^(dB/20); below this the value is 0 ("-oo").
constexpr double kSilentDecibels = -1000.0;

// 100 * v rounded to a float, as the percent texts show it.
float percentOf(float v) { return static_cast<float>(kPercent * static_cast<double>(v)); }

const char* skipSpaces(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

bool startsWithWord(const char* text, const char* word) { return std::strncmp(text, word, std::strlen(word)) == 0; }

// The number at the start of text (after spaces); the rest may be a unit or spaces.
bool readNumber(const char* text, double& number) {
    text = skipSpaces(text);
    char* end = nullptr;
    const double read = std::strtod(text, &end);
    if (end == text || !std::isfinite(read)) return false;
    number = read;
    return true;
}

}  // namespace

void parameterValueText(VstInt32 index, float v, char* text) {
    if (!text) return;
    switch (index) {
        case kOutput:
            // The gain the engine applies (4·v², so 0.5 is 0 dB and full travel +12 dB): the
            // level the listener hears, as the editor's own readout shows it.
            AudioEffect::dB2string(dsp::outputGainLaw(v), text);
            break;
        case kMix:
        case kDecay:
        case kDamp:
        case kDetune:
            AudioEffect::float2string(percentOf(v), text);
            break;
        case kTranspose: {
            // Whole semitones, cut toward zero. A value far outside 0..1 would overflow the whole
            // number; the number text shows such magnitudes as "Huge!" anyway.
            const double semitones = (static_cast<double>(v) - 0.5) * kTransposeRange;
            const double whole = std::fabs(semitones) < 1e9 ? std::trunc(semitones) : semitones;
            AudioEffect::float2string(static_cast<float>(whole), text);
            break;
        }
        case kTune:
            AudioEffect::float2string(static_cast<float>((static_cast<double>(v) - 0.5) * kTuneRange), text);
            break;
        case kBypass:
            std::strcpy(text, dsp::bypassLaw(v) != 0 ? kBypassedText : kProcessText);
            break;
        default:
            break;
    }
}

namespace {

// The value whose text shows `number` in the parameter's unit (Output: decibels).
float valueOfNumber(VstInt32 index, double number) {
    switch (index) {
        case kOutput:
            // The inverse of the gain law 4·v²: v = √(gain / 4).
            return number <= kSilentDecibels ? 0.0f : static_cast<float>(0.5 * std::sqrt(std::pow(10.0, number / 20.0)));
        case kTranspose: {
            // The text cuts toward zero and the engine rounds to the nearest step: a quarter step
            // away from zero keeps both on the semitone that was read.
            const double whole = std::round(std::fmin(std::fmax(number, -1e6), 1e6));
            const double nudge = whole > 0.0 ? 0.25 : whole < 0.0 ? -0.25 : 0.0;
            return static_cast<float>(0.5 + (whole + nudge) / kTransposeRange);
        }
        case kTune:
            return static_cast<float>(0.5 + number / kTuneRange);
        default:
            return static_cast<float>(number / kPercent);
    }
}

// Digits after the point of the number at the start of text.
int fractionDigits(const char* text) {
    const char* point = std::strchr(skipSpaces(text), '.');
    int digits = 0;
    while (point && point[1 + digits] >= '0' && point[1 + digits] <= '9') ++digits;
    return digits;
}

// The number a value text shows, or NaN.
double shownNumber(VstInt32 index, float value) {
    char text[32] = {};
    parameterValueText(index, value, text);
    double number = 0.0;
    return readNumber(text, number) ? number : std::nan("");
}

}  // namespace

bool parameterValueFromText(VstInt32 index, const char* text, float& value) {
    if (!text || index < 0 || index >= kNumParams) return false;
    const char* start = skipSpaces(text);
    if (index == kOutput && (startsWithWord(start, "-oo") || startsWithWord(start, "-inf"))) {
        value = 0.0f;
        return true;
    }
    if (index == kBypass) {
        if (startsWithWord(start, "bypass") || startsWithWord(start, "on")) {
            value = 1.0f;
            return true;
        }
        if (startsWithWord(start, "process") || startsWithWord(start, "off")) {
            value = 0.0f;
            return true;
        }
    }
    double number = 0.0;
    if (!readNumber(start, number)) return false;
    if (index == kBypass) {
        value = dsp::bypassLaw(static_cast<float>(number)) != 0 ? 1.0f : 0.0f;
        return true;
    }
    value = valueOfNumber(index, number);
    // A shown text cuts its last digit off: its value may lie anywhere up to one unit of that
    // digit further from zero. Where the exact number does not show as itself, the middle of
    // that unit does.
    const int digits = fractionDigits(start);
    if (index != kTranspose && digits > 0 && shownNumber(index, value) != number) {
        const float middle = valueOfNumber(index, number + std::copysign(0.5 * std::pow(10.0, -digits), number));
        if (shownNumber(index, middle) == number) value = middle;
    }
    return true;
}
