// The version resource of the built Velkast.exe, read as Explorer's
// Properties and the elevation prompt read it (GetFileVersionInfoW,
// VerQueryValueW) in both of its languages, and velkast-check --version:
// all carry the build's version (VelkastVersion.h, made from the project's).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "VelkastResources.h"
#include "VelkastVersion.h"
#include "tools/check/CheckCommand.h"

namespace velkast {
namespace {

std::wstring Widen(const char* ascii) {
    return std::wstring(ascii, ascii + std::strlen(ascii));
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

class VersionInfoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::wstring path = testing::VelkastExePath();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size != 0) {
            info_.resize(size);
            if (!GetFileVersionInfoW(path.c_str(), 0, size, info_.data())) {
                info_.clear();
            }
        }
    }

    void SetUp() override {
        ASSERT_FALSE(info_.empty()) << "no version information in "
                                    << ::testing::PrintToString(testing::VelkastExePath());
    }

    // The value at a path of the version information, with its length as
    // VerQueryValueW gives it; null when there is none.
    static const void* Query(const std::wstring& path, UINT& length) {
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueW(info_.data(), path.c_str(), &value, &length)) {
            return nullptr;
        }
        return value;
    }

    static std::optional<std::wstring> String(const std::wstring& block, const std::wstring& name) {
        UINT length = 0;
        const auto* text =
            static_cast<const wchar_t*>(Query(L"\\StringFileInfo\\" + block + L"\\" + name, length));
        if (text == nullptr) {
            return std::nullopt;
        }
        return std::wstring(text, wcsnlen(text, length));
    }

    static inline std::vector<BYTE> info_;
};

TEST_F(VersionInfoTest, FixedInformationHoldsTheVersionOfARelease) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(VELKAST_VERSION_MINOR, VELKAST_VERSION_MAJOR);
    const DWORD low = MAKELONG(VELKAST_VERSION_TWEAK, VELKAST_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or patched build";
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionInfoTest, JapaneseThenEnglishInUnicode) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    UINT length = 0;
    const auto* translations = static_cast<const Translation*>(Query(L"\\VarFileInfo\\Translation", length));
    ASSERT_NE(translations, nullptr);
    ASSERT_EQ(length, 2 * sizeof(Translation));
    EXPECT_EQ(translations[0].language, 0x0411);
    EXPECT_EQ(translations[0].codePage, 1200);
    EXPECT_EQ(translations[1].language, 0x0409);
    EXPECT_EQ(translations[1].codePage, 1200);
}

TEST_F(VersionInfoTest, StringsInBothLanguages) {
    const std::wstring version = Widen(VELKAST_VERSION);
    const std::wstring copyright = Widen(VELKAST_COPYRIGHT);
    const struct {
        const wchar_t* block;
        const wchar_t* description;
    } languages[] = {{L"041104b0", L"Velkast 更新プログラム"}, {L"040904b0", L"Velkast updater"}};
    for (const auto& language : languages) {
        const struct {
            const wchar_t* name;
            std::wstring value;
        } strings[] = {
            {L"FileVersion", version},
            {L"ProductVersion", version},
            {L"ProductName", L"Velkast"},
            {L"FileDescription", language.description},
            {L"OriginalFilename", L"Velkast.exe"},
            {L"LegalCopyright", copyright},
        };
        for (const auto& string : strings) {
            SCOPED_TRACE(Narrow(std::wstring(language.block) + L"\\" + string.name));
            const std::optional<std::wstring> value = String(language.block, string.name);
            ASSERT_TRUE(value.has_value());
            EXPECT_EQ(*value, string.value);
        }
    }
}

TEST_F(VersionInfoTest, CheckerPrintsTheProgramsVersion) {
    const std::optional<std::wstring> productVersion = String(L"040904b0", L"ProductVersion");
    ASSERT_TRUE(productVersion.has_value());
    const auto host = check::MakeLocalHost();
    const check::CommandResult result = check::RunCheckCommand({L"--version"}, *host);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, L"velkast-check " + *productVersion + L"\n");
    EXPECT_TRUE(result.err.empty());
}

}  // namespace
}  // namespace velkast
