#pragma once

// Owners for the handles and interfaces the Win32 front-end takes from the
// system. Each is released exactly once, on every path, by the destructor of
// the object that holds it.

#include <windows.h>

#include <objbase.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace tavrel::win32 {

// GDI objects (fonts, bitmaps) are all released by DeleteObject. unique_ptr
// over the pointee type, so an empty owner is simply a null handle.
struct GdiObjectDeleter
{
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// An icon from LoadImageW without LR_SHARED belongs to the caller.
struct IconDeleter
{
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A DLL loaded with LoadLibraryExW.
struct ModuleDeleter
{
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

// A device context taken with GetDC must go back with ReleaseDC on the same
// window.
class WindowDC
{
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) { }
    ~WindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC &) = delete;
    WindowDC &operator=(const WindowDC &) = delete;
    WindowDC(WindowDC &&) = delete;
    WindowDC &operator=(WindowDC &&) = delete;

    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC for one scope and puts the previous one back.
class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) { }
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;
    SelectedObject(SelectedObject &&) = delete;
    SelectedObject &operator=(SelectedObject &&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer that holds one reference.
template<typename Interface> class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ComPtr(ComPtr &&other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) { }
    ComPtr &operator=(ComPtr &&other) noexcept
    {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    [[nodiscard]] Interface *get() const noexcept { return pointer_; }
    Interface *operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For the out-parameter of a creating call; drops what was held before.
    [[nodiscard]] Interface **put() noexcept
    {
        reset();
        return &pointer_;
    }
    // The same, typed for CoCreateInstance and QueryInterface.
    [[nodiscard]] void **putVoid() noexcept { return reinterpret_cast<void **>(put()); }

    void reset() noexcept
    {
        if (pointer_ != nullptr)
            std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface *pointer_ = nullptr;
};

// COM on this thread for one scope (the picture decoder and the screen
// reader's property service need it). Unbalanced only where initialising
// failed, so a failed start leaves nothing to undo.
class ComApartment
{
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) { }
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
    ComApartment(ComApartment &&) = delete;
    ComApartment &operator=(ComApartment &&) = delete;

private:
    bool initialised_;
};

} // namespace tavrel::win32
