#include "core/plan/CopyPlanBuilder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/paths/InstallRoot.h"
#include "core/text/TextLine.h"
#include "support/FakePlanSystem.h"

namespace velkast {
namespace {

using testing::Box;
using testing::FakePlanSystem;

const std::wstring kProgram = L"C:\\pkg\\";

std::string Script(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The example installation: a viewer under HKCU with its check-list files,
// plugins under HKLM, and the files of the update package.
FakePlanSystem ExampleSystem() {
    FakePlanSystem system;
    system.registry[{RegistryHive::CurrentUser, L"Software\\Example\\Viewer"}] = L"C:\\Viewer";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Example\\Viewer Plugins"}] = L"D:/Plugins";
    system.registry[{RegistryHive::CurrentUser, L"Software\\Both"}] = L"E:\\User\\";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Both"}] = L"E:\\Machine\\";
    system.registry[{RegistryHive::LocalMachine, L"Software\\MachineOnly"}] = L"F:\\\\Machine";
    system.files = {
        {L"C:\\pkg\\files\\viewer.exe", 10},   {L"C:\\pkg\\files\\data\\main.dat", 20},
        {L"C:\\pkg\\files\\lang\\ja.txt", 30}, {L"C:\\pkg\\plugins\\extra.dll", 40},
        {L"C:\\pkg\\tools\\after.bat", 5},     {L"C:\\Viewer\\viewer.exe", 1},
        {L"C:\\Viewer\\data\\main.dat", 1},
    };
    system.folders = {L"C:\\Viewer\\lang"};
    return system;
}

const std::string kExample = Script({
    "[Update]readme.txt",
    "// block 1: required, all three names must exist",
    "[SetParamter]",
    "Software\\Example\\Viewer",
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
    "Software\\Example\\Viewer Plugins",
    "None",
    "0",
    "-",
    "%Root%\\plugins\\",
    "extra.dll",
    "[SetPostProc]",
    "%Root%\\tools\\after.bat",
});

// A parameter block with the given lines, for the short scripts below.
std::string Block(const std::string& key,
                  const std::string& checks,
                  const std::string& mode,
                  const std::string& folder = "%Root%\\files\\") {
    return Script({"[SetParamter]", key, checks, mode, "message", folder});
}

struct PlanCase {
    const char* name;
    std::string script;
    bool built;
    std::vector<Box> boxes = {};
    std::vector<std::wstring> copies = {};  // "source > destination" of each entry
    std::uint64_t totalBytes = 0;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

struct Outcome {
    bool built;
    CopyJob job;
    FakePlanSystem system;
};

Outcome RunScript(const std::string& script, FakePlanSystem system = ExampleSystem()) {
    Outcome outcome{false, CopyJob{}, std::move(system)};
    CTextLine store;
    EXPECT_TRUE(store.Load(script.data(), static_cast<std::uint32_t>(script.size())));
    outcome.job.programFolder = kProgram;
    outcome.built = CopyPlanBuilder(store, outcome.job, outcome.system).Build();
    return outcome;
}

std::vector<std::wstring> Copies(const CopyJob& job) {
    std::vector<std::wstring> copies;
    for (const auto& entry : job.entries) {
        copies.push_back(entry.sourceFolder + entry.fileName + L" > " + entry.targetFolder + entry.fileName);
    }
    return copies;
}

const Box kNoFiles{std::nullopt, L"コピーするファイルがありません"};
const Box kBadFolder{std::nullopt, L"ディレクトリ設定が不正です"};
const Box kBadPostProcess{std::nullopt, L"後処理のディレクトリ設定が不正です"};
const Box kMessage{std::nullopt, L"message"};

Box SourceMissing(const std::wstring& line) {
    return Box{L"ファイル取得エラー",
               L"コピーするファイルの取得に失敗しました。\n"
               L"テキストに書かれているファイル名と実際のファイル名を比べてみてください\n\n"
               L"[テキストに書かれているコピーしたいファイル名]  " +
                   line};
}

class PlanScripts : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanScripts, PlanOrRefusal) {
    const PlanCase& c = GetParam();
    const Outcome outcome = RunScript(c.script);
    EXPECT_EQ(outcome.built, c.built);
    EXPECT_EQ(outcome.system.boxes, c.boxes);
    if (c.built) {
        EXPECT_EQ(Copies(outcome.job), c.copies);
        EXPECT_EQ(outcome.job.totalBytes, c.totalBytes);
    }
}

const std::wstring kViewerExe = L"C:\\pkg\\files\\viewer.exe > C:\\Viewer\\viewer.exe";
const std::wstring kMainDat = L"C:\\pkg\\files\\data\\main.dat > C:\\Viewer\\data\\main.dat";
const std::wstring kJaTxt = L"C:\\pkg\\files\\lang\\ja.txt > C:\\Viewer\\lang\\ja.txt";
const std::wstring kExtraDll = L"C:\\pkg\\plugins\\extra.dll > D:\\Plugins\\extra.dll";

INSTANTIATE_TEST_SUITE_P(
    CopyPlanBuilder,
    PlanScripts,
    ::testing::Values(
        PlanCase{"Example", kExample, true, {}, {kViewerExe, kMainDat, kJaTxt, kExtraDll}, 100},
        PlanCase{"OnlyLaunchLine", Script({"[Update]readme.txt"}), false, {kNoFiles}},
        PlanCase{"FileLinesBeforeAnyBlockDropped",
                 Script({"launch", "viewer.exe", "a.txt"}),
                 false,
                 {kNoFiles}},
        PlanCase{"FileLinesAfterUnfoundOptionalBlockDropped",
                 Script({"launch"}) + Block("Software\\Nowhere", "None", "0") + Script({"viewer.exe"}) +
                     Block("Software\\Example\\Viewer", "None", "0") + Script({"viewer.exe"}),
                 true,
                 {},
                 {kViewerExe},
                 10},
        PlanCase{"RequiredWithoutRootShowsMessageLine",
                 Script({"launch"}) + Block("Software\\Nowhere", "None", "1"),
                 false,
                 {kMessage}},
        PlanCase{"RequiredWithMissingCheckNameShowsMessageLine",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "1,viewer.exe,missing.dll", "1"),
                 false,
                 {kMessage}},
        PlanCase{
            "RequiredMessageInShiftJis",
            Script({"launch", "[SetParamter]", "Software\\Nowhere", "None", "1",
                    "\x83\x72\x83\x85\x81\x5B\x83\x41\x82\xAA\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83"
                    "\x8B\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1",
                    "%Root%\\files\\"}),
            false,
            {Box{std::nullopt, L"ビューアがインストールされていません"}}},
        PlanCase{"NoneWithSpaceIsModeZeroWithoutNames",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None ", "1"),
                 false,
                 {kMessage}},
        PlanCase{"CheckListOneVerifiesAnyRoot",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "1", "1") + Script({"viewer.exe"}),
                 true,
                 {},
                 {kViewerExe},
                 10},
        PlanCase{"CheckListZeroVerifiesNone",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "0", "1"),
                 false,
                 {kMessage}},
        PlanCase{"ModeZeroNeedsOneName",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "0,,missing,,lang,", "1") +
                     Script({"viewer.exe"}),
                 true,
                 {},
                 {kViewerExe},
                 10},
        PlanCase{"OtherModeNeedsEveryName",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", " 7,viewer.exe,lang,nope", "1"),
                 false,
                 {kMessage}},
        PlanCase{"RootMode257IsRequired",
                 Script({"launch"}) + Block("Software\\Nowhere", "None", "257"),
                 false,
                 {kMessage}},
        PlanCase{"RootMode256IsOptional",
                 Script({"launch"}) + Block("Software\\Nowhere", "None", "256"),
                 false,
                 {kNoFiles}},
        PlanCase{"HkcuWinsOverHklm",
                 Script({"launch"}) + Block("Software\\Both", "None", "1", "%Root%\\plugins\\") +
                     Script({"extra.dll"}),
                 true,
                 {},
                 {L"C:\\pkg\\plugins\\extra.dll > E:\\User\\extra.dll"},
                 40},
        PlanCase{"HklmWhenHkcuHasNone",
                 Script({"launch"}) + Block("Software\\MachineOnly", "None", "1", "%Root%\\plugins\\") +
                     Script({"extra.dll"}),
                 true,
                 {},
                 {L"C:\\pkg\\plugins\\extra.dll > F:\\Machine\\extra.dll"},
                 40},
        PlanCase{"FolderLineWithoutMarker",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0", "%root%\\files\\"),
                 false,
                 {kBadFolder}},
        PlanCase{
            "FolderLineWithCharacterBeforeMarker",
            Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0", "x%Root%\\files\\") +
                Script({"viewer.exe"}),
            false,
            {FakePlanSystem::OpenFailure(L"C:\\pkg\\\\files\\viewer.exe"), SourceMissing(L"viewer.exe")}},
        PlanCase{"PostProcessLineWithoutMarker",
                 Script({"launch", "[SetPostProc]", "tools\\after.bat"}),
                 false,
                 {kBadPostProcess}},
        PlanCase{"MissingSourceShowsTwoBoxes",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") +
                     Script({"viewer.exe", "Viewer.dat", "lang\\ja.txt"}),
                 false,
                 {FakePlanSystem::OpenFailure(L"C:\\pkg\\files\\Viewer.dat"), SourceMissing(L"Viewer.dat")}},
        PlanCase{"LineOfSpacesIsAFileLine",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") + Script({"   "}),
                 false,
                 {FakePlanSystem::OpenFailure(L"C:\\pkg\\files\\   "), SourceMissing(L"   ")}},
        PlanCase{
            "MissingPostProcessItemChecksWithEachLaterFileLine",
            Script({"launch", "[SetPostProc]", "%Root%\\tools\\gone.bat"}) +
                Block("Software\\Example\\Viewer", "None", "0") + Script({"viewer.exe"}),
            false,
            {FakePlanSystem::OpenFailure(L"C:\\pkg\\tools\\gone.bat"),
             Box{L"ファイル取得エラー",
                 L"後処理したいファイルの取得に失敗しました。[後処理ファイル名]  C:\\pkg\\tools\\gone.bat"}}},
        PlanCase{"PostProcessAfterLastFileLineIsNotOpened",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") +
                     Script({"viewer.exe", "[SetPostProc]", "%Root%\\tools\\gone.bat"}),
                 true,
                 {},
                 {kViewerExe},
                 10},
        PlanCase{"TabLedLineStopsSilently",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") +
                     Script({"\tviewer.exe", "data\\main.dat"}),
                 false,
                 {}},
        PlanCase{"CommentsAndBlankLinesInsideBlock",
                 Script({"launch", "[SetParamter]", "// the key", "", "Software\\Example\\Viewer", "None",
                         "0", "", "message", "%Root%\\files\\ // the folder", "viewer.exe"}),
                 false,
                 // The comment cut leaves a blank at the end of the folder.
                 {FakePlanSystem::OpenFailure(L"C:\\pkg\\files\\ viewer.exe"), SourceMissing(L"viewer.exe")}},
        PlanCase{"CommentLinesDoNotShiftBlock",
                 Script({"launch", "[SetParamter]", "// the key", "", "Software\\Example\\Viewer", "None",
                         "0", "//", "message", "%Root%\\files\\", "viewer.exe"}),
                 true,
                 {},
                 {kViewerExe},
                 10},
        PlanCase{"ScriptEndingInsideBlock",
                 Script({"launch", "[SetParamter]", "Software\\Example\\Viewer", "None", "0"}),
                 false,
                 {kBadFolder}},
        PlanCase{"ScriptEndingInPostProcessBlock",
                 Script({"launch", "[SetPostProc]"}),
                 false,
                 {kBadPostProcess}},
        PlanCase{"MissingBlockLinesReadLastLineFields",
                 Script({"launch", "[SetParamter]", "Software\\Example\\Viewer", "None",
                         "0\tmsg\t%Root%\\files\\"}),
                 false,
                 {kNoFiles}},
        PlanCase{
            "ExclusiveBlockEndsScriptAtNextHeader",
            Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "2") +
                Script({"viewer.exe", "[SetParamter]", "Software\\Nowhere", "None", "1", "m", "no marker"}),
            true,
            {},
            {kViewerExe},
            10},
        PlanCase{"ExclusiveBlockWithoutRootGoesOn",
                 Script({"launch"}) + Block("Software\\Nowhere", "None", "2") + Script({"viewer.exe"}) +
                     Block("Software\\Example\\Viewer", "None", "0") + Script({"data\\main.dat"}),
                 true,
                 {},
                 {kMainDat},
                 20},
        PlanCase{"NearMissHeadersAreFileLines",
                 Script({"launch", "[setparamter]", "[SetParamter] ", "[SetParameter]", " [SetPostProc]"}),
                 false,
                 {kNoFiles}},
        PlanCase{"HeaderAsLaunchLineIsNoBlock",
                 Script({"[SetParamter]", "Software\\Example\\Viewer", "None", "0", "m", "%Root%\\files\\",
                         "viewer.exe"}),
                 false,
                 {kNoFiles}},
        PlanCase{"SameLineTwiceGivesTwoEntries",
                 Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") +
                     Script({"viewer.exe", "viewer.exe"}),
                 true,
                 {},
                 {kViewerExe, kViewerExe},
                 20}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CopyPlanBuilder, ExampleFillsTheJob) {
    const Outcome outcome = RunScript(kExample);
    ASSERT_TRUE(outcome.built);
    EXPECT_EQ(outcome.job.postProcessPath, L"C:\\pkg\\tools\\after.bat");
    EXPECT_EQ(outcome.job.postProcessFolder, L"C:\\pkg\\tools\\");
    EXPECT_EQ(outcome.job.totalBytes, 100u);  // the post-process item is not counted
    // Every planned source is opened once; the post-process item comes after the last file line.
    EXPECT_EQ(outcome.system.opened,
              (std::vector<std::wstring>{L"C:\\pkg\\files\\viewer.exe", L"C:\\pkg\\files\\data\\main.dat",
                                         L"C:\\pkg\\files\\lang\\ja.txt", L"C:\\pkg\\plugins\\extra.dll"}));

    // With block 1 exclusive, the second header ends the script.
    std::string exclusive = kExample;
    exclusive.replace(exclusive.find("\r\n1\r\nThe viewer"), 5, "\r\n2\r\n");
    const Outcome second = RunScript(exclusive);
    ASSERT_TRUE(second.built);
    EXPECT_EQ(Copies(second.job), (std::vector<std::wstring>{kViewerExe, kMainDat, kJaTxt}));
    EXPECT_EQ(second.job.postProcessPath, L"");
}

