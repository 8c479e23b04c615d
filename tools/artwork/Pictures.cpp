// The three dialog pictures: the About emblem and the two pictures of the dedication dialog.
#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

// The About emblem: a large "Q" in black outline with a heavy shadow, with the cross of the
// board inside its bowl. The dialog stretches it 1.78 times wide and 1.27 times high, so it is
// drawn narrow here to look round there.
QPainterPath emblemLetter()
{
    QPainterPath ring;
    const QRectF outer(5, 6, 36, 50);
    ring.addEllipse(outer);
    QPainterPath bowl;
    bowl.addEllipse(outer.adjusted(8, 9, -8, -9));
    QPainterPath tail;
    tail.moveTo(25, 45);
    tail.lineTo(32, 41);
    tail.lineTo(46, 63);
    tail.lineTo(38, 66);
    tail.closeSubpath();
    return ring.subtracted(bowl).united(tail);
}

} // namespace

QImage makeProgramIcon()
{
    QImage image(50, 70, QImage::Format_RGB32);
    image.fill(QColor(193, 193, 193));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath letter = emblemLetter();

    // The shadow is the letter itself, solid black, pushed down and to the right.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::black);
    p.drawPath(letter.translated(4, 3.5));
    QLinearGradient face(0, 6, 0, 66);
    face.setColorAt(0, QColor(255, 255, 255));
    face.setColorAt(1, QColor(200, 200, 200));
    p.setBrush(face);
    p.drawPath(letter);

    // The cross of the board: five pegs in the bowl.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(240, 240, 240));
    for (const QPointF &peg :
         {QPointF(25, 26), QPointF(25, 33), QPointF(25, 40), QPointF(20, 33), QPointF(30, 33)})
        p.drawEllipse(peg, 2, 2.6);
    return image;
}

// --- Image1: a still life of the game on a table by a window --------------------------------

