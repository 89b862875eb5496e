// Replacing a file's content without ever leaving it half written: the new content goes to a
// temporary file in the same folder, which is renamed over the old file only once it is complete.
// What the user had stays as it was: a symbolic link stays a link (its target gets the content),
// a file the user may not write is not replaced, and a replaced file keeps its permission bits.
#pragma once

#include <filesystem>
#include <string_view>

namespace xq {

enum class FileWrite {
    Written,
    NotCreated,  // the file may not be written, or no file can be made beside it (no such folder,
                 // no permission, a loop of links)
    Failed,      // a write, the flush to disk, the close or the rename failed
};

// Writes `bytes` as the whole content of `file`, or of the file a symbolic link `file` leads to.
// On any failure the old file, if there was one, is untouched and no temporary file is left
// behind. A new file gets the usual permissions (those the umask allows); a replaced file keeps
// its own.
FileWrite ReplaceFileContent(const std::filesystem::path& file, std::string_view bytes);

}  // namespace xq
