// What becomes of an item arriving where its name is taken: one rule for the
// executor, which acts on it, and the preview, which foretells it.
#pragma once

#include "common/Settings.h"
#include "common/ShellItem.h"

namespace ordvale {

// The conflict settings as they act (any value outside the known ones reads
// as Rename for files and as Merge for folders).
enum class FilePolicy { Rename, Overwrite, Ask };
enum class FolderPolicy { Rename, Merge, Ask };
FilePolicy FilePolicyOf(const OrdvaleSettings& settings);
FolderPolicy FolderPolicyOf(const OrdvaleSettings& settings);

// The two items that meet under one name.
struct Clash {
    bool arrivingFolder = false;  // a folder to the file system (an archive is a file)
    bool arrivingLinked = false;  // a symbolic link or junction to a folder elsewhere
    bool standingFolder = false;
    bool standingLinked = false;
    // The standing item was brought there by this same run (or stands in a
    // folder this run brought).
    bool standingBrought = false;
    // Inside a folder being merged: the folder policy has been settled for
    // the folder, so same-named folders inside merge again.
    bool insideMerge = false;
};

enum class ClashOutcome {
    KeepBoth,  // the arriving item takes the first free numbered name
    Replace,   // the arriving file replaces the standing one
    Merge,     // the arriving folder is merged into the standing one
    Ask,       // the user decides
};

// Items of different kinds, and links on either side, always keep both (a
// link is never merged into, nor its target merged out of it); a file never
// replaces a file the same run brought. Otherwise the settings decide.
ClashOutcome DecideClash(const OrdvaleSettings& settings, const Clash& clash);

// The shell's flags for a copy or move of the source under the settings.
unsigned CopyMoveFlags(const OrdvaleSettings& settings, const ShellItem& source);

}  // namespace ordvale
