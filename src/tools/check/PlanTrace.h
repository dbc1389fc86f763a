#pragma once
// What the plan builder does with the script, as the checker follows it: the
// builder's boxes recorded instead of shown, and every decision it reports to
// its observer, written into the report and kept for the diagnostics.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/plan/PlanObserver.h"
#include "core/plan/PlanSystem.h"
#include "tools/check/ScriptCheck.h"

namespace velkast::check {

// The builder's view of the checker's system: the boxes are recorded, never
// shown.
class RecordingSystem : public PlanSystem {
public:
    explicit RecordingSystem(CheckSystem& system) : system_(system) {}

    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override {
        return system_.ReadInstallDir(hive, key, value);
    }
    bool IsPathMissing(const std::wstring& path) override { return system_.IsPathMissing(path); }
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path) override;
    void ShowPlanMessage(const std::wstring& text, const wchar_t* caption) override;

    std::vector<PlanBox> boxes;
    std::wstring openPath;  // the last file that could not be opened, and why
    std::wstring openError;

private:
    CheckSystem& system_;
};

struct BlockTrace {
    std::uint32_t header = 0;
    bool parameter = true;
    std::size_t index = 0;  // into the report's blocks, for a parameter block
    bool complete = true;
    bool usedLastFields = false;
};

struct BlockLineTrace {
    std::uint32_t line = 0;
    PlanObserver::BlockLine which = PlanObserver::BlockLine::RegistryKey;
    std::wstring text;
    bool present = true;
    std::size_t block = 0;  // into the trace's blocks
};

struct LineUse {
    enum class Use { Launch, ParameterHeader, PostProcessHeader, BlockLine, FileLine, NoText } use;
    PlanObserver::BlockLine which = PlanObserver::BlockLine::RegistryKey;
};

class Trace : public PlanObserver {
public:
    Trace(CheckReport& report, CheckSystem& system) : report_(report), system_(system) {}

    void LineRead(std::uint32_t line, LineKind kind, const std::wstring& text) override;
    void BlockLineRead(std::uint32_t line, BlockLine which, const std::wstring& text, bool present) override;
    void EndedByExclusiveBlock(std::uint32_t line) override { report_.exclusiveEnd = line; }
    void InstallRootFound(std::uint32_t, RegistryHive hive, const std::wstring& root) override;
    void CheckNameTested(std::uint32_t, const std::wstring& name, bool exists) override {
        report_.blocks.back().testedNames.emplace_back(name, exists);
    }
    void RootDecided(std::uint32_t, RootVerdict verdict) override { report_.blocks.back().verdict = verdict; }
    void RootModeRead(std::uint32_t, std::uint8_t mode) override { report_.blocks.back().rootMode = mode; }
    void SourceFolderSet(std::uint32_t, const std::wstring& folder) override {
        report_.blocks.back().sourceFolder = system_.ShownPath(folder);
    }
    void PostProcessSet(std::uint32_t line, const std::wstring& path) override {
        postProcesses.push_back(PostProcessReport{line, path, false});
    }
    void FileLineDropped(std::uint32_t line, const std::wstring&, DropReason why) override {
        dropped.push_back(Dropped{line, why, report_.blocks.empty() ? 0 : report_.blocks.back().line});
    }
    void FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) override;
    void Refused(std::uint32_t line, Refusal why) override { refusal = std::make_pair(line, why); }

    std::map<std::uint32_t, LineUse> uses;
    std::vector<BlockTrace> blocks;
    std::vector<BlockLineTrace> blockLines;
    std::set<std::uint32_t> lastFieldLines;  // lines whose later fields were read as block lines
    std::vector<std::pair<std::uint32_t, std::wstring>> fileLines;
    struct Dropped {
        std::uint32_t line;
        DropReason why;
        std::uint32_t block;  // the header of the block in force
    };
    std::vector<Dropped> dropped;
    std::vector<CopyEntry> entries;                // of report.files, as the builder holds them
    std::vector<PostProcessReport> postProcesses;  // paths as the builder holds them
    std::optional<std::pair<std::uint32_t, Refusal>> refusal;

private:
    CheckReport& report_;
    CheckSystem& system_;
};

}  // namespace velkast::check
