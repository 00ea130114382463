// Frames per second of the viewer's frame on fixed camera views, headless:
//   bench [--device ref|hal] [--frames N] [--warmup N]
// It runs the viewer's own start-up and idle passes on the viewer's Data/ (the working
// directory's, else the installed one), and prints one JSON object:
//   {"device": ..., "startup_ms": ..., "peak_rss_mib": ..., on the OpenGL device "programs": {...},
//    "views": [{"name", "fps", "ms_median", "ms_p95", and on the OpenGL device "gl": {...}}]}
// where "gl" is the last measured frame's GL calls (in all and by function), draws and bytes
// uploaded. The views are those of the llvmpipe anchor (vertical field of view 60 degrees,
// aspect 800/600, near 0.1, far 1000, right-handed): "eye" standing one unit above the ground at
// the centre looking along +z, and "overview" from (0, 15, -44) pitched 30 degrees down. No
// frame is read back: the run keeps no frame pixels.

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/rendu.h"
#include "command_line.h"
#include "frame_timer.h"
#include "platform/d3d9/device_backend.h"
#include "platform/gl/readback.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/headless/headless.h"

namespace {

struct Options {
    std::string device = "ref";
    std::uint32_t frames = 300;
    std::uint32_t warmup = 20;
};

struct View {
    const char* name;
    bool standOnGround;  // the start-up eye: terrain height at (0, 0) plus one
    D3DXVECTOR3 eye;
    float angleH, angleV;
};

const View kViews[] = {
    {"eye", true, D3DXVECTOR3(0, 0, 0), 1.5707964f, 0.0f},
    {"overview", false, D3DXVECTOR3(0, 15, -44), 1.5707964f, -0.5235988f},
};
constexpr std::size_t kViewCount = sizeof kViews / sizeof kViews[0];

Options g_options;
std::chrono::steady_clock::time_point g_start = std::chrono::steady_clock::now();
double g_startupMs = -1;
std::string g_programs;  // on the OpenGL device: programs compiled at its creation and in the first frame
bool g_halMissing = false;
D3DXVECTOR3 g_groundEye;
std::size_t g_view = 0;
unsigned g_framesInView = 0;
unsigned g_lastPresent = 0;
bench::FrameTimer g_timer;
std::vector<bench::ViewResult> g_results;

// Nothing when the run goes on, else the exit code.
std::optional<int> Parse(int argc, char** argv) {
    tools::CommandLine line("bench", "[OPTION]...",
                            "Measures the frames per second of the viewer's frame on two fixed views, without a "
                            "screen,\nand prints them as one JSON object.");
    line.Add("device", "ref|hal", "ref: the software reference device (default); hal: the OpenGL device",
             tools::OneOf(&g_options.device, {"ref", "hal"}));
    line.Add("frames", "N", "frames measured on each view, 1 or more (default 300)",
             tools::WholeNumber(&g_options.frames, 1, 1000000, "a whole number of frames"));
    line.Add("warmup", "N", "frames drawn on each view before measuring (default 20)",
             tools::WholeNumber(&g_options.warmup, 0, 1000000, "a whole number of frames"));
    return line.Parse(argc, argv);
}

bool DeviceIsTheOneAskedFor() {
    D3DDEVICE_CREATION_PARAMETERS creation{};
    if (!g_device || FAILED(g_device->GetCreationParameters(&creation))) return false;
    return creation.DeviceType == (g_options.device == "hal" ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF);
}

void PutCamera(const View& view) {
    g_oeil = view.standOnGround ? g_groundEye : view.eye;
    g_angleH = view.angleH;
    g_angleV = view.angleV;
    // The window's client area is smaller than 800 x 600; the anchor's projection is 800 / 600.
    DefinirProjection(800, 600);
}

void Finish() { PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0); }

// What the OpenGL device did for the last frame, as a JSON object; empty on the reference device.
std::string DeviceWork() {
    gl::FrameStatistics statistics;
    if (!gl::GetFrameStatistics(g_device, &statistics)) return "";
    const gl::CallCounts& counts = statistics.countsLastFrame;
    std::string byFunction;
    for (std::size_t f = 0; f < gl::kGlFunctionCount; ++f)
        if (counts.calls[f] != 0)
            byFunction += (byFunction.empty() ? "\"" : ", \"") + std::string(gl::GlFunctionName(f)) +
                          "\": " + std::to_string(counts.calls[f]);
    return "{\"calls\": " + std::to_string(counts.Total()) +
           ", \"draws\": " + std::to_string(statistics.drawsLastFrame) +
           ", \"bytes_uploaded\": " + std::to_string(counts.bytesUploaded) + ", \"by_function\": {" + byFunction + "}}";
}

