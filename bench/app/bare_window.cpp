// The baseline of the start-up benchmark: a bare Qt window of the menu's size, centred like it.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(446, 495);
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    window.move(area.center() - window.rect().center());
    window.show();
    return app.exec();
}
