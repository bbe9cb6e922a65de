#include "host/temporary_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "host/host_error.h"
#include "platform/file_replacement_posix.h"

namespace host {

int createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
    std::string path;
    const int descriptor = platform::createFileBeside(target.string(), path);
    if (descriptor < 0) {
        std::filesystem::path folder = target.parent_path();
        if (folder.empty()) folder = ".";
        throw CHostError("cannot create the output file in " + folder.string() + ": " + std::strerror(errno));
    }
    temporary = path;
    return descriptor;
}

void moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    if (!platform::renameOver(temporary.string(), target.string()))
        throw CHostError("cannot write " + target.string() + ": " + std::strerror(errno));
}

}  // namespace host
