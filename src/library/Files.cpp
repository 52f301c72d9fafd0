#include "library/Files.h"

#include <algorithm>

void ResetGrid(FileGrid& grid, std::size_t entries) {
    grid.RowCount = std::max(static_cast<int>(entries) + 1, 2);
    grid.RowPaths.assign(grid.RowCount, {});
    grid.Cells.assign(grid.RowCount, {});
    grid.SelectedRow = -1;
}

void CarryKnownRecording(LibraryState& state, const std::string& from, const std::string& to) {
    for (auto* memory : {&state.Known, &state.Stored}) {
        auto known = memory->extract(from);
        if (!known.empty()) {
            memory->erase(to);
            known.key() = to;
            memory->insert(std::move(known));
        }
    }
}
