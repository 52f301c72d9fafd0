#pragma once
// Fitting a text to a pixel width by dropping characters from its end, without an ellipsis.

#include <QFontMetrics>
#include <QString>

inline QString CutToWidth(QString text, const QFontMetrics& metrics, int width) {
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > width)
        text.chop(1);
    return text;
}
