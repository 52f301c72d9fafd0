#pragma once
// The file list's eight orders (name, duration, size, date; odd ascending, even descending),
// the grid rows they fill, and the header click that changes the order.

#include "library/Files.h"

#include <optional>
#include <string>

// Text order of names and durations: letters a-z count as A-Z, every other byte by its code,
// a prefix before the longer text. Negative, zero or positive like strcmp.
int CompareFolded(const std::string& a, const std::string& b);

// `text` with `separator` before its last 3, 6 and 9 digits where it is long enough.
std::string GroupThousands(const std::string& text, const std::string& separator);

// Fills the grid rows from the entries in order `sortOrder` and selects the row of
// `currentFile`. Equal keys keep scan order in the descending orders and stand in reverse scan
// order in the ascending ones. An order outside 1 to 8 sorts by name, ascending.
void SortFileList(int sortOrder, const std::string& currentFile, LibraryState& state);

// The sort order after a mouse release over the grid, given the row and the columns under the
// pointer and 5 pixels to its left and right (-1 outside every column); nothing unless it was
// a header cell away from a column border, where a drag resizes the column.
std::optional<int> SortOrderAfterHeaderClick(int sortOrder, int row, int columnLeft, int column,
                                             int columnRight);
