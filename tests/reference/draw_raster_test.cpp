// Which pixels a triangle covers and what depth and colour it leaves: the fill rule, culling,
// clipping at the near plane, the depth tests, interpolation, and the primitive kinds.
#include <cmath>

#include "draw_helpers.h"

namespace reference::testing {
namespace {

using RasterTest = DrawTest;

TEST_F(RasterTest, PixelCentresOnTheTopAndLeftEdgesAreCoveredOthersNot) {
    StartUnlit();
    // Corners exactly on pixel centres (2, 3) and (6, 8): columns 2..5 and rows 3..7.
    Rectangle(2, 3, 6, 8);
    std::vector<std::uint32_t> frame = Frame();
    int covered = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
            EXPECT_EQ(inside ? 0xFFFFFFFFu : 0xFF000000u, frame[y * 32 + x]) << x << "," << y;
            covered += inside;
        }
    EXPECT_EQ(20, covered);
}

TEST_F(RasterTest, TrianglesSharingAnEdgeCoverEachPixelOnce) {
    StartUnlit();
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
    // A fan of triangles around an off-centre point, with edges through pixel centres and
    // between them: any pixel drawn twice would show 0x40 + 0x40.
    const float cx = 13.0f, cy = 11.5f;
    const float rim[][2] = {{1, 1},      {17.25f, 0.5f}, {30, 2},    {31, 17},
                            {29.5f, 30}, {16, 31},       {2.5f, 29}, {0.5f, 15.75f}};
    std::vector<TestVertex> fan = {At(cx, cy, 0.5f, 0xFF404040)};
    for (const auto& p : rim) fan.push_back(At(p[0], p[1], 0.5f, 0xFF404040));
    fan.push_back(fan[1]);
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLEFAN, fan, 8));
    EXPECT_EQ(0, Count(0xFF808080));
    EXPECT_GT(Count(0xFF404040), 600);
}

TEST_F(RasterTest, CullModesDropTheWindingTheyName) {
    struct Case {
        DWORD cull;
        bool clockwiseShown;
        bool counterClockwiseShown;
    };
    for (Case c : {Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_NONE, true, true}}) {
        StartUnlit();
        device_->SetRenderState(D3DRS_CULLMODE, c.cull);
        // Clockwise on screen (y down): top-left, top-right, bottom-left.
        Draw(D3DPT_TRIANGLELIST, {At(0, 0), At(14, 0), At(0, 14)}, 1);
        Draw(D3DPT_TRIANGLELIST, {At(18, 18), At(18, 32), At(32, 18)}, 1);  // counter-clockwise
        EXPECT_EQ(c.clockwiseShown, Pixel(2, 2) == 0xFFFFFFFFu) << c.cull;
        EXPECT_EQ(c.counterClockwiseShown, Pixel(20, 20) == 0xFFFFFFFFu) << c.cull;
    }
}

// The viewer's camera: a right-handed look-at and a right-handed perspective projection.
D3DMATRIX LookAtRH(const float eye[3], const float at[3]) {
    float z[3] = {eye[0] - at[0], eye[1] - at[1], eye[2] - at[2]};
    float zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
    for (float& c : z) c /= zl;
    const float up[3] = {0, 1, 0};
    float x[3] = {up[1] * z[2] - up[2] * z[1], up[2] * z[0] - up[0] * z[2], up[0] * z[1] - up[1] * z[0]};
    float xl = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (float& c : x) c /= xl;
    float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    D3DMATRIX m{};
    for (int r = 0; r < 3; ++r) {
        m.m[r][0] = x[r];
        m.m[r][1] = y[r];
        m.m[r][2] = z[r];
    }
    m._41 = -(x[0] * eye[0] + x[1] * eye[1] + x[2] * eye[2]);
    m._42 = -(y[0] * eye[0] + y[1] * eye[1] + y[2] * eye[2]);
    m._43 = -(z[0] * eye[0] + z[1] * eye[1] + z[2] * eye[2]);
    m._44 = 1;
    return m;
}

