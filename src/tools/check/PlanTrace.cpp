#include "tools/check/PlanTrace.h"

namespace velkast::check {

std::optional<std::uint64_t> RecordingSystem::OpenForReadSize(const std::wstring& path) {
    std::wstring reason;
    const std::optional<std::uint64_t> size = system_.OpenForReadSize(path, reason);
    if (!size) {
        openPath = path;
        openError = reason;
    }
    return size;
}

void RecordingSystem::ShowPlanMessage(const std::wstring& text, const wchar_t* caption) {
    boxes.push_back(PlanBox{caption == nullptr ? std::nullopt : std::optional<std::wstring>(caption), text});
}

void Trace::LineRead(std::uint32_t line, LineKind kind, const std::wstring& text) {
    switch (kind) {
        case LineKind::ParameterHeader:
            report_.blocks.push_back(BlockReport{});
            report_.blocks.back().line = line;
            blocks.push_back(BlockTrace{line, true, report_.blocks.size() - 1});
            uses[line] = {LineUse::Use::ParameterHeader};
            break;
        case LineKind::PostProcessHeader:
            blocks.push_back(BlockTrace{line, false, 0});
            uses[line] = {LineUse::Use::PostProcessHeader};
            break;
        case LineKind::FileLine:
            fileLines.emplace_back(line, text);
            uses[line] = {LineUse::Use::FileLine};
            break;
        case LineKind::NoText:
            uses[line] = {LineUse::Use::NoText};
            break;
    }
}

void Trace::BlockLineRead(std::uint32_t line, BlockLine which, const std::wstring& text, bool present) {
    BlockTrace& block = blocks.back();
    if (present) {
        uses[line] = {LineUse::Use::BlockLine, which};
    } else {
        block.complete = false;
        block.usedLastFields = block.usedLastFields || !text.empty();
        if (!text.empty()) {
            lastFieldLines.insert(line);
        }
    }
    blockLines.push_back(BlockLineTrace{line, which, text, present, blocks.size() - 1});
    if (!block.parameter) {
        return;
    }
    BlockReport& report = report_.blocks[block.index];
    report.complete = block.complete;
    switch (which) {
        case BlockLine::RegistryKey:
            report.key = text;
            report.keyLine = line;
            break;
        case BlockLine::CheckList:
            report.checkList = text;
            report.checkListLine = line;
            break;
        case BlockLine::RootMode:
            report.rootModeText = text;
            break;
        case BlockLine::Message:
            report.message = text;
            break;
        case BlockLine::Folder:
        case BlockLine::PostProcess:
            break;
    }
}

void Trace::InstallRootFound(std::uint32_t, RegistryHive hive, const std::wstring& root) {
    report_.blocks.back().hive = hive;
    report_.blocks.back().installRoot = system_.ShownPath(root);
}

void Trace::FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) {
    FileReport file;
    file.line = line;
    file.block = report_.blocks.size() - 1;
    file.fileLine = entry.fileName;
    file.source = system_.ShownPath(entry.sourceFolder + entry.fileName);
    file.destination = system_.ShownPath(entry.targetFolder + entry.fileName);
    file.size = size;
    report_.files.push_back(file);
    report_.totalBytes += size;
    entries.push_back(entry);
    if (!postProcesses.empty()) {
        postProcesses.back().checkedByUpdater = true;
    }
}

}  // namespace velkast::check
