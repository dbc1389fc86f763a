#include "tools/check/Diagnosis.h"

#include <map>

#include "core/paths/PathText.h"
#include "core/plan/CopyPlanBuilder.h"
#include "tools/check/CheckText.h"

namespace velkast::check {
namespace {

void FileLines(Diagnosis& d) {
    for (const auto& [line, text] : d.trace.fileLines) {
        if (const wchar_t* header = NearMissHeader(text)) {
            d.out.Add(line, Severity::Warning, "near-miss-header",
                      Quote(text) + L" is read as a file line, not as a header: the " +
                          (std::wstring(header) == CopyPlanBuilder::kParameterHeader
                               ? L"parameter block header is exactly \"[SetParamter]\" (no \"e\" after "
                                 L"\"Param\")"
                               : L"post-process block header is exactly \"[SetPostProc]\"") +
                          L", alone on its line");
        }
        if (OnlySpaces(text)) {
            d.out.Add(line, Severity::Warning, "spaces",
                      L"the line holds only spaces: the updater reads it as a file line");
        } else if (HasEdgeSpaces(text) && !d.CommentCut(line)) {
            d.out.Add(line, Severity::Warning, "spaces",
                      L"the file line " + Quote(text) +
                          L" has spaces at its start or end: the updater keeps them in the file name");
        }
        if (IsAbsolute(text)) {
            d.out.Add(
                line, Severity::Warning, "absolute-file-line",
                L"the file line " + Quote(text) +
                    L" is an absolute path: the updater joins it to the source folder and to the install "
                    L"root all the same");
        } else if (ClimbsOut(text)) {
            d.out.Add(line, Severity::Warning, "climbs-out",
                      L"the file line " + Quote(text) +
                          L" climbs out of the install root with \"..\": the file would land outside the "
                          L"application's folder");
        }
    }
    for (const Trace::Dropped& dropped : d.trace.dropped) {
        if (dropped.why == PlanObserver::DropReason::BeforeAnyBlock) {
            d.out.Add(dropped.line, Severity::Warning, "dropped-before-block",
                      L"this file line comes before any parameter block: the updater ignores it");
        } else {
            d.out.Add(dropped.line, Severity::Note, "dropped",
                      L"file line ignored: the block at line " + Number(dropped.block) +
                          L" has no valid install root here");
        }
    }
    std::map<std::wstring, std::uint32_t> copies;
    std::map<std::wstring, std::uint32_t> destinations;
    for (std::size_t i = 0; i < d.report.files.size(); ++i) {
        const FileReport& file = d.report.files[i];
        const CopyEntry& entry = d.trace.entries[i];
        const std::wstring source = entry.sourceFolder + entry.fileName;
        const std::wstring destination = entry.targetFolder + entry.fileName;
        if (IsLongPath(source)) {
            d.out.Add(file.line, Severity::Warning, "long-path",
                      L"the source path has " + Number(source.size()) +
                          L" characters: Windows opens paths of 260 characters or more only with long path "
                          L"support, and the updater then refuses the script");
        }
        if (IsLongPath(destination)) {
            d.out.Add(file.line, Severity::Warning, "long-path",
                      L"the destination path has " + Number(destination.size()) +
                          L" characters: Windows handles paths of 260 characters or more only with long path "
                          L"support");
        }
        const std::wstring copyKey = PathKey(source) + L"|" + PathKey(destination);
        if (const auto found = copies.find(copyKey); found != copies.end()) {
            d.out.Add(
                file.line, Severity::Warning, "duplicate-file-line",
                L"the same copy as line " + Number(found->second) + L": the updater copies the file twice");
        } else if (const auto same = destinations.find(PathKey(destination)); same != destinations.end()) {
            d.out.Add(
                file.line, Severity::Warning, "same-destination",
                L"the same destination as line " + Number(same->second) + L": this copy overwrites that one");
        }
        copies.emplace(copyKey, file.line);
        destinations.emplace(PathKey(destination), file.line);
    }
}

void PostProcess(Diagnosis& d) {
    const auto& items = d.trace.postProcesses;
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        d.out.Add(items[i].line, Severity::Warning, "post-process-replaced",
                  L"the post-process block at line " + Number(items[i + 1].line) + L" replaces this one");
    }
    if (items.empty()) {
        return;
    }
    const PostProcessReport& item = items.back();
    if (IsLongPath(item.path)) {
        d.out.Add(item.line, Severity::Warning, "long-path",
                  L"the post-process path has " + Number(item.path.size()) +
                      L" characters: Windows opens paths of 260 characters or more only with long path "
                      L"support");
    }
    if (d.report.accepted && !item.checkedByUpdater) {
        const std::wstring shown = d.system.ShownPath(item.path);
        std::wstring reason;
        if (d.system.OpenForReadSize(item.path, reason)) {
            d.out.Add(
                item.line, Severity::Note, "post-process-unchecked",
                L"the post-process block comes after the last file line: the updater never checks that " +
                    shown + L" exists (it does here)");
        } else {
            d.out.Add(
                item.line, Severity::Warning, "post-process-unchecked",
                L"the post-process block comes after the last file line: the updater never checks that " +
                    shown + L" exists, and it cannot be opened here (" + reason + L")");
        }
    }
}

void ExclusiveEnd(Diagnosis& d) {
    const std::uint32_t end = d.report.exclusiveEnd;
    if (end == 0) {
        return;
    }
    const auto last = static_cast<std::uint32_t>(d.views.size());
    d.out.Add(
        end, Severity::Note, "exclusive-end",
        L"the block at line " + Number(d.report.blocks.back().line) +
            L" is exclusive and its install root is valid: the updater stops reading at this header and "
            L"ignores " +
            (end < last ? L"lines " + Number(end) + L" to " + Number(last) : std::wstring(L"this line")));
    for (std::uint32_t line = end + 1; line <= last; ++line) {
        const std::wstring* first = d.views[line - 1].first();
        if (d.views[line - 1].content && first != nullptr && *first == CopyPlanBuilder::kPostProcessHeader) {
            d.out.Add(line, Severity::Warning, "exclusive-drops-post-process",
                      L"this post-process block is ignored: the updater stops reading at line " +
                          Number(end) + L", after the exclusive block at line " +
                          Number(d.report.blocks.back().line));
        }
    }
}

}  // namespace

void DiagnoseFiles(Diagnosis& d) {
    FileLines(d);
    PostProcess(d);
    ExclusiveEnd(d);
}

}  // namespace velkast::check
