#pragma once
// The file list grid `SGridFiles`: a header row and one row per recording, drawn cell by cell by
// the program, whole-row selection, a vertical scroll bar only. It shows LibraryState's rows
// and hands its mouse and key events to the file list's handlers.

#include "engine/OutputFormats.h"
#include "library/Files.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>

class QPainter;

// The pictures the grid draws, made by the window that owns them.
struct FileGridPictures {
    QPixmap ImageUp;                   // ascending order, 16 x 16
    QPixmap ImageDown;                 // descending order, 16 x 16
    std::map<FormatId, QPixmap> Icons; // each recording kind's, with transparency
};

class FileGridView : public QAbstractScrollArea {
public:
    static constexpr std::array<int, GridColumns> ColumnWidths = {200, 75, 75, 170};
    static constexpr int RowHeight = 16;
    static constexpr int GridLineWidth = 1;
    static constexpr int RowPitch = RowHeight + GridLineWidth;

    // `sortOrder` is read at every paint, for the header's arrow.
    FileGridView(QWidget* parent, LibraryState& library, const int& sortOrder,
                 FileGridPictures pictures);

    // The row under a point of the viewport (0 the header), -1 below the last row or outside.
    int RowAt(int y) const;
    // The column under a point of the viewport, -1 right of the last one or outside.
    int ColumnAt(int x) const;
    // A cell's rectangle in the viewport, without its grid lines; empty when scrolled away.
    QRect CellRect(int column, int row) const;
    // The first data row shown under the header.
    int TopRow() const;

    // The rows changed (a scan or a sort): fit the scroll bar, bring the selected row into view
    // and paint again.
    void Refresh();
    // Paints the header again (the sort order changed).
    void RefreshHeader();
    // Moves the selection to a data row, scrolling it into view, and tells OnSelectCell.
    void SelectRow(int row);

    std::function<void(int row)> OnSelectCell;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(int key)> OnKeyDown;
    // The mouse moved over the grid.
    std::function<void()> OnMouseMove;
    // Any button's release, at a point of the viewport.
    std::function<void(QPoint position, Qt::MouseButton button)> OnMouseUp;

    void SGridFilesDrawCell(QPainter& painter, int column, int row, const QRect& rect,
                            bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void DrawHeader(QPainter& painter);
    void DrawIcon(QPainter& painter, const QRect& rect, const std::string& text);
    void PressAt(QPoint position);
    int VisibleDataRows() const;
    void FitScrollBar();
    void ScrollTo(int row);
    bool Selectable(int row) const;

    LibraryState& library;
    const int& sortOrder;
    FileGridPictures pictures;
};
