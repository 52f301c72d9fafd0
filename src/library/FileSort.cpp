#include "library/FileSort.h"

#include "platform/Locale.h"

#include <algorithm>
#include <numeric>

namespace {

unsigned char Folded(char c) {
    return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// The cell texts start with spaces: the name's leave room for the kind icon drawn over them.
GridRow CellsOf(const ListEntry& entry, const std::string& separator) {
    return {std::string(8, ' ') + entry.name, std::string(6, ' ') + entry.durationText,
            std::string(6, ' ') + GroupThousands(entry.sizeText, separator),
            std::string(6, ' ') + entry.dateTimeText};
}

} // namespace

int CompareFolded(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = Folded(a[i]) - Folded(b[i]);
        if (difference != 0) {
            return difference;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string GroupThousands(const std::string& text, const std::string& separator) {
    std::string grouped = text;
    // From the right, so each position still counts on the text as it was.
    for (std::size_t digits : {3, 6, 9}) {
        if (text.size() > digits) {
            grouped.insert(text.size() - digits, separator);
        }
    }
    return grouped;
}

void SortFileList(int sortOrder, const std::string& currentFile, LibraryState& state) {
    if (sortOrder < 1 || sortOrder > 8) {
        sortOrder = 1;
    }
    const std::vector<ListEntry>& entries = state.Entries;
    const int column = (sortOrder - 1) / 2;
    auto greater = [&](std::size_t a, std::size_t b) {
        const ListEntry& x = entries[a];
        const ListEntry& y = entries[b];
        switch (column) {
        case 0:
            return CompareFolded(x.name, y.name) > 0;
        case 1:
            return CompareFolded(x.durationText, y.durationText) > 0;
        case 2:
            return x.sizeKB > y.sizeKB;
        default:
            return x.timeStamp > y.timeStamp;
        }
    };
    // Largest key first, equal keys in scan order; an ascending order reads this from the
    // bottom row up, which puts equal keys in reverse scan order.
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), greater);

    FileGrid& grid = state.Grid;
    ResetGrid(grid, entries.size());
    const bool descending = sortOrder % 2 == 0;
    const std::string separator = platform::ThousandsSeparator();
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int row = static_cast<int>(descending ? k + 1 : order.size() - k);
        const ListEntry& entry = entries[order[k]];
        grid.RowPaths[row] = entry.path;
        grid.Cells[row] = CellsOf(entry, separator);
        // The row shown selected is the selected file, so a double click on it plays it.
        if (entry.path == currentFile) {
            grid.SelectedRow = row;
            state.SelectedFile = entry.path;
        }
    }
}

std::optional<int> SortOrderAfterHeaderClick(int sortOrder, int row, int columnLeft, int column,
                                             int columnRight) {
    if (row != 0 || column < 0 || column >= GridColumns || columnLeft != column ||
        columnRight != column) {
        return std::nullopt;
    }
    return sortOrder == 2 * column + 1 ? 2 * column + 2 : 2 * column + 1;
}
