#pragma once
// What the copy worker tells whoever shows the copy to the user: the copy
// dialog, or a recorder in the tests.

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/job/CopyEntry.h"

namespace velkast {

// Why the copy stopped at an entry.
enum class CopyFailure {
    FolderNotMade,  // its destination folder could not be made
    CopyFailed,     // the copy service failed
};

class CopyDisplay {
public:
    // A file's copy begins: the folder it goes to and the name the user reads.
    virtual void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) = 0;
    // The bytes copied over the whole plan so far. It runs inside the copy
    // service's progress routine: it returns at once and never waits for
    // another thread.
    virtual void BytesCopied(std::uint64_t copiedBytes) = 0;
    // Shows everything reported so far before it returns: the worker calls it
    // before each of its boxes, so that the user reads the exact state.
    virtual void Flush() = 0;
    // The window that owns the worker's boxes; null when there is none (any
    // more).
    virtual HWND BoxOwner() = 0;
    // The copy has ended, copied through or stopped at a failure: shows the
    // exact final state, the finished heading, and enables Exit.
    virtual void Finished() = 0;
    // The copy stops at this entry, for this reason; the error is the
    // system's code read right after the failure. It comes before the box
    // that tells the user, which says all the dialog needs: by default nothing
    // is done.
    virtual void Failed(const CopyEntry& /*entry*/, CopyFailure /*why*/, DWORD /*error*/) {}

protected:
    ~CopyDisplay() = default;
};

}  // namespace velkast
