#include "platform/datapaths.h"

// Both folders are set by the build; these stand in for a build that does not set them.
#ifndef XQ_DATA_DIR
#define XQ_DATA_DIR "/usr/local/share/lanchuan-xiangqi"
#endif
#ifndef XQ_SOURCE_DATA_DIR
#define XQ_SOURCE_DATA_DIR "data"
#endif

namespace xq {

std::vector<std::string> DataFileSearchList(std::string_view relativePath) {
    const std::string name(relativePath);
    return {name, std::string(XQ_DATA_DIR) + "/" + name,
            std::string(XQ_SOURCE_DATA_DIR) + "/" + name};
}

}  // namespace xq