TEST(CopyPlanBuilder, TotalCountsFullSizesPastFourGiB) {
    FakePlanSystem system = ExampleSystem();
    system.files[L"C:\\pkg\\files\\big.bin"] = 5ull << 30;
    const Outcome outcome = RunScript(Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") +
                                          Script({"big.bin", "viewer.exe"}),
                                      system);
    ASSERT_TRUE(outcome.built);
    EXPECT_EQ(outcome.job.totalBytes, (5ull << 30) + 10);
}

TEST(CopyPlanBuilder, At2048EntriesTheNextFileLineFails) {
    FakePlanSystem system = ExampleSystem();
    std::string lines;
    for (int i = 0; i < 2048; ++i) {
        lines += "viewer.exe\r\n";
    }
    const std::string head = Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0");

    const Outcome full = RunScript(head + lines, system);
    EXPECT_TRUE(full.built);
    EXPECT_EQ(full.job.entries.size(), 2048u);
    EXPECT_EQ(full.job.totalBytes, 2048u * 10);

    const Outcome over = RunScript(head + lines + "viewer.exe\r\n", system);
    EXPECT_FALSE(over.built);
    EXPECT_EQ(over.system.boxes, (std::vector<Box>{{std::nullopt, L"コピーできる最大数を超えました"}}));
}

