#include "CheckTables.h"

#include <vector>

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/platform/DebugOutput.h"
#include "core/script/UpdaterBoxes.h"
#include "core/text/TextLine.h"

namespace velkast::check::testing {

using velkast::testing::Box;
using velkast::testing::FakePlanSystem;

namespace {

// The boxes the updater shows for the script: start-up's when it cannot
// load it, else the plan builder's (the system's box of a file that cannot
// be opened stands as one with the caption "エラー").
bool UpdaterVerdict(const std::string& script, std::vector<Box>& boxes) {
    CTextLine store;
    if (script.empty() || !store.Load(script.data(), static_cast<std::uint32_t>(script.size()))) {
        boxes.push_back(Box{kScriptMissingCaption, kScriptMissingText});
        return false;
    }
    CopyJob job;
    job.programFolder = velkast::testing::kCorpusProgramFolder;
    FakePlanSystem system = velkast::testing::CorpusSystem();
    const bool built = CopyPlanBuilder(store, job, system).Build();
    for (Box box : system.boxes) {
        if (box.caption == std::wstring(kOpenFailureCaption) && box.text.rfind(L"cannot open ", 0) == 0) {
            box.text = L"<system>";
        }
        boxes.push_back(box);
    }
    return built;
}

std::string Narrow(const std::vector<Box>& boxes) {
    std::string text;
    for (const Box& box : boxes) {
        for (wchar_t c : (box.caption ? *box.caption : std::wstring(L"-")) + L": " + box.text + L"; ") {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
    }
    return text;
}

}  // namespace

std::string CompareWithUpdater(const std::string& script, CheckReport* checked) {
    std::vector<Box> updaterBoxes;
    bool updaterBuilt = false;
    {
        DebugOutputCapture quiet;
        updaterBuilt = UpdaterVerdict(script, updaterBoxes);
    }

    TableCheckSystem system(velkast::testing::CorpusSystem());
    const CheckReport report =
        CheckScript(script, L"Update.up", velkast::testing::kCorpusProgramFolder, system);
    std::vector<Box> checkerBoxes;
    if (report.refusal) {
        if (!report.refusal->systemError.empty()) {
            checkerBoxes.push_back(Box{kOpenFailureCaption, L"<system>"});
        }
        for (const PlanBox& box : report.refusal->boxes) {
            checkerBoxes.push_back(Box{box.caption, box.text});
        }
    }

    std::string differences;
    if (report.accepted != updaterBuilt) {
        differences += std::string("updater ") + (updaterBuilt ? "accepts" : "refuses") + ", checker " +
                       (report.accepted ? "accepts" : "refuses") + ". ";
    }
    if (report.accepted == report.refusal.has_value()) {
        differences += "checker: accepted and refusal disagree. ";
    }
    if (checkerBoxes != updaterBoxes) {
        differences += "updater boxes: " + Narrow(updaterBoxes) + " checker boxes: " + Narrow(checkerBoxes);
    }
    if ((report.Count(Severity::Error) > 0) == report.accepted || report.Count(Severity::Error) > 1) {
        differences += "checker: one error when refused, none when accepted. ";
    }
    if (checked != nullptr) {
        *checked = report;
    }
    return differences;
}

}  // namespace velkast::check::testing
