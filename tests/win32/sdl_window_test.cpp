#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/sdl/sdl_keys.h"
#include "platform/win32/window_surface.h"
#include "platform/win32/windows_api.h"

namespace {

constexpr const char* kClassName = "Direct3D Sample";
constexpr const char* kTitle = "Projet Direct3D : Quenolde - 2004/2005";

std::vector<MSG>& Received() {
    static std::vector<MSG> received;
    return received;
}

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Received().push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs first (before any window starts SDL video): with no usable video driver the window
// cannot be made, the reason goes to stderr, and a message box still reaches the user there.
TEST(SdlNoScreen, WindowFailsLoudlyAndMessagesGoToStderr) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "SDL video already running in this process";
    const char* saved = std::getenv("SDL_VIDEODRIVER");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);

    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.lpszClassName = "NoScreen";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    ::testing::internal::CaptureStderr();
    HWND window = CreateWindowExA(0, "NoScreen", "x", 0, 100, 100, 800, 600, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(MessageBoxA(nullptr, "Init Direct3D", "Erreur", MB_OK), IDOK);
    const std::string printed = ::testing::internal::GetCapturedStderr();

    if (saved != nullptr) {
        setenv("SDL_VIDEODRIVER", previous.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    EXPECT_EQ(window, nullptr);
    EXPECT_NE(printed.find("no-such-driver"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Erreur: Init Direct3D\n"), std::string::npos) << printed;
    EXPECT_TRUE(UnregisterClassA("NoScreen", nullptr));  // no window was left behind
}

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (run under xvfb-run)";
        Received().clear();
        WNDCLASSEXA windowClass{};
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = kClassName;
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window_ = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 100, 100, 800, 600, GetDesktopWindow(),
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_ != nullptr) DestroyWindow(window_);
        UnregisterClassA(kClassName, nullptr);
    }

    // What the loop would retrieve now, dispatched as the viewer does.
    static std::vector<MSG> Drain() {
        std::vector<MSG> retrieved;
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            retrieved.push_back(message);
            DispatchMessageA(&message);
        }
        return retrieved;
    }
    void Push(SDL_Event event) const { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    Uint32 WindowId() const { return SDL_GetWindowID(win32::sdl::SdlWindowOf(window_)); }

    HWND window_ = nullptr;
};

const MSG* Find(const std::vector<MSG>& messages, UINT message) {
    for (const MSG& m : messages)
        if (m.message == message) return &m;
    return nullptr;
}

TEST_F(SdlWindowTest, OpensHiddenResizableOpenGlWindowWithItsTitle) {
    SDL_Window* native = win32::sdl::SdlWindowOf(window_);
    ASSERT_NE(native, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(native);
    EXPECT_NE(flags & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_NE(flags & SDL_WINDOW_OPENGL, 0u);
    EXPECT_NE(flags & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_STREQ(SDL_GetWindowTitle(native), kTitle);

    ShowWindow(window_, SW_SHOWDEFAULT);
    EXPECT_NE(SDL_GetWindowFlags(native) & SDL_WINDOW_SHOWN, 0u);
    ASSERT_TRUE(SetWindowTextA(window_, "fps : 300.00"));
    EXPECT_STREQ(SDL_GetWindowTitle(native), "fps : 300.00");
    std::array<char, 64> buffer{};
    EXPECT_EQ(GetWindowTextA(window_, buffer.data(), static_cast<int>(buffer.size())), 12);
    EXPECT_STREQ(buffer.data(), "fps : 300.00");
}

// Xvfb has no window manager, hence no frame: the client is the whole 800 x 600.
TEST_F(SdlWindowTest, SizesTheWindowFromItsOuterRectangle) {
    ASSERT_FALSE(Received().empty());
    EXPECT_EQ(Received()[0].message, WM_SIZE);  // sent during creation
    EXPECT_EQ(Received()[0].lParam, MAKELPARAM(800, 600));
    Received().clear();
    ShowWindow(window_, SW_SHOWDEFAULT);
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0].message, WM_SIZE);

    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(window_, &outer));
    ASSERT_TRUE(GetClientRect(window_, &client));
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right, 900);
    EXPECT_EQ(outer.bottom, 700);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
}

TEST_F(SdlWindowTest, PeekReturnsAtOnceWhenNothingIsPending) {
    ShowWindow(window_, SW_SHOWDEFAULT);
    Drain();
    const auto start = std::chrono::steady_clock::now();
    MSG message{};
    int retrieved = 0;
    for (int i = 0; i < 50; ++i) retrieved += PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    // A blocking wait would take until the next event, that is forever here.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_LT(retrieved, 50);
}

TEST_F(SdlWindowTest, TranslatesResizeKeysAndClose) {
    ShowWindow(window_, SW_SHOWDEFAULT);
    Drain();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = WindowId();
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.data1 = 640;
    event.window.data2 = 480;
    Push(event);
    event = SDL_Event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = WindowId();
    event.key.keysym.sym = SDLK_UP;
    Push(event);

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_SIZE);
    EXPECT_EQ(message.hwnd, window_);
    EXPECT_EQ(message.lParam, MAKELPARAM(640, 480));
    EXPECT_GE(GetKeyState(VK_UP), 0);  // not retrieved yet
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(VK_UP));
    EXPECT_LT(GetKeyState(VK_UP), 0);

    event.type = SDL_KEYUP;
    Push(event);
    event = SDL_Event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = WindowId();
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(event);
    Received().clear();
    const std::vector<MSG> retrieved = Drain();
    EXPECT_GE(GetKeyState(VK_UP), 0);
    ASSERT_NE(Find(retrieved, WM_CLOSE), nullptr);
    EXPECT_NE(Find(Received(), WM_DESTROY), nullptr);  // DefWindowProcA destroyed the window
    EXPECT_EQ(win32::sdl::SdlWindowOf(window_), nullptr);
    window_ = nullptr;
}

TEST_F(SdlWindowTest, CursorIsHiddenByCountAndPutBackOnTheReferencePoint) {
    ShowWindow(window_, SW_SHOWDEFAULT);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    ASSERT_TRUE(SetCursorPos(400, 300));
    POINT point{};
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 400);
    EXPECT_EQ(point.y, 300);
}

TEST_F(SdlWindowTest, PresentsFramesAndRefusesBadOnes) {
    ShowWindow(window_, SW_SHOWDEFAULT);
    const std::array<std::uint32_t, 4> pixels{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    EXPECT_TRUE(win32::PresentPixels(window_, pixels.data(), 2, 2, 2));
    EXPECT_TRUE(win32::PresentPixels(window_, pixels.data(), 1, 1, 2));  // a new size remakes the texture
    EXPECT_FALSE(win32::PresentPixels(window_, pixels.data(), 2, 2, 1));
    EXPECT_FALSE(win32::PresentPixels(nullptr, pixels.data(), 2, 2, 2));
}

TEST(SdlKeys, LettersDigitsAndNamedKeysGetTheirVirtualKeys) {
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_0), '0');
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_9), '9');
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_F5), VK_F1 + 4);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_LEFT), VK_LEFT);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_UP), VK_UP);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_RIGHT), VK_RIGHT);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_DOWN), VK_DOWN);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_RETURN), VK_RETURN);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_SPACE), VK_SPACE);
    EXPECT_EQ(win32::sdl::VirtualKeyFromSdl(SDLK_CAPSLOCK), 0);
}

}  // namespace
