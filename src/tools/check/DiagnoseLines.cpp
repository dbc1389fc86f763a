#include "tools/check/Diagnosis.h"

#include "core/plan/CopyPlanBuilder.h"
#include "tools/check/CheckText.h"

namespace velkast::check {
namespace {

void Lexical(Diagnosis& d, std::uint32_t line, const LineView& view) {
    if (!view.content) {
        return;  // blank or a comment, however long
    }
    if (view.tooLong) {
        d.out.Add(line, Severity::Warning, "long-line",
                  L"the line holds " + Number(view.raw.size() + view.endLength) +
                      L" characters with its line end: the updater reads only the first 1023 and drops the "
                      L"rest");
    }
    if (view.commentCut()) {
        std::wstring text =
            L"\"//\" starts a comment here: the updater reads this line only as far as " + Quote(view.kept);
        if (IsSpace(view.kept.back())) {
            text += L", spaces included";
        }
        d.out.Add(line, Severity::Warning, "comment-cut", text);
    }
    const LineUse* use = d.Use(line);
    if (view.tabLed) {
        if (use != nullptr && use->use == LineUse::Use::NoText) {
            return;  // the refusal says it
        }
        if (use != nullptr && use->use == LineUse::Use::BlockLine) {
            d.out.Add(line, Severity::Warning, "tab-led",
                      L"the line begins with a tab: the updater reads this " +
                          std::wstring(BlockLineName(use->which)) + L" as empty text");
        } else {
            d.out.Add(
                line, Severity::Warning, "tab-led",
                L"the line begins with a tab: wherever the updater expects a header or a file line, such "
                L"a line stops the update without a message");
        }
        return;
    }
    if (view.fields.size() >= 2 && d.trace.lastFieldLines.count(line) == 0) {
        const bool tab = view.kept.find(L'\t') != std::wstring::npos;
        d.out.Add(
            line, Severity::Warning, "text-after-tab",
            std::wstring(tab ? L"text after a tab is ignored" : L"text after a carriage return is ignored") +
                L": the updater reads only " + Quote(view.fields.front()) + L" from this line");
    }
}

}  // namespace

void DiagnoseLaunch(Diagnosis& d) {
    if (!d.report.launch) {
        return;
    }
    const LaunchReport& launch = *d.report.launch;
    if (launch.text == CopyPlanBuilder::kParameterHeader ||
        launch.text == CopyPlanBuilder::kPostProcessHeader) {
        d.out.Add(
            launch.line, Severity::Warning, "header-as-launch-line",
            L"the first line with content is always the launch line: this header is not recognised, and "
            L"the lines after it are read as file lines");
    }
    if (d.launchDocument && d.system.IsPathMissing(*d.launchDocument)) {
        d.out.Add(launch.line, Severity::Warning, "launch-missing",
                  L"the launch document " + *launch.document +
                      L" does not exist: the updater opens it at start-up without checking");
    }
}

void DiagnoseLines(Diagnosis& d) {
    for (std::size_t i = 0; i < d.views.size(); ++i) {
        Lexical(d, static_cast<std::uint32_t>(i + 1), d.views[i]);
    }
}

}  // namespace velkast::check
