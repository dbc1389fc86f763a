#include "core/paths/FolderPart.h"

#include <gtest/gtest.h>

#include <string>

namespace velkast {
namespace {

SplitParts EmptyParts() {
    SplitParts parts;
    parts.drive[0] = parts.directory[0] = parts.name[0] = parts.extension[0] = L'\0';
    return parts;
}

TEST(SplitPath, PartsAsTheRuntimeSplitsThem) {
    struct Case {
        std::wstring path, drive, directory, name, extension;
    };
    const Case cases[] = {
        {L"C:\\dir\\sub\\file.ext", L"C:", L"\\dir\\sub\\", L"file", L".ext"},
        {L"file.ext", L"", L"", L"file", L".ext"},
        {L"C:file", L"C:", L"", L"file", L""},
        {L"C:/a/b.tar.gz", L"C:", L"/a/", L"b.tar", L".gz"},
        {L"a.b\\c", L"", L"a.b\\", L"c", L""},
        {L"\\\\server\\share\\f", L"", L"\\\\server\\share\\", L"f", L""},
        {L"C:\\dir\\", L"C:", L"\\dir\\", L"", L""},
        {L"", L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        SplitParts parts = EmptyParts();
        EXPECT_TRUE(SplitPath(c.path.c_str(), parts)) << c.path.size();
        EXPECT_EQ(parts.drive, c.drive);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.extension, c.extension);
    }
}

TEST(SplitPath, PartTooLongForItsBufferFailsWithEveryPartEmpty) {
    const std::wstring dir255 = L"\\" + std::wstring(253, L'd') + L"\\";
    const std::wstring dir256 = L"\\" + std::wstring(254, L'd') + L"\\";
    struct Case {
        std::wstring path;
        bool fits;
    };
    const Case cases[] = {
        {L"C:" + dir255 + L"f.x", true},
        {L"C:" + dir256 + L"f.x", false},
        {L"C:\\" + std::wstring(255, L'n') + L".x", true},
        {L"C:\\" + std::wstring(256, L'n') + L".x", false},
        {L"C:\\n." + std::wstring(254, L'e'), true},
        {L"C:\\n." + std::wstring(255, L'e'), false},
    };
    for (const auto& c : cases) {
        SplitParts parts = EmptyParts();
        EXPECT_EQ(SplitPath(c.path.c_str(), parts), c.fits) << c.path.size();
        if (!c.fits) {
            EXPECT_STREQ(parts.drive, L"");
            EXPECT_STREQ(parts.directory, L"");
            EXPECT_STREQ(parts.name, L"");
            EXPECT_STREQ(parts.extension, L"");
        }
    }
    SplitParts parts = EmptyParts();
    EXPECT_FALSE(SplitPath(nullptr, parts));
}

TEST(GetFolderPart, DriveAndDirectory) {
    struct Case {
        std::wstring path, folder;
    };
    const Case cases[] = {
        {L"C:\\dir\\sub\\file.ext", L"C:\\dir\\sub\\"},
        {L"file.ext", L""},
        {L"C:\\Velkast.exe", L"C:\\"},
        {L"C:\\" + std::wstring(300, L'x') + L"\\f.exe", L""},  // does not split
    };
    for (const auto& c : cases) {
        SplitParts parts = EmptyParts();
        EXPECT_EQ(GetFolderPart(parts, c.path.c_str()), c.folder);
    }
}

}  // namespace
}  // namespace velkast
