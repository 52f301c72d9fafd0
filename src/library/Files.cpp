#include "library/Files.h"

#include <algorithm>

void ResetGrid(FileGrid& grid, std::size_t entries) {
    grid.RowCount = std::max(static_cast<int>(entries) + 1, 2);
    grid.RowPaths.assign(grid.RowCount, {});
    grid.Cells.assign(grid.RowCount, {});
    grid.SelectedRow = -1;
}
