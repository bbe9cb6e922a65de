#include "host/text_util.h"

#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// strtod over the whole text; rejects anything it would skip or leave over.
std::optional<double> parseWholeDouble(std::string_view text) {
    if (text.empty() || isSpace(text.front())) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    if (errno == ERANGE && std::fabs(value) > 1.0) return std::nullopt;  // overflow
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::string trimmed(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::optional<float> parseFiniteFloat(std::string_view text) {
    const std::optional<double> value = parseWholeDouble(text);
    if (!value) return std::nullopt;
    const float single = static_cast<float>(*value);
    if (!std::isfinite(single)) return std::nullopt;  // finite as a double, too large as a float
    return single;
}

std::optional<double> parseFiniteDouble(std::string_view text) { return parseWholeDouble(text); }

std::optional<std::int64_t> parseIndex(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string fourCharText(std::int32_t id) {
    const auto word = static_cast<std::uint32_t>(id);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>((word >> shift) & 0xFFu);
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return text;
}

std::string hexWord(std::uint32_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(word));
    return text;
}

}  // namespace host
