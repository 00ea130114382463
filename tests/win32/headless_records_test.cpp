#include <algorithm>
#include <array>

#include "headless_fixture.h"
#include "platform/win32/window_surface.h"

namespace headless_test {
namespace {

TEST_F(HeadlessTest, TickCountWrapsAndDifferencesStayRight) {
    EXPECT_EQ(GetTickCount(), 0u);
    headless::SetTickCount(0xFFFFFFF0u);
    const DWORD before = GetTickCount();
    headless::AdvanceTicks(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount() - before, 0x20u);
}

TEST_F(HeadlessTest, MessageBoxesAreRecordedAndPrinted) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr,
                          "Image non trouv\xc3\xa9"
                          "e.",
                          "Erreur", MB_OK),
              IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Init Direct3D", "Error cArbre", MB_ICONWARNING), IDOK);
    const std::string printed = ::testing::internal::GetCapturedStderr();

    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "Image non trouv\xc3\xa9"
              "e.");
    EXPECT_EQ(boxes[0].caption, "Erreur");
    EXPECT_EQ(boxes[1].type, MB_ICONWARNING);
    EXPECT_EQ(printed,
              "Erreur: Image non trouv\xc3\xa9"
              "e.\nError cArbre: Init Direct3D\n");

    ::testing::internal::CaptureStderr();
    MessageBoxA(nullptr, nullptr, nullptr, MB_OK);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(headless::MessageBoxes().back().text, "");
}

TEST_F(HeadlessTest, TitlesAreKeptCountedAndReadBackWithinTheBuffer) {
    HWND window = MakeWindow();
    EXPECT_EQ(headless::MainWindow(), window);
    EXPECT_EQ(headless::WindowTitle(window), "Projet");
    EXPECT_EQ(headless::TitleSetCount(), 0u);  // the creation title is not a SetWindowTextA

    ASSERT_TRUE(SetWindowTextA(window, "fps : 300.00"));
    ASSERT_TRUE(SetWindowTextA(window, ""));
    ASSERT_TRUE(SetWindowTextA(window, "fps : 300.00"));
    EXPECT_EQ(headless::TitleSetCount(), 3u);

    char buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof(buffer)), 5);
    EXPECT_STREQ(buffer, "fps :");
    EXPECT_EQ(GetWindowTextA(window, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'f');  // a zero capacity writes nothing
    EXPECT_EQ(GetWindowTextA(nullptr, buffer, sizeof(buffer)), 0);
    EXPECT_FALSE(SetWindowTextA(nullptr, "x"));
}

TEST_F(HeadlessTest, PresentKeepsAPackedCopyOfTheLastFrame) {
    HWND window = MakeWindow();
    // 2 x 2 pixels in rows of 3: the third pixel of each row must not be kept.
    const std::array<std::uint32_t, 6> pixels{0xFF0000FFu, 0xFF00FF00u, 0xDEADBEEFu,
                                              0xFFFF0000u, 0xFFFFFFFFu, 0xDEADBEEFu};
    ASSERT_TRUE(win32::PresentPixels(window, pixels.data(), 2, 2, 3));
    ASSERT_TRUE(win32::PresentPixels(window, pixels.data(), 2, 2, 3));
    const headless::Frame& frame = headless::LastFrame();
    EXPECT_EQ(frame.width, 2);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.presentCount, 2u);
    EXPECT_EQ(frame.bgra, (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu}));

    EXPECT_FALSE(win32::PresentPixels(window, pixels.data(), 2, 2, 1));  // rows overlap
    EXPECT_FALSE(win32::PresentPixels(window, nullptr, 2, 2, 2));
    EXPECT_FALSE(win32::PresentPixels(window, pixels.data(), 0, 2, 2));
    EXPECT_FALSE(win32::PresentPixels(nullptr, pixels.data(), 2, 2, 2));
    EXPECT_EQ(headless::LastFrame().presentCount, 2u);
}

TEST_F(HeadlessTest, FramesCountWithoutPixelsOnlyWhenTheRunAskedNotToKeepThem) {
    HWND window = MakeWindow();
    const std::array<std::uint32_t, 4> pixels{1, 2, 3, 4};
    EXPECT_TRUE(win32::WantsFramePixels(window));
    ASSERT_TRUE(win32::PresentPixels(window, pixels.data(), 2, 2, 2));

    headless::KeepFramePixels(false);
    EXPECT_FALSE(win32::WantsFramePixels(window));
    ASSERT_TRUE(win32::PresentPixels(window, nullptr, 4, 3, 4));
    ASSERT_TRUE(win32::PresentPixels(window, pixels.data(), 2, 2, 2));
    EXPECT_EQ(headless::LastFrame().presentCount, 3u);
    EXPECT_EQ(headless::LastFrame().width, 2);
    EXPECT_TRUE(headless::LastFrame().bgra.empty());  // no stale frame left behind either

    headless::Reset();
    EXPECT_TRUE(win32::WantsFramePixels(nullptr));  // a fresh run keeps pixels again
}

TEST_F(HeadlessTest, CursorCountsHidingAndReportsWhereItWasPut) {
    EXPECT_FALSE(headless::CursorHidden());
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_TRUE(headless::CursorHidden());
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_TRUE(headless::CursorHidden());

    ASSERT_TRUE(SetCursorPos(400, 300));
    POINT point{};
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 400);
    EXPECT_EQ(point.y, 300);
    headless::MoveCursorTo(2400, 300);  // the user moved 2000 pixels to the right
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 2400);
    EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST_F(HeadlessTest, ResetForgetsEverything) {
    HWND window = MakeWindow();
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    headless::SetKeyDown(VK_LEFT, true);
    headless::SetTickCount(55);
    ShowCursor(FALSE);
    SetWindowTextA(window, "t");
    MessageBoxA(nullptr, "a", "b", MB_OK);
    Log().clear();

    headless::Reset();
    EXPECT_TRUE(Log().empty());  // no WM_DESTROY on reset
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_GE(GetKeyState(VK_LEFT), 0);
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_FALSE(headless::CursorHidden());
    EXPECT_EQ(headless::TitleSetCount(), 0u);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(headless::MainWindow(), nullptr);
    EXPECT_FALSE(UpdateWindow(window));
    EXPECT_EQ(MakeWindow(), nullptr);  // the class went too
}

}  // namespace
}  // namespace headless_test
