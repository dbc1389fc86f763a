#pragma once
// Owners of the system's resources, one UniqueResource each. Every handle,
// key and system buffer of the program (and of its tests) is held by one of
// these; nothing is closed by hand.

#include <windows.h>

#include "core/base/UniqueResource.h"

namespace velkast {

// Kernel objects that report failure with null: threads, events, mutexes,
// processes. INVALID_HANDLE_VALUE is the current process's pseudo handle to
// them, never closed.
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// Files, snapshots and the like: failure is INVALID_HANDLE_VALUE, which an
// empty owner holds, so that a call's result is handed over as it is.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Value handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { CloseHandle(handle); }
};
using UniqueFile = UniqueResource<FileHandleTraits>;

// A search of FindFirstFileW.
struct FindHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Value handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { FindClose(handle); }
};
using UniqueFind = UniqueResource<FindHandleTraits>;

// An open registry key.
struct RegKeyTraits {
    using Value = HKEY;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value key) { return key != nullptr; }
    static void Close(Value key) { RegCloseKey(key); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

// A text that the system allocated for us (FormatMessageW with
// FORMAT_MESSAGE_ALLOCATE_BUFFER); the call wants put() cast to LPWSTR.
struct LocalTextTraits {
    using Value = wchar_t*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value text) { return text != nullptr; }
    static void Close(Value text) { LocalFree(text); }
};
using LocalBuffer = UniqueResource<LocalTextTraits>;

// A mutex that this thread owns from its creation: released, then closed.
struct OwnedMutexTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value mutex) { return mutex != nullptr; }
    static void Close(Value mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
};
using OwnedMutex = UniqueResource<OwnedMutexTraits>;

}  // namespace velkast
