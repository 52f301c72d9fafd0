// The screens' updates as a bare Qt window paints them, through its backing store: IMAGES
// pictures of the screens' size, changed and repainted every EVERY-th tick of a 33 ms timer
// (2 and 3: the main window's screens, ten blocks a second; 1 and 1: the player's display;
// 0: no picture, what the 33 ms timer costs by itself).
// Run beside the program, which puts its screens straight onto windows of their own, it shows
// what that path saves.
//   repaint_floor IMAGES EVERY

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class Picture : public QWidget {
public:
    explicit Picture(QWidget* parent) : QWidget(parent), image(250, 140, QImage::Format_RGB32) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(image.size());
    }
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, image);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int images = argc > 1 ? std::max(0, std::atoi(argv[1])) : 1;
    const int every = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    QWidget window;
    window.setWindowTitle("repaint_floor");
    window.setFixedSize(12 + 274 * images, 200);
    std::vector<Picture*> pictures;
    for (int i = 0; i < images; ++i) {
        pictures.push_back(new Picture(&window));
        pictures.back()->move(12 + 274 * i, 41);
    }
    QTimer timer;
    int tick = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++tick % every != 0)
            return;
        for (Picture* picture : pictures) {
            picture->image.fill(QColor::fromHsv(tick % 360, 200, 200));
            picture->update();
        }
    });
    timer.start(33);
    window.show();
    return app.exec();
}
