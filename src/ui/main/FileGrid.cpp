#include "ui/main/FileGrid.h"

#include "ui/common/PlainText.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

const QColor HeaderFill(208, 217, 224);
const QColor SelectedFill(208, 217, 217);
const QColor SelectedText(0, 0, 150);
const QColor RowFill(229, 239, 239); // also the grid's own background
const QColor LineColour(192, 192, 192);

const std::array<const char*, GridColumns> Captions = {"File Name", "Duration", "Size,KB  ",
                                                       "Date       Time"};

int ColumnLeft(int column) {
    int left = 0;
    for (int c = 0; c < column; ++c) {
        left += FileGridView::ColumnWidths[c] + FileGridView::GridLineWidth;
    }
    return left;
}

} // namespace

FileGridView::FileGridView(QWidget* parent, LibraryState& library, const int& sortOrder,
                           FileGridPictures pictures)
    : QAbstractScrollArea(parent), library(library), sortOrder(sortOrder),
      pictures(std::move(pictures)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Window, RowFill);
    viewport()->setPalette(colours);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    // Moves without a button held reach OnMouseMove too: the buttons' hover is reset over the list.
    viewport()->setMouseTracking(true);
}

int FileGridView::TopRow() const {
    return verticalScrollBar()->value() + 1;
}

int FileGridView::VisibleDataRows() const {
    return std::max(1, (viewport()->height() - RowPitch) / RowPitch);
}

int FileGridView::RowAt(int y) const {
    if (y < 0 || y >= viewport()->height()) {
        return -1;
    }
    const int shown = y / RowPitch;
    const int row = shown == 0 ? 0 : TopRow() + shown - 1;
    return row < library.Grid.RowCount ? row : -1;
}

int FileGridView::ColumnAt(int x) const {
    if (x < 0) {
        return -1;
    }
    for (int c = 0, left = 0; c < GridColumns; ++c) {
        left += ColumnWidths[c] + GridLineWidth;
        if (x < left) {
            return c;
        }
    }
    return -1;
}

QRect FileGridView::CellRect(int column, int row) const {
    if (column < 0 || column >= GridColumns || row < 0 || row >= library.Grid.RowCount ||
        (row > 0 && row < TopRow())) {
        return {};
    }
    const int shown = row == 0 ? 0 : row - TopRow() + 1;
    return QRect(ColumnLeft(column), shown * RowPitch, ColumnWidths[column], RowHeight);
}

void FileGridView::Refresh() {
    FitScrollBar();
    // The row of the current file (a recording just stopped, a file renamed) comes into view.
    if (library.Grid.SelectedRow >= 1) {
        ScrollTo(library.Grid.SelectedRow);
    }
    viewport()->update();
}

void FileGridView::RefreshHeader() {
    viewport()->update(0, 0, viewport()->width(), RowHeight);
}

void FileGridView::FitScrollBar() {
    const int dataRows = library.Grid.RowCount - 1;
    verticalScrollBar()->setRange(0, std::max(0, dataRows - VisibleDataRows()));
    verticalScrollBar()->setPageStep(VisibleDataRows());
}

void FileGridView::ScrollTo(int row) {
    const int top = TopRow();
    if (row < top) {
        verticalScrollBar()->setValue(row - 1);
    } else if (row >= top + VisibleDataRows()) {
        verticalScrollBar()->setValue(row - VisibleDataRows());
    }
}

bool FileGridView::Selectable(int row) const {
    return row >= 1 && row < library.Grid.RowCount && !library.Grid.RowPaths[row].empty();
}

void FileGridView::SelectRow(int row) {
    if (!Selectable(row)) {
        return;
    }
    if (OnSelectCell) {
        OnSelectCell(row);
    }
    library.Grid.SelectedRow = row;
    ScrollTo(row);
    viewport()->update();
}

void FileGridView::SGridFilesDrawCell(QPainter& painter, int column, int row, const QRect& rect,
                                      bool selected) {
    if (row == 0) {
        DrawHeader(painter);
        return;
    }
    const std::string& text = library.Grid.Cells[row][column];
    painter.fillRect(rect, selected ? SelectedFill : RowFill);
    painter.setPen(selected ? SelectedText : Qt::black);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ShownText(text));
    if (column == 0) {
        DrawIcon(painter, rect, text);
    }
}

