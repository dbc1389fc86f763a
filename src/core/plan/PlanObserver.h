#pragma once
// What the copy plan builder decides, step by step, for a caller that wants
// to follow it: the script checker records it, the updater passes none. Every
// call names the 1-based physical line of the script that the builder has
// just read (blank and comment lines count); when the script has ended, that
// is its last line. The default methods do nothing.

#include <cstdint>
#include <string>

#include "core/job/CopyEntry.h"
#include "core/paths/InstallRoot.h"

namespace velkast {

class PlanObserver {
public:
    // What a line read at the top of the pass is taken for.
    enum class LineKind {
        NoText,  // the line begins with a tab: the pass stops without a message
        ParameterHeader,
        PostProcessHeader,
        FileLine,
    };

    // The lines of the two blocks, in the order they are read.
    enum class BlockLine { RegistryKey, CheckList, RootMode, Message, Folder, PostProcess };

    // How the install root of a parameter block comes out.
    enum class RootVerdict {
        NotFound,   // no INSTALLDIR value under either hive
        Unchecked,  // found; the check list is "None"
        Verified,   // found; the check list holds
        Rejected,   // found; the check list does not hold
    };

    // Why a file line is left out of the plan.
    enum class DropReason {
        BeforeAnyBlock,  // no parameter block has been read yet
        RootNotValid,    // the most recent block has no valid install root
    };

    // Why the pass fails. The user has been shown the builder's box, save
    // for NoText.
    enum class Refusal {
        NoText,
        RootRequired,
        FolderMarker,
        PostProcessMarker,
        TooManyFiles,
        SourceUnreadable,
        PostProcessUnreadable,
        NoFiles,
    };

    virtual ~PlanObserver() = default;

    // A line at the top of the pass and what it is taken for; the text is its
    // first field, empty for NoText.
    virtual void LineRead(std::uint32_t /*line*/, LineKind /*kind*/, const std::wstring& /*text*/) {}
    // A line of a block, read whatever it holds. Present is false when the
    // script had no further line: the text is then the next field of its
    // last line, or empty.
    virtual void BlockLineRead(std::uint32_t /*line*/,
                               BlockLine /*which*/,
                               const std::wstring& /*text*/,
                               bool /*present*/) {}
    // The parameter header of this line ends the pass: the block before it is
    // exclusive and its install root valid.
    virtual void EndedByExclusiveBlock(std::uint32_t /*line*/) {}
    // The registry key gave this install root (normalised, ending in a
    // backslash) under this hive.
    virtual void InstallRootFound(std::uint32_t /*line*/,
                                  RegistryHive /*hive*/,
                                  const std::wstring& /*root*/) {}
    // A name of the check list was looked up below the install root.
    virtual void CheckNameTested(std::uint32_t /*line*/, const std::wstring& /*name*/, bool /*exists*/) {}
    // The verdict on the block's install root, once its check list is read.
    virtual void RootDecided(std::uint32_t /*line*/, RootVerdict /*verdict*/) {}
    // The block's root mode: the low 8 bits of the number read.
    virtual void RootModeRead(std::uint32_t /*line*/, std::uint8_t /*mode*/) {}
    // The block's source folder: the program folder and the folder line.
    virtual void SourceFolderSet(std::uint32_t /*line*/, const std::wstring& /*folder*/) {}
    // The post-process item: the program folder and the block's line.
    virtual void PostProcessSet(std::uint32_t /*line*/, const std::wstring& /*path*/) {}
    virtual void FileLineDropped(std::uint32_t /*line*/, const std::wstring& /*text*/, DropReason /*why*/) {}
    // A file line is in the plan: its source opened, with this size, and the
    // post-process item, when there is one, opened too.
    virtual void FileLineAccepted(std::uint32_t /*line*/,
                                  const CopyEntry& /*entry*/,
                                  std::uint64_t /*size*/) {}
    // The pass fails here; nothing after this line is read.
    virtual void Refused(std::uint32_t /*line*/, Refusal /*why*/) {}
};

}  // namespace velkast
