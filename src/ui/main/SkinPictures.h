#pragma once
// The program's own artwork: each skin picture is an SVG file compiled into the program,
// rendered once at start into a pixmap of the exact size its control has.

#include <QPixmap>
#include <QSize>
#include <QString>

// Renders the picture `name` (":/skins/<name>.svg") at `size` device pixels, transparent where
// the drawing leaves the background; a null pixmap when the program holds no such picture.
QPixmap RenderSkinPicture(const QString& name, QSize size);
