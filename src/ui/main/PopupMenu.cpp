#include "ui/main/PopupMenu.h"

#include "library/FileNames.h"
#include "ui/main/SkinPictures.h"

#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

const QColor GreyText(128, 128, 128);

const QColor ItemBackground(235, 235, 230);
const QColor LineGrey(150, 150, 150);

// The menu window around the painted items. Disabled items are painted like enabled ones, so
// they also take the selected look under the mouse, as owner-drawn menus do (clicking them
// still does nothing). A separator gets room for its line on its fourth row, centred; the
// window gets a thin border in the separators' grey, so the menu stands out from the list.
class PopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_MenuPanelWidth)
            return 1;
        if (metric == PM_MenuHMargin || metric == PM_MenuVMargin)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize measured = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type == CT_MenuItem && item && item->menuItemType == QStyleOptionMenuItem::Separator)
            measured.setHeight(std::max(measured.height(), 7));
        return measured;
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelMenu) {
            painter->fillRect(option->rect, ItemBackground);
            return;
        }
        if (element == PE_FrameMenu) {
            painter->save();
            painter->setPen(LineGrey);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

PopupIcons LoadPopupIcons() {
    const char* names[] = {"MenuPlay",    "MenuStop", "MenuRename",
                           "MenuConvert", "MenuMove", "MenuDelete"};
    PopupIcons icons;
    for (std::size_t i = 0; i < icons.size(); ++i)
        icons[i] = RenderSkinPicture(names[i], QSize(16, 16));
    return icons;
}

QString PopupItemText(int kind, const PopupItemFacts& facts) {
    switch (kind) {
    case 1:
        return "Play";
    case 2:
        return "Stop";
    case 3:
        return "Rename File...";
    case 4:
        if (facts.VBR)
            return "Convert to MP3 (" + QString::number(facts.MinBitRate) + "-" +
                   QString::number(facts.MaxBitRate) + " kbps)";
        return "Convert to MP3 (" + QString::number(facts.BitRate) + " kbps)";
    case 5:
        return "Move File...";
    case 6:
        return "Delete File...";
    default:
        return {};
    }
}

void DrawPopupItem(QPainter& canvas, const QRect& rect, int kind, bool selected,
                   const PopupItemFacts& facts, const PopupIcons& icons) {
    // Right and bottom are exclusive, as the menu system hands them over.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    QColor textColour = canvas.pen().color();

    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    if (selected) {
        canvas.setPen(QColor(130, 150, 135));
        canvas.setBrush(QColor(245, 250, 255));
        canvas.drawRect(left, top, right - left - 1, bottom - top - 1);
        textColour = QColor(0, 0, 60);
        // Darkens slightly from top to bottom inside the frame.
        for (int c = 0; c <= bottom - top - 3 && left + 1 <= right - 2; ++c) {
            canvas.setPen(QColor(std::max(0, 245 - 2 * c), std::max(0, 250 - 2 * c),
                                 std::max(0, 255 - 2 * c)));
            canvas.drawLine(left + 1, top + 1 + c, right - 2, top + 1 + c);
        }
    } else {
        canvas.fillRect(rect, ItemBackground);
        // The strip under the icons, white at column 0 to grey 195 at column 20.
        for (int x = 20; x >= 0; --x) {
            canvas.setPen(QColor(255 - 3 * x, 255 - 3 * x, 255 - 3 * x));
            canvas.drawLine(x, top, x, bottom - 1);
        }
        if (kind == 0) {
            canvas.setPen(LineGrey);
            canvas.drawLine(2, top + 3, right - 1, top + 3);
        }
    }

    if (facts.IsRecording || facts.CurrentFile.empty())
        textColour = GreyText;
    else if (kind >= 1 && kind <= static_cast<int>(icons.size()))
        canvas.drawPixmap(1, top + 1, icons[kind - 1]);

    if ((kind == 1 && facts.IsPlaying) || (kind == 2 && !facts.IsPlaying) ||
        (kind == 4 && !IsWavName(facts.CurrentFile)))
        textColour = GreyText;

    const QString text = PopupItemText(kind, facts);
    if (!text.isEmpty()) {
        canvas.setPen(textColour);
        canvas.setBrush(Qt::NoBrush);
        canvas.setBackgroundMode(Qt::TransparentMode);
        canvas.drawText(QRect(25, top + 1, std::max(0, right - 25), bottom - top),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    canvas.restore();
}

PMenu::PMenu(QWidget* parent) : QMenu(parent), ImageListMenu(LoadPopupIcons()) {
    auto* popupStyle = new PopupStyle;
    popupStyle->setParent(this);
    setStyle(popupStyle);

    pmenuPlay = AddItem("Play", 1);
    pmenuStop = AddItem("Stop", 2);
    N4 = addSeparator();
    N4->setData(0);
    pmenuRename = AddItem("Rename File...", 3);
    pmenuWav2Mp3 = AddItem("Convert to MP3", 4);
    N10 = addSeparator();
    N10->setData(0);
    pmenuMove = AddItem("Move File...", 5);
    pmenuDelete = AddItem("Delete File...", 6);

    for (int i = 0; i < static_cast<int>(clicks.size()); ++i) {
        QAction* action = Action(static_cast<PopupItem>(i));
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, i, action] {
            if (action->isEnabled() && clicks[i])
                clicks[i]();
        });
    }
}

QAction* PMenu::AddItem(const QString& caption, int kind) {
    QAction* action = addAction(caption);
    action->setData(kind);
    return action;
}

QAction* PMenu::Action(PopupItem item) const {
    switch (item) {
    case PopupItem::Play:
        return pmenuPlay;
    case PopupItem::Stop:
        return pmenuStop;
    case PopupItem::Rename:
        return pmenuRename;
    case PopupItem::Wav2Mp3:
        return pmenuWav2Mp3;
    case PopupItem::Move:
        return pmenuMove;
    case PopupItem::Delete:
        return pmenuDelete;
    }
    return nullptr;
}

void PMenu::SetClick(PopupItem item, std::function<void()> handler) {
    clicks[static_cast<int>(item)] = std::move(handler);
}

void PMenu::SetEnabled(PopupItem item, bool enabled) {
    Action(item)->setEnabled(enabled);
}

void PMenu::SetVisible(PopupItem item, bool visible) {
    Action(item)->setVisible(visible);
}

void PMenu::SetCaption(PopupItem item, const QString& caption) {
    Action(item)->setText(caption);
}

void PMenu::paintEvent(QPaintEvent* event) {
    QPainter canvas(this);
    canvas.setClipRegion(event->region());

    // The menu window's own panel and border come from the style, around the items.
    QStyleOption panel;
    panel.initFrom(this);
    panel.state = QStyle::State_None;
    panel.rect = rect();
    style()->drawPrimitive(QStyle::PE_PanelMenu, &panel, &canvas, this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.state = QStyle::State_None;
    frame.rect = rect();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    frame.midLineWidth = 0;
    style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &canvas, this);

    const PopupItemFacts facts = Facts ? Facts() : PopupItemFacts{};
    for (QAction* action : actions()) {
        if (!action->isVisible())
            continue;
        const QRect item = actionGeometry(action);
        if (item.isEmpty() || !event->rect().intersects(item))
            continue;
        // Each item is painted in its own columns, counted from its left edge.
        canvas.save();
        canvas.translate(item.left(), 0);
        const QRect local(0, item.top(), item.width(), item.height());
        canvas.setClipRect(local, Qt::IntersectClip);
        canvas.setFont(font());
        canvas.setPen(palette().color(QPalette::WindowText));
        DrawPopupItem(canvas, local, action->data().toInt(), action == activeAction(), facts,
                      ImageListMenu);
        canvas.restore();
    }
}
