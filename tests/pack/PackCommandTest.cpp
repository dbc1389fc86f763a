// velkast-pack's command line, its report of the checker's plan, the
// replacement of a package, and its text rules.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "PackSandbox.h"
#include "tools/pack/PackText.h"

namespace velkast::pack::testing {
namespace {

const std::wstring kDescription =
    L"[package]\n"
    L"include = texts\n"
    L"[block]\n"
    L"key = Software\\Example\\App\n"
    L"check = 1,app.exe\n"
    L"mode = required\n"
    L"message = Not installed.\n"
    L"folder = files\n"
    L"source = new\n"
    L"[block]\n"
    L"key = Software\\Example\\Other\n"
    L"mode = optional\n"
    L"folder = files\n"
    L"source = new\n";

class PackCommand : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox.File(L"texts/Report.txt", "report");
        sandbox.File(L"new/app.exe", "new app");
        sandbox.Description(L"pack.ini", kDescription);
    }

    PackResult Pack(std::vector<std::wstring> args) {
        args.insert(args.begin(), {sandbox.Text(L"pack.ini"), L"-o", sandbox.Text(L"pkg")});
        return sandbox.Pack(args);
    }

    Sandbox sandbox;
};

struct UsageCase {
    const char* name;
    std::vector<std::wstring> args;
    std::wstring message;
};

