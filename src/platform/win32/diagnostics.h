#pragma once
// One-line reports on standard error for what the user cannot see otherwise: a file that could not
// be read and why, a message box the desktop could not show. They come in addition to the scene's
// own message boxes, whose texts stay as they are.

#include <string>

namespace win32 {

// Writes "PROGRAM: SUBJECT: WHAT" and a line feed in one write, so that lines never interleave.
void Diagnose(const std::string& subject, const std::string& what);

// Why the scene's file `sceneName` cannot be opened for reading: "not found", "is a folder",
// "not a regular file", or "cannot be opened: " and the system's reason.
std::string WhyCannotOpen(const char* sceneName);

}  // namespace win32
