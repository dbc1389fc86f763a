#pragma once
// What the checker's tests and fuzzer share: a checker's system over the
// tables of the plan builder's test system, and the comparison of the
// checker's verdict with the updater's on the same script and tables.

#include <cstdint>
#include <optional>
#include <string>

#include "support/FakePlanSystem.h"
#include "tools/check/ScriptCheck.h"

namespace velkast::check::testing {

// Answers as the tables of a FakePlanSystem answer the plan builder.
class TableCheckSystem : public CheckSystem {
public:
    explicit TableCheckSystem(velkast::testing::FakePlanSystem given) : tables(std::move(given)) {}

    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override {
        return tables.ReadInstallDir(hive, key, value);
    }
    bool IsPathMissing(const std::wstring& path) override { return tables.IsPathMissing(path); }
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path, std::wstring& reason) override {
        const std::optional<std::uint64_t> size = tables.OpenForReadSize(path);
        if (!size) {
            reason = L"not in the table";
        }
        return size;
    }

    velkast::testing::FakePlanSystem tables;
};

// Reads the script as the updater does (loading it, then building the plan
// with the tables) and as the checker does, with the same tables. Empty when
// the two agree: both accept, or both refuse with the same boxes, the
// system's box about a file included; otherwise what differs. The checker's
// report is left in the report, when one is given.
std::string CompareWithUpdater(const std::string& script, CheckReport* report = nullptr);

}  // namespace velkast::check::testing