TEST(PackUsage, ErrorsSayWhat) {
    const UsageCase cases[] = {
        {"no output", {L"pack.ini"}, L"--output FOLDER names the package to write"},
        {"nothing to pack",
         {L"-o", L"pkg"},
         L"give a description, or the block with --key, --mode, --folder and --source"},
        {"unknown option", {L"pack.ini", L"-o", L"pkg", L"--verbose"}, L"unknown option --verbose"},
        {"value missing", {L"pack.ini", L"-o", L"pkg", L"--message"}, L"--message needs a value"},
        {"two descriptions", {L"a.ini", L"b.ini"}, L"one description at a time"},
        {"root length",
         {L"pack.ini", L"-o", L"pkg", L"--root-length=2"},
         L"--root-length needs a number from 3 to 259"},
        // The checker's own rule for its option.
        {"install root",
         {L"pack.ini", L"-o", L"pkg", L"--installdir", L"Software\\App"},
         L"--installdir needs KEY=FOLDER"},
    };
    Sandbox sandbox;
    for (const UsageCase& test : cases) {
        SCOPED_TRACE(test.name);
        const PackResult result = sandbox.Pack(test.args);
        EXPECT_EQ(result.status, kUsageError);
        EXPECT_EQ(result.out, L"");
        EXPECT_EQ(result.err, L"velkast-pack: " + test.message + L"\nTry 'velkast-pack --help'.\n");
    }
    const PackResult help = sandbox.Pack({L"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind(L"usage: velkast-pack [DESCRIPTION] --output FOLDER [options]\n", 0), 0u);
}

// The checker's plan of the package as written, under the package's final
// name: an install root given for one key, one assumed for the other.
TEST_F(PackCommand, PrintsTheCheckersPlan) {
    sandbox.File(L"installed/app.exe", "old app");
    const PackResult result =
        Pack({L"--installdir", L"software\\example\\app=" + sandbox.Text(L"installed")});
    ASSERT_EQ(result.status, 0) << Utf8(result.err);
    const std::wstring assumed = L"C:\\Program Files (x86)\\Assumed root 1__________________________\\";
    EXPECT_EQ(result.out,
              L"assumed install root of Software\\Example\\Other: " + assumed +
                  L" (not on this machine; every name of the check list taken as there)\n"
                  L"plan of " +
                  sandbox.Text(L"pkg/Update.up") + L", program folder " + sandbox.Text(L"pkg/") +
                  L":\n"
                  L"  launch line 1: opens nothing\n"
                  L"  block at line 3: key Software\\Example\\App, required\n"
                  L"    install root: " +
                  sandbox.Text(L"installed/") +
                  L" (HKEY_CURRENT_USER), verified by the check list\n"
                  L"    files from " +
                  sandbox.Text(L"pkg/files/") +
                  L"\n"
                  L"    line 9: " +
                  sandbox.Text(L"pkg/files/app.exe") + L" -> " + sandbox.Text(L"installed/app.exe") +
                  L", 7 bytes\n"
                  L"  block at line 11: key Software\\Example\\Other, optional\n"
                  L"    install root: " +
                  assumed +
                  L" (HKEY_CURRENT_USER), not checked (\"None\")\n"
                  L"    files from " +
                  sandbox.Text(L"pkg/files/") +
                  L"\n"
                  L"    line 17: " +
                  sandbox.Text(L"pkg/files/app.exe") + L" -> " + assumed +
                  L"app.exe, 7 bytes\n"
                  L"  total: 2 files, 14 bytes\n"
                  L"result: accepted, 0 warnings, 0 notes\n"
                  L"wrote " +
                  sandbox.Text(L"pkg") + L": 4 files, 206 bytes; Update.up has 2 blocks and 2 file lines\n");
    EXPECT_EQ(result.err, L"");
}

TEST_F(PackCommand, ReplacesAPackageOnlyWhenAsked) {
    ASSERT_EQ(Pack({}).status, 0);
    sandbox.File(L"pkg/stale.txt", "from before");
    sandbox.File(L"new/app.exe", "newer app");

    const PackResult refused = Pack({});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(sandbox.Read(L"pkg/files/app.exe"), "new app");

    const PackResult replaced = Pack({L"--replace"});
    EXPECT_EQ(replaced.status, 0) << Utf8(replaced.err);
    EXPECT_EQ(sandbox.Read(L"pkg/files/app.exe"), "newer app");
    EXPECT_FALSE(sandbox.Exists(L"pkg/stale.txt"));
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-old"));
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-tmp"));
}

// A run interrupted while it wrote leaves its folder beside the target; one
// interrupted between setting the old package aside and putting the new one
// in place leaves no target. The next run cleans up and puts the old one back.
TEST_F(PackCommand, NextRunRecoversFromAnInterruptedOne) {
    sandbox.File(L"pkg.velkast-tmp/Update.up", "half");
    sandbox.File(L"pkg.velkast-old/Update.up", "the package before");
    const PackResult result = Pack({});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, L"removed " + sandbox.Text(L"pkg.velkast-tmp") + L", left by an interrupted run\n" +
                              L"put back " + sandbox.Text(L"pkg") + L", set aside by an interrupted run\n");
    EXPECT_EQ(result.err, sandbox.Text(L"pkg") +
                              L": error: exists: give --replace to replace it\n"
                              L"velkast-pack: nothing written\n");
    EXPECT_EQ(sandbox.Read(L"pkg/Update.up"), "the package before");
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-tmp"));
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-old"));
}

TEST_F(PackCommand, ARefusedPlanIsShownAndNothingWritten) {
    sandbox.Description(L"pack.ini",
                        L"[package]\ninclude = texts\n"
                        L"[block]\nkey = Software\\Example\\App\ncheck = 0\nmode = required\n"
                        L"message = Not installed.\nfolder = files\nsource = new\n");
    const PackResult result = Pack({});
    EXPECT_EQ(result.status, 2);
    // The checker's refusal, at the block's message line.
    EXPECT_NE(result.out.find(sandbox.Text(L"pkg/Update.up") + L":5: error: "), std::wstring::npos)
        << Utf8(result.out);
    EXPECT_FALSE(sandbox.Exists(L"pkg"));
}

struct LineCase {
    std::wstring text;
    std::optional<std::wstring> problem;
};

TEST(PackText, ScriptLinesReadBackOrSayWhyNot) {
    const std::wstring cut = L"it is too long, ";
    const std::wstring limits =
        L" bytes in code page 932: the updater takes at most 1023 characters of a line with its line end and "
        L"1023 "
        L"bytes of a field, so it reads only the first ";
    const LineCase cases[] = {
        {L"data\\main.dat", std::nullopt},
        {L" spaces kept ", std::nullopt},
        {L"ほしぞら表示", std::nullopt},
        {std::wstring(1023, L'x'), std::nullopt},
        {std::wstring(511, L'あ'), std::nullopt},
        {L"", L"it is empty: the updater skips empty lines"},
        {L"// note", L"it reads as a comment line, which the updater skips"},
        {L"a//b", L"\"//\" starts a comment in it: the updater reads only \"a\""},
        {L"\tx", L"it begins with a TAB: the updater reads no text from such a line"},
        {L"a\tb", L"a TAB ends the updater's field in it: the updater reads only \"a\""},
        {L"a\t", L"a TAB ends the updater's field in it: the updater reads only \"a\""},
        {L"a\rb", L"it holds a line break: the updater reads only \"a\""},
        {L"a\nb", L"it holds a line break: the updater reads only \"a\""},
        {std::wstring(1024, L'x'), cut + L"1024 characters and 1024" + limits + L"1023 characters"},
        {std::wstring(512, L'あ'), cut + L"512 characters and 1024" + limits + L"511 characters"},
        {L"caf\u00E9", L"code page 932 cannot represent \"\u00E9\" (U+00E9)"},
        // Characters that come back as others: the yen sign as a backslash,
        // the wave dash as the full-width tilde.
        {L"\u00A5100", L"code page 932 cannot represent \"\u00A5\" (U+00A5)"},
        {L"1\u301C2", L"code page 932 cannot represent \"\u301C\" (U+301C)"},
    };
    for (const LineCase& test : cases) {
        SCOPED_TRACE(Utf8(Quoted(test.text.substr(0, 40))));
        EXPECT_EQ(ScriptLineProblem(test.text), test.problem);
    }
}

TEST(PackText, WindowsNames) {
    const std::pair<std::wstring, std::optional<std::wstring>> cases[] = {
        {L"viewer.exe", std::nullopt},
        {L"CONSOLE.txt", std::nullopt},
        {L"COM10", std::nullopt},
        {L"[SetParamter]", std::nullopt},
        {L"con", L"\"con\" names a device on Windows, not a file"},
        {L"Nul .txt", L"\"Nul\" names a device on Windows, not a file"},
        {L"LPT1.log", L"\"LPT1\" names a device on Windows, not a file"},
        {L"a.", L"it ends in a space or a dot, which Windows drops from a name"},
        {L"a ", L"it ends in a space or a dot, which Windows drops from a name"},
        {L"a:b", L"the character \":\", which Windows does not allow in a name"},
        {L"a\x01", L"a control character, which Windows does not allow in a name"},
    };
    for (const auto& [name, problem] : cases) {
        SCOPED_TRACE(Utf8(name));
        EXPECT_EQ(WindowsNameProblem(name), problem);
    }
}

}  // namespace
}  // namespace velkast::pack::testing
