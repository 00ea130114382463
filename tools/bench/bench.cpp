// Frames per second of the viewer's frame on fixed camera views, headless:
//   bench [--device ref|hal] [--frames N] [--warmup N] [--scene auto|viewer|synthetic]
// "viewer" runs the viewer's own start-up and idle passes on the viewer's Data/ (the working
// directory's, else the installed one); "synthetic" draws a generated scene of the same size with
// the same device calls; "auto" (the default) measures the viewer and falls back to the synthetic
// scene while the viewer still draws nothing but sky. Prints one JSON object:
//   {"device": ..., "startup_ms": ..., "peak_rss_mib": ..., "views": [{"name", "fps", "ms_median", "ms_p95"}]}
// The views are those of the llvmpipe anchor (vertical field of view 60 degrees, aspect 800/600,
// near 0.1, far 1000, right-handed): "eye" standing one unit above the ground at the centre
// looking along +z, and "overview" from (0, 15, -44) pitched 30 degrees down.

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
#include "platform/win32/data_folder.h"
#include "platform/win32/headless/headless.h"
#include "synthetic_scene.h"

namespace {

struct Options {
    std::string device = "ref";
    std::uint32_t frames = 300;
    std::uint32_t warmup = 20;
    std::string scene = "auto";
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
    line.Add("scene", "auto|viewer|synthetic",
             "viewer: the viewer's own scene; synthetic: a generated one of the same size; auto (default): "
             "the viewer's, or the generated one while the viewer draws only sky",
             tools::OneOf(&g_options.scene, {"auto", "viewer", "synthetic"}));
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
    if (g_startupMs < 0)
        g_startupMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g_start).count();
    headless::AdvanceTicks(16);
    ++g_framesInView;
    if (g_framesInView == g_options.warmup) g_timer.Reset();
    if (g_framesInView >= g_options.warmup) g_timer.Tick();
    if (g_timer.Frames() == g_options.frames) {
        g_results.push_back(g_timer.Summary(kViews[g_view].name));
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

void PrintJson(const char* scene) {
    std::printf("{\"device\": \"%s\", \"scene\": \"%s\", \"startup_ms\": %.1f, \"peak_rss_mib\": %.1f, \"views\": [",
                g_options.device.c_str(), scene, g_startupMs, PeakRssMib());
    for (std::size_t i = 0; i < g_results.size(); ++i) {
        const bench::ViewResult& r = g_results[i];
        std::printf("%s{\"name\": \"%s\", \"fps\": %.2f, \"ms_median\": %.3f, \"ms_p95\": %.3f}", i ? ", " : "",
                    r.name.c_str(), r.fps, r.msMedian, r.msP95);
    }
    std::printf("]}\n");
}

}  // namespace

// True when the last frame shows more than the sky: the viewer assembles a scene.
bool ViewerDrawsAScene() {
    for (std::uint32_t pixel : headless::LastFrame().bgra)
        if ((pixel & 0x00FFFFFFu) != 0x00E4FFFFu) return true;
    return false;
}

// The viewer's own loop; 0 when measured, else the exit code.
int RunViewer() {
    headless::Reset();
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

// The generated scene on a device made the way the viewer makes its own.
int RunSynthetic() {
    headless::Reset();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "bench";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "bench", "bench", WS_OVERLAPPEDWINDOW, 100, 100, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    bool hal = g_options.device == "hal";
    IDirect3DDevice9* device = nullptr;
    if (d3d == nullptr ||
        FAILED(d3d->CreateDevice(0, hal ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF, window,
                                 hal ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                 &parameters, &device))) {
        std::fprintf(stderr, "bench: the %s device is not available here\n", g_options.device.c_str());
        if (d3d != nullptr) d3d->Release();
        return 3;
    }
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);  // the viewer's fixed states
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_PHONG);
    bench::SyntheticScene scene;
    bool created = scene.Create(device);
    D3DXMATRIX projection, view, world;
    D3DXMatrixPerspectiveFovRH(&projection, 1.0471976f, 800.0f / 600.0f, 0.1f, 1000.0f);
    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_WORLD, &world);
    DWORD clock = 1000;
    g_results.clear();
    for (std::size_t v = 0; created && v < kViewCount; ++v) {
        D3DXVECTOR3 eye = kViews[v].standOnGround ? D3DXVECTOR3(0, scene.GroundHeight(0, 0) + 1, 0) : kViews[v].eye;
        float h = kViews[v].angleH, a = kViews[v].angleV;
        D3DXVECTOR3 target = eye + D3DXVECTOR3(std::cos(a) * std::cos(h), std::sin(a), std::cos(a) * std::sin(h));
        D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtRH(&view, &eye, &target, &up);
        g_timer.Reset();
        for (unsigned frame = 0; frame < g_options.warmup + g_options.frames + 1; ++frame) {
            if (frame >= g_options.warmup) g_timer.Tick();
            scene.DrawFrame(view, projection, clock += 16);
            if (g_startupMs < 0)
                g_startupMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g_start).count();
        }
        g_results.push_back(g_timer.Summary(kViews[v].name));
    }
    scene.Release();
    device->Release();
    d3d->Release();
    DestroyWindow(window);
    if (!created) std::fprintf(stderr, "bench: the synthetic scene could not be created\n");
    return created ? 0 : 1;
}

int main(int argc, char** argv) {
    if (const std::optional<int> end = Parse(argc, argv)) return *end;
    win32::UseViewerDataFolder();
    d3d9::SetDevicePolicy(g_options.device == "ref" ? d3d9::DevicePolicy::ReferenceOnly
                                                    : d3d9::DevicePolicy::Automatic);
    if (g_options.scene != "synthetic") {
        int result = RunViewer();
        if (result != 0) return result;
        if (g_options.scene == "viewer" || ViewerDrawsAScene()) {
            PrintJson("viewer");
            return 0;
        }
        g_startupMs = -1;  // the viewer drew only sky: measure the stand-in instead
    }
    int result = RunSynthetic();
    if (result == 0) PrintJson("synthetic");
    return result;
}