void FileGridView::DrawIcon(QPainter& painter, const QRect& rect, const std::string& text) {
    const OutputFormat* format = FormatOfFileName(text);
    if (!format)
        return;
    if (const auto icon = pictures.Icons.find(format->Id); icon != pictures.Icons.end())
        painter.drawPixmap(rect.left() + 1, rect.top() + 1, icon->second);
}

void FileGridView::DrawHeader(QPainter& painter) {
    painter.save();
    painter.setClipRect(0, 0, viewport()->width(), RowHeight);
    for (int c = 0; c < GridColumns; ++c) {
        const QRect cell = CellRect(c, 0);
        painter.setPen(Qt::black);
        painter.setBrush(HeaderFill);
        // Outlined from one pixel inside the left edge to two inside the right, as the
        // rows' own grid lines leave it.
        painter.drawRect(cell.left() + 1, cell.top(), cell.width() - 3, cell.height() - 2);
        if (sortOrder == 2 * c + 1) {
            painter.drawPixmap(cell.left() + 2, cell.top() + 2, pictures.ImageUp);
        } else if (sortOrder == 2 * c + 2) {
            painter.drawPixmap(cell.left() + 2, cell.top() + 2, pictures.ImageDown);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRect(cell.left() + 20, cell.top(), cell.width() - 20, cell.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Captions[c]);
    }
    painter.restore();
}

void FileGridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    painter.fillRect(exposed, RowFill);
    const FileGrid& grid = library.Grid;
    const int width = ColumnLeft(GridColumns);
    // Only the rows in view are drawn, however long the list.
    const int last = std::min(grid.RowCount - 1, TopRow() + VisibleDataRows());
    int bottom = 0;
    for (int row = TopRow(); row <= last; ++row) {
        const bool selected = row == grid.SelectedRow;
        for (int c = 0; c < GridColumns; ++c) {
            const QRect cell = CellRect(c, row);
            if (cell.intersects(exposed)) {
                painter.save();
                painter.setClipRect(cell);
                SGridFilesDrawCell(painter, c, row, cell, selected);
                painter.restore();
            }
        }
        bottom = CellRect(0, row).bottom() + 1;
    }
    if (exposed.top() < RowPitch) {
        SGridFilesDrawCell(painter, 0, 0, CellRect(0, 0), false);
    }
    bottom = std::max(bottom, RowHeight);
    painter.setPen(LineColour);
    for (int y = RowHeight; y <= bottom; y += RowPitch) {
        painter.drawLine(0, y, width - 1, y);
    }
    for (int c = 1; c <= GridColumns; ++c) {
        const int x = ColumnLeft(c) - 1;
        painter.drawLine(x, 0, x, bottom);
    }
}

void FileGridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    FitScrollBar();
}

void FileGridView::scrollContentsBy(int, int) {
    viewport()->update();
}

void FileGridView::PressAt(QPoint position) {
    SelectRow(RowAt(position.y()));
}

void FileGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PressAt(event->position().toPoint());
        if (OnClick) {
            OnClick();
        }
    }
    event->accept();
}

void FileGridView::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) {
        OnMouseUp(event->position().toPoint(), event->button());
    }
    event->accept();
}

void FileGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PressAt(event->position().toPoint());
        if (OnDblClick) {
            OnDblClick();
        }
    }
    event->accept();
}

void FileGridView::keyPressEvent(QKeyEvent* event) {
    if (OnKeyDown) {
        OnKeyDown(event->key());
    }
    const int rows = library.Grid.RowCount - 1;
    const int selected = std::max(library.Grid.SelectedRow, 0);
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = std::max(1, selected - 1);
        break;
    case Qt::Key_Down:
        target = std::min(rows, selected + 1);
        break;
    case Qt::Key_PageUp:
        target = std::max(1, selected - VisibleDataRows());
        break;
    case Qt::Key_PageDown:
        target = std::min(rows, selected + VisibleDataRows());
        break;
    case Qt::Key_Home:
        target = 1;
        break;
    case Qt::Key_End:
        target = rows;
        break;
    default:
        event->accept();
        return;
    }
    if (target != library.Grid.SelectedRow) {
        SelectRow(target);
    }
    event->accept();
}

void FileGridView::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove();
    QAbstractScrollArea::mouseMoveEvent(event);
}
