// End to end, from the publisher's files to the user's folder: velkast-pack
// writes the package of a new version of the demo's viewer and its plug-in,
// with the Velkast.exe that lies beside it, and Velkast.exe, run from the
// package as a person runs it, installs it over the old version. Afterwards
// each installed folder holds exactly the new version's tree, byte for byte,
// and the files of the old version that the new one does not replace.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "BuildPaths.h"
#include "Package.h"
#include "ProgramWindows.h"
#include "ShellAssociations.h"
#include "VelkastProcess.h"
#include "resource.h"
#include "support/win32/RegistryKey.h"
#include "support/win32/TempFolder.h"

#ifndef VELKAST_PACK_RELATIVE_PATH
#error "the build passes the path of velkast-pack.exe relative to the test"
#endif

namespace velkast::e2e {
namespace {

namespace fs = std::filesystem;
using velkast::testing::RegistryKey;
using velkast::testing::TempFolder;

constexpr DWORD kUnwanted = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Every file below the folder, by its path relative to it, with its bytes.
std::map<std::wstring, std::string> Tree(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(folder))) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).wstring()] = ReadBytes(entry.path().wstring());
        }
    }
    return files;
}

struct Run {
    DWORD exitCode = 0;
    std::string output;  // standard output and error, UTF-8
};

// Runs the program with the command line, its output going to a file.
std::optional<Run> RunProgram(const std::wstring& exe,
                              std::wstring commandLine,
                              const std::wstring& outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const HANDLE output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const UniqueHandle outputOwner(output);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info{};
    commandLine = L"\"" + exe + L"\" " + commandLine;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info)) {
        return std::nullopt;
    }
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    Run run;
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &run.exitCode)) {
        TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    run.output = ReadBytes(outputFile);
    return run;
}

// The text as one argument of a command line: in double quotes, a run of
// backslashes before the closing quote doubled.
std::wstring Argument(const std::wstring& text) {
    const std::size_t trailing = text.size() - (text.find_last_not_of(L'\\') + 1);
    return L"\"" + text + std::wstring(trailing, L'\\') + L"\"";
}

// The new version, as its build leaves it: the viewer's files, with a
// nested Japanese folder and an empty file, and the plug-in.
const std::map<std::wstring, std::size_t> kViewer = {
    {L"viewer.exe", 250000},
    {L"data\\stars.dat", 120000},
    {L"data\\constellations\\ja.dat", 4000},
    {L"data\\新しいフォルダ\\深い階層\\table.dat", 123},
    {L"data\\empty.dat", 0},
    {L"lang\\ja\\messages.txt", 800},
};
const std::map<std::wstring, std::size_t> kPlugins = {{L"comet.dll", 35000}};

