// Owning holders for the handles the program makes: each frees its handle
// once, in its destructor or when given another, so that code owning a handle
// never frees it by hand. A holder moves, it never copies: a handle has one owner.
//
// One holder per kind of handle, each a ScopedHandle with the kind's traits:
// how the kind's empty value is written, what counts as held, how it is freed.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <unknwn.h>

namespace qx {

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsHeld(handle_); }

    // Hands the handle out without freeing it; the holder is then empty.
    Handle release() {
        const Handle handle = handle_;
        handle_ = Traits::kEmpty;
        return handle;
    }

    // Frees the held handle, if any, and takes handle in its place.
    void reset(Handle handle = Traits::kEmpty) {
        const Handle old = handle_;
        handle_ = handle;
        if (Traits::IsHeld(old)) {
            Traits::Free(old);
        }
    }

private:
    Handle handle_ = Traits::kEmpty;
};

// Threads, events and files. Either empty value counts as nothing held: the
// creating calls answer null or INVALID_HANDLE_VALUE on failure, by kind.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Free(Handle handle) { CloseHandle(handle); }
};
using KernelHandle = ScopedHandle<KernelHandleTraits>;

// Fonts, bitmaps and brushes. The object must not be selected into a device
// context when its holder frees it.
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { DeleteObject(handle); }
};
template <typename Object>
using GdiObject = ScopedHandle<GdiObjectTraits<Object>>;

// A device context made by CreateCompatibleDC (never one had from GetDC).
struct MemoryDcTraits {
    using Handle = HDC;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { DeleteDC(handle); }
};
using MemoryDc = ScopedHandle<MemoryDcTraits>;

// An icon loaded without LR_SHARED.
struct IconHandleTraits {
    using Handle = HICON;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { DestroyIcon(handle); }
};
using IconHandle = ScopedHandle<IconHandleTraits>;

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { ImageList_Destroy(handle); }
};
using ImageList = ScopedHandle<ImageListTraits>;

// A block from GlobalAlloc that no one else has taken over.
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { GlobalFree(handle); }
};
using GlobalMemory = ScopedHandle<GlobalMemoryTraits>;

// A module from LoadLibrary.
struct LoadedModuleTraits {
    using Handle = HMODULE;
    static constexpr Handle kEmpty = nullptr;
    static bool IsHeld(Handle handle) { return handle != nullptr; }
    static void Free(Handle handle) { FreeLibrary(handle); }
};
using LoadedModule = ScopedHandle<LoadedModuleTraits>;

// One reference to a COM interface, released once.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(Interface* pointer) : pointer_(pointer) {}
    ~ComPtr() { reset(); }

    ComPtr(ComPtr&& other) noexcept : pointer_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // Hands the reference out without releasing it; the holder is then empty.
    Interface* release() {
        Interface* const pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }

    // Releases the held reference, if any, and takes pointer in its place.
    void reset(Interface* pointer = nullptr) {
        Interface* const old = pointer_;
        pointer_ = pointer;
        if (old != nullptr) {
            old->Release();
        }
    }

    // For a call that hands out a new reference: releases the held one first.
    Interface** receive() {
        reset();
        return &pointer_;
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace qx
