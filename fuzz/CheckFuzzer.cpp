// Feeds arbitrary bytes to the script checker and to the updater's own
// reading of them (the text line store and the copy plan builder), with the
// same tables for registry and files: both must reach the same verdict, with
// the same boxes, and the checker must neither crash nor report a line the
// script does not have.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CheckTables.h"
#include "tools/check/CheckFormat.h"
#include "tools/check/ScriptCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 16) {
        return 0;
    }
    const std::string script(reinterpret_cast<const char*>(data), size);
    velkast::check::CheckReport report;
    const std::string differences = velkast::check::testing::CompareWithUpdater(script, &report);
    if (!differences.empty()) {
        std::fprintf(stderr, "checker and updater disagree: %s\n", differences.c_str());
        std::abort();
    }
    const auto lines = static_cast<std::uint32_t>(std::count(script.begin(), script.end(), '\n') + 1);
    for (const velkast::check::Diagnostic& diagnostic : report.diagnostics) {
        if (diagnostic.line > lines || diagnostic.code.empty() || diagnostic.text.empty()) {
            std::abort();
        }
    }
    if (velkast::check::ToUtf8(velkast::check::FormatText(report)).empty() ||
        velkast::check::ToUtf8(velkast::check::FormatJson(report)).empty()) {
        std::abort();
    }
    return 0;
}
