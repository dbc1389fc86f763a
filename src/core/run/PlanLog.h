#pragma once
// The copy plan as the log tells it: each parameter block with its install
// root and the verdict on it, each planned file with its size, the
// post-process item, the refusal that ends the pass, and the total.

#include <cstdint>
#include <optional>
#include <string>

#include "core/job/CopyJob.h"
#include "core/plan/PlanObserver.h"
#include "core/run/RunLog.h"

namespace velkast {

class PlanLog final : public PlanObserver {
public:
    explicit PlanLog(RunLog& log) : log_(log) {}

    // Why the pass failed, once it has.
    std::optional<Refusal> refusal() const { return refusal_; }
    // The line that closes a plan that was built: its files and their total.
    void WriteTotal(const CopyJob& job);

    void LineRead(std::uint32_t line, LineKind kind, const std::wstring& text) override;
    void BlockLineRead(std::uint32_t line, BlockLine which, const std::wstring& text, bool present) override;
    void EndedByExclusiveBlock(std::uint32_t line) override;
    void InstallRootFound(std::uint32_t line, RegistryHive hive, const std::wstring& root) override;
    void RootDecided(std::uint32_t line, RootVerdict verdict) override;
    void RootModeRead(std::uint32_t line, std::uint8_t mode) override;
    void PostProcessSet(std::uint32_t line, const std::wstring& path) override;
    void FileLineDropped(std::uint32_t line, const std::wstring& text, DropReason why) override;
    void FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) override;
    void Refused(std::uint32_t line, Refusal why) override;

private:
    // The parameter block being read, until its line is written.
    struct Block {
        std::uint32_t line = 0;
        std::wstring key;
        std::wstring root;
        RegistryHive hive = RegistryHive::CurrentUser;
        RootVerdict verdict = RootVerdict::NotFound;
    };

    RunLog& log_;
    Block block_;
    std::optional<Refusal> refusal_;
};

}  // namespace velkast
