// At start-up the viewer says on standard error which device draws and how it runs.
#include <gtest/gtest.h>

#include <string>

#include "app_fixture.h"

namespace {

TEST_F(ShellTest, StartingTheDeviceNamesItOnStandardError) {
    ::testing::internal::CaptureStderr();
    StartDevice();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, said.find(": device: the reference device, ")) << said;
    EXPECT_NE(std::string::npos, said.find(" kernels\n")) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
}

}  // namespace
