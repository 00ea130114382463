#include "platform/win32/common/window_manager.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace win32::detail {
namespace {

std::string ClassKey(LPCSTR className) {
    std::string key(className);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

LPARAM SizeParameter(const ClientSize& size) {
    return MAKELPARAM(static_cast<WORD>(std::max(size.width, 0)), static_cast<WORD>(std::max(size.height, 0)));
}

}  // namespace

WindowManager& TheWindowManager() {
    static WindowManager manager;
    return manager;
}

ATOM WindowManager::RegisterClass(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr)
        return 0;
    auto [entry, added] = classes_.try_emplace(ClassKey(windowClass->lpszClassName));
    if (!added) return 0;  // already registered
    entry->second = WindowClass{windowClass->lpszClassName, windowClass->lpfnWndProc, nextAtom_++, 0};
    return entry->second.atom;
}

bool WindowManager::UnregisterClass(LPCSTR className) {
    if (className == nullptr) return false;
    auto found = classes_.find(ClassKey(className));
    if (found == classes_.end() || found->second.windowCount > 0) return false;
    classes_.erase(found);
    return true;
}

WindowClass* WindowManager::FindClass(LPCSTR className) {
    if (className == nullptr) return nullptr;
    auto found = classes_.find(ClassKey(className));
    return found == classes_.end() ? nullptr : &found->second;
}

HWND WindowManager::Create(LPCSTR className, LPCSTR title, const NativeFactory& makeNative) {
    WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr) return nullptr;
    std::unique_ptr<NativeWindow> native = makeNative();
    if (native == nullptr) return nullptr;

    auto window = std::make_unique<Window>();
    window->windowClass = windowClass;
    window->title = title != nullptr ? title : "";
    window->native = std::move(native);
    HWND handle = reinterpret_cast<HWND>(window.get());
    windows_.emplace(handle, std::move(window));
    ++windowClass->windowCount;

    Send(handle, WM_SIZE, SIZE_RESTORED, SizeParameter(Find(handle)->native->Client()));
    return handle;
}

bool WindowManager::Destroy(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr || window->destroying) return false;
    window->destroying = true;  // a WM_DESTROY handler that destroys again must not recurse
    Send(handle, WM_DESTROY, 0, 0);

    queue_.DropMessagesFor(handle);
    auto found = windows_.find(handle);
    if (found == windows_.end()) return true;  // Reset() from inside the handler
    --found->second->windowClass->windowCount;
    windows_.erase(found);
    return true;
}

bool WindowManager::Show(HWND handle, int command) {
    Window* window = Find(handle);
    if (window == nullptr) return false;
    const bool wasVisible = window->visible;
    window->visible = command != SW_HIDE;
    window->native->SetVisible(window->visible);
    Send(handle, WM_SIZE, SIZE_RESTORED, SizeParameter(window->native->Client()));
    return wasVisible;
}

LRESULT WindowManager::Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (window == nullptr) return 0;
    return window->windowClass->procedure(handle, message, wParam, lParam);
}

LRESULT WindowManager::Dispatch(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) return 0;
    return Send(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WindowManager::DefaultProcedure(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) Destroy(window);
    return 0;
}

bool WindowManager::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && Find(window) == nullptr) return false;
    MSG posted{};
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    queue_.Post(posted);
    return true;
}

bool WindowManager::Peek(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeMode) {
    if (message == nullptr) return false;
    const bool remove = (removeMode & PM_REMOVE) != 0;
    if (!queue_.Peek(message, window, filterMin, filterMax, remove)) return false;
    if (remove) keys_.Apply(*message);
    return true;
}

bool WindowManager::SetTitle(HWND handle, LPCSTR text) {
    Window* window = Find(handle);
    if (window == nullptr) return false;
    window->title = text != nullptr ? text : "";
    window->native->SetTitle(window->title);
    return true;
}

int WindowManager::GetTitle(HWND handle, LPSTR buffer, int capacity) const {
    const Window* window = Find(handle);
    if (window == nullptr || buffer == nullptr || capacity <= 0) return 0;
    const std::size_t copied = std::min(window->title.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, window->title.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

bool WindowManager::GetWindowRect(HWND handle, RECT* rect) const {
    const Window* window = Find(handle);
    if (window == nullptr || rect == nullptr) return false;
    *rect = window->native->OuterRect();
    return true;
}

bool WindowManager::GetClientRect(HWND handle, RECT* rect) const {
    const Window* window = Find(handle);
    if (window == nullptr || rect == nullptr) return false;
    const ClientSize size = window->native->Client();
    *rect = RECT{0, 0, size.width, size.height};
    return true;
}

NativeWindow* WindowManager::Native(HWND handle) const {
    const Window* window = Find(handle);
    return window != nullptr ? window->native.get() : nullptr;
}

std::vector<HWND> WindowManager::AllWindows() const {
    std::vector<HWND> handles;
    for (const auto& entry : windows_) handles.push_back(entry.first);
    return handles;
}

const std::string* WindowManager::Title(HWND handle) const {
    const Window* window = Find(handle);
    return window != nullptr ? &window->title : nullptr;
}

void WindowManager::Reset() {
    windows_.clear();
    classes_.clear();
    queue_.Clear();
    keys_.Clear();
    nextAtom_ = 0xC000;
}

Window* WindowManager::Find(HWND handle) const {
    auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : found->second.get();
}

}  // namespace win32::detail
