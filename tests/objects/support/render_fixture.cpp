#include "render_fixture.h"

#include "../../common/headless_device.h"

namespace scene_test {
namespace {

D3DMATRIX Rows(D3DVECTOR x, D3DVECTOR y, D3DVECTOR z) {
    D3DMATRIX m{};
    m._11 = x.x, m._12 = x.y, m._13 = x.z;
    m._21 = y.x, m._22 = y.y, m._23 = y.z;
    m._31 = z.x, m._32 = z.y, m._33 = z.z;
    m._44 = 1.0f;
    return m;
}

}  // namespace

D3DMATRIX VueDeFace() { return Rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}); }
D3DMATRIX VueDeDos() { return Rows({-1, 0, 0}, {0, 1, 0}, {0, 0, -1}); }
D3DMATRIX VueDeCote() { return Rows({0, 0, -1}, {0, 1, 0}, {1, 0, 0}); }
D3DMATRIX VueDuDessus() { return Rows({1, 0, 0}, {0, 0, -1}, {0, -1, 0}); }

void RenderTest::SetUp() {
    ScratchTest::SetUp();
    d3d9::SetDevicePolicy(d3d9::DevicePolicy::ReferenceOnly);
    WNDCLASSEXA classe{};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = DefWindowProcA;
    classe.lpszClassName = "scene test";
    RegisterClassExA(&classe);
    HWND fenetre = CreateWindowExA(0, "scene test", "", 0, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(fenetre, nullptr);

    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parametres = devicetest::Parameters(kTaille, kTaille);
    parametres.hDeviceWindow = fenetre;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, fenetre, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &parametres, &device),
              S_OK);
    // As the viewer sets them.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

void RenderTest::TearDown() {
    if (device) device->Release();
    if (d3d) d3d->Release();
    ScratchTest::TearDown();
}

void RenderTest::Camera(const D3DMATRIX& view) {
    D3DMATRIX projection{};
    projection._11 = 0.25f;
    projection._22 = 0.25f;
    projection._33 = 1.0f / 16.0f;
    projection._43 = 0.5f;
    projection._44 = 1.0f;
    D3DMATRIX identite{};
    identite._11 = identite._22 = identite._33 = identite._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &identite);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

void RenderTest::Begin(D3DCOLOR clear) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), S_OK);
}

std::vector<std::uint32_t> RenderTest::End() {
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    const headless::Frame& frame = headless::LastFrame();
    EXPECT_EQ(frame.width, kTaille);
    EXPECT_EQ(frame.height, kTaille);
    return frame.bgra;
}

}  // namespace scene_test
