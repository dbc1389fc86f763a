// The check report as JSON.

#include "tools/check/CheckFormat.h"
#include "tools/check/JsonValue.h"

namespace velkast::check {
namespace {

using Json = JsonValue;

// The part as the call makes it, or null when the report has none.
template <typename Part, typename Make>
Json OrNull(const std::optional<Part>& part, Make make) {
    return part ? make(*part) : Json();
}

// Each element of the list as the call makes it.
template <typename List, typename Make>
Json ArrayOf(const List& list, Make make) {
    Json::Items items;
    for (const auto& element : list) {
        items.push_back(make(element));
    }
    return Json::Array(std::move(items));
}

Json LaunchJson(const LaunchReport& launch) {
    return Json::Object({{L"line", Json::Number(launch.line)},
                         {L"text", Json::Text(launch.text)},
                         {L"document", Json::Text(launch.document)}});
}

Json BlockJson(const BlockReport& block) {
    const bool found = block.verdict != PlanObserver::RootVerdict::NotFound;
    return Json::Object({
        {L"line", Json::Number(block.line)},
        {L"key", Json::Text(block.key)},
        {L"hive", block.hive ? Json::Text(HiveName(*block.hive)) : Json()},
        {L"installRoot", found ? Json::Text(block.installRoot) : Json()},
        {L"checkList", Json::Text(block.checkList)},
        {L"verdict", Json::Text(VerdictName(block.verdict))},
        {L"rootMode", block.rootMode ? Json::Number(*block.rootMode) : Json()},
        {L"message", Json::Text(block.message)},
        {L"sourceFolder", Json::Text(block.sourceFolder)},
        {L"complete", Json::Bool(block.complete)},
    });
}

Json FileJson(const CheckReport& report, const FileReport& file) {
    return Json::Object({
        {L"line", Json::Number(file.line)},
        {L"blockLine", Json::Number(report.blocks[file.block].line)},
        {L"fileLine", Json::Text(file.fileLine)},
        {L"source", Json::Text(file.source)},
        {L"destination", Json::Text(file.destination)},
        {L"size", Json::Number(file.size)},
    });
}

Json PostProcessJson(const PostProcessReport& item) {
    return Json::Object({{L"line", Json::Number(item.line)},
                         {L"path", Json::Text(item.path)},
                         {L"checkedByUpdater", Json::Bool(item.checkedByUpdater)}});
}

Json BoxJson(const PlanBox& box) {
    return Json::Object({{L"caption", Json::Text(box.caption)}, {L"text", Json::Text(box.text)}});
}

Json RefusalJson(const RefusalReport& refusal) {
    return Json::Object({
        {L"line", Json::Number(refusal.line)},
        {L"code", Json::Text(FromUtf8(refusal.code))},
        {L"systemError", refusal.systemError.empty() ? Json() : Json::Text(refusal.systemError)},
        {L"messages", ArrayOf(refusal.boxes, BoxJson)},
    });
}

Json DiagnosticJson(const Diagnostic& diagnostic) {
    return Json::Object({
        {L"line", Json::Number(diagnostic.line)},
        {L"severity", Json::Text(SeverityName(diagnostic.severity))},
        {L"code", Json::Text(FromUtf8(diagnostic.code))},
        {L"text", Json::Text(diagnostic.text)},
    });
}

}  // namespace

std::wstring FormatJson(const CheckReport& report) {
    const Json json = Json::Object({
        {L"script", Json::Text(report.scriptName)},
        {L"result", Json::Text(report.accepted ? L"accepted" : L"refused")},
        {L"exitStatus", Json::Number(static_cast<std::uint64_t>(report.ExitStatus()))},
        {L"programFolder", Json::Text(report.programFolder)},
        {L"launch", OrNull(report.launch, LaunchJson)},
        {L"blocks", ArrayOf(report.blocks, BlockJson)},
        {L"files", ArrayOf(report.files, [&](const FileReport& file) { return FileJson(report, file); })},
        {L"totalBytes", Json::Number(report.totalBytes)},
        {L"postProcess", OrNull(report.postProcess, PostProcessJson)},
        {L"refusal", OrNull(report.refusal, RefusalJson)},
        {L"diagnostics", ArrayOf(report.diagnostics, DiagnosticJson)},
    });
    return json.Written() + L"\n";
}

}  // namespace velkast::check
