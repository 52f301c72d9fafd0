#include "ui/main/SkinPictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: nothing refers to them, so the linker would drop
// them unless they are registered by name from code that is linked in. (The registration
// macro declares a global function, so this stays outside any namespace.)
static void RegisterSkinResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(skins);
        return true;
    }();
    (void)registered;
}

QPixmap RenderSkinPicture(const QString& name, QSize size) {
    RegisterSkinResources();
    QSvgRenderer renderer(":/skins/" + name + ".svg");
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return QPixmap::fromImage(image);
}
