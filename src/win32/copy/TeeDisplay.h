#pragma once
// A copy display that passes every report to a lead display (the copy
// dialog) and then, when there is one, to a follower (the log). The lead
// owns the boxes.

#include "win32/copy/CopyDisplay.h"

namespace velkast {

class TeeDisplay final : public CopyDisplay {
public:
    TeeDisplay(CopyDisplay& lead, CopyDisplay* follower) : lead_(lead), follower_(follower) {}

    void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) override {
        lead_.FileStarted(targetFolder, displayName);
        if (follower_ != nullptr) {
            follower_->FileStarted(targetFolder, displayName);
        }
    }
    void BytesCopied(std::uint64_t copiedBytes) override {
        lead_.BytesCopied(copiedBytes);
        if (follower_ != nullptr) {
            follower_->BytesCopied(copiedBytes);
        }
    }
    void Flush() override {
        lead_.Flush();
        if (follower_ != nullptr) {
            follower_->Flush();
        }
    }
    HWND BoxOwner() override { return lead_.BoxOwner(); }
    void Finished() override {
        lead_.Finished();
        if (follower_ != nullptr) {
            follower_->Finished();
        }
    }
    void Failed(const CopyEntry& entry, CopyFailure why, DWORD error) override {
        lead_.Failed(entry, why, error);
        if (follower_ != nullptr) {
            follower_->Failed(entry, why, error);
        }
    }

private:
    CopyDisplay& lead_;
    CopyDisplay* follower_;
};

}  // namespace velkast
