// The yardstick for Tarnlet's footprint: the least a Qt Widgets program with one tray icon and one
// frameless window costs. Runs until it is ended.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::black);
    QSystemTrayIcon tray { QIcon(pixmap) };
    tray.show();
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(200, 32);
    window.show();
    return app.exec();
}