TEST(PackRoundTrip, InstalledFoldersHoldTheNewVersionsTrees) {
    TempFolder root;
    RegistryKey viewerKey{HKEY_CURRENT_USER, KEY_WOW64_64KEY, L"Viewer"};
    RegistryKey pluginsKey{HKEY_CURRENT_USER, KEY_WOW64_64KEY, L"Plugins"};
    ShellAssociations shell{{L".txt"}};
    const std::wstring recordFile = root / L"opened.txt";
    SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", recordFile.c_str());

    // The publisher's tools: velkast-pack with the updater beside it.
    const std::wstring tool = root / L"tools\\";
    ASSERT_TRUE(CreateDirectoryW(tool.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(BuildPath(VELKAST_PACK_RELATIVE_PATH).c_str(), (tool + L"velkast-pack.exe").c_str(),
                          FALSE));
    ASSERT_TRUE(CopyFileW(VelkastExePath().c_str(), (tool + L"Velkast.exe").c_str(), FALSE));

    // The sources of the package: its texts, the new version's trees and the description.
    const std::wstring source = root / L"ほしぞらビューア 2.2\\";
    WriteCp932(source + L"texts\\更新のご案内.txt", L"ほしぞらビューア 2.2 に更新します。\r\n");
    WriteCp932(source + L"texts\\Report.txt", L"更新レポート\r\n");
    WriteCp932(source + L"texts\\docs\\新機能.txt", L"新機能\r\n");
    unsigned seed = 1;
    for (const auto& [name, size] : kViewer) {
        WriteBytes(source + L"new\\viewer\\" + name, Contents(size, seed++));
    }
    for (const auto& [name, size] : kPlugins) {
        WriteBytes(source + L"new\\plugins\\" + name, Contents(size, seed++));
    }
    const std::wstring description =
        L"[package]\n"
        L"title = 更新のご案内\n"
        L"launch = 更新のご案内.txt\n"
        L"include = texts\n"
        L"[postprocess]\n"
        L"item = docs/新機能.txt\n"
        L"[block]\n"
        L"key = " +
        viewerKey.path() +
        L"\n"
        L"check = 1,viewer.exe,data\n"
        L"mode = required\n"
        L"message = ほしぞらビューアがインストールされていません。\n"
        L"folder = files\n"
        L"source = new/viewer\n"
        L"[block]\n"
        L"key = " +
        pluginsKey.path() +
        L"\n"
        L"mode = optional\n"
        L"folder = plugins\n"
        L"source = new/plugins\n";
    WriteBytes(source + L"package.ini", Utf8(description));

    // The old version, installed: read-only and hidden files to overwrite,
    // and one that the new version leaves alone.
    const std::wstring viewer = root / L"Program Files\\Hoshizora Viewer\\";
    const std::wstring plugins = viewer + L"plugins\\";
    WriteBytes(viewer + L"viewer.exe", "viewer 2.1");
    WriteBytes(viewer + L"data\\stars.dat", "stars 2.1");
    WriteBytes(viewer + L"readme-2.1.txt", "kept");
    WriteBytes(plugins + L"comet.dll", "comet 2.1");
    SetFileAttributesW((viewer + L"viewer.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((viewer + L"data\\stars.dat").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    viewerKey.SetString(viewer);
    pluginsKey.SetString(plugins);

    // Packing.
    const std::wstring package = root / L"更新プログラム 2.2";
    const auto packed = RunProgram(tool + L"velkast-pack.exe",
                                   Argument(source + L"package.ini") + L" --output " + Argument(package) +
                                       L" --installdir " + Argument(viewerKey.path() + L"=" + viewer),
                                   root / L"pack-output.txt");
    ASSERT_TRUE(packed);
    ASSERT_EQ(packed->exitCode, 0u) << packed->output;
    ASSERT_EQ(ReadBytes(package + L"\\Velkast.exe"), ReadBytes(VelkastExePath()));

    // Installing.
    VelkastProcess process(
        VelkastProcess::Options{package + L"\\Velkast.exe", package + L"\\", std::nullopt});
    ASSERT_TRUE(process.started()) << process.error();
    const HWND dialog = WaitForCopyDialog(process);
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_START);
    EXPECT_TRUE(WaitUntil(process, [&] { return ReadCopyDialog(dialog).exitEnabled; }));
    EXPECT_TRUE(MessageBoxes(process.id()).empty());
    // Exit is enabled before the post-process item is opened: its record first.
    EXPECT_TRUE(WaitUntil(process, [&] { return ReadRecords(recordFile).size() >= 2; }));
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(process.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(process.debugOutput().empty());

    std::map<std::wstring, std::string> expected = Tree(source + L"new\\viewer");
    expected[L"readme-2.1.txt"] = "kept";
    for (const auto& [name, bytes] : Tree(source + L"new\\plugins")) {
        expected[L"plugins\\" + name] = bytes;
    }
    EXPECT_EQ(Tree(viewer), expected);
    for (const auto& [name, bytes] : expected) {
        EXPECT_EQ(Attributes(viewer + name) & kUnwanted, 0u) << name;
    }

    // The launch document, the post-process item and the report, all from the package.
    WaitForChildren(process.id(), {L"velkast_shell_recorder.exe"});
    const auto opened = ReadRecords(recordFile);
    ASSERT_EQ(opened.size(), 3u);
    const std::wstring documents[] = {L"\\更新のご案内.txt", L"\\docs\\新機能.txt", L"\\Report.txt"};
    for (std::size_t i = 0; i < opened.size(); ++i) {
        EXPECT_NE(opened[i].commandLine.find(L"\"" + package + documents[i] + L"\""), std::wstring::npos)
            << opened[i].commandLine;
    }
}

}  // namespace
}  // namespace velkast::e2e
