#pragma once
// A copy display that writes down what the worker tells it, in order, as
// lines of text; boxes shown meanwhile can be written into the same log.

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "win32/copy/CopyDisplay.h"

namespace velkast::testing {

class RecordingDisplay final : public CopyDisplay {
public:
    void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) override {
        Add(L"file " + targetFolder + L" " + displayName);
    }
    void BytesCopied(std::uint64_t copiedBytes) override { Add(L"bytes " + std::to_wstring(copiedBytes)); }
    void Flush() override { Add(L"flush"); }
    HWND BoxOwner() override { return owner; }
    void Finished() override { Add(L"finished"); }
    void Failed(const CopyEntry& entry, CopyFailure why, DWORD error) override {
        Add(L"failed " + entry.fileName + (why == CopyFailure::FolderNotMade ? L" folder " : L" copy ") +
            std::to_wstring(error));
    }

    void Add(const std::wstring& event) {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    std::vector<std::wstring> events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }

    HWND owner = nullptr;

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> events_;
};

}  // namespace velkast::testing
