#include "core/paths/ProgramFile.h"

#include <gtest/gtest.h>

namespace velkast {
namespace {

TEST(ProgramFile, ProgramsByTheirExtension) {
    struct Case {
        std::wstring path;
        bool program;
    };
    const Case cases[] = {
        {L"C:\\pkg\\tools\\after.exe", true},
        {L"C:\\pkg\\tools\\AFTER.EXE", true},
        {L"C:\\pkg\\setup.Com", true},
        {L"C:\\pkg\\after.bat", true},
        {L"C:\\pkg\\after.cmd", true},
        {L"C:\\pkg\\docs\\whatsnew.txt", false},
        {L"C:\\pkg\\docs\\マニュアル.pdf", false},
        {L"C:\\pkg\\setup.msi", false},
        {L"C:\\pkg\\after.exe.txt", false},
        {L"C:\\pkg\\after.exe\\readme", false},  // a dot in a folder name only
        {L"C:\\pkg.exe\\readme", false},
        {L"C:\\pkg\\tools/after", false},
        {L"C:\\pkg\\after.", false},
        {L"C:\\pkg\\exe", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsProgramFile(c.path), c.program) << c.path;
    }
}

}  // namespace
}  // namespace velkast
