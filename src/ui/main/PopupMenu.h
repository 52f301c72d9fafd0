#pragma once
// The file list's popup menu `PMenu`, whose items the program paints itself (`DrawPopupItem`):
// a light gradient frame for the item under the mouse, a grey strip under the icons otherwise,
// and texts greyed by the recording and playback state rather than by the item's enabling.

#include <QMenu>
#include <QPixmap>
#include <QString>
#include <array>
#include <functional>
#include <string>

class QAction;

// What the painted items show, read each time the menu paints.
struct PopupItemFacts {
    bool IsRecording = false;
    bool IsPlaying = false;
    std::string CurrentFile; // empty: no current file
    // The MP3 options named by the convert item.
    bool VBR = false;
    int BitRate = 128;
    int MinBitRate = 32;
    int MaxBitRate = 320;
};

// The popup icons (play, stop, rename, convert, move, delete), 16 x 16, transparent.
using PopupIcons = std::array<QPixmap, 6>;
PopupIcons LoadPopupIcons();

// The text an item of `kind` (0 separator, 1 Play ... 6 Delete File) shows.
QString PopupItemText(int kind, const PopupItemFacts& facts);

// Paints one item of `kind` into `rect` of `canvas`. Columns are the canvas's own: the strip
// under the icons takes columns 0 to 20, the icon sits at column 1, the text at column 25.
// The canvas brings the menu font, and its pen colour is the menu's normal text colour.
void DrawPopupItem(QPainter& canvas, const QRect& rect, int kind, bool selected,
                   const PopupItemFacts& facts, const PopupIcons& icons);

enum class PopupItem { Play, Stop, Rename, Wav2Mp3, Move, Delete };

class PMenu : public QMenu {
public:
    explicit PMenu(QWidget* parent);

    // The state the items are painted from; without it every text is grey and no icon shows.
    std::function<PopupItemFacts()> Facts;

    // The click handler of an item; a disabled item runs nothing.
    void SetClick(PopupItem item, std::function<void()> handler);
    void SetEnabled(PopupItem item, bool enabled);
    void SetVisible(PopupItem item, bool visible);
    void SetCaption(PopupItem item, const QString& caption);
    QAction* Action(PopupItem item) const;

    QAction* pmenuPlay;
    QAction* pmenuStop;
    QAction* N4;
    QAction* pmenuRename;
    QAction* pmenuWav2Mp3;
    QAction* N10;
    QAction* pmenuMove;
    QAction* pmenuDelete;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QAction* AddItem(const QString& caption, int kind);

    PopupIcons ImageListMenu;
    std::array<std::function<void()>, 6> clicks;
};
