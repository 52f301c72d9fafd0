#include "ui/dialogs/About.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

// The icon's resource file is linked from a static library, which leaves its registration out
// unless something refers to it.
static void InitIconResource() {
    Q_INIT_RESOURCE(sonvera_icon);
}

namespace {

constexpr int IconSize = 48;

QLabel* MakeTitle(QWidget* parent, int left, int top, const QColor& colour) {
    auto* label = new QLabel("Sonvera 4.2", parent);
    QFont font("Arial");
    font.setPixelSize(24);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle("About Sonvera");
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(376, 238);

    InitIconResource();
    ImageAbout = new QLabel(this);
    ImageAbout->setGeometry(7, 18, IconSize, IconSize);
    ImageAbout->setPixmap(QIcon(":/icon/sonvera.svg").pixmap(IconSize, IconSize));

    // Silver first, then dark blue two pixels up and left over it: a shadowed title.
    Lab1 = MakeTitle(this, 60, 27, QColor(192, 192, 192));
    Lab2 = MakeTitle(this, 58, 25, QColor(0x20, 0x30, 0x70)); // 7352352, blue in the high byte

    BitBtnClose = new QPushButton("OK", this);
    BitBtnClose->setGeometry(142, 158, 73, 25);
    BitBtnClose->setDefault(true);
    connect(BitBtnClose, &QPushButton::clicked, this, &QDialog::accept);
}
