#pragma once
// Reads the update script, from the line after the launch line to its end, in
// one pass, and fills the copy plan of the job: its entries, their total size
// and the post-process item. Each install root is found in the registry and
// verified, and every planned source file is opened once to make sure it can
// be read. An observer, when one is given, is told of each decision.

#include <cstdint>
#include <optional>
#include <string>

#include "core/job/CopyJob.h"
#include "core/plan/PlanObserver.h"
#include "core/plan/PlanSystem.h"

namespace velkast {

class CTextLine;

class CopyPlanBuilder {
public:
    static constexpr const wchar_t* kParameterHeader = L"[SetParamter]";
    static constexpr const wchar_t* kPostProcessHeader = L"[SetPostProc]";
    static constexpr const wchar_t* kRootMarker = L"%Root%\\";

    // Root modes of a parameter block; any other value makes it optional.
    static constexpr std::uint8_t kRootRequired = 1;
    static constexpr std::uint8_t kRootExclusive = 2;

    // What a folder or post-process line adds to the program folder: the
    // line after its first seven characters, where the marker is expected.
    static std::wstring AfterRootMarker(const std::wstring& line);

    // The script's current line is the launch line; the plan goes into the
    // job. The observer, if any, must outlive the builder; it changes nothing.
    CopyPlanBuilder(CTextLine& script, CopyJob& job, PlanSystem& system, PlanObserver* observer = nullptr);

    // True when the plan holds at least one entry.
    // On false the user has been told why, except for a line that begins
    // with a tab, which ends the pass silently.
    bool Build();

private:
    enum class Step { Continue, Finish, Fail };

    std::optional<std::wstring> Field();
    std::wstring BlockLine(PlanObserver::BlockLine which);
    Step ReadParameterBlock();
    Step ReadPostProcessBlock();
    Step ReadFileLine(const std::wstring& line);
    bool VerifyRoot(const std::wstring& checkList);
    bool Finish();
    Step Refuse(PlanObserver::Refusal why);
    std::uint32_t Line() const;

    CopyJob& job_;
    CTextLine& script_;
    PlanSystem& system_;
    PlanObserver& observer_;

    bool rootValid_ = false;
    std::uint8_t rootMode_ = 0;
    std::wstring targetRoot_;
    std::wstring sourceFolder_;
    bool blockRead_ = false;  // for the observer only
};

}  // namespace velkast
