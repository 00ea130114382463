// The SDL backend where nobody can see a window: with no display it refuses to start the viewer,
// unless the user asked for a driver that shows nothing; and a message box that the desktop cannot
// show is said to be missing. Each case runs in its own process, with the display variables unset
// so that no real box can appear and wait for a click.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/sdl/sdl_backend.h"
#include "platform/win32/windows_api.h"

namespace {

class SdlNoDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
    }
    void TearDown() override { SDL_Quit(); }
    static std::string Program() { return program_invocation_short_name; }
};

TEST_F(SdlNoDisplayTest, NoDisplayIsRefusedWithTheReason) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(win32::sdl::OpenDisplay());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(Program() + ": display: "), std::string::npos) << said;
    EXPECT_NE(said.find("DISPLAY is unset, WAYLAND_DISPLAY is unset"), std::string::npos) << said;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "video is not left running on the fallback driver";
}

TEST_F(SdlNoDisplayTest, ADriverThatShowsNothingIsTakenWhenAskedFor) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_TRUE(win32::sdl::OpenDisplay());
    EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "offscreen");
}

TEST_F(SdlNoDisplayTest, AMessageBoxThatCannotBeShownIsSaidToBeMissing) {
    // Before any display: the text still reaches standard error, with the reason no box came.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Init Direct3D", "Erreur", MB_OK), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Erreur: Init Direct3D\n" + Program() +
                  ": message box: not shown: there is no display (its text is the line above)\n");

    // On a driver that cannot show boxes.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(win32::sdl::OpenDisplay());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Image non trouvée.", "Erreur", MB_ICONWARNING), IDOK);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string expected =
        "Erreur: Image non trouvée.\n" + Program() + ": message box: the desktop cannot show it (";
    EXPECT_EQ(said.substr(0, expected.size()), expected);
    EXPECT_NE(said.find("); its text is the line above\n"), std::string::npos) << said;
}

}  // namespace
