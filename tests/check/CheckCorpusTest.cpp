// Every script of the fuzz corpus: the checker's verdict is the updater's.

#include <gtest/gtest.h>

#include "CheckCorpus.h"
#include "CheckTables.h"
#include "tools/check/CheckFormat.h"

namespace velkast::check {
namespace {

TEST(CheckCorpus, VerdictIsTheUpdaters) {
    const std::vector<testing::CorpusScript>& scripts = testing::CorpusScripts();
    ASSERT_GE(scripts.size(), 8u);
    for (const testing::CorpusScript& script : scripts) {
        SCOPED_TRACE(script.name);
        CheckReport report;
        EXPECT_EQ(testing::CompareWithUpdater(script.bytes, &report), "");
        EXPECT_FALSE(FormatText(report).empty());
        EXPECT_FALSE(FormatJson(report).empty());
    }
}

}  // namespace
}  // namespace velkast::check
