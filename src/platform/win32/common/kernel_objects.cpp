#include "platform/win32/common/kernel_objects.h"

#include <unistd.h>

#include <mutex>
#include <unordered_map>

namespace win32::detail {
namespace {

// Textures may be loaded from worker threads, so the tables are guarded.
struct Tables {
    std::mutex lock;
    std::unordered_map<HANDLE, std::unique_ptr<KernelObject>> objects;
    std::unordered_map<const void*, std::size_t> views;
};

Tables& TheTables() {
    static Tables tables;
    return tables;
}

KernelObject* FindLocked(Tables& tables, HANDLE handle) {
    auto found = tables.objects.find(handle);
    return found == tables.objects.end() ? nullptr : found->second.get();
}

}  // namespace

FileObject::~FileObject() { close(fd); }
MappingObject::~MappingObject() { close(fd); }

HANDLE AdoptObject(std::unique_ptr<KernelObject> object) {
    Tables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    HANDLE handle = object.get();
    tables.objects.emplace(handle, std::move(object));
    return handle;
}

template <typename T>
T* LookUpObject(HANDLE handle) {
    Tables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    return dynamic_cast<T*>(FindLocked(tables, handle));
}
template FileObject* LookUpObject<FileObject>(HANDLE);
template MappingObject* LookUpObject<MappingObject>(HANDLE);

bool ReleaseObject(HANDLE handle) {
    std::unique_ptr<KernelObject> released;
    Tables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    auto found = tables.objects.find(handle);
    if (found == tables.objects.end()) return false;
    released = std::move(found->second);
    tables.objects.erase(found);
    return true;
}

void RememberView(const void* address, std::size_t length) {
    Tables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    tables.views[address] = length;
}

bool ForgetView(const void* address, std::size_t* length) {
    Tables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    auto found = tables.views.find(address);
    if (found == tables.views.end()) return false;
    *length = found->second;
    tables.views.erase(found);
    return true;
}

}  // namespace win32::detail
