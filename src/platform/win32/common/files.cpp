// Opening and mapping a whole file read-only, the only file access the scene makes. Anything
// that would write is refused rather than quietly opened read-only.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32/common/kernel_objects.h"
#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"

using win32::detail::FileObject;
using win32::detail::LookUpObject;
using win32::detail::MappingObject;

namespace {

constexpr DWORD kFileMapWrite = 0x0002;
// Views start on multiples of this, as on Windows.
constexpr std::uint64_t kAllocationGranularity = 64 * 1024;

// Opens a regular file for reading; -1 for anything else (missing, a directory, a device).
int OpenRegularFile(const std::string& path, std::size_t* size) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    *size = static_cast<std::size_t>(info.st_size);
    return fd;
}

// An empty file cannot be mmap'ed; its view is a private zero page, so that callers still get
// a distinct, readable, non-null address and see the length 0 from GetFileSize.
void* MapEmptyView() {
    void* page = mmap(nullptr, 1, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : page;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD /*shareMode*/, LPVOID /*security*/, DWORD creation,
                   DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (fileName == nullptr || access != GENERIC_READ || creation != OPEN_EXISTING) return INVALID_HANDLE_VALUE;
    std::size_t size = 0;
    int fd = OpenRegularFile(win32::PlatformPath(fileName), &size);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    return win32::detail::AdoptObject(std::make_unique<FileObject>(fd, size));
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    const FileObject* object = LookUpObject<FileObject>(file);
    if (object == nullptr) return INVALID_FILE_SIZE;
    const std::uint64_t size = object->bytes;
    if (sizeHigh != nullptr) {
        *sizeHigh = static_cast<DWORD>(size >> 32);
    } else if (size > 0xFFFFFFFFull) {
        return INVALID_FILE_SIZE;  // the low half alone would be a wrong size
    }
    return static_cast<DWORD>(size);
}

HANDLE CreateFileMappingA(HANDLE file, LPVOID /*security*/, DWORD protect, DWORD maxSizeHigh, DWORD maxSizeLow,
                          LPCSTR /*name*/) {
    const FileObject* object = LookUpObject<FileObject>(file);
    if (object == nullptr || protect != PAGE_READONLY) return nullptr;
    std::uint64_t size = (static_cast<std::uint64_t>(maxSizeHigh) << 32) | maxSizeLow;
    if (size == 0) size = object->bytes;
    if (size > object->bytes) return nullptr;  // a read-only mapping cannot grow the file
    int fd = fcntl(object->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return win32::detail::AdoptObject(std::make_unique<MappingObject>(fd, size));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
    const MappingObject* object = LookUpObject<MappingObject>(mapping);
    if (object == nullptr || (access & kFileMapWrite) != 0) return nullptr;
    const std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
    if (offset % kAllocationGranularity != 0 || offset > object->bytes) return nullptr;
    const std::uint64_t available = object->bytes - offset;
    if (bytes == 0) bytes = available;
    if (bytes > available) return nullptr;

    void* view = nullptr;
    if (bytes == 0) {
        view = MapEmptyView();
        bytes = 1;
    } else {
        view = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, object->fd, static_cast<off_t>(offset));
        if (view == MAP_FAILED) view = nullptr;
    }
    if (view != nullptr) win32::detail::RememberView(view, bytes);
    return view;
}

BOOL UnmapViewOfFile(LPCVOID address) {
    std::size_t length = 0;
    if (address == nullptr || !win32::detail::ForgetView(address, &length)) return FALSE;
    munmap(const_cast<void*>(address), length);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    if (object == nullptr || object == INVALID_HANDLE_VALUE) return FALSE;
    return win32::detail::ReleaseObject(object) ? TRUE : FALSE;
}
