// The frame-rate text: a half-second window, the frames counted and doubled.

#include <gtest/gtest.h>

#include <string>

#include "app/rendu.h"
#include "platform/win32/headless/headless.h"

TEST(CalculerFps, EmptyBeforeHalfASecondThenTheRateDoubled) {
    headless::Reset();
    headless::SetTickCount(10000);
    for (int i = 0; i < 148; ++i) EXPECT_STREQ(CalculerFps(), "");
    headless::SetTickCount(10499);
    EXPECT_STREQ(CalculerFps(), "");  // pass 149, one millisecond before the window closes
    headless::SetTickCount(10500);
    EXPECT_STREQ(CalculerFps(), "fps : 300.00");  // 150 passes in this window
    for (int i = 0; i < 24; ++i) CalculerFps();
    headless::SetTickCount(11000);
    EXPECT_STREQ(CalculerFps(), "fps : 50.00");
}

TEST(CalculerFps, TextHoldsBetweenUpdates) {
    headless::Reset();
    headless::SetTickCount(0);
    CalculerFps();
    headless::SetTickCount(500);
    const std::string first = CalculerFps();
    headless::SetTickCount(999);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(CalculerFps(), first);
}

TEST(CalculerFps, StaysRightAcrossTheWrapOfTheTickCounter) {
    headless::Reset();
    headless::SetTickCount(0xFFFFFF00u);  // the next update falls after the wrap
    EXPECT_STREQ(CalculerFps(), "");
    headless::SetTickCount(0xFFFFFFFFu);
    EXPECT_STREQ(CalculerFps(), "");
    headless::SetTickCount(0x000000F0u);  // 496 ms after the first call
    EXPECT_STREQ(CalculerFps(), "");
    headless::SetTickCount(0x000000F4u);
    EXPECT_STREQ(CalculerFps(), "fps : 8.00");
}