namespace {

QColor shaded(const QColor &colour, double factor)
{
    auto channel = [factor](int value) { return std::clamp(int(value * factor), 0, 255); };
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
}

void drawWall(QPainter &p)
{
    QLinearGradient wall(0, 0, 0, 470);
    wall.setColorAt(0, QColor(96, 70, 58));
    wall.setColorAt(1, QColor(150, 112, 84));
    p.fillRect(QRectF(0, 0, 484, 470), wall);
    // Striped wallpaper: pairs of thin lines with a small diamond between them.
    p.setPen(Qt::NoPen);
    for (int x = -10; x < 484; x += 44) {
        p.setBrush(QColor(255, 230, 190, 22));
        p.drawRect(QRectF(x, 0, 14, 470));
        p.setBrush(QColor(60, 36, 28, 28));
        p.drawRect(QRectF(x + 14, 0, 2, 470));
        for (int y = 20; y < 470; y += 36) {
            QPolygonF diamond;
            diamond << QPointF(x + 30, y - 5) << QPointF(x + 34, y) << QPointF(x + 30, y + 5)
                    << QPointF(x + 26, y);
            p.setBrush(QColor(255, 220, 160, 34));
            p.drawPolygon(diamond);
        }
    }
    // Daylight from the window falls on the wall around it.
    QRadialGradient light(QPointF(242, 250), 330);
    light.setColorAt(0, QColor(255, 236, 200, 110));
    light.setColorAt(1, QColor(255, 236, 200, 0));
    p.setBrush(light);
    p.drawRect(QRectF(0, 0, 484, 470));
}

void drawLandscape(QPainter &p, const QRectF &glass)
{
    p.save();
    p.setClipRect(glass);
    QLinearGradient sky(0, glass.top(), 0, glass.bottom());
    sky.setColorAt(0, QColor(64, 118, 196));
    sky.setColorAt(0.55, QColor(168, 196, 226));
    sky.setColorAt(0.78, QColor(252, 220, 170));
    sky.setColorAt(1, QColor(250, 196, 140));
    p.fillRect(glass, sky);

    // The low sun and its glow.
    QRadialGradient sun(QPointF(300, 270), 90);
    sun.setColorAt(0, QColor(255, 252, 228, 255));
    sun.setColorAt(0.12, QColor(255, 246, 200, 240));
    sun.setColorAt(0.4, QColor(255, 220, 150, 90));
    sun.setColorAt(1, QColor(255, 220, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(300, 270), 90, 90);

    // Clouds: clusters of soft white puffs, lit from below by the sun.
    auto cloud = [&p](double x, double y, double scale) {
        const double puffs[][3]
            = {{0, 0, 16}, {18, -8, 20}, {40, -3, 17}, {58, 3, 12}, {-16, 5, 11}, {22, 6, 15}};
        for (const auto &puff : puffs) {
            const QPointF centre(x + puff[0] * scale, y + puff[1] * scale);
            const double r = puff[2] * scale;
            QRadialGradient g(centre + QPointF(0, -r * 0.4), r * 1.2);
            g.setColorAt(0, QColor(255, 255, 255, 235));
            g.setColorAt(0.7, QColor(250, 236, 230, 200));
            g.setColorAt(1, QColor(240, 220, 220, 0));
            p.setBrush(g);
            p.drawEllipse(centre, r * 1.25, r);
        }
    };
    cloud(160, 140, 1.0);
    cloud(300, 112, 0.8);
    cloud(220, 220, 0.6);

    // Far hills, nearer hills, a lake and the shore, each layer darker and greener.
    auto hills = [&p, &glass](double base, const QColor &top, const QColor &bottom,
                              std::initializer_list<QPointF> ridge) {
        QPainterPath path;
        path.moveTo(glass.left() - 5, glass.bottom() + 5);
        const QPointF *previous = nullptr;
        for (const QPointF &point : ridge) {
            if (!previous)
                path.lineTo(point);
            else
                path.cubicTo(QPointF((previous->x() + point.x()) / 2, previous->y()),
                             QPointF((previous->x() + point.x()) / 2, point.y()), point);
            previous = &point;
        }
        path.lineTo(glass.right() + 5, glass.bottom() + 5);
        path.closeSubpath();
        QLinearGradient g(0, base - 40, 0, glass.bottom());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setBrush(g);
        p.drawPath(path);
    };
    hills(300, QColor(132, 150, 186), QColor(170, 170, 190),
          {{113, 300}, {170, 282}, {230, 298}, {290, 276}, {372, 296}});
    hills(330, QColor(96, 128, 120), QColor(120, 140, 120),
          {{113, 318}, {150, 306}, {205, 322}, {260, 312}, {320, 326}, {372, 314}});
    // The lake mirrors the evening sky.
    QLinearGradient lake(0, 340, 0, 380);
    lake.setColorAt(0, QColor(236, 206, 166));
    lake.setColorAt(1, QColor(150, 170, 196));
    p.setBrush(lake);
    p.drawRect(QRectF(glass.left(), 338, glass.width(), 40));
    p.setBrush(QColor(255, 245, 210, 170));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(286 - i * 3, 342 + i * 6, 28 + i * 6, 2));
    hills(370, QColor(70, 104, 56), QColor(46, 76, 40),
          {{113, 372}, {160, 366}, {210, 378}, {280, 370}, {372, 380}});

    // A house with a red roof across the lake, and dark fir trees on the near shore.
    p.setBrush(QColor(232, 214, 180));
    p.drawRect(QRectF(180, 326, 18, 12));
    QPolygonF roof;
    roof << QPointF(177, 327) << QPointF(189, 317) << QPointF(201, 327);
    p.setBrush(QColor(170, 52, 40));
    p.drawPolygon(roof);
    for (const auto &[x, height] :
         {std::pair {130.0, 46.0}, {146.0, 34.0}, {344.0, 52.0}, {358.0, 38.0}, {238.0, 26.0}}) {
        QPolygonF tree;
        const double base = 378;
        tree << QPointF(x, base - height) << QPointF(x + height * 0.22, base)
             << QPointF(x - height * 0.22, base);
        p.setBrush(QColor(34, 62, 40));
        p.drawPolygon(tree);
    }
    p.restore();
}

void drawWindow(QPainter &p)
{
    const QRectF outer(100, 70, 284, 362);
    const QRectF glass = outer.adjusted(16, 16, -16, -16);
    drawLandscape(p, glass);

    // A faint reflection across the panes.
    QLinearGradient shine(glass.topLeft(), glass.bottomRight());
    shine.setColorAt(0.25, QColor(255, 255, 255, 0));
    shine.setColorAt(0.32, QColor(255, 255, 255, 40));
    shine.setColorAt(0.4, QColor(255, 255, 255, 0));
    p.fillRect(glass, shine);

    // The frame: painted white wood, lit from the front, with the mullion and transom.
    const QColor frame(236, 228, 212);
    QPainterPath sash;
    sash.addRect(outer);
    sash.addRect(glass);
    sash.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(shaded(frame, 0.6), 1.5));
    p.setBrush(frame);
    p.drawPath(sash);
    p.drawRect(QRectF(236, glass.top(), 12, glass.height()));
    p.drawRect(QRectF(glass.left(), 236, glass.width(), 12));
    // Shadow inside the frame, where it meets the glass.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 50, 40, 70));
    p.drawRect(QRectF(glass.left(), glass.top(), glass.width(), 5));
    p.drawRect(QRectF(glass.left(), glass.top(), 5, glass.height()));

