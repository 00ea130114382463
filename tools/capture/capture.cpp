// Renders the viewer's frames headless and writes the last one as a PNG:
//   capture [--device ref|hal] [--frames N] [--time MS] [--step MS] [--eye X,Y,Z] [--angles H,V] --out FILE.png
// It runs the viewer's own start-up and idle passes in the working directory (which holds
// Data/); the clock starts at --time and moves --step milliseconds after each frame (0: it stands
// still). Message boxes go to standard error and the run goes on. Exit code 0 when the PNG is
// written.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/camera.h"
#include "app/fenetre.h"
#include "app/rendu.h"
#include "platform/d3d9/device_backend.h"
#include "platform/win32/headless/headless.h"
#include "png_file.h"

namespace {

struct Options {
    std::string device = "ref";
    unsigned frames = 1;
    DWORD time = 1000;
    DWORD step = 0;
    std::optional<D3DXVECTOR3> eye;
    std::optional<std::pair<float, float>> angles;
    std::string out;
};

bool ParseFloats(const char* text, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtof(text, &end);
        if (end == text) return false;
        text = end;
        if (i + 1 < count) {
            if (*text != ',') return false;
            ++text;
        }
    }
    return *text == '\0';
}

bool Parse(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!value) return false;
        ++i;
        float v[3];
        if (flag == "--device" && (std::strcmp(value, "ref") == 0 || std::strcmp(value, "hal") == 0)) {
            options->device = value;
        } else if (flag == "--frames" && std::atoi(value) > 0) {
            options->frames = static_cast<unsigned>(std::atoi(value));
        } else if (flag == "--time") {
            options->time = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
        } else if (flag == "--step") {
            options->step = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
        } else if (flag == "--eye" && ParseFloats(value, v, 3)) {
            options->eye = D3DXVECTOR3(v[0], v[1], v[2]);
        } else if (flag == "--angles" && ParseFloats(value, v, 2)) {
            options->angles = std::make_pair(v[0], v[1]);
        } else if (flag == "--out") {
            options->out = value;
        } else {
            return false;
        }
    }
    return !options->out.empty();
}

Options g_options;
bool g_halMissing = false;

// Called at every PeekMessageA of the viewer's loop: the first call comes right after the
// scene is assembled, where the pose is put; once N frames are presented, Escape ends the run.
void Pilot(unsigned peekCount) {
    if (peekCount == 1) {
        D3DDEVICE_CREATION_PARAMETERS creation{};
        if (g_options.device == "hal" &&
            (!g_device || FAILED(g_device->GetCreationParameters(&creation)) || creation.DeviceType != D3DDEVTYPE_HAL)) {
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
    if (!Parse(argc, argv, &g_options)) {
        std::fprintf(stderr,
                     "usage: capture [--device ref|hal] [--frames N] [--time MS] [--step MS] [--eye X,Y,Z] [--angles H,V] "
                     "--out FILE.png\n");
        return 2;
    }
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
