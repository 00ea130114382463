// The main loop and the window procedure, run through WinMain on the headless backend.

#include <vector>

#include "app_fixture.h"

namespace {

struct PeekRecord {
    unsigned presents;
    unsigned titles;
};
std::vector<PeekRecord> g_peeks;

void Record() { g_peeks.push_back({headless::LastFrame().presentCount, headless::TitleSetCount()}); }

}  // namespace

TEST_F(ShellTest, IdlePassRunsOnlyWhenNoMessageIsPendingAndQuitEndsTheLoop) {
    g_peeks.clear();
    headless::SetPeekHook([](unsigned peek) {
        Record();
        if (peek == 1)
            for (int i = 0; i < 3; ++i) PostMessageA(headless::MainWindow(), WM_KEYDOWN, 'A', 0);
        if (peek == 7) PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

    // Peeks 1..3 retrieve the three keys: no frame, no title; peek 4 finds nothing and runs one
    // pass, so the record taken at the start of peek 5 shows it.
    ASSERT_EQ(g_peeks.size(), 8u);  // peek 7 takes Escape, peek 8 WM_QUIT
    for (int peek = 1; peek <= 4; ++peek) EXPECT_EQ(g_peeks[peek - 1].presents, 0u) << peek;
    EXPECT_EQ(g_peeks[4].presents, 1u);
    EXPECT_EQ(g_peeks[4].titles, g_peeks[3].titles + 1);
    // After the release step no pass runs before WM_QUIT.
    EXPECT_EQ(headless::LastFrame().presentCount, g_peeks[6].presents);
    EXPECT_EQ(g_device, nullptr);
    EXPECT_EQ(g_d3d, nullptr);
}

TEST_F(ShellTest, WindowIsCreatedWithItsTitleAndTheFirstPassClearsToTheSky) {
    std::string creationTitle;
    headless::SetPeekHook([&](unsigned peek) {
        if (peek == 1) creationTitle = headless::WindowTitle(headless::MainWindow());
        if (headless::LastFrame().presentCount == 1) PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    WinMain(nullptr, nullptr, nullptr, 0);

    EXPECT_EQ(creationTitle, "Projet Direct3D : Quenolde - 2004/2005");
    EXPECT_TRUE(headless::CursorHidden());
    const headless::Frame& frame = headless::LastFrame();
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    for (std::uint32_t pixel : {frame.bgra.front(), frame.bgra[300 * 800 + 400], frame.bgra.back()})
        EXPECT_EQ(pixel & 0x00FFFFFFu, 0x00E4FFFFu);
    // Less than half a second has passed: the frame-rate text is still empty.
    EXPECT_EQ(headless::WindowTitle(headless::MainWindow()), "");
}

TEST_F(ShellTest, ShowingTheWindowGivesTheClientSizeButTheBackBufferStays) {
    headless::SetPeekHook([](unsigned) {
        if (headless::LastFrame().presentCount == 1) PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    WinMain(nullptr, nullptr, nullptr, 0);
    RECT client{};
    GetClientRect(headless::MainWindow(), &client);
    EXPECT_EQ(g_largeurFenetre, client.right);
    EXPECT_EQ(g_hauteurFenetre, client.bottom);
    EXPECT_LT(g_largeurFenetre, 800);
    EXPECT_LT(g_hauteurFenetre, 600);
    EXPECT_EQ(headless::LastFrame().width, 800);
    EXPECT_EQ(headless::LastFrame().height, 600);
}

TEST_F(ShellTest, ClosingTheWindowReleasesAndQuits) {
    headless::SetPeekHook([](unsigned) {
        if (headless::LastFrame().presentCount == 2) PostMessageA(headless::MainWindow(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(headless::LastFrame().presentCount, 2u);
    EXPECT_EQ(g_device, nullptr);
}

TEST_F(ShellTest, EscapeThenCloseBeforeTheQuitIsReadReleasesOnce) {
    headless::SetPeekHook([](unsigned) {
        if (headless::LastFrame().presentCount == 1 && g_device) {
            PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(headless::MainWindow(), WM_CLOSE, 0, 0);
        }
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(g_device, nullptr);
    EXPECT_EQ(g_d3d, nullptr);
}

TEST_F(ShellTest, OtherKeysAreSwallowedAndSizeBeforeTheDeviceChangesNothing) {
    // No device yet: a WM_SIZE leaves the creation size alone.
    EXPECT_EQ(ProcFenetre(nullptr, WM_SIZE, 0, MAKELPARAM(320, 200)), 0);
    EXPECT_EQ(g_largeurFenetre, 800);
    EXPECT_EQ(g_hauteurFenetre, 600);

    StartDevice();
    EXPECT_EQ(ProcFenetre(g_fenetre, WM_KEYDOWN, 'Q', 0), 0);
    EXPECT_EQ(ProcFenetre(g_fenetre, WM_KEYDOWN, VK_UP, 0), 0);
    EXPECT_NE(g_device, nullptr);
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(ShellTest, RenduBeforeTheDeviceDoesNothing) {
    Rendu();
    EXPECT_EQ(headless::LastFrame().presentCount, 0u);
}
