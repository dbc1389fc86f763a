// The demo's description gives, byte for byte, the script kept as
// scripts/demo/package/Update.up (in UTF-8 with LF), from which the release's
// sample is made: the demo's package and the sample hold one script.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "PackSandbox.h"
#include "tools/pack/PackText.h"

#ifndef VELKAST_SOURCE_DIR
#error "the build passes the source folder"
#endif

namespace velkast::pack::testing {
namespace {

std::string SourceFile(const std::wstring& relative) {
    std::ifstream in(PathOf(Wide(VELKAST_SOURCE_DIR) + L"/" + relative), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PackDemo, WritesTheScriptOfTheReleasesSample) {
    const std::string description = SourceFile(L"scripts/demo/package.ini");
    const std::string kept = SourceFile(L"scripts/demo/package/Update.up");
    ASSERT_FALSE(description.empty());
    ASSERT_FALSE(kept.empty());

    // The sources as scripts/demo.sh gathers them (the contents do not matter here).
    Sandbox sandbox;
    sandbox.File(L"source/package.ini", description);
    for (const wchar_t* text : {L"更新のご案内.txt", L"Report.txt", L"docs/新機能.txt"}) {
        sandbox.File(L"source/texts/" + std::wstring(text));
    }
    for (const wchar_t* file :
         {L"viewer/viewer.exe", L"viewer/data/stars.dat", L"viewer/data/constellations/ja.dat",
          L"viewer/lang/ja/messages.txt", L"plugins/comet.dll"}) {
        sandbox.File(L"source/new/" + std::wstring(file));
    }
    const PackResult result =
        sandbox.Pack({sandbox.Text(L"source/package.ini"), L"-o", sandbox.Text(L"package")});
    ASSERT_EQ(result.status, 0) << Utf8(result.err);

    std::wstring text;
    for (const wchar_t c : Wide(kept)) {
        text += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    EXPECT_EQ(sandbox.Read(L"package/Update.up"), ScriptBytes(text).value_or("<not code page 932>"));
}

}  // namespace
}  // namespace velkast::pack::testing
