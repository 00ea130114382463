#include "platform/win32/diagnostics.h"

#include <errno.h>  // program_invocation_short_name
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/paths.h"

namespace win32 {

void Diagnose(const std::string& subject, const std::string& what) {
    std::string line = program_invocation_short_name;
    line += ": ";
    line += subject;
    line += ": ";
    line += what;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

std::string WhyCannotOpen(const char* sceneName) {
    const std::string path = PlatformPath(sceneName);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "not found" : std::string("cannot be opened: ") + std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return "is a folder";
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string("cannot be opened: ") + std::strerror(errno);
    close(fd);
    return "cannot be mapped";
}

}  // namespace win32
