#include "dsp/bit_sections.h"

#include <algorithm>

namespace bitsections {

Writer::Writer(const char* path) : file_(std::fopen(path, "wb")) {}

Writer::~Writer() {
    if (file_) std::fclose(file_);
}

void Writer::header(const std::string& name, uint32_t elementSize, uint64_t count) {
    char text[kNameSize] = {};
    std::memcpy(text, name.data(), std::min(name.size(), kNameSize - 1));
    put(text, kNameSize);
    put(&elementSize, sizeof(elementSize));
    put(&count, sizeof(count));
}

void Writer::put(const void* data, std::size_t size) {
    if (!file_ || std::fwrite(data, 1, size, file_) != size) failed_ = true;
}

std::map<std::string, Section> readSections(const char* path, bool& ok) {
    std::map<std::string, Section> sections;
    std::FILE* file = std::fopen(path, "rb");
    ok = file != nullptr;
    while (ok) {
        char name[kNameSize];
        Section section;
        uint64_t count = 0;
        if (std::fread(name, 1, kNameSize, file) != kNameSize) break;  // the end
        name[kNameSize - 1] = 0;
        ok = std::fread(&section.elementSize, sizeof(section.elementSize), 1, file) == 1 &&
             std::fread(&count, sizeof(count), 1, file) == 1 &&
             (section.elementSize == 4 || section.elementSize == 8);
        if (!ok) break;
        section.bytes.resize(count * section.elementSize);
        ok = std::fread(section.bytes.data(), 1, section.bytes.size(), file) == section.bytes.size();
        sections[name] = std::move(section);
    }
    if (file) std::fclose(file);
    return sections;
}

}  // namespace bitsections