    // The sill, seen a little from above.
    QLinearGradient sill(0, 430, 0, 452);
    sill.setColorAt(0, QColor(250, 244, 232));
    sill.setColorAt(0.6, QColor(220, 210, 194));
    sill.setColorAt(1, QColor(150, 138, 122));
    p.setBrush(sill);
    p.drawRect(QRectF(84, 430, 316, 22));
}

// A curtain hanging from the rod and gathered by a tie, its folds as repeating light and dark.
void drawCurtain(QPainter &p, bool left)
{
    const double sign = left ? 1 : -1;
    const double edge = left ? 14 : 470; // the outer edge, near the wall's side
    QPainterPath path;
    path.moveTo(edge, 52);
    path.lineTo(edge + sign * 132, 52);
    path.cubicTo(QPointF(edge + sign * 120, 180), QPointF(edge + sign * 70, 280),
                 QPointF(edge + sign * 56, 320));
    path.cubicTo(QPointF(edge + sign * 80, 380), QPointF(edge + sign * 110, 430),
                 QPointF(edge + sign * 112, 470));
    path.lineTo(edge - sign * 20, 470);
    path.closeSubpath();

    QLinearGradient folds(edge, 0, edge + sign * 132, 0);
    const QColor cloth(150, 30, 42);
    for (int i = 0; i <= 12; ++i) {
        const double t = i / 12.0;
        folds.setColorAt(t, shaded(cloth, i % 2 ? 1.25 : 0.62 + 0.1 * std::sin(i * 1.7)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(folds);
    p.drawPath(path);
    // Gold braid along the inner edge and the tie-back.
    p.setPen(QPen(QColor(214, 170, 70), 3));
    p.setBrush(Qt::NoBrush);
    QPainterPath border;
    border.moveTo(edge + sign * 132, 52);
    border.cubicTo(QPointF(edge + sign * 120, 180), QPointF(edge + sign * 70, 280),
                   QPointF(edge + sign * 56, 320));
    border.cubicTo(QPointF(edge + sign * 80, 380), QPointF(edge + sign * 110, 430),
                   QPointF(edge + sign * 112, 470));
    p.drawPath(border);
    // The tie-back: a gold band drawn tight round the waist of the curtain.
    QLinearGradient tie(0, 310, 0, 330);
    tie.setColorAt(0, QColor(250, 214, 110));
    tie.setColorAt(1, QColor(170, 120, 40));
    QPainterPath band;
    const double inner = edge + sign * 60;
    band.moveTo(edge - sign * 4, 314);
    band.quadTo(QPointF((edge + inner) / 2, 322), QPointF(inner, 316));
    band.lineTo(inner, 326);
    band.quadTo(QPointF((edge + inner) / 2, 332), QPointF(edge - sign * 4, 324));
    band.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 30), 1));
    p.setBrush(tie);
    p.drawPath(band);
    QRadialGradient tassel(QPointF(edge + sign * 58, 338), 12);
    tassel.setColorAt(0, QColor(255, 224, 120));
    tassel.setColorAt(1, QColor(160, 110, 30));
    p.setBrush(tassel);
    p.drawEllipse(QPointF(edge + sign * 58, 336), 7, 12);
}

