#pragma once
// Where a program of the viewer finds the scene's Data folder. The scene names its files relative
// to the working directory ("Data\terrain\mask.png"), and a working directory that holds Data/
// keeps that meaning exactly. An installed program started anywhere else looks beside its
// executable (a build folder, an unpacked archive), then in ../share/quenolde/ from the
// executable's folder (bin/ and share/ of an installation prefix).

#include <filesystem>
#include <optional>

namespace win32 {

// The folder that holds Data/, in that order of preference; nothing when none does.
std::optional<std::filesystem::path> FindDataParent(const std::filesystem::path& workingDirectory,
                                                    const std::filesystem::path& executable);

// Finds the folder for the running executable and makes the platform's file opening resolve
// relative names there (nothing changes when it is the working directory). When no candidate holds
// Data/, says on standard error where it looked and leaves the names to the working directory.
void UseViewerDataFolder();

}  // namespace win32