// Called at every PeekMessageA of the viewer's loop. Between two calls with no new message the
// loop ran one idle pass: one frame. The clock moves 16 ms per frame, so the light turns and
// the caustics step as they do on screen.
void Pilot(unsigned peekCount) {
    if (peekCount == 1) {
        if (!DeviceIsTheOneAskedFor()) {
            g_halMissing = true;
            Finish();
            return;
        }
        g_groundEye = g_oeil;  // the scene assembly put it on the ground
        PutCamera(kViews[0]);
        return;
    }
    unsigned presents = headless::LastFrame().presentCount;
    if (presents == g_lastPresent || g_view == kViewCount) {
        PutCamera(kViews[g_view < kViewCount ? g_view : 0]);
        return;  // a message was handled, not a frame drawn
    }
    g_lastPresent = presents;
    if (g_startupMs < 0) {
        g_startupMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g_start).count();
        gl::FrameStatistics statistics;
        if (gl::GetFrameStatistics(g_device, &statistics))
            g_programs = "{\"at_creation\": " +
                         std::to_string(statistics.programsCompiled - statistics.programsCompiledLastFrame) +
                         ", \"in_first_frame\": " + std::to_string(statistics.programsCompiledLastFrame) + "}";
    }
    headless::AdvanceTicks(16);
    ++g_framesInView;
    if (g_framesInView == g_options.warmup) g_timer.Reset();
    if (g_framesInView >= g_options.warmup) g_timer.Tick();
    if (g_timer.Frames() == g_options.frames) {
        g_results.push_back(g_timer.Summary(kViews[g_view].name));
        g_results.back().deviceWork = DeviceWork();
        g_timer.Reset();
        g_framesInView = 0;
        if (++g_view == kViewCount) {
            Finish();
            return;
        }
    }
    PutCamera(kViews[g_view]);
}

double PeakRssMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void PrintJson() {
    std::printf("{\"device\": \"%s\", \"startup_ms\": %.1f, \"peak_rss_mib\": %.1f, ", g_options.device.c_str(),
                g_startupMs, PeakRssMib());
    if (!g_programs.empty()) std::printf("\"programs\": %s, ", g_programs.c_str());
    std::printf("\"views\": [");
    for (std::size_t i = 0; i < g_results.size(); ++i) {
        const bench::ViewResult& r = g_results[i];
        std::printf("%s{\"name\": \"%s\", \"fps\": %.2f, \"ms_median\": %.3f, \"ms_p95\": %.3f", i ? ", " : "",
                    r.name.c_str(), r.fps, r.msMedian, r.msP95);
        if (!r.deviceWork.empty()) std::printf(", \"gl\": %s", r.deviceWork.c_str());
        std::printf("}");
    }
    std::printf("]}\n");
}

}  // namespace

// The viewer's own loop; 0 when measured, else the exit code.
int RunViewer() {
    headless::Reset();
    headless::KeepFramePixels(false);  // frames are counted, never looked at
    headless::SetTickCount(1000);
    headless::SetPeekHook(Pilot);
    WinMain(nullptr, nullptr, nullptr, 0);
    headless::SetPeekHook(nullptr);
    if (g_halMissing) {
        std::fprintf(stderr, "bench: the %s device is not available here\n", g_options.device.c_str());
        return 3;
    }
    if (g_results.size() != kViewCount) {
        std::fprintf(stderr, "bench: the viewer stopped before every view was measured\n");
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (const std::optional<int> end = Parse(argc, argv)) return *end;
    win32::UseViewerDataFolder();
    d3d9::SetDevicePolicy(g_options.device == "ref" ? d3d9::DevicePolicy::ReferenceOnly
                                                    : d3d9::DevicePolicy::Automatic);
    const int result = RunViewer();
    if (result == 0) PrintJson();
    return result;
}