void drawRod(QPainter &p)
{
    QLinearGradient brass(0, 42, 0, 58);
    brass.setColorAt(0, QColor(255, 232, 150));
    brass.setColorAt(0.5, QColor(196, 150, 60));
    brass.setColorAt(1, QColor(110, 76, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(brass);
    p.drawRoundedRect(QRectF(6, 44, 472, 10), 5, 5);
    for (double x : {10.0, 474.0}) {
        QRadialGradient knob(QPointF(x - 3, 45), 12);
        knob.setColorAt(0, QColor(255, 240, 180));
        knob.setColorAt(1, QColor(130, 90, 30));
        p.setBrush(knob);
        p.drawEllipse(QPointF(x, 49), 10, 10);
    }
}

void drawTable(QPainter &p)
{
    // The top, in perspective: the far edge against the wall, the near edge at the bottom.
    QLinearGradient top(0, 462, 0, 692);
    top.setColorAt(0, QColor(92, 44, 22));
    top.setColorAt(1, QColor(150, 76, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(top);
    p.drawRect(QRectF(0, 462, 484, 230));
    // Grain: long wavering lines that fan out towards the viewer.
    for (int i = 0; i < 34; ++i) {
        const double farX = -60 + i * 18.0;
        const double nearX = 242 + (farX - 242) * 1.6;
        QPainterPath grain;
        grain.moveTo(farX, 462);
        grain.cubicTo(QPointF(farX + 6 * std::sin(i * 2.1), 540),
                      QPointF(nearX - 8 * std::sin(i * 1.3), 620), QPointF(nearX, 692));
        p.setPen(QPen(QColor(50, 20, 8, 40 + (i * 37) % 40), 1 + (i % 3) * 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(grain);
    }
    // The window's light on the polished top.
    QRadialGradient gleam(QPointF(250, 500), 220);
    gleam.setColorAt(0, QColor(255, 220, 170, 90));
    gleam.setColorAt(1, QColor(255, 220, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gleam);
    p.drawRect(QRectF(0, 462, 484, 230));
    // The near edge, rounded, and the apron below it.
    QLinearGradient edge(0, 690, 0, 728);
    edge.setColorAt(0, QColor(200, 120, 60));
    edge.setColorAt(0.15, QColor(110, 52, 24));
    edge.setColorAt(1, QColor(40, 16, 8));
    p.setBrush(edge);
    p.drawRect(QRectF(0, 690, 484, 38));
}

// Where hole (column, row) of the board lies on the picture, columns and rows 0 to 6.
QPointF boardPoint(double column, double row)
{
    const double u = column - 3, v = row - 3;
    const double depth = 1 + 0.045 * v; // nearer rows are wider apart
    return {238 + u * 37 * depth, 578 + v * 17.5 * (1 + 0.03 * v)};
}

void drawPeg(QPainter &p, const QPointF &hole, bool marble)
{
    if (marble) {
        // The chosen piece: a green marble sitting in its hole.
        const QPointF centre = hole + QPointF(0, -9);
        QRadialGradient ball(centre + QPointF(-4, -4), 13);
        ball.setColorAt(0, QColor(200, 255, 220));
        ball.setColorAt(0.25, QColor(40, 170, 100));
        ball.setColorAt(0.8, QColor(16, 82, 49));
        ball.setColorAt(1, QColor(8, 40, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(ball);
        p.drawEllipse(centre, 10.5, 10.5);
        return;
    }
    // A turned wooden peg: a short stem, a collar and a rounded head.
    QLinearGradient wood(hole.x() - 8, 0, hole.x() + 8, 0);
    wood.setColorAt(0, QColor(255, 222, 140));
    wood.setColorAt(0.35, QColor(231, 156, 49));
    wood.setColorAt(0.8, QColor(160, 90, 28));
    wood.setColorAt(1, QColor(99, 41, 8));
    p.setPen(QPen(QColor(90, 40, 10), 0.8));
    p.setBrush(wood);
    p.drawRect(QRectF(hole.x() - 4.5, hole.y() - 12, 9, 12));
    p.drawEllipse(QPointF(hole.x(), hole.y() - 12), 7.5, 3.2);
    QRadialGradient head(QPointF(hole.x() - 2.5, hole.y() - 21), 9);
    head.setColorAt(0, QColor(255, 240, 200));
    head.setColorAt(0.4, QColor(231, 156, 49));
    head.setColorAt(1, QColor(120, 60, 14));
    p.setBrush(head);
    p.drawEllipse(QPointF(hole.x(), hole.y() - 17), 6.5, 6.5);
}

bool isHole(int column, int row)
{
    return (column >= 2 && column <= 4) || (row >= 2 && row <= 4);
}

void drawBoard(QPainter &p)
{
    const QPointF centre(238, 578);
    const double rx = 190, ry = 86, thickness = 18;
    // Its soft shadow on the table, thrown away from the window.
    QRadialGradient shadow(centre + QPointF(14, 30), 210);
    shadow.setColorAt(0.7, QColor(30, 10, 0, 130));
    shadow.setColorAt(1, QColor(30, 10, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(centre + QPointF(14, 30), rx + 20, ry + 22);

    // The rim: the lower half-ellipse swept down by the board's thickness.
    QPainterPath side;
    side.moveTo(centre.x() - rx, centre.y());
    side.arcTo(QRectF(centre.x() - rx, centre.y() - ry + thickness, 2 * rx, 2 * ry), 180, 180);
    side.lineTo(centre.x() + rx, centre.y());
    side.arcTo(QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry), 0, -180);
    side.closeSubpath();
    QLinearGradient sideLight(centre.x() - rx, 0, centre.x() + rx, 0);
    sideLight.setColorAt(0, QColor(170, 96, 34));
    sideLight.setColorAt(0.3, QColor(206, 123, 33));
    sideLight.setColorAt(1, QColor(90, 40, 12));
    p.setBrush(sideLight);
    p.drawPath(side);

    // The top: turned, with faint concentric rings and a groove near the edge.
    QRadialGradient top(centre + QPointF(-60, -30), 260);
    top.setColorAt(0, QColor(246, 186, 96));
    top.setColorAt(0.5, QColor(214, 140, 41));
    top.setColorAt(1, QColor(160, 92, 26));
    p.setBrush(top);
    p.setPen(QPen(QColor(110, 56, 16), 1.2));
    p.drawEllipse(centre, rx, ry);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i < 12; ++i) {
        const double k = i / 12.0;
        p.setPen(QPen(QColor(150, 80, 20, 26 + (i * 29) % 30), 1));
        p.drawEllipse(centre, rx * k, ry * k);
    }
    p.setPen(QPen(QColor(110, 52, 14), 2));
    p.drawEllipse(centre, rx * 0.9, ry * 0.9);
    p.setPen(QPen(QColor(255, 214, 140, 150), 1));
    p.drawEllipse(centre + QPointF(0, 1.5), rx * 0.9, ry * 0.9);

    // The holes, then the pieces from the back row to the front so that nearer ones overlap.
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            if (!isHole(column, row))
                continue;
            const QPointF hole = boardPoint(column, row);
            QRadialGradient dark(hole + QPointF(0, -1), 8);
            dark.setColorAt(0, QColor(40, 16, 4));
            dark.setColorAt(1, QColor(90, 44, 12));
            p.setPen(QPen(QColor(255, 210, 140, 160), 0.8));
            p.setBrush(dark);
            p.drawEllipse(hole, 7.5, 3.6);
        }
    }
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            const bool centreHole = column == 3 && row == 3;
            // A game in progress: the centre and three more holes are empty.
            const bool taken = (column == 3 && row == 1) || (column == 1 && row == 4)
                || (column == 3 && row == 4);
            if (!isHole(column, row) || centreHole || taken)
                continue;
            drawPeg(p, boardPoint(column, row), column == 3 && row == 5);
        }
    }
}

// Two pieces already taken, lying on the table in front of the board.
void drawLoosePegs(QPainter &p)
{
    auto lying = [&p](const QPointF &at, double angle) {
        p.save();
        p.translate(at);
        p.rotate(angle);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 14, 4, 90));
        p.drawEllipse(QPointF(3, 7), 17, 5);
        QLinearGradient wood(0, -6, 0, 6);
        wood.setColorAt(0, QColor(255, 226, 150));
        wood.setColorAt(0.4, QColor(214, 140, 41));
        wood.setColorAt(1, QColor(110, 50, 12));
        p.setPen(QPen(QColor(90, 40, 10), 0.8));
        p.setBrush(wood);
        p.drawRoundedRect(QRectF(-14, -4.5, 20, 9), 3, 3);
        p.drawEllipse(QPointF(10, 0), 7, 7);
        p.restore();
    };
    lying(QPointF(78, 676), -12);
    lying(QPointF(116, 684), 20);
}

// A small gift box with a ribbon, at the left.
void drawGift(QPainter &p)
{
    const QRectF front(36, 402, 74, 56);
    const QRectF lid(30, 390, 86, 16);
    QLinearGradient paper(front.left(), 0, front.right(), 0);
    paper.setColorAt(0, QColor(60, 110, 170));
    paper.setColorAt(1, QColor(28, 56, 110));
    p.setPen(QPen(QColor(16, 30, 60), 1));
    p.setBrush(paper);
    p.drawRect(front);
    p.setBrush(QColor(70, 130, 196));
    p.drawRect(lid);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(226, 180, 60));
    p.drawRect(QRectF(67, lid.top(), 10, lid.height() + front.height() - 4));
    p.drawRect(QRectF(front.left(), 426, front.width(), 8));
    // The bow: two loops and two tails.
    p.setPen(QPen(QColor(150, 100, 20), 1));
    QRadialGradient gold(QPointF(66, 378), 30);
    gold.setColorAt(0, QColor(255, 236, 140));
    gold.setColorAt(1, QColor(190, 130, 30));
    p.setBrush(gold);
    p.drawEllipse(QPointF(56, 382), 14, 8);
    p.drawEllipse(QPointF(88, 382), 14, 8);
    p.drawEllipse(QPointF(72, 386), 6, 6);
}

// Flowers in a glass vase, at the right.
void drawFlowers(QPainter &p)
{
    p.setPen(QPen(QColor(60, 110, 50), 2.2));
    p.setBrush(Qt::NoBrush);
    const QPointF stemBase(426, 420);
    const QPointF blooms[] = {{404, 316}, {432, 298}, {458, 322}, {420, 350}, {446, 352}};
    for (const QPointF &bloom : blooms) {
        QPainterPath stem;
        stem.moveTo(stemBase);
        stem.quadTo(QPointF((stemBase.x() + bloom.x()) / 2, bloom.y() + 40), bloom);
        p.drawPath(stem);
    }
    // Leaves.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 130, 60));
    p.drawEllipse(QPointF(410, 384), 12, 5);
    p.drawEllipse(QPointF(444, 376), 12, 5);
    // Blooms: rings of petals round a yellow heart.
    const QColor petalColours[]
        = {QColor(250, 250, 245), QColor(236, 90, 110), QColor(250, 250, 245), QColor(250, 200, 60),
           QColor(236, 90, 110)};
    for (int i = 0; i < 5; ++i) {
        const QPointF c = blooms[i];
        for (int k = 0; k < 8; ++k) {
            const double a = k * M_PI / 4 + i;
            const QPointF petal = c + QPointF(std::cos(a) * 8, std::sin(a) * 6);
            QRadialGradient g(petal, 7);
            g.setColorAt(0, petalColours[i]);
            g.setColorAt(1, shaded(petalColours[i], 0.75));
            p.setBrush(g);
            p.drawEllipse(petal, 6, 5);
        }
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(c, 4, 4);
    }
    // The vase: clear glass, showing the stems, with a bright edge.
    QPainterPath vase;
    vase.moveTo(408, 396);
    vase.cubicTo(QPointF(398, 420), QPointF(400, 450), QPointF(412, 458));
    vase.lineTo(440, 458);
    vase.cubicTo(QPointF(452, 450), QPointF(454, 420), QPointF(444, 396));
    vase.closeSubpath();
    p.setBrush(QColor(200, 230, 240, 90));
    p.setPen(QPen(QColor(240, 250, 255, 200), 1.5));
    p.drawPath(vase);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.drawLine(QPointF(407, 414), QPointF(406, 440));
}

void drawVignette(QPainter &p)
{
    QRadialGradient dark(QPointF(242, 380), 480);
    dark.setColorAt(0.6, QColor(0, 0, 0, 0));
    dark.setColorAt(1, QColor(20, 8, 0, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawRect(QRectF(0, 0, 484, 728));
}

} // namespace

QImage makeDedicationPicture()
{
    QImage image(484, 728, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawWall(p);
    drawWindow(p);
    drawCurtain(p, true);
    drawCurtain(p, false);
    drawRod(p);
    drawTable(p);
    // The gift and the flowers stand at the back of the table, against the wall.
    p.save();
    p.translate(0, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 10, 0, 90));
    p.drawEllipse(QPointF(78, 458), 50, 6);
    p.drawEllipse(QPointF(430, 458), 30, 5);
    drawGift(p);
    drawFlowers(p);
    p.restore();
    drawBoard(p);
    drawLoosePegs(p);
    drawVignette(p);
    return image;
}

// --- Image2: a winter evening --------------------------------------------------------------

namespace {

void drawFir(QPainter &p, double x, double base, double height)
{
    const double width = height * 0.5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 40, 20));
    p.drawRect(QRectF(x - height * 0.04, base - height * 0.1, height * 0.08, height * 0.12));
    // Three tiers, each with snow lying along its lower edge.
    for (int tier = 0; tier < 3; ++tier) {
        const double top = base - height + tier * height * 0.27;
        const double bottom = top + height * 0.42;
        const double half = width * (0.5 + tier * 0.25) / 1.0 * 0.8;
        QPolygonF branches;
        branches << QPointF(x, top) << QPointF(x + half, bottom) << QPointF(x - half, bottom);
        QLinearGradient g(x - half, 0, x + half, 0);
        g.setColorAt(0, QColor(40, 90, 70));
        g.setColorAt(1, QColor(14, 46, 36));
        p.setBrush(g);
        p.drawPolygon(branches);
        QPainterPath snow;
        snow.moveTo(x - half, bottom);
        snow.quadTo(QPointF(x, bottom - height * 0.12), QPointF(x + half, bottom));
        snow.quadTo(QPointF(x, bottom - height * 0.05), QPointF(x - half, bottom));
        p.setBrush(QColor(236, 242, 255));
        p.drawPath(snow);
    }
}

void drawSparkle(QPainter &p, const QPointF &at, double size)
{
    p.setPen(QPen(QColor(255, 250, 220, 220), 0.8));
    p.drawLine(at - QPointF(size, 0), at + QPointF(size, 0));
    p.drawLine(at - QPointF(0, size), at + QPointF(0, size));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 240));
    p.drawEllipse(at, 0.9, 0.9);
}

} // namespace

