#pragma once
// Fitting a text to a pixel width: by dropping characters from its end, without an ellipsis,
// or by a smaller font where the whole text matters.

#include <QFontMetrics>
#include <QLabel>
#include <QString>

inline QString CutToWidth(QString text, const QFontMetrics& metrics, int width) {
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > width)
        text.chop(1);
    return text;
}

// Makes the label's font smaller by half points, down to 6 points, until the label (sized to its
// text) is no wider than `width`.
inline void ShrinkToWidth(QLabel* label, int width) {
    QFont font = label->font();
    while (label->width() > width && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
        label->adjustSize();
    }
}
