#pragma once
// The recordings library's state: the current and selected file, the folder left last, the
// file list a scan of the output folder makes, and the grid rows the sort fills. The output and
// recent folders themselves live in the settings record.

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// One recording found by a scan.
struct ListEntry {
    std::string path; // output folder, separator, name: built as every other path
    std::string name;
    std::uint64_t sizeKB = 0; // the size sort key
    std::string sizeText;     // sizeKB in decimal digits, without separators
    // Local wall-clock seconds of the last write, rounded down to an even second.
    std::int64_t timeStamp = 0;
    std::string durationText; // "hh:mm:ss"
    std::string dateTimeText;
};

constexpr int GridColumns = 4;
using GridRow = std::array<std::string, GridColumns>;

// What the grid `SGridFiles` shows. Row 0 is the header, drawn by the view; rows 1 and up hold
// the recordings in display order.
struct FileGrid {
    int RowCount = 2; // never below 2: an empty folder shows one empty row under the header
    std::vector<std::string> RowPaths = std::vector<std::string>(2); // by row
    std::vector<GridRow> Cells = std::vector<GridRow>(2);            // by row
    int SelectedRow = -1;                                            // -1: no selection
};

// Sizes the grid for `entries` recordings (at least one row under the header), every cell
// empty, no row selected.
void ResetGrid(FileGrid& grid, std::size_t entries);

// What a scan learned about one recording, kept for the next scan: a file whose size and
// modification time are unchanged is not opened again.
struct KnownRecording {
    std::uint64_t size = 0;
    std::int64_t modifiedNanos = 0;
    std::string durationText;
    std::string dateTimeText;
};

// A recording whose duration is not known yet, as the scan found it.
struct ProbeRequest {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t modifiedNanos = 0;
};

// The sample format of a WAV recording as the audio library reads it; all 0 when unknown.
struct FileFormat {
    std::uint32_t Rate = 0;
    std::uint32_t Channels = 0;
    std::uint32_t Bits = 0; // 8 or 16
};

struct LibraryState {
    std::string PreviousFolder;
    std::string CurrentFile; // the recording that play, rename, move, delete, convert act on
    std::string SelectedFile;
    std::array<std::string, 4> RecentCaptions; // of the File menu's menuFolder1 to menuFolder4
    std::vector<ListEntry> Entries;            // in scan order
    FileGrid Grid;
    // By path, the recordings of the last scan.
    std::unordered_map<std::string, KnownRecording> Known;
    // The recordings of the last scan whose durations are still to be probed; their entries
    // show an empty duration until then.
    std::vector<ProbeRequest> Unprobed;
    // By path, durations kept between runs (of any folder; the date texts stay empty).
    std::unordered_map<std::string, KnownRecording> Stored;
    // The current file's format, and the file it was read from (it is read again when the
    // current file has become another WAV file since).
    FileFormat CurrentFormat;
    std::string CurrentFormatFile;
};

// After a rename or move: the recording keeps what the scan knew about it and its stored
// duration.
void CarryKnownRecording(LibraryState& state, const std::string& from, const std::string& to);
