#include "platform/win32/data_folder.h"

#include <system_error>

#include "platform/win32/diagnostics.h"
#include "platform/win32/paths.h"

namespace win32 {
namespace {

namespace fs = std::filesystem;

bool HoldsData(const fs::path& folder) {
    std::error_code code;
    return fs::is_directory(folder / "Data", code);
}

}  // namespace

std::optional<fs::path> FindDataParent(const fs::path& workingDirectory, const fs::path& executable) {
    const fs::path besideExecutable = executable.parent_path();
    for (const fs::path& folder : {workingDirectory, besideExecutable, besideExecutable / ".." / "share" / "quenolde"})
        if (!folder.empty() && HoldsData(folder)) return folder.lexically_normal();
    return std::nullopt;
}

void UseViewerDataFolder() {
    std::error_code code;
    const fs::path workingDirectory = fs::current_path(code);
    // A working directory that holds Data/ is taken as it is, even if it cannot be named.
    if (HoldsData(".")) return;
    const fs::path executable = fs::read_symlink("/proc/self/exe", code);
    const std::optional<fs::path> parent = FindDataParent(workingDirectory, code ? fs::path() : executable);
    if (parent) {
        SetFileRoot(parent->string());
        return;
    }
    const fs::path besideExecutable = executable.parent_path();
    Diagnose("Data", "no such folder in the working directory (" + workingDirectory.string() +
                         "), beside the program (" + besideExecutable.string() + ") or in " +
                         (besideExecutable.parent_path() / "share" / "quenolde").string() +
                         "; the scene's files will be missing");
}

}  // namespace win32
