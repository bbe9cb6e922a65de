// The values that the settings store tests hand between two processes.
#pragma once

#include <array>
#include <string>

namespace settingssample {

inline std::array<unsigned char, 61> image() {
    std::array<unsigned char, 61> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(255 - 3 * i);
    return bytes;
}

inline const std::string kText = "D:\\Klänge\\Saiten für Övül.qza";

}  // namespace settingssample