D3DMATRIX PerspectiveFovRH(float fovY, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovY / 2), xScale = yScale / aspect;
    D3DMATRIX m{};
    m._11 = xScale;
    m._22 = yScale;
    m._33 = zf / (zn - zf);
    m._34 = -1;
    m._43 = zn * zf / (zn - zf);
    return m;
}

class CameraTest : public DrawTest {
protected:
    void SetUp() override { CreateDevice(80, 60); }

    void LookFrom(float eyeY, float targetY) {
        const float eye[3] = {0, eyeY, 0}, at[3] = {0, targetY, 1};
        D3DMATRIX view = LookAtRH(eye, at), projection = PerspectiveFovRH(1.0471976f, 80.0f / 60.0f, 0.1f, 1000.0f);
        device_->SetTransform(D3DTS_VIEW, &view);
        device_->SetTransform(D3DTS_PROJECTION, &projection);
    }

    // The water quad's layout: corners (+h, y, +h), (+h, y, -h), (-h, y, -h), (-h, y, +h) as a fan.
    void HorizontalQuad(float y, float h, DWORD colour) {
        std::vector<TestVertex> quad = {{h, y, h, colour}, {h, y, -h, colour}, {-h, y, -h, colour}, {-h, y, h, colour}};
        Draw(D3DPT_TRIANGLEFAN, quad, 2);
    }
};

TEST_F(CameraTest, TheGroundShowsItsUpperFaceUnderTheViewersClockwiseCulling) {
    // The viewer culls D3DCULL_CW; its right-handed camera puts world +x on the left of the
    // screen, so the ground's triangles (clockwise on a map with x right and z up) reach the
    // screen counter-clockwise when seen from above.
    StartUnlit();
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    LookFrom(1.0f, 0.5f);  // above the quad, looking down ahead
    HorizontalQuad(0.0f, 20.0f, 0xFF00FF00);
    EXPECT_EQ(0xFF00FF00u, Pixel(40, 50));

    StartUnlit();
    LookFrom(-1.0f, -0.5f);  // below it, looking down: its underside faces the camera
    HorizontalQuad(0.0f, 20.0f, 0xFF00FF00);
    EXPECT_EQ(0, Count(0xFF00FF00));
}

TEST_F(CameraTest, ATriangleCrossingTheNearPlaneIsClippedNotLostOrInverted) {
    StartUnlit();
    LookFrom(1.0f, 1.0f);  // level, one unit above the ground
    // Two corners behind the camera, one far ahead: only its part in front may show, below the
    // horizon (row 30 of 60), spreading to the bottom corners of the screen.
    std::vector<TestVertex> floor = {{0, 0, 50, 0xFFFF0000}, {10, 0, -5, 0xFFFF0000}, {-10, 0, -5, 0xFFFF0000}};
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw(D3DPT_TRIANGLELIST, floor, 1);
    std::vector<std::uint32_t> frame = Frame();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) ASSERT_EQ(0xFF000000u, frame[y * 80 + x]) << "above the horizon " << x << "," << y;
    EXPECT_EQ(0xFFFF0000u, frame[59 * 80 + 0]);
    EXPECT_EQ(0xFFFF0000u, frame[59 * 80 + 79]);
    EXPECT_EQ(0xFFFF0000u, frame[35 * 80 + 40]);
}

TEST_F(RasterTest, EveryDepthFunctionComparesAgainstTheStoredDepth) {
    struct Case {
        DWORD function;
        bool nearer, equal, farther;  // drawn at depth 0.25, 0.5, 0.75 over a stored 0.5
    };
    const Case cases[] = {{D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, true, false, false},
                          {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, true, true, false},
                          {D3DCMP_GREATER, false, false, true},     {D3DCMP_NOTEQUAL, true, false, true},
                          {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true}};
    for (const Case& c : cases) {
        StartUnlit();
        device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        Rectangle(0, 0, 32, 32, 0xFF000000, 0.5f);
        device_->SetRenderState(D3DRS_ZFUNC, c.function);
        device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        Rectangle(0, 0, 8, 8, 0xFFFFFFFF, 0.25f);
        Rectangle(8, 0, 16, 8, 0xFFFFFFFF, 0.5f);
        Rectangle(16, 0, 24, 8, 0xFFFFFFFF, 0.75f);
        device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        EXPECT_EQ(c.nearer, Pixel(4, 4) == 0xFFFFFFFFu) << c.function;
        EXPECT_EQ(c.equal, Pixel(12, 4) == 0xFFFFFFFFu) << c.function;
        EXPECT_EQ(c.farther, Pixel(20, 4) == 0xFFFFFFFFu) << c.function;
    }
}

