// Who the plug-in is, in every format: its names, its maker, its version and the IDs by which
// hosts know it. Hosts store these in their projects and scans, so none of them may change
// without a new plug-in. The build reads the version and the names from here too (the
// project's version, the Windows version resource), so they are written once.
#pragma once

#include <cstdint>
#include <cstddef>

namespace identity {

// The four characters of the VST 2.4 unique ID, from which the VST3 class ID is also derived.
inline constexpr char kUniqueIdChars[4] = {'Z', 'k', 'R', 'w'};
inline constexpr std::int32_t kUniqueId =
    static_cast<std::int32_t>((static_cast<std::uint32_t>(kUniqueIdChars[0]) << 24) |
                              (static_cast<std::uint32_t>(kUniqueIdChars[1]) << 16) |
                              (static_cast<std::uint32_t>(kUniqueIdChars[2]) << 8) |
                              static_cast<std::uint32_t>(kUniqueIdChars[3]));

inline constexpr const char* kEffectName = "QZA Chordwell";
inline constexpr const char* kVendorString = "qza-tonefold.com";
// The LV2 plug-in's URI, under the vendor's domain; its UI and state keys are named below it.
inline constexpr const char* kLv2Uri = "https://qza-tonefold.com/plugins/chordwell";
// The product text as hosts ask for it: they read at most kProductStringLength characters.
inline constexpr const char* kProductString = "QZA Chordwell - string rezonator plug-in";
inline constexpr std::size_t kProductStringLength = 40;

// The CLAP plug-in's ID, a reverse-domain name under the vendor's domain.
inline constexpr const char* kClapId = "com.qza-tonefold.chordwell";

// The release: major.minor.micro, and the VST 2.4 vendor version made of it (1.5.0 is 1500).
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 5;
inline constexpr int kVersionMicro = 0;
inline constexpr std::int32_t kVendorVersion = kVersionMajor * 1000 + kVersionMinor * 100 + kVersionMicro;

}  // namespace identity
