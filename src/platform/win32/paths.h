#pragma once
// The scene names its files the Windows way ("Data\terrain\mask.png"); every file opening of the
// platform goes through this translation, so that the same names work on Linux.

#include <string>

namespace win32 {

// Returns the name with every '\' turned into '/'. A null name gives the empty string.
std::string PlatformPath(const char* sceneName);

}  // namespace win32
