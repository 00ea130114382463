#pragma once
// The scene names its files the Windows way ("Data\terrain\mask.png"); every file opening of the
// platform goes through this translation, so that the same names work on Linux.

#include <string>

namespace win32 {

// Returns the name with every '\' turned into '/', and a relative name put under the folder set
// by SetFileRoot, if any. A null name gives the empty string.
std::string PlatformPath(const char* sceneName);

// The folder relative names resolve against; empty (the default) for the working directory.
void SetFileRoot(std::string folder);

}  // namespace win32
