#include "platform/win32/sdl/sdl_keys.h"

#include <array>
#include <utility>

#include "platform/win32/windows_api.h"

namespace win32::sdl {
namespace {

constexpr std::array<std::pair<SDL_Keycode, int>, 30> kNamedKeys{{
    {SDLK_LEFT, VK_LEFT},      {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},   {SDLK_DOWN, VK_DOWN},
    {SDLK_ESCAPE, VK_ESCAPE},  {SDLK_SPACE, VK_SPACE},   {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},       {SDLK_LSHIFT, VK_SHIFT},  {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},
    {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_HOME, VK_HOME},     {SDLK_END, VK_END},
    {SDLK_INSERT, VK_INSERT},  {SDLK_DELETE, VK_DELETE}, {SDLK_KP_8, VK_UP},       {SDLK_KP_2, VK_DOWN},
    {SDLK_KP_4, VK_LEFT},      {SDLK_KP_6, VK_RIGHT},    {SDLK_KP_9, VK_PRIOR},    {SDLK_KP_3, VK_NEXT},
    {SDLK_KP_7, VK_HOME},      {SDLK_KP_1, VK_END},
}};

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key) {
    // Letters and digits have their upper-case ASCII code as virtual key.
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    for (const auto& [sdlKey, virtualKey] : kNamedKeys)
        if (sdlKey == key) return virtualKey;
    return 0;
}

}  // namespace win32::sdl
