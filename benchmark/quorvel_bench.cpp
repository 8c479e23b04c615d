// Times the work behind one click on the board (the click rules and the synchronous repaint) and
// the decoding of each built-in JPEG picture. Run it on an X display.
#include "platform/Jpeg.h"
#include "ui/Application.h"
#include "ui/BoardView.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Median, fastest and slowest of a series of timings in nanoseconds, printed in milliseconds.
void report(const char *what, std::vector<qint64> nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const auto ms = [](qint64 ns) { return double(ns) / 1e6; };
    std::printf("%-34s median %.3f ms (%.3f to %.3f ms, %zu runs)\n", what,
                ms(nanoseconds[nanoseconds.size() / 2]), ms(nanoseconds.front()),
                ms(nanoseconds.back()), nanoseconds.size());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication(app);
    TForm1 form;
    form.show();
    QElapsedTimer waited;
    waited.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();

    // Selecting and putting down the top peg: every click redraws the whole playfield.
    const QPoint peg = BoardView::CellOrigin(4, 2) + QPoint(30, 30);
    std::vector<qint64> clicks;
    QElapsedTimer timer;
    for (int i = 0; i < 2000; ++i) {
        timer.start();
        form.FormMouseDown(Qt::LeftButton, Qt::NoModifier, peg);
        clicks.push_back(timer.nsecsElapsed());
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    report("click (rules + repaint)", clicks);

    QDirIterator pictures(QStringLiteral(":/pictures"), {QStringLiteral("*.jpg")});
    while (pictures.hasNext()) {
        const QString path = pictures.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        std::vector<qint64> decodes;
        int width = 0, height = 0;
        for (int i = 0; i < 100; ++i) {
            timer.start();
            const RgbImage image
                = decodeJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()),
                             std::size_t(bytes.size()));
            decodes.push_back(timer.nsecsElapsed());
            width = image.width;
            height = image.height;
        }
        const QByteArray name = QStringLiteral("decode %1 (%2 x %3)")
                                    .arg(path.mid(11))
                                    .arg(width)
                                    .arg(height)
                                    .toUtf8();
        report(name.constData(), decodes);
    }
    return 0;
}
