#pragma once
// The scan of the output folder into the file list: which files are recordings, their sizes,
// times, durations and date texts, and the grid reset that the sort then fills.

#include "library/Files.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

// Rebuilds the file list from the output folder: recordings under 50 bytes (a WAV header and
// nothing else) left by a crash are deleted and left out, every other recording gets an entry
// in the order the folder lists them. A small file is no leftover while it may still be
// written: when it is one of `heldFiles` (those this program's writers hold) or changed within
// the last minute (another instance may be writing it). Resets the grid to the entries' row
// count, empty and without selection. Nothing is opened: a duration comes from the last scan
// (LibraryState::Known) or from those kept between runs (LibraryState::Stored) when the file's
// size and modification time are unchanged; every other entry's duration stays empty and the
// file is named in LibraryState::Unprobed, for ProbeDurationsNow or BackgroundDurations.
void ScanOutputFolder(const std::string& outputFolder, LibraryState& state,
                      const std::vector<std::string>& heldFiles = {});

// The two halves of ScanOutputFolder. ListOutputFolder does everything that waits on the disk
// (the listing, the leftovers' deletion) and may run on any thread; ApplyListing builds the
// entries from what it returned and touches no file.
std::vector<platform::DirEntry> ListOutputFolder(const std::string& outputFolder,
                                                 const std::vector<std::string>& heldFiles);
void ApplyListing(const std::string& outputFolder, std::vector<platform::DirEntry> files,
                  LibraryState& state);
