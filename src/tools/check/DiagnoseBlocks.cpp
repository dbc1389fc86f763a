#include "tools/check/Diagnosis.h"

#include <algorithm>

#include "core/plan/CheckList.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/plan/ScriptNumber.h"
#include "tools/check/CheckText.h"

namespace velkast::check {
namespace {

using Which = PlanObserver::BlockLine;
using Verdict = PlanObserver::RootVerdict;

void RootNotes(Diagnosis& d, const BlockReport& block) {
    // The refusal says it.
    if (d.report.refusal && d.report.refusal->code == RefusalCode(PlanObserver::Refusal::RootRequired) &&
        &block == &d.report.blocks.back()) {
        return;
    }
    if (block.verdict == Verdict::NotFound && block.keyLine != 0) {
        d.out.Add(block.keyLine, Severity::Note, "root-not-found",
                  RejectionText(block) + L" here: the file lines of this block are ignored");
    } else if (block.verdict == Verdict::Rejected) {
        d.out.Add(block.checkListLine, Severity::Note, "root-rejected",
                  RejectionText(block) + L": the file lines of this block are ignored");
    }
}

void CheckList(Diagnosis& d, std::uint32_t line, const std::wstring& text) {
    if (text == kNoCheckList) {
        return;
    }
    if (Folded(text) == L"none") {
        d.out.Add(line, Severity::Warning, "none-spelling",
                  L"the check list " + Quote(text) +
                      L" is not exactly \"None\": the updater reads it as check mode 0 without names, which "
                      L"never verifies the install root");
        return;
    }
    const CheckListParts parts = SplitCheckList(text);
    if (!parts.modeText.empty() && !IsPlainNumber(parts.modeText)) {
        d.out.Add(line, Severity::Warning, "check-mode-not-number",
                  L"the check mode " + Quote(parts.modeText) + L" is not a number: the updater reads it as " +
                      std::to_wstring(parts.mode));
    }
    if (parts.mode == 0 && parts.names.empty()) {
        d.out.Add(line, Severity::Warning, "check-zero-no-names",
                  L"check mode 0 without names never verifies the install root: name a file or folder of the "
                  L"application after it, or write \"None\"");
    }
    for (const std::wstring& name : parts.names) {
        if (HasEdgeSpaces(name)) {
            d.out.Add(line, Severity::Warning, "spaces",
                      L"the check name " + Quote(name) +
                          L" has spaces at its start or end: the updater looks for it with them");
        }
    }
}

void RootMode(Diagnosis& d, std::uint32_t line, const std::wstring& text) {
    const std::int32_t value = ParseScriptNumber(text);
    const auto mode = static_cast<std::uint8_t>(value & 0xFF);
    const std::wstring reading = std::to_wstring(mode) + L" (" + RootModeName(mode) + L")";
    if (!IsPlainNumber(text)) {
        d.out.Add(line, Severity::Warning, "root-mode-not-number",
                  L"the root mode " + Quote(text) + L" is not a number: the updater reads it as " + reading);
    } else if (value < 0 || value > 255) {
        d.out.Add(line, Severity::Warning, "root-mode-range",
                  L"only the low 8 bits of the root mode count: the updater reads " + std::to_wstring(value) +
                      L" as " + reading);
    }
}

// A folder line or a post-process line.
void RootLine(Diagnosis& d, const BlockLineTrace& line, bool folder) {
    const std::wstring& text = line.text;
    const std::size_t marker = text.find(CopyPlanBuilder::kRootMarker);
    if (marker == std::wstring::npos) {
        return;  // the refusal says it
    }
    const std::wstring rest = CopyPlanBuilder::AfterRootMarker(text);
    const wchar_t* what = folder ? L"folder" : L"post-process item";
    if (marker > 0) {
        d.out.Add(
            line.line, Severity::Warning, "marker-not-at-start",
            L"\"%Root%\\\" is not at the start of the line: the updater drops its first seven characters "
            L"all the same, which leaves the " +
                std::wstring(what) + L" " + Quote(rest));
        return;
    }
    if (!rest.empty() && IsSpace(rest.back())) {
        if (!d.CommentCut(line.line)) {
            d.out.Add(line.line, Severity::Warning, "spaces",
                      folder ? L"the folder line ends with spaces: the updater joins them to every file name"
                             : L"the post-process line ends with spaces: the updater keeps them in the path");
        }
    } else if (folder && !rest.empty() && rest.back() != L'\\' && rest.back() != L'/') {
        d.out.Add(line.line, Severity::Warning, "folder-no-backslash",
                  L"the folder " + Quote(rest) +
                      L" does not end with a backslash: the updater joins it to each file line without one");
    }
}

void BlockLineChecks(Diagnosis& d, const BlockLineTrace& line, const BlockTrace& block) {
    // An empty block line is a tab-led line or one past the end of the
    // script; the warnings about those say what it reads as.
    if (line.text.empty()) {
        return;
    }
    const std::wstring& text = line.text;
    if (line.present &&
        (text == CopyPlanBuilder::kParameterHeader || text == CopyPlanBuilder::kPostProcessHeader)) {
        d.out.Add(line.line, Severity::Warning, "header-in-block",
                  L"this header is read as the " + std::wstring(BlockLineName(line.which)) +
                      L" of the block at line " + Number(block.header) + L": that block lacks lines");
    }
    switch (line.which) {
        case Which::RegistryKey:
            if (HasEdgeSpaces(text)) {
                d.out.Add(line.line, Severity::Warning, "spaces",
                          L"the registry key " + Quote(text) +
                              L" has spaces at its start or end: the updater looks it up with them");
            }
            break;
        case Which::CheckList:
            CheckList(d, line.line, text);
            break;
        case Which::RootMode:
            RootMode(d, line.line, text);
            break;
        case Which::Message: {
            const BlockReport& report = d.report.blocks[block.index];
            if (report.rootMode == CopyPlanBuilder::kRootRequired &&
                std::all_of(text.begin(), text.end(), IsSpace)) {
                d.out.Add(line.line, Severity::Warning, "empty-message",
                          L"the message of this required block is blank: without a valid install root the "
                          L"updater shows an empty box");
            }
            break;
        }
        case Which::Folder:
        case Which::PostProcess:
            RootLine(d, line, line.which == Which::Folder);
            break;
    }
}

void Block(Diagnosis& d, const BlockTrace& block) {
    if (!block.complete) {
        d.out.Add(block.header, Severity::Warning, "ends-in-block",
                  block.usedLastFields
                      ? L"the script ends inside this block: the updater reads its missing lines from the "
                        L"text after the tabs of the last line, or as empty text"
                      : L"the script ends inside this block: the updater reads its missing lines as empty "
                        L"text");
    }
    if (block.parameter) {
        RootNotes(d, d.report.blocks[block.index]);
    }
}

}  // namespace

std::wstring RejectionText(const BlockReport& block) {
    if (block.verdict == Verdict::NotFound) {
        return L"no INSTALLDIR value for the key " + Quote(block.key) + L" under " +
               HiveName(RegistryHive::CurrentUser) + L" or " + HiveName(RegistryHive::LocalMachine);
    }
    const std::wstring why = L"the check list rejects the install root " + block.installRoot + L": ";
    if (block.testedNames.empty()) {
        return why + L"check mode 0 without names verifies nothing";
    }
    if (SplitCheckList(block.checkList).needsAll() || block.testedNames.size() == 1) {
        return why + Quote(block.testedNames.back().first) + L" does not exist";
    }
    std::wstring names;
    for (const auto& tested : block.testedNames) {
        names += (names.empty() ? L"" : L", ") + Quote(tested.first);
    }
    return why + L"none of " + names + L" exists";
}

void DiagnoseBlocks(Diagnosis& d) {
    for (const BlockTrace& block : d.trace.blocks) {
        Block(d, block);
    }
    for (const BlockLineTrace& line : d.trace.blockLines) {
        BlockLineChecks(d, line, d.trace.blocks[line.block]);
    }
}

}  // namespace velkast::check
