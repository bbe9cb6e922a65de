#include "plugin/parameter_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dsp/parameter_laws.h"
#include "plugin/parameter_units.h"
#include "vst/audioeffect.h"

namespace {

// Output's texts read back through 10^(dB/20); below this the value is 0 ("-oo").
constexpr double kSilentDecibels = -1000.0;

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

void parameterValueText(std::int32_t index, float v, char* text) {
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
            AudioEffect::float2string(static_cast<float>(percentOf(v)), text);
            break;
        case kTranspose:
            // The semitone the engine plays. Values far outside 0..1 show as "Huge!".
            AudioEffect::float2string(static_cast<float>(transposeSemitone(v)), text);
            break;
        case kTune:
            AudioEffect::float2string(static_cast<float>(tuneCents(v)), text);
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
float valueOfNumber(std::int32_t index, double number) {
    switch (index) {
        case kOutput:
            return number <= kSilentDecibels ? 0.0f : outputValueOfDecibels(number);
        case kTranspose:
            return transposeValueOfSemitone(number);
        case kTune:
            return tuneValueOfCents(number);
        default:
            return valueOfPercent(number);
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
double shownNumber(std::int32_t index, float value) {
    char text[32] = {};
    parameterValueText(index, value, text);
    double number = 0.0;
    return readNumber(text, number) ? number : std::nan("");
}

}  // namespace

bool parameterValueFromText(std::int32_t index, const char* text, float& value) {
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
    // Hosts take what they are given as a normalised value: a number beyond the parameter's
    // range reads as its nearer end.
    value = std::clamp(value, 0.0f, 1.0f);
    return true;
}
