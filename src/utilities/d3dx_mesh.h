#pragma once
// The smallest mesh of the utility interface that a material mesh object can be drawn from: one
// vertex buffer, one index buffer of triangles, and an attribute table that splits the faces into
// subsets. No mesh file is read; a caller fills the buffers through the locks and sets the table.

#include "platform/d3d9/d3d9_api.h"

// {E5CF210F-385F-4873-A559-2F3DA0F72955}: our own identifier for this interface.
inline constexpr IID IID_ID3DXMesh = {0xE5CF210F, 0x385F, 0x4873, {0xA5, 0x59, 0x2F, 0x3D, 0xA0, 0xF7, 0x29, 0x55}};

// Creation options: 32-bit indices (16-bit otherwise) and the pool of both buffers (the default
// pool otherwise).
constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;

// One subset's share of the mesh: faces FaceStart to FaceStart + FaceCount − 1, whose indices
// only name vertices VertexStart to VertexStart + VertexCount − 1.
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

struct ID3DXMesh : IUnknown {
    // Draws every range of the table whose AttribId is attribId, as an indexed triangle list, on
    // the mesh's device: sets the vertex format, stream 0 and the indices, and nothing else. A
    // subset with no range draws nothing and succeeds.
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    // Each adds a reference to what it hands out.
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) = 0;
    // The whole buffer.
    virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a null table, *size receives the number of ranges. Otherwise *size gives the room in
    // table, at most that many ranges are copied, and *size receives the number copied.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
    // Replaces the table. D3DERR_INVALIDCALL, with the table unchanged, when a range reaches past
    // the mesh's faces or vertices.
    virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) = 0;
};

using LPD3DXMESH = ID3DXMesh*;

// A mesh of numFaces triangles over numVertices vertices of format fvf, buffers zeroed, with an
// empty attribute table and one reference. D3DERR_INVALIDCALL for a null device or out, no faces
// or vertices, an unknown option, a vertex format with no position or with blend weights, more
// vertices than 16-bit indices can name, or sizes that do not fit 32 bits; the device's own
// failure when it cannot make a buffer.
HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, IDirect3DDevice9* device,
                          ID3DXMesh** mesh);

// The bytes of one vertex of format fvf, or 0 when the format has no plain position.
UINT D3DXGetFVFVertexSize(DWORD fvf);
