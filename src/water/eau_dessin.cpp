// The water drawn over the frame.
//
// With lighting off and no vertex colour the diffuse colour is opaque white, so stage 0 (texture ×
// diffuse, alpha from the texture, as the terrain leaves it) gives the mask m with its alpha a,
// and stage 1 multiplies in the caustic c. Both blend factors are the source alpha, so the frame
// receives a × (m × c + frame): where a is 1 the water adds its light to the ground beneath,
// saturating at white; smaller values darken the sum, to black at a = 0.

#include "platform/win32/windows_api.h"
#include "water/animation_caustiques.h"
#include "water/eau.h"

namespace {

void Echantillonneur(IDirect3DDevice9* d3dDevice, DWORD etage, DWORD adressage) {
    d3dDevice->SetSamplerState(etage, D3DSAMP_ADDRESSU, adressage);
    d3dDevice->SetSamplerState(etage, D3DSAMP_ADDRESSV, adressage);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d3dDevice->SetSamplerState(etage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
}

}  // namespace

void cEau::Dessiner() {
    IDirect3DDevice9* d3dDevice = Device();
    if (d3dDevice == nullptr) return;
    const INT indice = AnimationDeLEau().Avancer(GetTickCount());
    // No buffer after a failed fill: nothing to draw, and no state is touched.
    if (vertexBuffer == nullptr) return;

    // The device default, should a device not answer.
    DWORD eclairage = TRUE;
    d3dDevice->GetRenderState(D3DRS_LIGHTING, &eclairage);
    d3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    PoserEtats(d3dDevice, indice);
    d3dDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);

    d3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d3dDevice->SetTexture(0, nullptr);
    d3dDevice->SetTexture(1, nullptr);
    d3dDevice->SetRenderState(D3DRS_LIGHTING, eclairage);
}

void cEau::PoserEtats(IDirect3DDevice9* d3dDevice, INT indice) {
    d3dDevice->SetFVF(kFvfSommetEau);
    d3dDevice->SetStreamSource(0, vertexBuffer, 0, sizeof(SommetEau));

    // The mask lies once over the quad; clamped so that its edges do not wrap around.
    d3dDevice->SetTexture(0, texMasque);
    Echantillonneur(d3dDevice, 0, D3DTADDRESS_CLAMP);
    d3dDevice->SetTexture(1, Caustique(indice));
    Echantillonneur(d3dDevice, 1, D3DTADDRESS_WRAP);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    d3dDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);

    d3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d3dDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d3dDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
}
