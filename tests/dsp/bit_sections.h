// Files of raw bits in named sections, written by one build and compared with another's: a
// 32-byte name, the element size (4 for floats, 8 for doubles) and the element count as
// little-endian 32- and 64-bit words, then the elements' bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bitsections {

constexpr std::size_t kNameSize = 32;

struct Section {
    uint32_t elementSize = 0;
    std::vector<unsigned char> bytes;
    std::size_t count() const { return elementSize ? bytes.size() / elementSize : 0; }
    uint64_t element(std::size_t i) const {
        uint64_t value = 0;
        std::memcpy(&value, bytes.data() + i * elementSize, elementSize);
        return value;
    }
};

class Writer {
public:
    explicit Writer(const char* path);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    // False once the file could not be opened or a write failed.
    bool ok() const { return file_ != nullptr && !failed_; }

    template <class T>
    void section(const std::string& name, const std::vector<T>& values) {
        static_assert(sizeof(T) == 4 || sizeof(T) == 8);
        header(name, sizeof(T), values.size());
        put(values.data(), values.size() * sizeof(T));
    }

private:
    void header(const std::string& name, uint32_t elementSize, uint64_t count);
    void put(const void* data, std::size_t size);
    std::FILE* file_;
    bool failed_ = false;
};

// Every section of the file by name; ok is false when the file is missing or malformed.
std::map<std::string, Section> readSections(const char* path, bool& ok);

}  // namespace bitsections
