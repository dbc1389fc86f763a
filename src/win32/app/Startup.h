#pragma once
// The run of the program from its entry to its end: one instance at a time,
// the update script from the program folder, the launch document, the wait
// dialog, the copy dialog, and the teardown.

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/job/CopyJob.h"
#include "core/platform/HeapBlock.h"
#include "core/text/TextLine.h"

namespace velkast {

// The whole run; always answers 0, the process's exit code.
int RunVelkast(HINSTANCE instance, CopyJob& job);

// The folder of this program's file with its trailing backslash, normalised
// (and placed in the install-root buffer); empty when the file name cannot be
// had or was cut.
std::wstring ProgramFolder();

// Reads Update.up from the program folder into the script store; false when
// the folder is unknown (empty), or the script is missing, unreadable, empty
// or has no line with content.
bool LoadScript(const std::wstring& programFolder, CTextLine& script);

// Reads the file whole into a block of the private heap. False, with no
// block, when it cannot be opened or read, is empty, or is too large for the
// script store.
bool ReadScriptFile(const std::wstring& path, HeapBlock& block, std::uint32_t& size);

}  // namespace velkast
