// Prints how long building a copy plan of 2048 file lines takes. On Windows
// (and under Wine) with the real registry and 2048 real files; on the host
// with the system made of tables, which leaves the core's own share.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/text/TextLine.h"

#ifdef _WIN32
#include <windows.h>

#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/RegistryKey.h"
#include "support/win32/TempFolder.h"
#include "win32/plan/Win32PlanSystem.h"
#else
#include "support/FakePlanSystem.h"
#endif

namespace {

constexpr int kFiles = 2048;
constexpr int kRuns = 7;

std::string FileName(int i) {
    return "file" + std::to_string(i) + ".dat";
}

std::string MakeScript(const std::string& key) {
    std::string script =
        "[Update]readme.txt\r\n[SetParamter]\r\n" + key + "\r\nNone\r\n1\r\nmissing\r\n%Root%\\files\\\r\n";
    for (int i = 0; i < kFiles; ++i) {
        script += FileName(i) + "\r\n";
    }
    return script;
}

template <typename MakeSystem>
double MedianMilliseconds(const std::string& script,
                          const std::wstring& programFolder,
                          MakeSystem makeSystem) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        velkast::CTextLine store;
        store.Load(script.data(), static_cast<std::uint32_t>(script.size()));
        velkast::CopyJob job;
        job.programFolder = programFolder;
        auto system = makeSystem();
        const auto start = std::chrono::steady_clock::now();
        const bool built = velkast::CopyPlanBuilder(store, job, system).Build();
        const auto end = std::chrono::steady_clock::now();
        if (!built || job.entries.size() != static_cast<std::size_t>(kFiles)) {
            std::fprintf(stderr, "the plan was not built\n");
            return -1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

#ifdef _WIN32

int main() {
    const velkast::testing::TempFolder program;
    const velkast::testing::TempFolder install;
    CreateDirectoryW((program / L"files").c_str(), nullptr);
    const std::string data(4096, 'x');
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = FileName(i);
        velkast::testing::WriteFile(program / (L"files\\" + std::wstring(name.begin(), name.end())), data);
    }
    velkast::testing::RegistryKey key(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
    key.SetString(install.path());

    // Any box would mean the plan failed; answer it rather than wait.
    const velkast::testing::MessageBoxRecorder noBoxes;
    const double ms = MedianMilliseconds(MakeScript(std::string(key.path().begin(), key.path().end())),
                                         program.path(), [] { return velkast::Win32PlanSystem(nullptr); });
    std::printf("plan of %d file lines, real registry and files (Win32): %.1f ms (median of %d)\n", kFiles,
                ms, kRuns);
    return ms < 0 ? 1 : 0;
}

#else

int main() {
    const double ms = MedianMilliseconds(MakeScript("Software\\Bench"), L"C:\\pkg\\", [] {
        velkast::testing::FakePlanSystem system;
        system.registry[{velkast::RegistryHive::CurrentUser, L"Software\\Bench"}] = L"C:\\App";
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = FileName(i);
            system.files[L"C:\\pkg\\files\\" + std::wstring(name.begin(), name.end())] = 4096;
        }
        return system;
    });
    std::printf("plan of %d file lines, core with a table system (host): %.1f ms (median of %d)\n", kFiles,
                ms, kRuns);
    return ms < 0 ? 1 : 0;
}

#endif
