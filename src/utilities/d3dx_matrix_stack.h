#pragma once
// A reference-counted stack of matrices under its D3DX name. Objects build their world matrix
// with it: Push, TranslateLocal, RotateAxisLocal, GetTop, then one Pop per Push. The operations
// whose names end in Local act in the object's own frame, before what the stack already holds
// (top = M × top); the others act after it (top = top × M).

#include "platform/d3d9/d3d9_interfaces.h"
#include "utilities/d3dx_math.h"

// {E3357330-CC5E-11D2-A434-00A0C90629A8}
inline constexpr IID IID_ID3DXMatrixStack = {
    0xE3357330, 0xCC5E, 0x11D2, {0xA4, 0x34, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};

// The slots are in the interface's order; every operation but AddRef, Release and GetTop
// returns an HRESULT. A null matrix or axis argument gives D3DERR_INVALIDCALL.
struct ID3DXMatrixStack : IUnknown {
    // Pop at the bottom of the stack changes nothing and still returns S_OK.
    virtual HRESULT Pop() = 0;
    // Duplicates the top. E_OUTOFMEMORY, with the stack as it was, when the storage cannot grow.
    virtual HRESULT Push() = 0;
    virtual HRESULT LoadIdentity() = 0;
    virtual HRESULT LoadMatrix(const D3DXMATRIX* m) = 0;
    virtual HRESULT MultMatrix(const D3DXMATRIX* m) = 0;
    virtual HRESULT MultMatrixLocal(const D3DXMATRIX* m) = 0;
    virtual HRESULT RotateAxis(const D3DXVECTOR3* axis, float angle) = 0;
    virtual HRESULT RotateAxisLocal(const D3DXVECTOR3* axis, float angle) = 0;
    virtual HRESULT RotateYawPitchRoll(float yaw, float pitch, float roll) = 0;
    virtual HRESULT RotateYawPitchRollLocal(float yaw, float pitch, float roll) = 0;
    virtual HRESULT Scale(float x, float y, float z) = 0;
    virtual HRESULT ScaleLocal(float x, float y, float z) = 0;
    virtual HRESULT Translate(float x, float y, float z) = 0;
    virtual HRESULT TranslateLocal(float x, float y, float z) = 0;
    // The current matrix, inside the stack's storage: valid until the next Push or Release.
    virtual D3DXMATRIX* GetTop() = 0;
};

using LPD3DXMATRIXSTACK = ID3DXMatrixStack*;

// A new stack holding the identity, with one reference. flags is not used. D3DERR_INVALIDCALL for
// a null out, E_OUTOFMEMORY when the object or its storage cannot be had.
HRESULT D3DXCreateMatrixStack(DWORD flags, ID3DXMatrixStack** out);
