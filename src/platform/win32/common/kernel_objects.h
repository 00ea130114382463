#pragma once
// The objects behind file and mapping handles. A HANDLE is the address of one of these; the
// table below owns them, so that a handle closed twice, or one that never was ours, is refused
// instead of being freed again.

#include <cstddef>
#include <memory>

#include "platform/win32/win_types.h"

namespace win32::detail {

struct KernelObject {
    virtual ~KernelObject() = default;
};

// An open file, read-only. Owns its descriptor.
struct FileObject final : KernelObject {
    FileObject(int descriptor, std::size_t size) : fd(descriptor), bytes(size) {}
    ~FileObject() override;
    int fd;
    std::size_t bytes;
};

// A read-only mapping of a file. It keeps its own descriptor, so that (as on Windows) it stays
// usable after the file handle it was made from is closed.
struct MappingObject final : KernelObject {
    MappingObject(int descriptor, std::size_t size) : fd(descriptor), bytes(size) {}
    ~MappingObject() override;
    int fd;
    std::size_t bytes;
};

HANDLE AdoptObject(std::unique_ptr<KernelObject> object);
// The object behind `handle` when it is live and of type T; null otherwise.
template <typename T>
T* LookUpObject(HANDLE handle);
bool ReleaseObject(HANDLE handle);

// Views handed out by MapViewOfFile, by address, with the length to unmap.
void RememberView(const void* address, std::size_t length);
bool ForgetView(const void* address, std::size_t* length);

}  // namespace win32::detail
