// Replacing a file's content without ever leaving it half written: the new content goes to a
// temporary file in the same folder, which is renamed over the old file only once it is complete.
#pragma once

#include <filesystem>
#include <string_view>

namespace xq {

enum class FileWrite {
    Written,
    NotCreated,  // the temporary file could not be created (no such folder, no permission)
    Failed,      // a write, the flush to disk, the close or the rename failed
};

// Writes `bytes` as the whole content of `file`. On any failure the old file, if there was one,
// is untouched and no temporary file is left behind. A new file gets the usual permissions (those
// the umask allows); a replaced file keeps its own.
FileWrite ReplaceFileContent(const std::filesystem::path& file, std::string_view bytes);

}  // namespace xq
