#pragma once

// Owning handles for what Windows hands out, each released with the call
// that kind of handle needs. Windows files only.
#include <windows.h>

#include "UniqueHandle.h"

// A kernel object (mutex, process, event) from a call that reports failure
// as a null handle.
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value handle) noexcept { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// A file from CreateFileW, which reports failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Value handle) noexcept { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

// A GDI object (font, brush), deleted with DeleteObject.
template <typename GdiObject>
struct GdiObjectTraits {
    using Value = GdiObject;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value object) noexcept { DeleteObject(object); }
};
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;

// A device context made with CreateDCW, deleted with DeleteDC.
struct CreatedDcTraits {
    using Value = HDC;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value dc) noexcept { DeleteDC(dc); }
};
using UniqueCreatedDc = UniqueHandle<CreatedDcTraits>;

// The desktop window's device context from GetDC, released to that window.
struct DesktopDcTraits {
    using Value = HDC;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value dc) noexcept { ReleaseDC(GetDesktopWindow(), dc); }
};
using UniqueDesktopDc = UniqueHandle<DesktopDcTraits>;
