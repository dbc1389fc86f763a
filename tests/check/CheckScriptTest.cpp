#include "tools/check/ScriptCheck.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "CheckTables.h"
#include "tools/check/CheckFormat.h"

namespace velkast::check {
namespace {

using testing::TableCheckSystem;
using velkast::testing::FakePlanSystem;

const std::wstring kProgram = L"C:\\pkg\\";

std::string Script(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// A parameter block with the given lines: header, key, check list, root
// mode, message, folder line.
std::string Block(const std::string& key,
                  const std::string& checks,
                  const std::string& mode,
                  const std::string& folder = "%Root%\\files\\") {
    return Script({"[SetParamter]", key, checks, mode, "message", folder});
}

const std::string kViewer = "Software\\Example\\Viewer";
const std::string kPlugins = "Software\\Example\\Viewer Plugins";

// The installation of the plan builder's example, with a readme in the
// package and a second copy of viewer.exe among the plugins.
FakePlanSystem ExampleTables() {
    FakePlanSystem system;
    system.registry[{RegistryHive::CurrentUser, L"Software\\Example\\Viewer"}] = L"C:\\Viewer";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Example\\Viewer Plugins"}] = L"D:/Plugins";
    system.files = {
        {L"C:\\pkg\\readme.txt", 1},
        {L"C:\\pkg\\files\\viewer.exe", 10},
        {L"C:\\pkg\\files\\data\\main.dat", 20},
        {L"C:\\pkg\\files\\lang\\ja.txt", 30},
        {L"C:\\pkg\\plugins\\extra.dll", 40},
        {L"C:\\pkg\\plugins\\viewer.exe", 11},
        {L"C:\\pkg\\tools\\after.bat", 5},
        {L"C:\\pkg\\files\\" + std::wstring(250, L'n'), 7},
        {L"C:\\Viewer\\viewer.exe", 1},
        {L"C:\\Viewer\\data\\main.dat", 1},
    };
    system.folders = {L"C:\\Viewer\\lang"};
    return system;
}

// The example script of the plan builder's tests.
const std::string kExample = Script({
    "[Update]readme.txt",
    "// block 1: required, all three names must exist",
    "[SetParamter]",
    kViewer,
    "1,viewer.exe,data\\main.dat,lang",
    "1",
    "The viewer is not installed.",
    "%Root%\\files\\",
    "",
    "viewer.exe",
    "data\\main.dat",
    "lang\\ja.txt",
    "// block 2: optional, no verification",
    "[SetParamter]",
    kPlugins,
    "None",
    "0",
    "-",
    "%Root%\\plugins\\",
    "extra.dll",
    "[SetPostProc]",
    "%Root%\\tools\\after.bat",
});

std::string ExclusiveExample() {
    std::string script = kExample;
    script.replace(script.find("\r\n1\r\nThe viewer"), 5, "\r\n2\r\n");
    return script;
}

// One more file line than the plan takes.
std::string TooManyFiles() {
    std::string script = Script({"launch"}) + Block(kViewer, "None", "0");
    for (int i = 0; i < 2049; ++i) {
        script += "viewer.exe\r\n";
    }
    return script;
}

CheckReport Check(const std::string& script) {
    TableCheckSystem system(ExampleTables());
    return CheckScript(script, L"Update.up", kProgram, system);
}

// A diagnostic as the table writes it: "LINE severity code".
std::vector<std::string> Summary(const CheckReport& report) {
    std::vector<std::string> lines;
    for (const Diagnostic& d : report.diagnostics) {
        lines.push_back(std::to_string(d.line) + " " + ToUtf8(SeverityName(d.severity)) + " " + d.code);
    }
    return lines;
}

struct CheckCase {
    const char* name;
    std::string script;
    int exitStatus;
    std::string refusal;  // "LINE code" of the refusal; empty when accepted
    std::vector<std::string> diagnostics;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckScripts : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckScripts, VerdictAndDiagnostics) {
    const CheckCase& c = GetParam();
    const CheckReport report = Check(c.script);
    EXPECT_EQ(report.ExitStatus(), c.exitStatus);
    EXPECT_EQ(report.accepted, c.refusal.empty());
    if (report.refusal) {
        EXPECT_EQ(std::to_string(report.refusal->line) + " " + report.refusal->code, c.refusal);
    }
    EXPECT_EQ(Summary(report), c.diagnostics) << ToUtf8(FormatText(report));
}

const std::string kBlockLines = Block(kViewer, "None", "0");  // lines 2 to 7 after a launch line

INSTANTIATE_TEST_SUITE_P(
    ScriptCheck,
    CheckScripts,
    ::testing::Values(
        CheckCase{"Example", kExample, 0, "", {"22 note post-process-unchecked"}},
        CheckCase{"ExclusiveExampleIgnoresTheRest",
                  ExclusiveExample(),
                  1,
                  "",
                  {"14 note exclusive-end", "21 warning exclusive-drops-post-process"}},
        CheckCase{"OnlyLaunchLine", Script({"[Update]readme.txt"}), 2, "1 no-files", {"1 error no-files"}},
        CheckCase{"NoLineWithContent", Script({"// nothing", ""}), 2, "1 no-content", {"1 error no-content"}},
        CheckCase{"EmptyFile", "", 2, "1 no-content", {"1 error no-content"}},
        CheckCase{"LaunchDocumentMissing",
                  Script({"[Update]gone.txt"}) + kBlockLines + Script({"viewer.exe"}),
                  1,
                  "",
                  {"1 warning launch-missing"}},
        CheckCase{"FileLinesBeforeAnyBlock",
                  Script({"launch", "..\\..\\evil.txt", "C:\\abs.txt"}) + kBlockLines + Script({"viewer.exe"}),
                  1,
                  "",
                  {"2 warning climbs-out", "2 warning dropped-before-block", "3 warning absolute-file-line",
                   "3 warning dropped-before-block"}},
        CheckCase{"OptionalBlockWithoutRoot",
                  Script({"launch"}) + Block("Software\\Nowhere", "None", "0") + Script({"viewer.exe"}) +
                      kBlockLines + Script({"viewer.exe"}),
                  0,
                  "",
                  {"3 note root-not-found", "8 note dropped"}},
        CheckCase{"RequiredWithoutRoot",
                  Script({"launch"}) + Block("Software\\Nowhere", "None", "1"),
                  2,
                  "3 root-required",
                  {"3 error root-required"}},
        CheckCase{"RequiredRejectedByCheckList",
                  Script({"launch"}) + Block(kViewer, "1,viewer.exe,missing.dll", "1"),
                  2,
                  "4 root-required",
                  {"4 error root-required"}},
        CheckCase{"NearMissHeaders",
                  Script({"launch", "[SetParameter]", "[setparamter]", "[SetParamter] ", " [SetPostProc]",
                          "\x81\x6dSetParamter\x81\x6e"}) +
                      kBlockLines + Script({"viewer.exe"}),
                  1,
                  "",
                  {"2 warning near-miss-header", "2 warning dropped-before-block", "3 warning near-miss-header",
                   "3 warning dropped-before-block", "4 warning near-miss-header", "4 warning spaces",
                   "4 warning dropped-before-block", "5 warning near-miss-header", "5 warning spaces",
                   "5 warning dropped-before-block", "6 warning near-miss-header",
                   "6 warning dropped-before-block"}},
        CheckCase{"HeaderAsLaunchLine",
                  Script({"[SetParamter]", kViewer, "None", "0", "m", "%Root%\\files\\", "viewer.exe"}),
                  2,
                  "7 no-files",
                  {"1 warning header-as-launch-line", "2 warning dropped-before-block",
                   "3 warning dropped-before-block", "4 warning dropped-before-block",
                   "5 warning dropped-before-block", "6 warning dropped-before-block", "7 error no-files",
                   "7 warning dropped-before-block"}},
        CheckCase{"TabLedLineStops",
                  Script({"launch"}) + kBlockLines + Script({"\tviewer.exe", "data\\main.dat"}),
                  2,
                  "8 tab-stop",
                  {"8 error tab-stop"}},
        CheckCase{"TabLedBlockLineReadsEmpty",
                  Script({"launch", "[SetParamter]", "\t" + kViewer, "None", "0", "m", "%Root%\\files\\",
                          "viewer.exe"}),
                  2,
                  "8 no-files",
                  {"3 warning tab-led", "3 note root-not-found", "8 error no-files", "8 note dropped"}},
        CheckCase{"TextAfterTabAndLongLine",
                  Script({"launch"}) + kBlockLines + Script({"viewer.exe\t" + std::string(1100, 'x')}),
                  1,
                  "",
                  {"8 warning long-line", "8 warning text-after-tab"}},
        CheckCase{"CommentCutsFolderLine",
                  Script({"launch", "[SetParamter]", kViewer, "None", "0", "m", "%Root%\\files\\ // the folder",
                          "viewer.exe"}),
                  2,
                  "8 source-unreadable",
                  {"7 warning comment-cut", "8 error source-unreadable"}},
        CheckCase{"NoneWithSpace",
                  Script({"launch"}) + Block(kViewer, "None ", "1"),
                  2,
                  "4 root-required",
                  {"4 error root-required", "4 warning none-spelling"}},
        CheckCase{"CheckModeZeroWithoutNames",
                  Script({"launch"}) + Block(kViewer, "0", "0") + Script({"viewer.exe"}),
                  2,
                  "8 no-files",
                  {"4 warning check-zero-no-names", "4 note root-rejected", "8 error no-files", "8 note dropped"}},
        CheckCase{"CheckModeNotNumber",
                  Script({"launch"}) + Block(kViewer, "viewer.exe,lang", "0") + Script({"viewer.exe"}),
                  1,
                  "",
                  {"4 warning check-mode-not-number"}},
        CheckCase{"RootModes",
                  Script({"launch"}) + Block(kViewer, "None", "required") + Script({"viewer.exe"}) +
                      Block(kPlugins, "None", "257", "%Root%\\plugins\\") + Script({"extra.dll"}),
                  1,
                  "",
                  {"5 warning root-mode-not-number", "12 warning root-mode-range"}},
        CheckCase{"SpacesInKeyAndCheckName",
                  Script({"launch"}) + Block(kViewer + " ", "1, lang", "0") + Script({"viewer.exe"}) + kBlockLines +
                      Script({"viewer.exe"}),
                  1,
                  "",
                  {"3 warning spaces", "3 note root-not-found", "4 warning spaces", "8 note dropped"}},
        CheckCase{"LineOfSpaces",
                  Script({"launch"}) + kBlockLines + Script({"   "}),
                  2,
                  "8 source-unreadable",
                  {"8 error source-unreadable", "8 warning spaces"}},
        CheckCase{"MarkerNotAtStart",
                  Script({"launch"}) + Block(kViewer, "None", "0", "x%Root%\\files\\") + Script({"viewer.exe"}),
                  2,
                  "8 source-unreadable",
                  {"7 warning marker-not-at-start", "8 error source-unreadable"}},
        CheckCase{"MarkerIsCaseSensitive",
                  Script({"launch"}) + Block(kViewer, "None", "0", "%root%\\files\\"),
                  2,
                  "7 folder-marker",
                  {"7 error folder-marker"}},
        CheckCase{"FolderWithoutBackslash",
                  Script({"launch"}) + Block(kViewer, "None", "0", "%Root%\\files") + Script({"\\viewer.exe"}),
                  1,
                  "",
                  {"7 warning folder-no-backslash", "8 warning absolute-file-line"}},
        CheckCase{"MissingPostProcessItemBeforeFileLines",
                  Script({"launch", "[SetPostProc]", "%Root%\\tools\\gone.bat"}) + Block(kViewer, "None", "0") +
                      Script({"viewer.exe"}),
                  2,
                  "10 post-process-unreadable",
                  {"10 error post-process-unreadable"}},
        CheckCase{"MissingPostProcessItemAfterFileLines",
                  Script({"launch"}) + kBlockLines + Script({"viewer.exe", "[SetPostProc]", "%Root%\\tools\\gone.bat"}),
                  1,
                  "",
                  {"10 warning post-process-unchecked"}},
        CheckCase{"PostProcessReplaced",
                  Script({"launch", "[SetPostProc]", "%Root%\\tools\\after.bat", "[SetPostProc]",
                          "%Root%\\tools\\after.bat"}) +
                      Block(kViewer, "None", "0") + Script({"viewer.exe"}),
                  1,
                  "",
                  {"3 warning post-process-replaced"}},
        CheckCase{"HeaderReadAsBlockLine",
                  Script({"launch", "[SetPostProc]", "[SetParamter]", kViewer}),
                  2,
                  "3 post-process-marker",
                  {"3 error post-process-marker", "3 warning header-in-block"}},
        CheckCase{"ScriptEndsInsideBlock",
                  Script({"launch", "[SetParamter]", kViewer, "None", "0"}),
                  2,
                  "5 folder-marker",
                  {"2 warning ends-in-block", "5 error folder-marker"}},
        CheckCase{"MissingBlockLinesReadLastLineFields",
                  Script({"launch", "[SetParamter]", kViewer, "None", "0\tmsg\t%Root%\\files\\"}),
                  2,
                  "5 no-files",
                  {"2 warning ends-in-block", "5 error no-files"}},
        CheckCase{"DuplicateFileLines",
                  Script({"launch"}) + kBlockLines + Script({"viewer.exe", "viewer.exe"}) +
                      Block(kViewer, "None", "0", "%Root%\\plugins\\") + Script({"viewer.exe"}),
                  1,
                  "",
                  {"9 warning duplicate-file-line", "16 warning same-destination"}},
        CheckCase{"LongSourcePath",
                  Script({"launch"}) + kBlockLines + Script({std::string(250, 'n')}),
                  1,
                  "",
                  {"8 warning long-path", "8 warning long-path"}},
        CheckCase{"TooManyFiles", TooManyFiles(), 2, "2056 too-many-files",
                  [] {
                      // Lines 8 to 2055 are accepted, each the same copy as line 8.
                      std::vector<std::string> expected;
                      for (int line = 9; line <= 2055; ++line) {
                          expected.push_back(std::to_string(line) + " warning duplicate-file-line");
                      }
                      expected.push_back("2056 error too-many-files");
                      return expected;
                  }()},
        CheckCase{"ByteOrderMark",
                  "\xEF\xBB\xBF" + Script({"[Update]readme.txt"}) + kBlockLines + Script({"viewer.exe"}),
                  1,
                  "",
                  {"1 warning bom"}},
        CheckCase{"Utf16", std::string("\xFF\xFE[\0U\0\r\0\n\0", 10), 2, "1 no-files",
                  {"1 error no-files", "1 warning utf16"}},
        CheckCase{"NulByteEndsText",
                  Script({"launch"}) + kBlockLines + Script({"viewer.exe"}) + std::string("\0", 1) +
                      Script({"missing.txt"}),
                  1,
                  "",
                  {"9 warning nul"}},
        CheckCase{"Utf8Text",
                  Script({"launch", "[SetParamter]", kViewer, "None", "0", "\xE3\x83\x93\xE3\x83\xA5\xE3\x83\xBC",
                          "%Root%\\files\\", "viewer.exe"}),
                  1,
                  "",
                  {"6 warning utf8"}},
        CheckCase{"CarriageReturnLineEnds",
                  "[Update]readme.txt\r[SetParamter]\r" + kViewer + "\rNone\r0\rm\r%Root%\\files\\\rviewer.exe\r",
                  2,
                  "1 no-files",
                  {"1 error no-files", "1 warning cr-line-ends", "1 warning text-after-tab"}}),
    [](const auto& test) { return std::string(test.param.name); });

// Everything a publisher reads about the example, as it is written.
TEST(ScriptCheck, ExampleReportAsText) {
    const CheckReport report = Check(kExample);
    EXPECT_EQ(ToUtf8(FormatText(report)),
              "plan of Update.up, program folder C:\\pkg\\:\n"
              "  launch line 1: opens C:\\pkg\\readme.txt\n"
              "  block at line 3: key Software\\Example\\Viewer, required\n"
              "    install root: C:\\Viewer\\ (HKEY_CURRENT_USER), verified by the check list\n"
              "    files from C:\\pkg\\files\\\n"
              "    line 10: C:\\pkg\\files\\viewer.exe -> C:\\Viewer\\viewer.exe, 10 bytes\n"
              "    line 11: C:\\pkg\\files\\data\\main.dat -> C:\\Viewer\\data\\main.dat, 20 bytes\n"
              "    line 12: C:\\pkg\\files\\lang\\ja.txt -> C:\\Viewer\\lang\\ja.txt, 30 bytes\n"
              "  block at line 14: key Software\\Example\\Viewer Plugins, optional\n"
              "    install root: D:\\Plugins\\ (HKEY_LOCAL_MACHINE), not checked (\"None\")\n"
              "    files from C:\\pkg\\plugins\\\n"
              "    line 20: C:\\pkg\\plugins\\extra.dll -> D:\\Plugins\\extra.dll, 40 bytes\n"
              "  post-process line 22: C:\\pkg\\tools\\after.bat\n"
              "  total: 4 files, 100 bytes\n"
              "Update.up:22: note: the post-process block comes after the last file line: the updater never "
              "checks that C:\\pkg\\tools\\after.bat exists (it does here)\n"
              "result: accepted, 0 warnings, 1 note\n");
}

TEST(ScriptCheck, RefusalNamesTheUpdatersBoxes) {
    const CheckReport missingRoot = Check(Script({"launch"}) + Block("Software\\Nowhere", "None", "1"));
    ASSERT_TRUE(missingRoot.refusal);
    EXPECT_EQ(ToUtf8(missingRoot.diagnostics.at(0).text),
              "required block without a valid install root (no INSTALLDIR value for the key "
              "\"Software\\Nowhere\" under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE): the updater shows "
              "\"message\" and stops");

    const CheckReport missingFile = Check(Script({"launch"}) + kBlockLines + Script({"Viewer.dat"}));
    ASSERT_TRUE(missingFile.refusal);
    EXPECT_EQ(missingFile.refusal->systemError, L"not in the table");
    ASSERT_EQ(missingFile.refusal->boxes.size(), 1u);
    EXPECT_EQ(missingFile.refusal->boxes[0].caption, std::optional<std::wstring>(L"ファイル取得エラー"));
    // The box's line breaks are escaped so that the diagnostic stays one line.
    EXPECT_EQ(ToUtf8(FormatText(missingFile)).substr(ToUtf8(FormatText(missingFile)).find("Update.up:8:")),
              "Update.up:8: error: cannot open the source C:\\pkg\\files\\Viewer.dat (not in the table): the "
              "updater shows the system's message \"not in the table\" (caption \"エラー\"), then "
              "\"コピーするファイルの取得に失敗しました。\\nテキストに書かれているファイル名と実際のファイル"
              "名を比べてみて"
              "ください\\n\\n[テキストに書かれているコピーしたいファイル名]  Viewer.dat\" (caption "
              "\"ファイル取得エラー\") and stops\n"
              "result: refused at line 8: the updater shows the system's message \"not in the table\", then "
              "\"コピーするファイルの取得に失敗しました。\\nテキストに書かれているファイル名と実際のファイル"
              "名を比べてみて"
              "ください\\n\\n[テキストに書かれているコピーしたいファイル名]  Viewer.dat\" (caption "
              "\"ファイル取得エラー\"); 0 warnings, 0 notes\n");

    const CheckReport tab = Check(Script({"launch"}) + kBlockLines + Script({"\tviewer.exe"}));
    EXPECT_NE(ToUtf8(FormatText(tab)).find("result: refused at line 8: the updater stops without a message"),
              std::string::npos);
}

TEST(ScriptCheck, JsonReport) {
    const CheckReport report = Check(Script({"launch"}) + Block("Software\\Nowhere", "None", "1"));
    EXPECT_EQ(ToUtf8(FormatJson(report)),
              R"({
  "script": "Update.up",
  "result": "refused",
  "exitStatus": 2,
  "programFolder": "C:\\pkg\\",
  "launch": {
    "line": 1,
    "text": "launch",
    "document": null
  },
  "blocks": [
    {
      "line": 2,
      "key": "Software\\Nowhere",
      "hive": null,
      "installRoot": null,
      "checkList": "None",
      "verdict": "not-found",
      "rootMode": 1,
      "message": "message",
      "sourceFolder": null,
      "complete": true
    }
  ],
  "files": [],
  "totalBytes": 0,
  "postProcess": null,
  "refusal": {
    "line": 3,
    "code": "root-required",
    "systemError": null,
    "messages": [
      {
        "caption": null,
        "text": "message"
      }
    ]
  },
  "diagnostics": [
    {
      "line": 3,
      "severity": "error",
      "code": "root-required",
      "text": "required block without a valid install root (no INSTALLDIR value for the key \"Software\\Nowhere\" under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE): the updater shows \"message\" and stops"
    }
  ]
}
)");

    const CheckReport example = Check(kExample);
    const std::string json = ToUtf8(FormatJson(example));
    for (const char* part : {R"("result": "accepted")", R"("totalBytes": 100)", R"("verdict": "verified")",
                             R"("hive": "HKEY_LOCAL_MACHINE")", R"("source": "C:\\pkg\\plugins\\extra.dll")",
                             R"("checkedByUpdater": false)"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace velkast::check
