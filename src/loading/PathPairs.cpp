#include "loading/PathPairs.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "catalogue/PathTarget.h"
#include "catalogue/Scan.h"

namespace duoptic {

PathPairs findPathPairs(const std::string& path) {
    const PathTarget target = examinePath(path);
    if (target.kind == PathTarget::Missing) {
        throw Error(messages::cannotOpenFile(path));
    }
    PathPairs found{target.folder, {}, 0};
    scanFolderForPairs(target.folder, found.list);
    if (target.kind == PathTarget::File) {
        found.entry = entryOfFile(found.list, target.file);
        if (found.entry == 0) {
            throw Error(messages::notAPairFile(path));
        }
    }
    return found;
}

} // namespace duoptic