// Only the top-left 145 x 177 pixels are shown; the rest is more snow.
QImage makeWinterPicture()
{
    QImage image(147, 184, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 118);
    sky.setColorAt(0, QColor(14, 20, 62));
    sky.setColorAt(0.55, QColor(70, 62, 130));
    sky.setColorAt(0.85, QColor(196, 140, 170));
    sky.setColorAt(1, QColor(250, 200, 170));
    p.fillRect(image.rect(), sky);

    for (const auto &[x, y, size] : {std::tuple {14.0, 12.0, 3.0},
                                     {40.0, 26.0, 2.0},
                                     {66.0, 9.0, 2.5},
                                     {84.0, 40.0, 1.5},
                                     {20.0, 48.0, 1.5},
                                     {130.0, 58.0, 2.0},
                                     {56.0, 56.0, 1.2},
                                     {136.0, 12.0, 1.5},
                                     {96.0, 16.0, 1.2}})
        drawSparkle(p, QPointF(x, y), size);

    // A crescent moon with a faint halo.
    QRadialGradient halo(QPointF(112, 32), 30);
    halo.setColorAt(0, QColor(255, 250, 210, 90));
    halo.setColorAt(1, QColor(255, 250, 210, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(112, 32), 30, 30);
    QPainterPath moon;
    moon.addEllipse(QPointF(112, 32), 12, 12);
    QPainterPath bite;
    bite.addEllipse(QPointF(118, 27), 11, 11);
    p.setBrush(QColor(255, 246, 200));
    p.drawPath(moon.subtracted(bite));

    // Snowy hills, the far ones blue with distance, and a dark line of forest.
    auto hill
        = [&p](std::initializer_list<QPointF> ridge, const QColor &top, const QColor &bottom) {
              QPainterPath path;
              const QPointF *previous = nullptr;
              for (const QPointF &point : ridge) {
                  if (!previous)
                      path.moveTo(point);
                  else
                      path.cubicTo(QPointF((previous->x() + point.x()) / 2, previous->y()),
                                   QPointF((previous->x() + point.x()) / 2, point.y()), point);
                  previous = &point;
              }
              path.lineTo(150, 190);
              path.lineTo(-3, 190);
              path.closeSubpath();
              QLinearGradient g(0, path.boundingRect().top(), 0, 184);
              g.setColorAt(0, top);
              g.setColorAt(1, bottom);
              p.setBrush(g);
              p.drawPath(path);
          };
    hill({{-3, 104}, {40, 94}, {90, 106}, {150, 96}}, QColor(170, 170, 210), QColor(120, 130, 180));
    p.setBrush(QColor(30, 40, 60));
    for (int i = 0; i < 30; ++i) {
        const double x = i * 5.2 - 2, h = 6 + (i * 7) % 5;
        QPolygonF tree;
        tree << QPointF(x, 112 - h) << QPointF(x + 3, 113) << QPointF(x - 3, 113);
        p.drawPolygon(tree);
    }
    hill({{-3, 114}, {50, 110}, {100, 118}, {150, 112}}, QColor(214, 220, 246),
         QColor(150, 160, 210));

    // The cottage: log walls, a deep snowy roof, a lit window and smoke from the chimney.
    p.setBrush(QColor(200, 200, 210, 110));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(63 + i * 4.5, 66 - i * 9), 3.0 + i * 1.6, 2.6 + i * 1.3);
    p.setBrush(QColor(110, 50, 36));
    p.drawRect(QRectF(60, 72, 7, 16));
    QLinearGradient logs(28, 0, 84, 0);
    logs.setColorAt(0, QColor(150, 88, 46));
    logs.setColorAt(1, QColor(92, 50, 28));
    p.setBrush(logs);
    p.drawRect(QRectF(28, 96, 56, 34));
    p.setPen(QPen(QColor(60, 30, 16), 0.8));
    for (double y = 100; y < 130; y += 5)
        p.drawLine(QPointF(28, y), QPointF(84, y));
    QPolygonF roof;
    roof << QPointF(20, 100) << QPointF(56, 72) << QPointF(92, 100);
    QLinearGradient snowRoof(0, 72, 0, 100);
    snowRoof.setColorAt(0, QColor(255, 255, 255));
    snowRoof.setColorAt(1, QColor(196, 206, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(snowRoof);
    p.drawPolygon(roof);
    p.setBrush(QColor(120, 130, 190));
    p.drawRect(QRectF(24, 99, 64, 3));
    // The window's warm light spills onto the snow.
    QRadialGradient glow(QPointF(44, 140), 26);
    glow.setColorAt(0, QColor(255, 200, 110, 150));
    glow.setColorAt(1, QColor(255, 200, 110, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(44, 140), 26, 12);
    p.setBrush(QColor(255, 214, 110));
    p.setPen(QPen(QColor(60, 30, 16), 1.2));
    p.drawRect(QRectF(36, 106, 16, 13));
    p.drawLine(QPointF(44, 106), QPointF(44, 119));
    p.drawLine(QPointF(36, 112.5), QPointF(52, 112.5));
    p.setBrush(QColor(70, 36, 20));
    p.drawRect(QRectF(62, 108, 12, 22));

    // Near snow with soft blue hollows, a fence and the path to the door.
    p.setPen(Qt::NoPen);
    hill({{-3, 132}, {40, 126}, {96, 134}, {150, 124}}, QColor(246, 248, 255),
         QColor(190, 200, 236));
    p.setBrush(QColor(170, 180, 226, 120));
    p.drawEllipse(QPointF(100, 160), 40, 8);
    p.drawEllipse(QPointF(20, 168), 30, 6);
    QPainterPath path;
    path.moveTo(64, 131);
    path.cubicTo(QPointF(70, 150), QPointF(50, 160), QPointF(58, 184));
    path.lineTo(82, 184);
    path.cubicTo(QPointF(70, 160), QPointF(84, 148), QPointF(74, 131));
    path.closeSubpath();
    p.setBrush(QColor(200, 206, 236));
    p.drawPath(path);
    p.setPen(QPen(QColor(90, 60, 40), 1.6));
    for (double x = 4; x < 30; x += 6)
        p.drawLine(QPointF(x, 134 + x * 0.05), QPointF(x, 146));
    p.drawLine(QPointF(2, 138), QPointF(30, 139));
    p.drawLine(QPointF(2, 142), QPointF(30, 143));

    drawFir(p, 116, 150, 74);
    drawFir(p, 134, 134, 40);
    drawFir(p, 10, 122, 30);

    // A small present waiting by the door.
    p.setPen(QPen(QColor(100, 10, 20), 0.8));
    p.setBrush(QColor(200, 30, 44));
    p.drawRect(QRectF(84, 124, 12, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 80));
    p.drawRect(QRectF(89, 124, 2, 10));
    p.drawEllipse(QPointF(87.5, 122.5), 2.2, 1.5);
    p.drawEllipse(QPointF(92.5, 122.5), 2.2, 1.5);
    return image;
}
