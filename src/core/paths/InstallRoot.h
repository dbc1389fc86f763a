#pragma once
// The process-wide path state from which the program forms its two base
// folders: the install-root buffer and the five path slots.

#include <cstdint>
#include <string>

#include "core/paths/PathText.h"

namespace velkast {

enum class RegistryHive { CurrentUser, LocalMachine };

// Where GetInstallDir reads the registry.
class InstallDirSource {
public:
    virtual ~InstallDirSource() = default;
    // Reads the value INSTALLDIR of the key under the hive into the buffer,
    // which the caller has zero-filled: at most its 520 bytes, taken as wide
    // text whatever the value's type. False when the key or the value cannot
    // be read, or the value is larger than the buffer.
    virtual bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) = 0;
};

constexpr std::uint8_t kPathSlotCount = 5;

// The install-root buffer: a folder with its trailing backslash, or empty.
PathBuffer& InstallRootBuffer();
// A path slot; an index past the last gives the last.
PathBuffer& PathSlot(std::uint8_t index);
// Zero-fills the install-root buffer and every path slot.
void ClearPathBuffers();

// Empties the buffers, then reads INSTALLDIR of the key under the hive into
// the install-root buffer with a trailing backslash. A value that does not
// fit the buffer together with that backslash counts as not found. False,
// with the buffers left empty, when nothing was found.
bool GetInstallDir(InstallDirSource& registry, const std::wstring& key, RegistryHive hive);

// The install-root buffer followed by the formatted text (cut at 1023
// characters), with slashes turned into backslashes and doubled backslashes
// collapsed, stored in the slot (cut at 259 characters). Returns the slot.
const wchar_t* MakeRootPath(std::uint8_t slot, const wchar_t* format, ...);

}  // namespace velkast
