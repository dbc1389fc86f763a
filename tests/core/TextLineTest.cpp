#include "core/text/TextLine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/platform/DebugOutput.h"
#include "core/platform/Platform.h"

namespace velkast {
namespace {

bool LoadText(CTextLine& store, const std::string& bytes) {
    return store.Load(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::string FieldOrNull(const char* field) {
    return field == nullptr ? std::string("<null>") : std::string(field);
}

// The first field of every line with content, in the order the plan builder
// reads them: the line Load selected, then each NextLine.
std::vector<std::string> FirstFields(CTextLine& store) {
    std::vector<std::string> fields{FieldOrNull(store.GetField())};
    while (store.NextLine()) {
        fields.push_back(FieldOrNull(store.GetField()));
    }
    return fields;
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> firstFields;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, FirstFieldOfEachLineWithContent) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, GetParam().bytes));
    EXPECT_EQ(FirstFields(store), GetParam().firstFields);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    TextLine,
    LineRules,
    ::testing::Values(
        LineCase{"CrLfEndsLines", "A\r\nB", {"A", "B"}},
        LineCase{"FinalLineEndStartsNoLine", "A\r\nB\r\n", {"A", "B"}},
        LineCase{"LfAlone", "A\nB\n", {"A", "B"}},
        LineCase{"BlankAndCommentLinesSkipped", "\r\n// note\r\nA\r\n\r\n   //x\r\nB", {"A", "   ", "B"}},
        LineCase{"CommentAnywhereInLine", "C:\\dir//x\r\na:b//c", {"C:\\dir", "a:b"}},
        LineCase{"CommentNeedsTwoSlashes", "a/b/c\r\n/", {"a/b/c", "/"}},
        LineCase{"SpacesAreContent", "   \r\nx", {"   ", "x"}},
        LineCase{"TabsOnlyIsContentWithoutField", "\t\t\r\nx", {"<null>", "x"}},
        LineCase{"CrOnlyEndsAreOneLine", "A\rB\rC", {"A"}},
        LineCase{"NulByteEndsText", "x\r\ny\0z\r\nw"s, {"x", "y"}},
        LineCase{"Utf16IsReadAsAnsi", "a\0b\0\r\0\n\0"s, {"a"}},
        LineCase{"SpacesAroundValueKept", " [SetParamter] \r\n", {" [SetParamter] "}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TextLine, CrOnlyLineSeparatesFields) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "A\rB\r\rC\r"));
    EXPECT_EQ(store.lineCount(), 1u);
    std::vector<std::string> fields;
    while (const char* field = store.GetField()) {
        fields.push_back(field);
    }
    EXPECT_EQ(fields, (std::vector<std::string>{"A", "B", "C"}));
}

struct FieldCase {
    const char* name;
    std::string line;
    std::vector<std::string> fields;  // every GetField result until the first null, then "<null>"
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.name;
}

class FieldRules : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldRules, FieldsInOrder) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, GetParam().line));
    std::vector<std::string> fields;
    for (const auto& expected : GetParam().fields) {
        (void)expected;
        fields.push_back(FieldOrNull(store.GetField()));
    }
    EXPECT_EQ(fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    TextLine,
    FieldRules,
    ::testing::Values(FieldCase{"RunOfTabsIsOneSeparator", "a\t\tb", {"a", "b", "<null>"}},
                      FieldCase{"LeadingTabGivesNullFirst", "\tb", {"<null>", "b", "<null>"}},
                      FieldCase{"TrailingTabsTakenWithField", "a\t\t\r\n", {"a", "<null>"}},
                      FieldCase{"CrInsideLineSeparates", "a\rb\r\n", {"a", "b", "<null>"}},
                      FieldCase{"SpacesBelongToField", " a b \tc", {" a b ", "c", "<null>"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TextLine, LoadRefusesTextWithoutContent) {
    const std::string cases[] = {"", "\r\n\r\n", "// only a comment\r\n//\r\n", "\0abc"s};
    for (const auto& bytes : cases) {
        CTextLine store;
        EXPECT_FALSE(LoadText(store, bytes)) << "bytes: " << bytes;
        EXPECT_EQ(store.lineCount(), 0u);
        EXPECT_EQ(store.textLength(), 0u);
    }
    CTextLine store;
    EXPECT_FALSE(store.Load("abc", CTextBase::kInvalidFileSize));
}

TEST(TextLine, LoadReplacesEarlierText) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "old\r\nold2"));
    ASSERT_TRUE(LoadText(store, "new"));
    EXPECT_EQ(FirstFields(store), (std::vector<std::string>{"new"}));
    EXPECT_FALSE(LoadText(store, "//"));
    EXPECT_EQ(store.lineCount(), 0u);
}

TEST(TextLine, NextLineAtTheEndKeepsTheLastLine) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "head\r\nA\tB\tC"));
    ASSERT_TRUE(store.NextLine());
    EXPECT_STREQ(store.GetField(), "A");
    EXPECT_FALSE(store.NextLine());
    // A missing line reads as the next field of the last one.
    EXPECT_STREQ(store.GetField(), "B");
    EXPECT_FALSE(store.NextLine());
    EXPECT_STREQ(store.GetField(), "C");
    EXPECT_EQ(store.GetField(), nullptr);
}

