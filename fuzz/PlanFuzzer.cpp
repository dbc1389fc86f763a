// Feeds arbitrary bytes through the script's text line store and the copy
// plan builder, with a system made of tables: nothing may crash, read or write
// out of bounds, or leave the job inconsistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/text/TextLine.h"
#include "support/FakePlanSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) {
        return 0;
    }
    velkast::CTextLine store;
    if (!store.Load(data, static_cast<std::uint32_t>(size))) {
        return 0;
    }
    velkast::CopyJob job;
    job.programFolder = velkast::testing::kCorpusProgramFolder;
    velkast::testing::FakePlanSystem system = velkast::testing::CorpusSystem();
    const bool built = velkast::CopyPlanBuilder(store, job, system).Build();

    // What the rest of the program relies on.
    if ((built && job.entries.empty()) || job.entries.size() > velkast::kMaxCopyEntries) {
        std::abort();
    }
    return 0;
}