TEST_F(RasterTest, DepthWritesStoreTwentyFourBitsAndCanBeSwitchedOff) {
    StartUnlit();
    Rectangle(0, 0, 8, 8, 0xFFFFFFFF, 0.25f);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Rectangle(8, 0, 16, 8, 0xFFFFFFFF, 0.25f);
    std::vector<std::uint32_t> depth;
    ASSERT_TRUE(ReadDepthBuffer(device_, depth));
    EXPECT_EQ(4194304u, depth[4 * 32 + 4]);  // 0.25 x (2^24 - 1), rounded
    EXPECT_EQ(16777215u, depth[4 * 32 + 12]);
}

TEST_F(RasterTest, ASecondPassAtEqualDepthPassesLessEqual) {
    StartUnlit();
    // Perspective geometry, so that depths are not round numbers.
    std::vector<TestVertex> slanted = {At(0, 0, 0.3f, 0xFF0000FF), At(32, 0, 0.9f, 0xFF0000FF),
                                       At(32, 32, 0.7f, 0xFF0000FF), At(0, 32, 0.1f, 0xFF0000FF)};
    Draw(D3DPT_TRIANGLEFAN, slanted, 2);
    for (auto& v : slanted) v.colour = 0xFFFF0000;
    Draw(D3DPT_TRIANGLEFAN, slanted, 2);
    EXPECT_EQ(32 * 32, Count(0xFFFF0000));
    for (auto& v : slanted) v.colour = 0xFF00FF00;
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    Draw(D3DPT_TRIANGLEFAN, slanted, 2);
    EXPECT_EQ(32 * 32, Count(0xFFFF0000));
}

TEST_F(RasterTest, ColoursInterpolateWithPerspective) {
    StartUnlit();
    // w = view z through this projection; the left edge at w = 1, the right edge at w = 3.
    D3DMATRIX projection{};
    projection._11 = projection._22 = 1;
    projection._33 = 0.5f;
    projection._34 = 1;
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    auto vertex = [](float sx, float sy, float w, DWORD colour) {
        return TestVertex{sx * w, sy * w, w, colour, 0, 0, 0, 0};
    };
    std::vector<TestVertex> quad = {vertex(-1, 1, 1, 0xFF000000), vertex(1, 1, 3, 0xFFFF0000),
                                    vertex(1, -1, 3, 0xFFFF0000), vertex(-1, -1, 1, 0xFF000000)};
    Draw(D3DPT_TRIANGLEFAN, quad, 2);
    // Pixel 16 lies half-way across the screen: red = (0.5 x 255 / 3) / (0.5 / 1 + 0.5 / 3) = 63.75.
    EXPECT_TRUE(Near(Pixel(16, 16), 255, 64, 0, 0));
    // Pixel 8, a quarter across: (0.25 x 255 / 3) / (0.75 + 0.25 / 3) = 25.5 -> 25 or 26.
    EXPECT_TRUE(Near(Pixel(8, 16), 255, 26, 0, 0, 1));
}

TEST_F(RasterTest, FlatShadingTakesTheFirstVertexColour) {
    StartUnlit();
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.5f, 0xFF102030), At(32, 0, 0.5f, 0xFFFFFFFF), At(0, 32, 0.5f, 0xFF000000)}, 1);
    EXPECT_EQ(0xFF102030u, Pixel(20, 5));
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.4f, 0xFF000000), At(32, 0, 0.4f, 0xFFFF0000), At(0, 32, 0.4f, 0xFF000000)}, 1);
    EXPECT_TRUE(Near(Pixel(16, 0), 255, 128, 0, 0));  // half-way along the top edge: 127.5, rounded up
}

