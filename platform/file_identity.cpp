#include "platform/file_identity.h"

#include "platform/system_files.h"

namespace hg {

std::string fileIdentity(const std::string& path) {
    const sys::PathStatus status = sys::pathStatus(path);
    if (status.kind != sys::PathKind::Missing) return "inode " + status.identity;
    const std::string normal = sys::normalPath(path);
    return "path " + (normal.empty() ? path : normal);
}

bool sameExistingFile(const std::string& a, const std::string& b) {
    const sys::PathStatus first = sys::pathStatus(a);
    if (first.kind == sys::PathKind::Missing) return false;
    const sys::PathStatus second = sys::pathStatus(b);
    return second.kind != sys::PathKind::Missing && first.identity == second.identity;
}

}  // namespace hg
