#include "support/FakePlanSystem.h"

#include <algorithm>
#include <ostream>

namespace velkast::testing {

std::ostream& operator<<(std::ostream& os, const Box& box) {
    auto narrow = [](const std::wstring& text) {
        std::string out;
        for (wchar_t c : text) {
            out += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return out;
    };
    return os << "Box{" << (box.caption ? narrow(*box.caption) : std::string("<default>")) << ", "
              << narrow(box.text) << "}";
}

bool FakePlanSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    const auto found = registry.find({hive, key});
    // As the registry answers: a value larger than the 520-byte buffer is not read.
    if (found == registry.end() || found->second.size() > kMaxPath) {
        return false;
    }
    std::copy(found->second.begin(), found->second.end(), value);
    return true;
}

bool FakePlanSystem::IsPathMissing(const std::wstring& path) {
    return files.count(path) == 0 && folders.count(path) == 0;
}

std::optional<std::uint64_t> FakePlanSystem::OpenForReadSize(const std::wstring& path) {
    opened.push_back(path);
    const auto found = files.find(path);
    if (found == files.end()) {
        boxes.push_back(OpenFailure(path));
        return std::nullopt;
    }
    return found->second;
}

void FakePlanSystem::ShowPlanMessage(const std::wstring& text, const wchar_t* caption) {
    boxes.push_back(Box{caption == nullptr ? std::nullopt : std::optional<std::wstring>(caption), text});
}

const wchar_t* const kCorpusProgramFolder = L"C:\\pkg\\";

FakePlanSystem CorpusSystem() {
    FakePlanSystem system;
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

}  // namespace velkast::testing