TEST_F(RasterTest, StripsFansAndIndexedDrawsAssembleTheSameQuad) {
    // A 2 x 2 block of quads, one unit (8 pixels) apart, as a strip, a fan and an indexed list
    // with a base vertex and a minimum index: each covers pixels 4..27 in both directions.
    auto covered = [this] {
        int n = Count(0xFFFFFFFFu);
        return n == 24 * 24;
    };
    StartUnlit();
    Draw(D3DPT_TRIANGLESTRIP, {At(4, 28), At(4, 4), At(28, 28), At(28, 4)}, 2);
    EXPECT_TRUE(covered());

    StartUnlit();
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw(D3DPT_TRIANGLEFAN, {At(4, 4), At(28, 4), At(28, 28), At(4, 28)}, 2);
    EXPECT_TRUE(covered());
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    StartUnlit();
    std::vector<TestVertex> grid;
    for (int i = 0; i < 3; ++i) grid.push_back(At(0, 0));  // padding before the base vertex
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) grid.push_back(At(4.0f + 12 * col, 4.0f + 12 * row));
    IDirect3DVertexBuffer9* vb = nullptr;
    device_->CreateVertexBuffer(static_cast<UINT>(grid.size() * sizeof(TestVertex)), 0, kTestFvf, D3DPOOL_DEFAULT, &vb,
                                nullptr);
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    std::memcpy(data, grid.data(), grid.size() * sizeof(TestVertex));
    vb->Unlock();
    // Indices count from 10 (the minimum index): vertex 10 + k is grid point k.
    std::vector<std::uint16_t> indices;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            std::uint16_t k = static_cast<std::uint16_t>(10 + row * 3 + col);
            for (std::uint16_t i : {k, std::uint16_t(k + 1), std::uint16_t(k + 3), std::uint16_t(k + 1),
                                    std::uint16_t(k + 4), std::uint16_t(k + 3)})
                indices.push_back(i);
        }
    IDirect3DIndexBuffer9* ib = nullptr;
    device_->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr);
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), indices.size() * 2);
    ib->Unlock();
    device_->SetStreamSource(0, vb, 0, sizeof(TestVertex));
    device_->SetIndices(ib);
    device_->BeginScene();
    // Base vertex -7: index 10 reads buffer vertex 3, the first grid point.
    EXPECT_EQ(D3D_OK, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -7, 10, 9, 0, 8));
    // The vertex range must lie inside the buffer, the indices inside the index buffer.
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -7, 10, 10, 0, 8));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -11, 10, 9, 0, 8));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -7, 10, 9, 1, 8));
    device_->EndScene();
    EXPECT_TRUE(covered());

    // An index naming a vertex outside the declared range drops its triangle, nothing else.
    StartUnlit();
    ib->Lock(0, 0, &data, 0);
    static_cast<std::uint16_t*>(data)[0] = 60000;
    ib->Unlock();
    device_->BeginScene();
    EXPECT_EQ(D3D_OK, device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -7, 10, 9, 0, 8));
    device_->EndScene();
    EXPECT_EQ(24 * 24 - 78, Count(0xFFFFFFFFu));
    device_->SetIndices(nullptr);
    ib->Release();
    vb->Release();
}

TEST_F(RasterTest, DrawsAreRefusedOutsideASceneOrWithoutAUsableFormat) {
    StartUnlit();
    IDirect3DVertexBuffer9* vb = nullptr;
    device_->CreateVertexBuffer(3 * sizeof(TestVertex), 0, kTestFvf, D3DPOOL_DEFAULT, &vb, nullptr);
    device_->SetStreamSource(0, vb, 0, sizeof(TestVertex));
    device_->SetFVF(kTestFvf);
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    device_->BeginScene();
    EXPECT_EQ(D3D_OK, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2)) << "past the buffer";
    // A count whose vertex total wraps around 32 bits must not pass for a small draw.
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0x55555556u));
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_LINELIST, 0, 1));
    device_->SetFVF(D3DFVF_XYZRHW);
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    device_->SetFVF(kTestFvf);
    device_->SetStreamSource(0, vb, 0, 12);  // narrower than the format's vertices
    EXPECT_EQ(D3DERR_INVALIDCALL, device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    device_->EndScene();
    vb->Release();
}

}  // namespace
}  // namespace reference::testing
