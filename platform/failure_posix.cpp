#include <cerrno>
#include <cstring>

#include "platform/failure.h"

namespace platform {

namespace {

FailureKind kindOf(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return FailureKind::diskFull;
    case EFBIG:
        return FailureKind::fileTooLarge;
    case EROFS:
        return FailureKind::readOnly;
    case EACCES:
    case EPERM:
        return FailureKind::noAccess;
    case ENOENT:
    case ENOTDIR:
        return FailureKind::notFound;
    case ENAMETOOLONG:
        return FailureKind::nameTooLong;
    case EISDIR:
        return FailureKind::isFolder;
    default:
        return FailureKind::other;
    }
}

}  // namespace

Failure lastSystemFailure() { return systemFailure(errno); }

Failure systemFailure(long code) {
    const int error = static_cast<int>(code);
    return {kindOf(error), std::strerror(error)};
}

}  // namespace platform
