#include "platform/win32/paths.h"

#include <algorithm>

namespace win32 {

std::string PlatformPath(const char* sceneName) {
    if (sceneName == nullptr) return {};
    std::string path(sceneName);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace win32
