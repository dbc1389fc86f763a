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

namespace {

velkast::testing::FakePlanSystem MakeSystem() {
    using velkast::RegistryHive;
    velkast::testing::FakePlanSystem system;
    system.registry[{RegistryHive::CurrentUser, L"Software\\A"}] = L"C:\\A";
    system.registry[{RegistryHive::LocalMachine, L"Software\\B"}] = L"D:/B/";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Long"}] = std::wstring(259, L'L');
    system.registry[{RegistryHive::CurrentUser, L"S"}] = L"E:\\\\S";
    system.files = {{L"C:\\pkg\\f\\a", 1},
                    {L"C:\\pkg\\f\\b.txt", 2},
                    {L"C:\\pkg\\a", 3},
                    {L"C:\\pkg\\p.bat", 4},
                    {L"C:\\A\\x", 5}};
    system.folders = {L"C:\\A\\d", L"E:\\S\\d"};
    return system;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) {
        return 0;
    }
    velkast::CTextLine store;
    if (!store.Load(data, static_cast<std::uint32_t>(size))) {
        return 0;
    }
    velkast::CopyJob job;
    job.programFolder = L"C:\\pkg\\";
    job.script = &store;
    velkast::testing::FakePlanSystem system = MakeSystem();
    const bool built = velkast::CopyPlanBuilder(job, system).Build();

    // What the rest of the program relies on.
    if (built != (job.entryCount > 0) || job.entries.size() > velkast::kMaxCopyEntries ||
        (built && static_cast<std::size_t>(job.entryCount) != job.entries.size())) {
        std::abort();
    }
    return 0;
}
