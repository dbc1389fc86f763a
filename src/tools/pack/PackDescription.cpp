#include "tools/pack/PackDescription.h"

#include <algorithm>

#include "core/plan/CopyPlanBuilder.h"
#include "tools/pack/PackText.h"

namespace velkast::pack {
namespace {

enum class Section { None, Package, Block, PostProcess };

std::wstring Trimmed(const std::wstring& text) {
    const std::size_t begin = text.find_first_not_of(L" \t");
    if (begin == std::wstring::npos) {
        return std::wstring();
    }
    return text.substr(begin, text.find_last_not_of(L" \t") - begin + 1);
}

// A value that may be given once, and whose key names something that is
// not empty (a folder of the package may be empty: the package's own).
bool Store(std::optional<Value>& slot,
           const std::wstring& key,
           Value value,
           Report& report,
           bool mayBeEmpty) {
    if (slot) {
        report.Error(value.origin, Quoted(key) + L" is given twice in this section (first at line " +
                                       std::to_wstring(slot->origin.line) + L")");
        return false;
    }
    if (value.text.empty() && !mayBeEmpty) {
        report.Error(value.origin, Quoted(key) + L" needs a value");
        return false;
    }
    slot = std::move(value);
    return true;
}

}  // namespace

PackageDescription ParseDescription(const std::string& bytes,
                                    const std::wstring& file,
                                    const std::filesystem::path& base,
                                    Report& report) {
    PackageDescription description;
    description.origin = Origin{file};
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    Section section = Section::None;
    bool packageSeen = false;
    bool postProcessSeen = false;
    std::uint32_t number = 0;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string raw = text.substr(begin, end - begin);
        begin = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        const std::wstring line = Trimmed(Wide(raw));
        const Origin origin{file, number};
        if (line.empty() || line[0] == L'#' || line[0] == L';') {
            continue;
        }
        if (line.front() == L'[' && line.back() == L']') {
            const std::wstring name = Trimmed(line.substr(1, line.size() - 2));
            if (name == L"package" && !packageSeen) {
                section = Section::Package;
                packageSeen = true;
            } else if (name == L"block") {
                section = Section::Block;
                description.blocks.push_back(BlockDescription{origin, {}, {}, {}, {}, {}, {}, {}});
            } else if (name == L"postprocess" && !postProcessSeen) {
                section = Section::PostProcess;
                postProcessSeen = true;
            } else if (name == L"package" || name == L"postprocess") {
                report.Error(origin, L"a second [" + name + L"] section: the package has one");
                section = Section::None;
            } else {
                report.Error(origin, L"unknown section " + Quoted(line) +
                                         L": the sections are [package], [block] and [postprocess]");
                section = Section::None;
            }
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) {
            report.Error(origin, L"neither a section header nor \"key = value\": " + Quoted(line));
            continue;
        }
        const std::wstring key = Trimmed(line.substr(0, equals));
        Value value{Trimmed(line.substr(equals + 1)), origin, base};
        const auto unknown = [&](const wchar_t* keys) {
            report.Error(origin, L"unknown key " + Quoted(key) + L" here: this section takes " + keys);
        };
        switch (section) {
            case Section::None:
                report.Error(origin, Quoted(key) + L" stands outside a known section");
                break;
            case Section::Package:
                if (key == L"title") {
                    Store(description.title, key, std::move(value), report, true);
                } else if (key == L"launch") {
                    Store(description.launch, key, std::move(value), report, false);
                } else if (key == L"include" && !value.text.empty()) {
                    description.includes.push_back(std::move(value));
                } else if (key == L"include") {
                    report.Error(origin, L"\"include\" needs a value");
                } else if (key == L"comment") {
                    description.comments.push_back(std::move(value));
                } else {
                    unknown(L"title, launch, include and comment");
                }
                break;
            case Section::Block: {
                BlockDescription& block = description.blocks.back();
                const auto& fields = BlockFields();
                const auto field = std::find_if(fields.begin(), fields.end(),
                                                [&](const BlockField& f) { return key == f.key; });
                if (field != fields.end()) {
                    Store(block.*(field->value), key, std::move(value), report, field->mayBeEmpty);
                } else if (key == L"comment") {
                    block.comments.push_back(std::move(value));
                } else {
                    unknown(L"key, check, mode, message, folder, source and comment");
                }
                break;
            }
            case Section::PostProcess:
                if (key == L"item") {
                    Store(description.item, key, std::move(value), report, false);
                } else if (key == L"comment") {
                    description.itemComments.push_back(std::move(value));
                } else {
                    unknown(L"item and comment");
                }
                break;
        }
    }
    return description;
}

const std::vector<BlockField>& BlockFields() {
    static const std::vector<BlockField> fields = {
        {L"key", &BlockDescription::key, false},      {L"check", &BlockDescription::check, false},
        {L"mode", &BlockDescription::mode, false},    {L"message", &BlockDescription::message, false},
        {L"folder", &BlockDescription::folder, true}, {L"source", &BlockDescription::source, false},
    };
    return fields;
}

bool ApplyOverrides(PackageDescription& description, const BlockDescription& overrides, Report& report) {
    const auto& fields = BlockFields();
    if (std::none_of(fields.begin(), fields.end(),
                     [&](const BlockField& f) { return (overrides.*f.value).has_value(); })) {
        return true;
    }
    if (description.blocks.size() > 1) {
        report.Error(description.blocks[1].origin,
                     L"the command line's block options apply to a description of one block at most, and "
                     L"this is the second");
        return false;
    }
    if (description.blocks.empty()) {
        description.blocks.push_back(BlockDescription{Origin{L"command line"}, {}, {}, {}, {}, {}, {}, {}});
    }
    for (const BlockField& field : fields) {
        if (overrides.*field.value) {
            description.blocks.front().*field.value = overrides.*field.value;
        }
    }
    return true;
}

std::optional<std::wstring> RootModeNumber(const std::wstring& mode) {
    if (mode == L"required") {
        return std::to_wstring(CopyPlanBuilder::kRootRequired);
    }
    if (mode == L"exclusive") {
        return std::to_wstring(CopyPlanBuilder::kRootExclusive);
    }
    if (mode == L"optional") {
        return std::wstring(L"0");
    }
    if (mode.empty() || mode.size() > 3 || mode.find_first_not_of(L"0123456789") != std::wstring::npos ||
        std::stoi(mode) > 255 || (mode.size() > 1 && mode[0] == L'0')) {
        return std::nullopt;
    }
    return mode;
}

}  // namespace velkast::pack
