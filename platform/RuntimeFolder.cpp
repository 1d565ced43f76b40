// What the private folder does the same way on every system.
#include "platform/RuntimeFolder.h"

namespace qv::platform {

// A parent that cannot be made shows in the folder's own refusal.
std::error_code makePrivateFolderAndParents(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    return makePrivateFolder(folder);
}

}  // namespace qv::platform
