#pragma once
// A run log that keeps the events written to it, in order, unstamped.

#include <mutex>
#include <string>
#include <vector>

#include "core/run/RunLog.h"

namespace velkast::testing {

class RecordingLog final : public RunLog {
public:
    void Write(const std::wstring& event) override {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    std::vector<std::wstring> events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> events_;
};

}  // namespace velkast::testing
