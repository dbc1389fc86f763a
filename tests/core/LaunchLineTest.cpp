#include "core/script/LaunchLine.h"

#include <gtest/gtest.h>

namespace velkast {
namespace {

TEST(LaunchDocument, SecondPieceBetweenBrackets) {
    struct Case {
        std::wstring field, document;
    };
    const Case cases[] = {
        {L"[Guide]readme.txt", L"readme.txt"},
        {L"[a]]b", L"b"},
        {L"[a]b]c", L"b"},
        {L"[Guide]docs\\はじめに.txt", L"docs\\はじめに.txt"},
        {L"[Update] read me.txt ", L" read me.txt "},
        {L"[Guide]", L""},
        {L"Guide", L""},
        {L"]b", L""},  // b is the first piece
        {L"]]]", L""},
        {L"", L""},
        {L"[SetParamter]", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LaunchDocument(c.field), c.document);
    }
}

}  // namespace
}  // namespace velkast
