#include "platform/win32/paths.h"

#include <algorithm>

namespace win32 {
namespace {

std::string& FileRoot() {
    static std::string root;
    return root;
}

}  // namespace

std::string PlatformPath(const char* sceneName) {
    if (sceneName == nullptr) return {};
    std::string path(sceneName);
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::string& root = FileRoot();
    if (!root.empty() && !path.empty() && path.front() != '/') path = root + '/' + path;
    return path;
}

void SetFileRoot(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    FileRoot() = std::move(folder);
}

}  // namespace win32