TEST(CopyPlanBuilder, LongPathBoxesGiveLengthAndPath) {
    const std::string longName(250, 'n');
    const std::wstring source = L"C:\\pkg\\files\\" + std::wstring(250, L'n');
    const Outcome missingSource =
        RunScript(Script({"launch"}) + Block("Software\\Example\\Viewer", "None", "0") + Script({longName}));
    EXPECT_EQ(
        missingSource.system.boxes,
        (std::vector<Box>{
            FakePlanSystem::OpenFailure(source),
            Box{L"パスエラー", L"パスの長さが260文字を超えました。\n\n[文字数] 263\n [path]  " + source}}));

    const std::wstring item = L"C:\\pkg\\" + std::wstring(253, L'p');
    const Outcome missingItem =
        RunScript(Script({"launch", "[SetPostProc]", "%Root%\\" + std::string(253, 'p')}) +
                  Block("Software\\Example\\Viewer", "None", "0") + Script({"viewer.exe"}));
    EXPECT_EQ(missingItem.system.boxes,
              (std::vector<Box>{
                  FakePlanSystem::OpenFailure(item),
                  Box{L"パスエラー",
                      L"後処理パスの長さが260文字を超えました。\n\n[文字数] 260\n [path]  " + item}}));
}

}  // namespace
}  // namespace velkast