TEST(TextLine, NextLinePastBlankLinesLeavesNothingToRead) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "A\tB\r\n\r\n// end\r\n"));
    EXPECT_FALSE(store.NextLine());
    EXPECT_EQ(store.currentLineIndex(), store.lineCount() - 1);
    EXPECT_EQ(store.GetField(), nullptr);
    EXPECT_FALSE(store.NextLine());
}

TEST(TextLine, SetLineOutOfRangeChangesNothing) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "a\tb\r\nc"));
    EXPECT_STREQ(store.GetField(), "a");
    EXPECT_FALSE(store.SetLine(2));
    EXPECT_STREQ(store.GetField(), "b");
    EXPECT_TRUE(store.SetLine(1));
    EXPECT_STREQ(store.GetField(), "c");
    EXPECT_TRUE(store.SetLine(0));
    EXPECT_STREQ(store.GetField(), "a");
}

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

TEST(TextLine, OverlongLineIsCutWithDebuggerMessage) {
    struct Case {
        std::string bytes;
        std::wstring message;
        std::string firstField;
    };
    const std::wstring line1 = L"[CTextLine::SetLine]1行目の文字数が多すぎます。\r\n";
    const Case cases[] = {
        // 1021 characters and CR LF: 1023 in all, no message.
        {Repeat('a', 1021) + "\r\n", L"", Repeat('a', 1021)},
        // 1022 and CR LF: 1024; the line keeps its CR, which reads as a trailing separator.
        {Repeat('b', 1022) + "\r\nnext", line1, Repeat('b', 1022)},
        // The rest of a long line is dropped, not made a line of its own.
        {Repeat('c', 2000) + "\nnext", line1, Repeat('c', 1023)},
        // CR-only line ends make one long line.
        {Repeat('d', 600) + "\r" + Repeat('e', 600), line1, Repeat('d', 600)},
        // The number counts every physical line, blank and comment lines too.
        {"\r\n// c\r\n" + Repeat('f', 1500), L"[CTextLine::SetLine]3行目の文字数が多すぎます。\r\n",
         Repeat('f', 1023)},
    };
    for (const auto& c : cases) {
        DebugOutputCapture capture;
        CTextLine store;
        ASSERT_TRUE(LoadText(store, c.bytes));
        EXPECT_EQ(capture.text(), c.message);
        const char* field = store.GetField();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(std::string(field), c.firstField);
    }
}

TEST(TextLine, NextLineOverOverlongLinesReportsEach) {
    DebugOutputCapture capture;
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "head\n" + Repeat('x', 1100) + "\n" + Repeat('y', 1100) + "\n"));
    ASSERT_TRUE(store.NextLine());
    ASSERT_TRUE(store.NextLine());
    EXPECT_FALSE(store.NextLine());
    EXPECT_EQ(capture.text(),
              L"[CTextLine::SetLine]2行目の文字数が多すぎます。\r\n"
              L"[CTextLine::SetLine]3行目の文字数が多すぎます。\r\n");
}

// Shift-JIS (code page 932): 日本語 and テスト, and 表 and ソ, whose second
// bytes are 0x5C, the code of the backslash.
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kTesuto = "\x83\x65\x83\x58\x83\x67";
const std::string kHyouSo = "\x95\x5C\x83\x5C";

TEST(TextLine, ShiftJisDecodesAndRoundTrips) {
    CTextLine store;
    ASSERT_TRUE(LoadText(store, "launch\r\n" + kNihongo + "\t" + kTesuto + "\r\nC:\\" + kHyouSo + "\\//c"));
    ASSERT_TRUE(store.NextLine());
    EXPECT_STREQ(store.currentLine(), L"日本語\tテスト");
    EXPECT_EQ(FieldOrNull(store.GetField()), kNihongo);
    EXPECT_EQ(FieldOrNull(store.GetField()), kTesuto);
    ASSERT_TRUE(store.NextLine());
    EXPECT_STREQ(store.currentLine(), L"C:\\表ソ\\");
    EXPECT_EQ(FieldOrNull(store.GetField()), "C:\\" + kHyouSo + "\\");
}

TEST(TextLine, FieldTooLongForAnsiBufferIsCutAtCharacterBoundary) {
    struct Case {
        std::string line;
        std::size_t expectedBytes;
    };
    std::string jp600;
    for (int i = 0; i < 600; ++i) {
        jp600 += "\x82\xA0";  // あ
    }
    const Case cases[] = {
        {jp600, 1022},         // 511 double-byte characters; a 512th would need 1024 bytes
        {"a" + jp600, 1023},   // 1 + 511 × 2
        {"ab" + jp600, 1022},  // 2 + 510 × 2: never half a character
    };
    for (const auto& c : cases) {
        CTextLine store;
        ASSERT_TRUE(LoadText(store, c.line));
        const char* field = store.GetField();
        ASSERT_NE(field, nullptr);
        const std::string text(field);
        EXPECT_EQ(text.size(), c.expectedBytes);
        EXPECT_EQ(text, c.line.substr(0, c.expectedBytes));
    }
}

}  // namespace
}  // namespace velkast
