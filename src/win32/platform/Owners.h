#pragma once
// Owners of the system's resources, one UniqueResource each. Every handle,
// key and system buffer of the program (and of its tests) is held by one of
// these; nothing is closed by hand.

#include <windows.h>

#include "core/base/UniqueResource.h"

namespace velkast {

// Handles, which report failure with null or INVALID_HANDLE_VALUE (also the
// current process's pseudo handle, which is never closed); an empty owner
// holds the value that the kind of handle fails with, so that a call's
// result is handed over as it is.
template <BOOL(WINAPI* CloseFunction)(HANDLE), bool kFailsWithInvalid>
struct HandleTraits {
    using Value = HANDLE;
    static Value Empty() { return kFailsWithInvalid ? INVALID_HANDLE_VALUE : nullptr; }
    static bool IsValid(Value handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { CloseFunction(handle); }
};

// Threads, events, mutexes, processes.
using UniqueHandle = UniqueResource<HandleTraits<&CloseHandle, false>>;
// Files, snapshots and the like.
using UniqueFile = UniqueResource<HandleTraits<&CloseHandle, true>>;
// A search of FindFirstFileW.
using UniqueFind = UniqueResource<HandleTraits<&FindClose, true>>;

// Pointers and keys, empty when null.
template <typename T, auto CloseFunction>
struct NullEmptyTraits {
    using Value = T;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value value) { return value != nullptr; }
    static void Close(Value value) { CloseFunction(value); }
};

// An open registry key.
using UniqueRegKey = UniqueResource<NullEmptyTraits<HKEY, &RegCloseKey>>;
// A text that the system allocated for us (FormatMessageW with
// FORMAT_MESSAGE_ALLOCATE_BUFFER); the call wants put() cast to LPWSTR.
using LocalBuffer = UniqueResource<NullEmptyTraits<wchar_t*, &LocalFree>>;

// A mutex that this thread owns from its creation: released, then closed.
inline BOOL WINAPI ReleaseAndCloseMutex(HANDLE mutex) {
    ReleaseMutex(mutex);
    return CloseHandle(mutex);
}
using OwnedMutex = UniqueResource<HandleTraits<&ReleaseAndCloseMutex, false>>;

}  // namespace velkast
