// One of the two blended passes of the terrain.
//
// With d the lit vertex colour, g the ground texel (stage 1) and a the mask alpha (stage 0), the
// source is d × g with alpha a. The first pass writes source × a over whatever is there; the
// second writes source × (1 − a) + frame × a, so rock shows where the mask is opaque and grass
// where it is transparent. The second pass relies on the default depth test (less or equal) to
// draw exactly over the first.
//
// Stage 0's colour operation keeps the device default (modulate); stage 1 only passes its
// alpha through. States are set anew on every call rather than tracked.

#include "terrain/heighmap.h"

namespace {

void Echantillonneur(IDirect3DDevice9* d3dDevice, DWORD etage, DWORD adressage) {
    d3dDevice->SetSamplerState(etage, D3DSAMP_ADDRESSU, adressage);
    d3dDevice->SetSamplerState(etage, D3DSAMP_ADDRESSV, adressage);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
}

}  // namespace

void HeighMap::Dessiner(int secondePasse) {
    IDirect3DDevice9* d3dDevice = Device();
    // The device refuses an indexed draw without its buffers; skipping keeps its state untouched.
    if (d3dDevice == nullptr || vertexBuffer == nullptr || indexBuffer == nullptr) return;

    d3dDevice->SetFVF(kFvfSommetTerrain);
    d3dDevice->SetStreamSource(0, vertexBuffer, 0, sizeof(SommetTerrain));
    d3dDevice->SetIndices(indexBuffer);

    // The mask is stretched once over the grid and clamped at its edges; only its alpha is used.
    d3dDevice->SetTexture(0, texMasque);
    Echantillonneur(d3dDevice, 0, D3DTADDRESS_CLAMP);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);

    // The ground repeats; it is lit by the diffuse colour and carries the mask alpha along.
    d3dDevice->SetTexture(1, texSol);
    Echantillonneur(d3dDevice, 1, D3DTADDRESS_WRAP);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    d3dDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d3dDevice->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);

    d3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d3dDevice->SetRenderState(D3DRS_SRCBLEND, secondePasse ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA);
    d3dDevice->SetRenderState(D3DRS_DESTBLEND, secondePasse ? D3DBLEND_SRCALPHA : D3DBLEND_ZERO);
    d3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(nbSommets), 0,
                                    static_cast<UINT>(nbIndices / 3));

    // Later draws (the water) rely on the stage alpha settings left here, not on these.
    d3dDevice->SetTexture(0, nullptr);
    d3dDevice->SetTexture(1, nullptr);
    d3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d3dDevice->SetIndices(nullptr);
}
