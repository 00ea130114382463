// Renders the viewer's frames headless and writes the last one as a PNG:
//   capture [--device ref|hal] [--frames N] [--time MS] [--step MS] [--eye X,Y,Z] [--angles H,V] --out FILE.png
// It runs the viewer's own start-up and idle passes on the viewer's Data/ (the working directory's,
// else the installed one); the clock starts at --time and moves --step milliseconds after each frame
// (0: it stands still). Message boxes go to standard error and the run goes on. Exit code 0 when
// the PNG is written, 2 for a bad command line.

#include <cstdio>
#include <optional>
#include <string>

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/rendu.h"
#include "command_line.h"
#include "image_writer.h"
#include "platform/d3d9/device_backend.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/headless/headless.h"

namespace {

struct Options {
    std::string device = "ref";
    std::uint32_t frames = 1;
    std::uint32_t time = 1000;
    std::uint32_t step = 0;
    std::optional<D3DXVECTOR3> eye;
    std::optional<std::pair<float, float>> angles;
    std::string out;
};

// Nothing when the run goes on, else the exit code.
std::optional<int> Parse(int argc, char** argv, Options* options) {
    tools::CommandLine line("capture", "[OPTION]... --out FILE.png",
                            "Renders the viewer's frames without a screen and writes the last one as a PNG.");
    line.Add("device", "ref|hal", "ref: the software reference device (default); hal: the OpenGL device",
             tools::OneOf(&options->device, {"ref", "hal"}));
    line.Add("frames", "N", "frames to draw, 1 or more; the last one is written (default 1)",
             tools::WholeNumber(&options->frames, 1, UINT32_MAX, "a whole number of frames"));
    line.Add("time", "MS", "the millisecond tick count at the first frame (default 1000)",
             tools::WholeNumber(&options->time, 0, UINT32_MAX, "a whole number of milliseconds"));
    line.Add("step", "MS", "milliseconds the clock moves after each frame (default 0: it stands still)",
             tools::WholeNumber(&options->step, 0, UINT32_MAX, "a whole number of milliseconds"));
    line.Add("eye", "X,Y,Z", "the eye's position in world units (default: one unit above the centre)",
             [options](const std::string& value) {
                 float v[3];
                 std::string why = tools::Numbers(v, 3, "three numbers X,Y,Z (world units)")(value);
                 if (why.empty()) options->eye = D3DXVECTOR3(v[0], v[1], v[2]);
                 return why;
             });
    line.Add("angles", "H,V",
             "the heading (0 looks along +x, 1.5707964 along +z) and the pitch (up positive) of the view, in "
             "radians (default 1.5707964,0)",
             [options](const std::string& value) {
                 float v[2];
                 std::string why = tools::Numbers(v, 2, "two numbers H,V (radians)")(value);
                 if (why.empty()) options->angles = std::make_pair(v[0], v[1]);
                 return why;
             });
    line.Add("out", "FILE.png", "the PNG file to write", tools::Text(&options->out), true);
    return line.Parse(argc, argv);
}

Options g_options;
bool g_halMissing = false;

// Called at every PeekMessageA of the viewer's loop: the first call comes right after the
// scene is assembled, where the pose is put; once N frames are presented, Escape ends the run.
void Pilot(unsigned peekCount) {
    if (peekCount == 1) {
        D3DDEVICE_CREATION_PARAMETERS creation{};
        if (g_options.device == "hal" && (!g_device || FAILED(g_device->GetCreationParameters(&creation)) ||
                                          creation.DeviceType != D3DDEVTYPE_HAL)) {
            std::fprintf(stderr, "capture: the hardware device is not available here\n");
            g_halMissing = true;
            PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        if (g_options.eye) g_oeil = *g_options.eye;
        if (g_options.angles) {
            g_angleH = g_options.angles->first;
            g_angleV = g_options.angles->second;
        }
    }
    static unsigned framesSeen = 0;
    for (; framesSeen < headless::LastFrame().presentCount; ++framesSeen) headless::AdvanceTicks(g_options.step);
    if (headless::LastFrame().presentCount == g_options.frames)
        PostMessageA(headless::MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> end = Parse(argc, argv, &g_options)) return *end;
    win32::UseViewerDataFolder();
    d3d9::SetDevicePolicy(g_options.device == "ref" ? d3d9::DevicePolicy::ReferenceOnly
                                                    : d3d9::DevicePolicy::Automatic);
    headless::Reset();
    headless::SetTickCount(g_options.time);
    headless::SetPeekHook(Pilot);
    WinMain(nullptr, nullptr, nullptr, 0);

    if (g_halMissing) return 3;
    const headless::Frame& frame = headless::LastFrame();
    if (frame.presentCount == 0) {
        std::fprintf(stderr, "capture: the viewer presented no frame\n");
        return 1;
    }
    return tools::WritePng(g_options.out, frame.bgra, frame.width, frame.height) ? 0 : 1;
}
