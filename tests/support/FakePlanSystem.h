#pragma once
// A plan builder's view of the system, made of tables: registry values,
// files with their sizes, folders. Every box shown is recorded in order; a
// file that cannot be opened records the box that opening shows.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/plan/PlanSystem.h"

namespace velkast::testing {

struct Box {
    std::optional<std::wstring> caption;  // nullopt: the system's default caption
    std::wstring text;

    bool operator==(const Box& other) const { return caption == other.caption && text == other.text; }
};

std::ostream& operator<<(std::ostream& os, const Box& box);

class FakePlanSystem : public PlanSystem {
public:
    std::map<std::pair<RegistryHive, std::wstring>, std::wstring> registry;
    std::map<std::wstring, std::uint64_t> files;
    std::set<std::wstring> folders;
    std::vector<Box> boxes;
    std::vector<std::wstring> opened;  // every path opened, in order

    // The box that stands for the system's text about a file that could not be opened.
    static Box OpenFailure(const std::wstring& path) { return Box{L"エラー", L"cannot open " + path}; }

    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override;
    bool IsPathMissing(const std::wstring& path) override;
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path) override;
    void ShowPlanMessage(const std::wstring& text, const wchar_t* caption) override;
};

// The installation that the fuzzers and the corpus tests read their scripts
// against, with kCorpusProgramFolder as the program folder: a few keys
// (one too long for its backslash), files and folders.
extern const wchar_t* const kCorpusProgramFolder;
FakePlanSystem CorpusSystem();

}  // namespace velkast::testing
