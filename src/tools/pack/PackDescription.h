#pragma once
// The description of an update package, as velkast-pack reads it from a
// small text file (UTF-8, INI-like) and from its command line:
//
//   [package]              the launch line, the package's own files, comments
//   title = 更新のご案内
//   launch = 更新のご案内.txt
//   include = texts
//   [block]                one parameter block each
//   key = Software\Hoshizora\Viewer
//   check = 1,viewer.exe,data
//   mode = required
//   message = ...
//   folder = files
//   source = new/viewer
//   [postprocess]
//   item = docs\新機能.txt
//
// Lines beginning with "#" or ";" are comments; spaces around keys and
// values are dropped. Folders of the local file system (include, source) are
// relative to the description's folder, or to the current folder when they
// come from the command line.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/pack/PackReport.h"

namespace velkast::pack {

// A value and where it was given.
struct Value {
    std::wstring text;
    Origin origin;
    std::filesystem::path base;  // the folder that relative local paths start from
};

struct BlockDescription {
    Origin origin;  // the section header, or the command line
    std::optional<Value> key;
    std::optional<Value> check;
    std::optional<Value> mode;
    std::optional<Value> message;
    std::optional<Value> folder;
    std::optional<Value> source;
    std::vector<Value> comments;
};

struct PackageDescription {
    Origin origin;  // the description file, or the command line
    std::optional<Value> title;
    std::optional<Value> launch;
    std::vector<Value> includes;
    std::vector<Value> comments;
    std::optional<Value> item;  // the post-process item
    std::vector<Value> itemComments;
    std::vector<BlockDescription> blocks;
};

// Reads the description's text (UTF-8, a byte order mark allowed); the
// origins name the file as given.
PackageDescription ParseDescription(const std::string& bytes,
                                    const std::wstring& file,
                                    const std::filesystem::path& base,
                                    Report& report);

// The values of a block by their keys (on the command line "--" and the key).
struct BlockField {
    const wchar_t* key;
    std::optional<Value> BlockDescription::*value;
    bool mayBeEmpty;  // a folder may be empty: the package's own
};
const std::vector<BlockField>& BlockFields();

// The values of the overrides (the command line's) replace those of the
// description's only block, or make the block when it has none. False, with
// the reason reported, when the description has more than one block.
bool ApplyOverrides(PackageDescription& description, const BlockDescription& overrides, Report& report);

// The root mode's number, from "required", "exclusive", "optional" or a
// number from 0 to 255 as written.
std::optional<std::wstring> RootModeNumber(const std::wstring& mode);

}  // namespace velkast::pack
