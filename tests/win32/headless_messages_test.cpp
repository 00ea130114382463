#include "headless_fixture.h"

namespace headless_test {
namespace {

constexpr WORD kClientWidth = 800 - 2 * headless::kFrameSide;
constexpr WORD kClientHeight = 600 - headless::kFrameCaption - headless::kFrameSide;

TEST_F(HeadlessTest, CreationAndShowingSendSizeWithTheClientArea) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(Log().size(), 1u);  // sent before CreateWindowExA returned, not posted
    EXPECT_EQ(Log()[0].message, WM_SIZE);
    EXPECT_EQ(Log()[0].window, window);
    EXPECT_EQ(LOWORD(Log()[0].lParam), kClientWidth);
    EXPECT_EQ(HIWORD(Log()[0].lParam), kClientHeight);

    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT));  // was hidden
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[1].message, WM_SIZE);
    EXPECT_EQ(Log()[1].lParam, MAKELPARAM(kClientWidth, kClientHeight));
    EXPECT_TRUE(ShowWindow(window, SW_SHOWDEFAULT));
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_TRUE(Drain().empty());

    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right, 900);
    EXPECT_EQ(outer.bottom, 700);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);
}

TEST_F(HeadlessTest, UnknownClassMakesNoWindow) {
    EXPECT_EQ(CreateWindowExA(0, "Nobody", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(headless::MainWindow(), nullptr);
    EXPECT_TRUE(Log().empty());
}

TEST_F(HeadlessTest, QuitComesAfterTheMessagesQueuedBeforeIt) {
    HWND window = MakeWindow();
    Log().clear();
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_KEYUP, 'A', 0);
    PostQuitMessage(3);
    PostQuitMessage(7);  // still one quit, with the latest code

    const std::vector<MSG> retrieved = Drain();
    ASSERT_EQ(retrieved.size(), 3u);
    EXPECT_EQ(retrieved[0].message, WM_KEYDOWN);
    EXPECT_EQ(retrieved[1].message, WM_KEYUP);
    EXPECT_EQ(retrieved[2].message, WM_QUIT);
    EXPECT_EQ(retrieved[2].hwnd, nullptr);
    EXPECT_EQ(retrieved[2].wParam, 7u);
    // Dispatching WM_QUIT (null window) reached no procedure.
    EXPECT_EQ(Log().size(), 2u);
}

TEST_F(HeadlessTest, PeekWithoutRemovalLeavesTheMessageAndTheKeysAlone) {
    HWND window = MakeWindow();
    PostMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_GE(GetKeyState(VK_LEFT), 0);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_LT(GetKeyState(VK_LEFT), 0);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(HeadlessTest, KeyStateFollowsRetrievedMessagesAndScriptedKeys) {
    HWND window = MakeWindow();
    EXPECT_EQ(GetKeyState(VK_UP) & 0x8000, 0);
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    EXPECT_GE(GetKeyState(VK_UP), 0);  // posted but not yet retrieved
    Drain();
    EXPECT_LT(GetKeyState(VK_UP), 0);
    PostMessageA(window, WM_KEYUP, VK_UP, 0);
    Drain();
    EXPECT_GE(GetKeyState(VK_UP), 0);

    headless::SetKeyDown(VK_DOWN, true);
    EXPECT_LT(GetKeyState(VK_DOWN), 0);
    EXPECT_GE(GetKeyState(VK_RIGHT), 0);  // one key does not press another
    headless::SetKeyDown(VK_DOWN, false);
    EXPECT_GE(GetKeyState(VK_DOWN), 0);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(4096), 0);
}

TEST_F(HeadlessTest, DispatchReachesTheClassProcedureOfLiveWindowsOnly) {
    HWND window = MakeWindow();
    Log().clear();
    MSG message{};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = VK_ESCAPE;
    DispatchMessageA(&message);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].window, window);
    EXPECT_EQ(Log()[0].wParam, static_cast<WPARAM>(VK_ESCAPE));

    message.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageA(&message), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    ASSERT_TRUE(DestroyWindow(window));
    Log().clear();
    message.hwnd = window;
    DispatchMessageA(&message);
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(PostMessageA(window, WM_SIZE, 0, 0));
}

TEST_F(HeadlessTest, CloseThroughTheDefaultProcedureDestroysTheWindow) {
    HWND window = MakeWindow();
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_SIZE, 0, 0);  // still queued when the window goes
    Log().clear();
    const std::vector<MSG> retrieved = Drain();

    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, WM_CLOSE);
    EXPECT_EQ(Log()[1].message, WM_DESTROY);  // sent inside DefWindowProcA
    EXPECT_EQ(retrieved.size(), 1u);          // the destroyed window's WM_SIZE was dropped
    RECT rect{};
    EXPECT_FALSE(GetWindowRect(window, &rect));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA(kClassName, nullptr));
}

LRESULT CALLBACK DestroyAgainOnDestroy(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_DESTROY) {
        Log().push_back({window, message, 0, 0});
        DestroyWindow(window);
        PostQuitMessage(0);
    }
    return 0;
}

TEST_F(HeadlessTest, DestroyingFromInsideDestroyHappensOnce) {
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = DestroyAgainOnDestroy;
    windowClass.lpszClassName = "Reentrant";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "Reentrant", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_EQ(Drain().back().message, WM_QUIT);
}

TEST_F(HeadlessTest, ClassesRegisterOnceAndStayWhileTheirWindowsLive) {
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.lpszClassName = "DIRECT3D SAMPLE";  // class names ignore case
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    windowClass.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);

    HWND window = MakeWindow();
    EXPECT_FALSE(UnregisterClassA(kClassName, nullptr));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA(kClassName, nullptr));
    EXPECT_FALSE(UnregisterClassA(kClassName, nullptr));
    EXPECT_EQ(MakeWindow(), nullptr);
}

TEST_F(HeadlessTest, PeekHookRunsBeforeEachPeekAndCanEndTheLoop) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOWDEFAULT);
    std::vector<unsigned> counts;
    headless::SetPeekHook([&](unsigned count) {
        counts.push_back(count);
        headless::AdvanceTicks(10);
        if (count == 3) PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        if (count == 4) PostQuitMessage(0);
    });
    MSG message{};
    unsigned idlePasses = 0;
    do {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        } else {
            ++idlePasses;
        }
    } while (message.message != WM_QUIT);

    EXPECT_EQ(counts, (std::vector<unsigned>{1, 2, 3, 4}));
    EXPECT_EQ(idlePasses, 2u);
    EXPECT_EQ(GetTickCount(), 40u);
    EXPECT_EQ(Log().back().message, WM_KEYDOWN);
}

TEST_F(HeadlessTest, ResizingTheClientPostsSizeAndGrowsTheOuterRectangle) {
    HWND window = MakeWindow();
    headless::ResizeClient(window, 1024, 0);  // a zero height, as when minimised, is passed on
    Log().clear();
    Drain();
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].message, WM_SIZE);
    EXPECT_EQ(Log()[0].lParam, MAKELPARAM(1024, 0));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 1024 + 2 * headless::kFrameSide);
    EXPECT_EQ(outer.left, 100);
}

}  // namespace
}  // namespace headless_test
