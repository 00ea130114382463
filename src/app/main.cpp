// The viewer's process entry on Linux: the Windows entry point does all the work. Before it, what
// only a Linux program has to settle: a display to show the window on (without one the loop would
// run unseen at full speed, so the viewer ends at once with exit code 1), and where Data/ is.

#include "app/fenetre.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/sdl/sdl_backend.h"

int main() {
    if (!win32::sdl::OpenDisplay()) return 1;
    win32::UseViewerDataFolder();
    return WinMain(nullptr, nullptr, nullptr, 0);
}
