#include "platform/failure.h"

namespace platform {

const char* describe(FailureKind kind) {
    switch (kind) {
    case FailureKind::diskFull:
        return "disk full";
    case FailureKind::fileTooLarge:
        return "file too large";
    case FailureKind::readOnly:
        return "read-only";
    case FailureKind::noAccess:
        return "no access";
    case FailureKind::notFound:
        return "not found";
    case FailureKind::nameTooLong:
        return "name too long";
    case FailureKind::isFolder:
        return "is a folder";
    case FailureKind::other:
        break;
    }
    return "system error";
}

}  // namespace platform
