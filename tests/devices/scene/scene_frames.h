#pragma once
// The viewer's own frames, captured by the capture tool in a process of their own (the viewer
// runs once per process), at the poses and clock times the whole-scene tests look at.

#include <cstdint>
#include <string>
#include <vector>

namespace scenetest {

struct Pose {
    const char* name;
    const char* arguments;  // for the capture tool; empty for the start pose
};

// The start pose, the overview of the whole terrain, and a low view across trees, water and rock.
inline const Pose kPoses[] = {
    {"start", ""},
    {"overview", "--eye 0,15,-44 --angles 1.5707964,-0.5235988"},
    {"side", "--eye 8,2.5,-6 --angles 2.0,-0.12"},
};
// Two positions of the sun and of the caustics.
inline const unsigned kClockTimes[] = {1000, 2570};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> bgra;
};

// Captures one frame with `environment` (NAME=VALUE words) set for the tool; the exit code of the
// tool (3: the device asked for is not available here), with the frame in `frame` when it is 0.
// The PNG stays at `path`.
int CaptureFrame(const std::string& environment, const std::string& device, const Pose& pose, unsigned time,
                 const std::string& path, Image& frame);

// Peak signal-to-noise ratio over the red, green and blue channels, in decibels (infinite when
// the frames are equal).
double PsnrRgb(const Image& a, const Image& b);

// Writes the expected frame, the one got and an image of where they differ next to `stem`
// (stem-expected.png, stem-got.png, stem-diff.png); the names, for a failure message.
std::string WriteDifference(const Image& expected, const Image& got, const std::string& stem);

// Where the tests leave their frames: a folder beside their log.
std::string OutputFolder();

}  // namespace scenetest
