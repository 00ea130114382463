// One tree drawn at a world point: two alpha-tested quads, the second a quarter turn about the
// vertical centre line of the first.

#include "objects/arbre.h"

namespace {

// The first pixel drawn has alpha 8 out of 255: below that a texel is the picture's background.
constexpr DWORD kAlphaMinimum = 8;
constexpr float kQuartDeTour = 1.5707964f;

void PoserMonde(IDirect3DDevice9* d3dDevice, ID3DXMatrixStack* pile) {
    d3dDevice->SetTransform(D3DTS_WORLD, pile->GetTop());
}

}  // namespace

void cArbre::Dessiner(float x, float y, float z) {
    IDirect3DDevice9* d3dDevice = Device();
    // The device would draw from whatever stream was bound last; a tree without its buffer is
    // skipped whole, leaving every state as it found it.
    if (d3dDevice == nullptr || vertexBuffer == nullptr || pileMatrices == nullptr) return;

    d3dDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d3dDevice->SetRenderState(D3DRS_ALPHAREF, kAlphaMinimum);
    d3dDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    // The device defaults, should a device not answer.
    DWORD eclairage = TRUE;
    DWORD culling = D3DCULL_CCW;
    d3dDevice->GetRenderState(D3DRS_LIGHTING, &eclairage);
    d3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Both faces show, so the picture is seen from every side.
    d3dDevice->GetRenderState(D3DRS_CULLMODE, &culling);
    d3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    d3dDevice->SetFVF(kFvfSommetArbre);
    d3dDevice->SetStreamSource(0, vertexBuffer, 0, sizeof(SommetArbre));
    d3dDevice->SetTexture(0, texture);
    d3dDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d3dDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    DessinerQuads(d3dDevice, x, y, z);
    d3dDevice->SetTexture(0, nullptr);

    d3dDevice->SetRenderState(D3DRS_CULLMODE, culling);
    d3dDevice->SetRenderState(D3DRS_LIGHTING, eclairage);
    d3dDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

// Every Push has its Pop, so the stack's top, and the world transform after each quad, is what it
// was before: the identity in the scene.
void cArbre::DessinerQuads(IDirect3DDevice9* d3dDevice, float x, float y, float z) {
    ID3DXMatrixStack* pile = pileMatrices;
    pile->Push();
    pile->TranslateLocal(x, y, z);
    PoserMonde(d3dDevice, pile);
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    pile->Pop();
    PoserMonde(d3dDevice, pile);

    // The local rotation acts before the translation: the quad turns about its own centre line.
    const D3DXVECTOR3 vertical(0.0f, 1.0f, 0.0f);
    pile->Push();
    pile->TranslateLocal(x, y, z);
    PoserMonde(d3dDevice, pile);
    pile->Push();
    pile->RotateAxisLocal(&vertical, kQuartDeTour);
    PoserMonde(d3dDevice, pile);
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    pile->Pop();
    PoserMonde(d3dDevice, pile);
    pile->Pop();
    PoserMonde(d3dDevice, pile);
}
