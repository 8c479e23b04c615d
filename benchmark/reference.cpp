// The yardstick for Quorvel's start-up: a bare Qt Widgets window of the same size, with a menu
// bar and an empty central widget, and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

namespace {

class EmptyArea : public QWidget
{
public:
    QSize sizeHint() const override { return {490, 538}; }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    for (const char *title : {"&Файл", "&Игра", "П&омощь"})
        window.menuBar()->addMenu(QString::fromUtf8(title));
    auto *area = new EmptyArea;
    // One flat colour, so that the probe can tell when the first paint reached the screen.
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    area->setPalette(palette);
    window.setCentralWidget(area);
    window.show();
    return app.exec();
}
