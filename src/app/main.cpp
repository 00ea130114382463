// The viewer's process entry on Linux: the Windows entry point does all the work.

#include "app/fenetre.h"

int main() { return WinMain(nullptr, nullptr, nullptr, 0); }
