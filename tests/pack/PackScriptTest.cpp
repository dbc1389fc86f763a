// velkast-pack's Update.up, byte for byte, for small trees and descriptions,
// and the package laid out around it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PackSandbox.h"
#include "tools/pack/PackText.h"

namespace velkast::pack::testing {
namespace {

struct ScriptCase {
    const char* name;
    std::vector<std::wstring> tree;  // files below the sandbox
    std::wstring description;        // pack.ini, when not empty
    std::vector<std::wstring> args;  // besides the description and --output
    std::string script;              // Update.up as written
    int status = 0;
};

void PrintTo(const ScriptCase& test, std::ostream* out) {
    *out << test.name;
}

const std::vector<ScriptCase> kScripts = {
    {"OneBlockFromTheCommandLine",
     {L"new/app.exe"},
     L"",
     {L"--key", L"Software\\Example\\App", L"--mode", L"optional", L"--folder", L"files", L"--source",
      L"new"},
     "[Update]\r\n"
     "\r\n"
     "[SetParamter]\r\n"
     "Software\\Example\\App\r\n"
     "None\r\n"
     "0\r\n"
     "-\r\n"
     "%Root%\\files\\\r\n"
     "app.exe\r\n",
     1},  // the package has no Report.txt

    {"FilesOfAFolderByNameThenItsFolders",
     {L"texts/Report.txt", L"new/b.dat", L"new/a.dat", L"new/sub/z.dat", L"new/sub/deeper/y.dat",
      L"new/sub/a.dat", L"new/A/x.dat"},
     L"[package]\n"
     L"include = texts\n"
     L"[block]\n"
     L"key = Software\\Example\\App\n"
     L"mode = required\n"
     L"check = 1,a.dat\n"
     L"message = The application is not installed.\n"
     L"folder = data/new\n"
     L"source = new\n",
     {},
     "[Update]\r\n"
     "\r\n"
     "[SetParamter]\r\n"
     "Software\\Example\\App\r\n"
     "1,a.dat\r\n"
     "1\r\n"
     "The application is not installed.\r\n"
     "%Root%\\data\\new\\\r\n"
     "a.dat\r\n"
     "b.dat\r\n"
     "A\\x.dat\r\n"
     "sub\\a.dat\r\n"
     "sub\\z.dat\r\n"
     "sub\\deeper\\y.dat\r\n"},

    // Shift-JIS, trail bytes 0x5C included: the updater decodes the script
    // before it looks for backslashes.
    {"JapaneseInCodePage932",
     {L"texts/Report.txt", L"texts/案内.txt", L"new/表示.txt", L"new/新機能/ビューア.txt"},
     L"\uFEFF[package]\r\n"
     L"title = 案内\r\n"
     L"launch = 案内.txt\r\n"
     L"include = texts\r\n"
     L"[block]\r\n"
     L"key = Software\\ソフト\r\n"
     L"mode = required\r\n"
     L"message = 表示\r\n"
     L"folder = ソフト\r\n"
     L"source = new\r\n",
     {},
     "[\x88\xC4\x93\xE0]\x88\xC4\x93\xE0.txt\r\n"
     "\r\n"
     "[SetParamter]\r\n"
     "Software\\\x83\x5C\x83\x74\x83\x67\r\n"
     "None\r\n"
     "1\r\n"
     "\x95\x5C\x8E\xA6\r\n"
     "%Root%\\\x83\x5C\x83\x74\x83\x67\\\r\n"
     "\x95\x5C\x8E\xA6.txt\r\n"
     "\x90\x56\x8B\x40\x94\x5C\\\x83\x72\x83\x85\x81\x5B\x83\x41.txt\r\n"},

    // The post-process block stands before every block, so that the updater
    // reads and checks it whatever the blocks decide.
    {"CommentsBlocksAndPostProcessItem",
     {L"texts/Report.txt", L"texts/guide.txt", L"texts/tools/after.exe", L"app/app.exe", L"extra/extra.txt"},
     L"# the description's own comment\n"
     L"[package]\n"
     L"title = Guide\n"
     L"launch = guide.txt\n"
     L"include = texts\n"
     L"comment = version 2\n"
     L"[postprocess]\n"
     L"comment = after the copy\n"
     L"item = tools/after.exe\n"
     L"[block]\n"
     L"comment = the application\n"
     L"comment =\n"
     L"key = Software\\Example\\App\n"
     L"check = 1,app.exe\n"
     L"mode = exclusive\n"
     L"folder = app\\\n"
     L"source = app\n"
     L"[block]\n"
     L"key = Software\\Example\\Extra\n"
     L"mode = 7\n"
     L"folder =\n"
     L"source = extra\n",
     {},
     "[Guide]guide.txt\r\n"
     "// version 2\r\n"
     "\r\n"
     "// after the copy\r\n"
     "[SetPostProc]\r\n"
     "%Root%\\tools\\after.exe\r\n"
     "\r\n"
     "// the application\r\n"
     "//\r\n"
     "[SetParamter]\r\n"
     "Software\\Example\\App\r\n"
     "1,app.exe\r\n"
     "2\r\n"
     "-\r\n"
     "%Root%\\app\\\r\n"
     "app.exe\r\n"
     "\r\n"
     "[SetParamter]\r\n"
     "Software\\Example\\Extra\r\n"
     "None\r\n"
     "7\r\n"
     "-\r\n"
     "%Root%\\\r\n"
     "extra.txt\r\n"},

    {"CommandLineReplacesValuesOfTheOnlyBlock",
     {L"texts/Report.txt", L"new/app.exe", L"newer/app.exe", L"texts/readme.txt"},
     L"[package]\n"
     L"include = texts\n"
     L"[block]\n"
     L"key = Software\\Example\\App\n"
     L"mode = optional\n"
     L"folder = files\n"
     L"source = new\n",
     {L"--mode", L"required", L"--message", L"  Install the application first.  ", L"--check",
      L"0,app.exe,app64.exe", L"--launch", L"readme.txt"},
     "[Update]readme.txt\r\n"
     "\r\n"
     "[SetParamter]\r\n"
     "Software\\Example\\App\r\n"
     "0,app.exe,app64.exe\r\n"
     "1\r\n"
     "Install the application first.\r\n"
     "%Root%\\files\\\r\n"
     "app.exe\r\n"},
};

class Scripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(Scripts, WriteTheseBytes) {
    const ScriptCase& test = GetParam();
    Sandbox sandbox;
    for (const std::wstring& file : test.tree) {
        sandbox.File(file, Utf8(file));
    }
    std::vector<std::wstring> args = {L"--output", sandbox.Text(L"pkg")};
    if (!test.description.empty()) {
        sandbox.Description(L"pack.ini", test.description);
        args.push_back(sandbox.Text(L"pack.ini"));
    }
    for (const std::wstring& arg : test.args) {
        // Folders of the command line are relative to the current folder.
        const bool folder = !args.empty() && (args.back() == L"--source");
        args.push_back(folder ? sandbox.Text(arg) : arg);
    }
    const PackResult result = sandbox.Pack(args);
    EXPECT_EQ(result.status, test.status) << Utf8(result.err);
    EXPECT_EQ(sandbox.Read(L"pkg/Update.up"), test.script) << Utf8(result.out);
}

INSTANTIATE_TEST_SUITE_P(Pack, Scripts, ::testing::ValuesIn(kScripts), [](const auto& test) {
    return std::string(test.param.name);
});

// Every file of the package is where its script line says, byte for byte,
// beside the program file and the package's own texts.
TEST(PackLayout, FilesUnderTheirFoldersWithTheirBytes) {
    Sandbox sandbox;
    sandbox.File(L"texts/Report.txt", "report\r\n");
    sandbox.File(L"texts/docs/新機能.txt", Contents(300, 1));
    sandbox.File(L"new/viewer.exe", Contents(70000, 2));
    sandbox.File(L"new/data/constellations/ja.dat", Contents(123, 3));
    sandbox.File(L"new/data/empty.dat", "");
    sandbox.File(L"plugins/comet.dll", Contents(4567, 4));
    sandbox.Description(L"pack.ini",
                        L"[package]\n"
                        L"include = texts\n"
                        L"[postprocess]\n"
                        L"item = docs\\新機能.txt\n"
                        L"[block]\n"
                        L"key = Software\\Hoshizora\\Viewer\n"
                        L"mode = required\n"
                        L"message = -\n"
                        L"folder = files\n"
                        L"source = new\n"
                        L"[block]\n"
                        L"key = Software\\Hoshizora\\Viewer\\Plugins\n"
                        L"mode = optional\n"
                        L"folder = plugins\n"
                        L"source = plugins\n");
    const PackResult result = sandbox.Pack({sandbox.Text(L"pack.ini"), L"-o", sandbox.Text(L"out/pkg")});
    ASSERT_EQ(result.status, 0) << Utf8(result.err);
    EXPECT_EQ(result.err, L"");
    EXPECT_EQ(sandbox.Files(L"out/pkg"),
              (std::vector<std::wstring>{L"Report.txt", L"Update.up", L"Velkast.exe", L"docs/新機能.txt",
                                         L"files/data/constellations/ja.dat", L"files/data/empty.dat",
                                         L"files/viewer.exe", L"plugins/comet.dll"}));
    EXPECT_EQ(sandbox.Read(L"out/pkg/Velkast.exe"), Sandbox::kProgram);
    const std::pair<const wchar_t*, const wchar_t*> copies[] = {
        {L"out/pkg/Report.txt", L"texts/Report.txt"},
        {L"out/pkg/docs/新機能.txt", L"texts/docs/新機能.txt"},
        {L"out/pkg/files/viewer.exe", L"new/viewer.exe"},
        {L"out/pkg/files/data/constellations/ja.dat", L"new/data/constellations/ja.dat"},
        {L"out/pkg/files/data/empty.dat", L"new/data/empty.dat"},
        {L"out/pkg/plugins/comet.dll", L"plugins/comet.dll"},
    };
    for (const auto& [copy, source] : copies) {
        EXPECT_EQ(sandbox.Read(copy), sandbox.Read(source)) << Utf8(copy);
    }
    // Nothing is left beside the package.
    EXPECT_EQ(sandbox.Files(L"out").size(), 8u);
    EXPECT_NE(result.out.find(L"wrote " + sandbox.Text(L"out/pkg") + L": 8 files, "), std::wstring::npos)
        << Utf8(result.out);
}

}  // namespace
}  // namespace velkast::pack::testing
