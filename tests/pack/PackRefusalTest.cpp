// What velkast-pack refuses, or warns about, with its messages: what the
// script format cannot carry or the updater would read otherwise, and
// packages that the updater would refuse. A refused run leaves nothing.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PackSandbox.h"
#include "tools/pack/PackText.h"

namespace velkast::pack::testing {
namespace {

// A description with one block of the files in "new", its lines given from
// line 8 on, and perhaps more.
std::wstring OneBlock(const std::wstring& lines = L"",
                      const std::wstring& mode = L"optional",
                      const std::wstring& more = L"") {
    return L"[package]\n"
           L"include = texts\n"
           L"[block]\n"
           L"key = Software\\Example\\App\n"
           L"mode = " +
           mode +
           L"\n"
           L"folder = files\n"
           L"source = new\n" +
           lines + more;
}

struct Refusal {
    const char* name;
    std::function<void(Sandbox&)> prepare;  // besides texts/Report.txt and new/app.exe
    std::wstring description;
    std::vector<std::wstring> args;  // besides the description and --output pkg; "{S}/" starts a sandbox path
    // The messages, with the sandbox's paths through the sandbox.
    std::function<std::wstring(const Sandbox&)> messages;
    int status = 2;
    bool posixNames = false;  // names that Windows cannot give a file
};

void PrintTo(const Refusal& test, std::ostream* out) {
    *out << test.name;
}

std::wstring Ini(const Sandbox& s, int line) {
    return s.Text(L"pack.ini") + L":" + std::to_wstring(line);
}

const std::wstring kNothing = L"velkast-pack: nothing written\n";

const std::vector<Refusal> kRefusals = {
    {"MoreThan2048Files",
     [](Sandbox& s) {
         for (int i = 2; i <= 2049; ++i) {
             s.File(L"new/f" + std::to_wstring(i) + L".dat");
         }
     },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"pack.ini") +
                L": error: 2049 file lines can be accepted in one run: the updater takes 2048 at most\n" +
                kNothing;
     }},
    // An exclusive block whose install root is verified ends the pass at the
    // next block: one run takes the lines before it and its own.
    {"ExclusiveBlockAfterOthersCountsWithThem",
     [](Sandbox& s) {
         for (int i = 2; i <= 1025; ++i) {
             s.File(L"new/f" + std::to_wstring(i) + L".dat");
         }
     },
     OneBlock(L"",
              L"optional",
              L"[block]\nkey = Software\\Example\\Other\nmode = exclusive\nfolder = files\nsource = new\n"),
     {},
     [](const Sandbox& s) {
         return s.Text(L"pack.ini") +
                L": error: 2050 file lines can be accepted in one run: the updater takes 2048 at most\n" +
                kNothing;
     }},
    {"ExclusiveBlocksFirstCountApart",
     [](Sandbox& s) {
         for (int i = 2; i <= 1025; ++i) {
             s.File(L"new/f" + std::to_wstring(i) + L".dat");
         }
     },
     L"[package]\ninclude = texts\n"
     L"[block]\nkey = Software\\Example\\App\nmode = exclusive\nfolder = files\nsource = new\n"
     L"[block]\nkey = Software\\Example\\Other\nmode = exclusive\nfolder = files\nsource = new\n",
     {},
     [](const Sandbox&) { return std::wstring(); },
     0},
    {"FileNameOutsideCodePage932",
     [](Sandbox& s) { s.File(L"new/café.txt"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/café.txt") +
                L": error: its file line \"café.txt\" cannot be written as it is: code page 932 cannot "
                L"represent "
                L"\"é\" (U+00E9)\n" +
                kNothing;
     }},
    {"MessageOutsideCodePage932",
     nullptr,
     OneBlock(L"message = Ünïcode ☃ ✓\n"),
     {},
     [](const Sandbox& s) {
         return Ini(s, 8) +
                L": error: the message \"Ünïcode ☃ ✓\" cannot be written as it is: code page 932 cannot "
                L"represent "
                L"\"Ü\" (U+00DC), \"ï\" (U+00EF), \"☃\" (U+2603), \"✓\" (U+2713)\n" +
                kNothing;
     }},
    {"FileLineBeginningWithATab",
     [](Sandbox& s) { s.File(L"new/\tindented.txt"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/\tindented.txt") +
                L": error: its file line \"\\tindented.txt\" cannot be written as it is: it begins with a "
                L"TAB: the "
                L"updater reads no text from such a line\n" +
                kNothing;
     },
     2,
     true},
    {"FileLineReadAsABlockHeader",
     [](Sandbox& s) { s.File(L"new/sub/x.dat"), s.File(L"new/[SetParamter]"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/[SetParamter]") +
                L": error: its file line \"[SetParamter]\" would read as a block header\n" + kNothing;
     }},
    {"NameThatWindowsCannotHold",
     [](Sandbox& s) { s.File(L"new/what?.txt"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/what?.txt") +
                L": error: the name \"what?.txt\" cannot be copied to Windows: the character \"?\", which "
                L"Windows "
                L"does not allow in a name\n" +
                kNothing;
     },
     2,
     true},
    {"MessageCutByAComment",
     nullptr,
     OneBlock(L"message = See https://example.com/help\n"),
     {},
     [](const Sandbox& s) {
         return Ini(s, 8) +
                L": error: the message \"See https://example.com/help\" cannot be written as it is: \"//\" "
                L"starts a "
                L"comment in it: the updater reads only \"See https:\"\n" +
                kNothing;
     }},
    {"CheckListSplitByATab",
     nullptr,
     OneBlock(L"check = 1,app.exe\tdata\n"),
     {},
     [](const Sandbox& s) {
         return Ini(s, 8) +
                L": error: the check list \"1,app.exe\\tdata\" cannot be written as it is: a TAB ends the "
                L"updater's "
                L"field in it: the updater reads only \"1,app.exe\"\n" +
                kNothing;
     }},
    {"MessageOver1023Bytes",
     nullptr,
     OneBlock(L"message = " + std::wstring(600, L'あ') + L"\n"),
     {},
     [](const Sandbox& s) {
         return Ini(s, 8) + L": error: the message \"" + std::wstring(600, L'あ') +
                L"\" cannot be written as it is: it is too long, 600 characters and 1200 bytes in code page "
                L"932: "
                L"the updater takes at most 1023 characters of a line with its line end and 1023 bytes of a "
                L"field, "
                L"so it reads only the first 511 characters\n" +
                kNothing;
     }},
    {"CheckListOver1023Characters",
     nullptr,
     OneBlock(L"check = 1," + std::wstring(1022, L'x') + L"\n"),
     {},
     [](const Sandbox& s) {
         return Ini(s, 8) + L": error: the check list \"1," + std::wstring(1022, L'x') +
                L"\" cannot be written as it is: it is too long, 1024 characters and 1024 bytes in code page "
                L"932: "
                L"the updater takes at most 1023 characters of a line with its line end and 1023 bytes of a "
                L"field, "
                L"so it reads only the first 1023 characters\n" +
                kNothing;
     }},
    {"SourcePathOf260Characters",
     [](Sandbox& s) { s.File(L"new/" + std::wstring(254, L'n')); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/" + std::wstring(254, L'n')) + L": error: its path in the package, \"files\\" +
                std::wstring(254, L'n') +
                L"\", is 260 characters long: the updater refuses source paths of 260 characters or more\n" +
                kNothing;
     }},
    {"InstalledPathOf260Characters",
     [](Sandbox& s) { s.File(L"new/" + std::wstring(196, L'n')); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/" + std::wstring(196, L'n')) + L": warning: installed as \"" +
                std::wstring(196, L'n') +
                L"\" under an install root of 64 characters, its path is 260 characters long: Windows copies "
                L"to "
                L"no path of 260 characters or more\n";
     },
     1},
    {"InstalledPathUnderAShorterRoot",
     [](Sandbox& s) { s.File(L"new/" + std::wstring(196, L'n')); },
     OneBlock(),
     {L"--root-length", L"63"},
     [](const Sandbox&) { return std::wstring(); },
     0},
    {"EmptyFolders",
     [](Sandbox& s) { s.Folder(L"new/empty"), s.Folder(L"new/hollow/inner"), s.Folder(L"texts/unused"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"new/empty") +
                L": warning: an empty folder: a script names files only, so the update cannot make it\n" +
                s.Text(L"new/hollow") +
                L": warning: an empty folder: a script names files only, so the update cannot make it\n";
     },
     1},
    {"DescriptionMistakes",
     nullptr,
     L"[package]\n"
     L"include = texts\n"
     L"launch = readme.txt\n"
     L"title = a]b\n"
     L"[blocks]\n"
     L"[block]\n"
     L"key = HKLM\\Software\\Example\n"
     L"mode = sometimes\n"
     L"mesage = hello\n"
     L"folder = ../files\n"
     L"source = new\n"
     L"[block]\n"
     L"key = Software\\Example\\Other\n"
     L"mode = required\n"
     L"mode = 1\n"
     L"source = new\n",
     {},
     [](const Sandbox& s) {
         return Ini(s, 5) +
                L": error: unknown section \"[blocks]\": the sections are [package], [block] and "
                L"[postprocess]\n" +
                Ini(s, 9) +
                L": error: unknown key \"mesage\" here: this section takes key, check, mode, message, "
                L"folder, "
                L"source and comment\n" +
                Ini(s, 15) + L": error: \"mode\" is given twice in this section (first at line 14)\n" +
                Ini(s, 7) +
                L": error: the registry key \"HKLM\\Software\\Example\" names its hive: the updater looks "
                L"under "
                L"HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE itself, so write the key without it\n" +
                Ini(s, 8) +
                L": error: the mode \"sometimes\" is none of required, exclusive, optional or a number from "
                L"0 to "
                L"255\n" +
                Ini(s, 10) + L": error: the folder \"../files\" climbs out of the package\n" + Ini(s, 12) +
                L": error: a required block needs a message: the updater shows it when the application is "
                L"not "
                L"installed\n" +
                Ini(s, 12) +
                L": error: the block has a source but no folder: name the package folder for its files "
                L"(\"folder "
                L"=\" with nothing for the package's own)\n" +
                Ini(s, 3) +
                L": error: the launch document \"readme.txt\" is no file of the package: include it, or name "
                L"one "
                L"that a block ships\n" +
                Ini(s, 3) +
                L": error: the updater would read the launch line \"[a]b]readme.txt\" as naming \"b\": \"]\" "
                L"ends "
                L"the title and the document\n" +
                kNothing;
     }},
    {"PackageNamesTwice",
     [](Sandbox& s) { s.File(L"texts/Update.up"), s.File(L"texts/files/APP.EXE"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"texts/Update.up") +
                L": error: would be \"Update.up\" in the package, which velkast-pack writes itself\n" +
                s.Text(L"new/app.exe") +
                L": error: would be \"files\\APP.EXE\" in the package, which is already \"" +
                s.Text(L"texts/files/APP.EXE") + L"\"\n" + kNothing;
     }},
    {"NoProgramFile",
     nullptr,
     OneBlock(),
     {L"--velkast", L"{S}/missing/Velkast.exe"},
     [](const Sandbox& s) {
         return s.Text(L"missing/Velkast.exe") +
                L": error: no such program file: give the updater's Velkast.exe with --velkast PATH\n" +
                kNothing;
     }},
    {"PackageInsideItsSource",
     nullptr,
     OneBlock(),
     {L"--output", L"{S}/new/pkg"},
     [](const Sandbox& s) {
         return s.Text(L"new/pkg") + L": error: the package folder and the folder " + s.Text(L"new") +
                L", whose files it takes, lie one inside the other\n" + kNothing;
     }},
    {"PackageFolderExists",
     [](Sandbox& s) { s.File(L"pkg/old.txt"); },
     OneBlock(),
     {},
     [](const Sandbox& s) {
         return s.Text(L"pkg") + L": error: exists: give --replace to replace it\n" + kNothing;
     }},
    // The updater itself would refuse these: check mode 0 without names
    // verifies no install root, and a given one lacks a name of the list.
    {"RefusedByTheChecker",
     nullptr,
     OneBlock(L"check = 0\nmessage = Not installed.\n", L"required"),
     {},
     [](const Sandbox& s) {
         return s.Text(L"pkg/Update.up") +
                L": error: the updater would refuse this package, as the checker's report above says\n" +
                kNothing;
     }},
    {"RefusedByTheCheckerWithAGivenRoot",
     [](Sandbox& s) { s.Folder(L"installed"); },
     OneBlock(L"check = 1,app.exe\nmessage = Not installed.\n", L"required"),
     {L"--installdir", L"software\\example\\app={S}/installed"},
     [](const Sandbox& s) {
         return s.Text(L"pkg/Update.up") +
                L": error: the updater would refuse this package, as the checker's report above says\n" +
                kNothing;
     }},
};

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, SayWhyAndLeaveNothingHalfDone) {
    const Refusal& test = GetParam();
#ifdef _WIN32
    if (test.posixNames) {
        GTEST_SKIP() << "Windows cannot give a file this name";
    }
#endif
    Sandbox sandbox;
    sandbox.File(L"texts/Report.txt");
    sandbox.File(L"new/app.exe");
    if (test.prepare) {
        test.prepare(sandbox);
    }
    sandbox.Description(L"pack.ini", test.description);
    std::vector<std::wstring> args = {sandbox.Text(L"pack.ini"), L"--output", sandbox.Text(L"pkg")};
    for (std::wstring arg : test.args) {
        if (const std::size_t at = arg.find(L"{S}/"); at != std::wstring::npos) {
            arg = arg.substr(0, at) + sandbox.Text(arg.substr(at + 4));
        }
        args.push_back(arg);
    }
    const bool existed = sandbox.Exists(L"pkg");
    const PackResult result = sandbox.Pack(args);
    EXPECT_EQ(result.status, test.status) << Utf8(result.out);
    EXPECT_EQ(result.err, test.messages(sandbox));
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-tmp"));
    EXPECT_FALSE(sandbox.Exists(L"pkg.velkast-old"));
    if (test.status == 2) {
        EXPECT_EQ(sandbox.Exists(L"pkg"), existed);
        EXPECT_EQ(result.out.find(L"wrote "), std::wstring::npos);
    } else {
        EXPECT_TRUE(sandbox.Exists(L"pkg/Update.up"));
    }
}

INSTANTIATE_TEST_SUITE_P(Pack, Refusals, ::testing::ValuesIn(kRefusals), [](const auto& test) {
    return std::string(test.param.name);
});

}  // namespace
}  // namespace velkast::pack::testing
