// The rules, About and dedication dialogs: their look, their pictures, and how they close.
#include "platform/Failure.h"
#include "platform/Jpeg.h"
#include "ui/Application.h"
#include "ui/DialogWindow.h"
#include "ui/dialogs/PictureBox.h"
#include "ui/dialogs/Supriz.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"

#include <QtTest>

#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

namespace {

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Null when the picture is missing or unreadable, so that the size checks say so.
QImage decodedResource(const QString &path)
{
    const QByteArray bytes = resourceBytes(path);
    try {
        const RgbImage rgb = decodeJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                        std::size_t(bytes.size()));
        return QImage(rgb.pixels.data(), rgb.width, rgb.height, rgb.width * 3,
                      QImage::Format_RGB888)
            .convertToFormat(QImage::Format_RGB32);
    } catch (const Failure &) {
        return {};
    }
}

// Whatever the resampling, each shown pixel lies within the colours of the source pixels
// under its place, give or take one source pixel around them.
bool looksStretchedFrom(const QImage &shown, const QImage &source)
{
    const auto span = [](int i, int from, int to) {
        return std::pair(std::max(0, i * to / from - 1),
                         std::min(to, ((i + 1) * to - 1) / from + 2));
    };
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const auto [top, bottom] = span(y, shown.height(), source.height());
            const auto [left, right] = span(x, shown.width(), source.width());
            for (const int shift : {16, 8, 0}) {
                int low = 255, high = 0;
                for (int sy = top; sy < bottom; ++sy)
                    for (int sx = left; sx < right; ++sx) {
                        const int value = (source.pixel(sx, sy) >> shift) & 0xff;
                        low = std::min(low, value);
                        high = std::max(high, value);
                    }
                const int value = (shown.pixel(x, y) >> shift) & 0xff;
                if (value < low - 2 || value > high + 2)
                    return false;
            }
        }
    return true;
}

bool isFilledWith(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                return false;
    return true;
}

// The coloured pixels that a label shows at the given size. All our texts are coloured, while
// frames and the button face are grey, so a text that is cut off shows fewer of them.
int inkOf(QLabel *label, QSize size)
{
    const QSize own = label->size();
    label->resize(size);
    const QImage image = label->grab().toImage();
    label->resize(own);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ink += qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel);
        }
    return ink;
}

// One element of a dialog: where it lies and, if it shows a text, how that text reads and looks.
struct Element
{
    const char *dialog; // "rules", "about" or "gift"
    const char *name;
    const char *parent;
    QRect place;
    QString text = {};
    int pixelSize = 0;
    const char *look = ""; // S sans, R serif; b bold, i italic, u underlined; c centred, w wrapped
    QColor colour = {};
};

} // namespace

Q_DECLARE_METATYPE(Element)

class TestDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm4> m_rules;
    std::unique_ptr<TAboutBox1> m_about;
    std::unique_ptr<TForm2> m_gift;

    QDialog *dialog(const QString &key) const
    {
        if (key == QLatin1String("rules"))
            return m_rules.get();
        return key == QLatin1String("about") ? static_cast<QDialog *>(m_about.get()) : m_gift.get();
    }
    QColor buttonFace() const { return m_rules->palette().color(QPalette::Button); }

private Q_SLOTS:
    void initTestCase()
    {
        prepareApplication(*qApp);
        // Like the program: made once, hidden, and reused for every showing.
        m_rules = std::make_unique<TForm4>();
        m_about = std::make_unique<TAboutBox1>();
        m_gift = std::make_unique<TForm2>();
    }

    void eachDialogHasAFixedFrameWithoutIcon_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("clientSize");
        QTest::newRow("rules") << "rules" << utf8("Правила игры и легенда") << QSize(536, 348);
        QTest::newRow("about") << "about" << utf8("О программе") << QSize(298, 213);
        QTest::newRow("dedication") << "gift" << utf8("Подарочная версия!!!") << QSize(487, 445);
    }
    void eachDialogHasAFixedFrameWithoutIcon()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QSize, clientSize);
        QDialog *box = dialog(key);
        QVERIFY(!box->isVisible());
        QCOMPARE(box->windowTitle(), caption);
        QCOMPARE(box->size(), clientSize);
        QCOMPARE(box->minimumSize(), clientSize);
        QCOMPARE(box->maximumSize(), clientSize);
        QVERIFY(box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!box->windowFlags().testAnyFlags(Qt::WindowMinMaxButtonsHint));
        // An icon of its own, or the application's would stand in a title bar drawn by Qt; a
        // clear one.
        const QImage icon = box->windowIcon().pixmap(32).toImage();
        QImage clear(icon.size(), QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32), clear);
        QCOMPARE(QFontInfo(box->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(box->font().pixelSize(), 11);
        QCOMPARE(box->grab().toImage().pixel(1, 1), buttonFace().rgb());
    }

    void everyElementHasItsPlaceAndLook_data()
    {
        QTest::addColumn<Element>("element");
        const auto add = [](const char *key, const char *name, const char *parent, QRect place,
                            const QString &text = {}, int pixelSize = 0, const char *look = "",
                            QColor colour = {}) {
            QTest::addRow("%s %s", key, name)
                << Element {key, name, parent, place, text, pixelSize, look, colour};
        };
        const QColor red(255, 0, 0), green(0, 128, 0), navy(0, 0, 128), maroon(128, 0, 0);
        const QString ok = QStringLiteral("OK");
        add("rules", "Panel1", "Form4", QRect(8, 8, 521, 289));
        add("rules", "StaticText1", "Panel1", QRect(8, 16, 497, 33),
            utf8("Добро пожаловать в Кворвел!"), 21, "Sbuc", red);
        add("rules", "StaticText2", "Panel1", QRect(8, 48, 497, 81),
            utf8("   По одной из версий эту игру придумал узник Бастилии, за свою историю она "
                 "имела много названий: начиная от \"Отшельника\" и заканчивая \"Кворвелом\". Под "
                 "этим названием, я прочитал её описание в \"Энциклопедии игр и головоломок\", под "
                 "ним и выпускаю программу"),
            13, "Sbw", navy);
        add("rules", "StaticText3", "Panel1", QRect(16, 120, 497, 25), utf8("Правила и цель игры:"),
            16, "Sbuc", green);
        add("rules", "StaticText4", "Panel1", QRect(8, 144, 505, 73),
            utf8("    Требуется удалить все фишки с игровой доски перепрыгивая одной через "
                 "другую по вертикали или по горизонтали. Выделяете фишку щелчком мыши, а вторым "
                 "указываете место куда бы Вы хотели её поместить. Недопустимы как ходы без "
                 "перепрыгавания так и ходы"),
            13, "Sbw", navy);
        add("rules", "StaticText5", "Panel1", QRect(8, 208, 505, 73),
            utf8("на занятые поля. Партия считается выигранной если на поле остаеётся одна "
                 "фишка. Выбранная фишка окрашивается зелёным цветом. Выбор осушествляется  "
                 "левой кнопкой \"мыши\", отмена выбора правой. Вот в принципе и всё. Желаю "
                 "удачи!"),
            13, "Sbw", navy);
        add("rules", "BitBtn1", "Form4", QRect(231, 312, 75, 25), ok, 11, "S");
        add("about", "Panel1", "AboutBox1", QRect(8, 8, 281, 161));
        add("about", "ProgramIcon", "Panel1", QRect(8, 8, 89, 89));
        add("about", "ProductName", "Panel1", QRect(104, 16, 160, 22),
            QStringLiteral("Quorvel for Windows"), 16, "Sb", red);
        add("about", "Version", "Panel1", QRect(104, 40, 161, 15), QStringLiteral("Version 3.0"),
            13, "Rbc", green);
        // The distribution note, the author line and the dedication are ours to choose.
        add("about", "DistributionNote", "Panel1", QRect(104, 64, 161, 15),
            utf8("Свободная программа"), 12, "Rbic", maroon);
        add("about", "AuthorLine", "Panel1", QRect(80, 112, 129, 17), utf8("Команда Кворвела"), 13,
            "Rbw", navy);
        add("about", "BitBtn1", "AboutBox1", QRect(112, 176, 75, 25), ok, 11, "S");
        add("gift", "Bevel1", "Form2", QRect(8, 8, 473, 433));
        add("gift", "Bevel2", "Form2", QRect(16, 16, 457, 417));
        add("gift", "StaticText1", "Form2", QRect(24, 24, 441, 49),
            utf8("Подарочная версия программы."), 21, "Rbc", red);
        add("gift", "Bevel3", "Form2", QRect(24, 80, 273, 345));
        add("gift", "Image1", "Form2", QRect(32, 88, 257, 329));
        add("gift", "Bevel4", "Form2", QRect(304, 80, 161, 297));
        add("gift", "Image2", "Form2", QRect(312, 88, 145, 177));
        add("gift", "StaticText2", "Form2", QRect(312, 272, 145, 97),
            utf8("Всем, кто любит головоломки. Пусть последняя фишка всегда "
                 "остаётся в центре доски!"),
            13, "Rbcw", navy);
        add("gift", "Bevel5", "Form2", QRect(304, 384, 161, 41));
        add("gift", "BitBtn1", "Form2", QRect(328, 392, 113, 25), utf8("&Закрыть"), 11, "S");
    }

    void everyElementHasItsPlaceAndLook()
    {
        QFETCH(Element, element);
        auto *widget = dialog(QString::fromLatin1(element.dialog))
                           ->findChild<QWidget *>(QString::fromLatin1(element.name));
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(element.parent));
        QCOMPARE(widget->geometry(), element.place);
        if (element.text.isEmpty())
            return;
        const QString look = QString::fromLatin1(element.look);
        QCOMPARE(widget->property("text").toString(), element.text);
        const QFontInfo font(widget->font());
        QCOMPARE(font.family(),
                 look.contains(QLatin1Char('S')) ? QStringLiteral("Liberation Sans")
                                                 : QStringLiteral("Liberation Serif"));
        QCOMPARE(font.pixelSize(), element.pixelSize);
        QCOMPARE(font.bold(), look.contains(QLatin1Char('b')));
        QCOMPARE(font.italic(), look.contains(QLatin1Char('i')));
        QCOMPARE(font.underline(), look.contains(QLatin1Char('u')));
        auto *label = qobject_cast<QLabel *>(widget);
        if (!label)
            return;
        QCOMPARE(label->textFormat(), Qt::PlainText); // blanks stay as written
        QCOMPARE(label->palette().color(label->foregroundRole()), element.colour);
        const bool centred = look.contains(QLatin1Char('c'));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask,
                 centred ? Qt::AlignHCenter : Qt::AlignLeft);
        QCOMPARE(label->wordWrap(), look.contains(QLatin1Char('w')));
        // Nothing of the text is cut off: a larger box shows no more of it.
        const int ink = inkOf(label, label->size());
        QVERIFY(ink > 0);
        QCOMPARE(inkOf(label, label->size() + QSize(label->wordWrap() ? 0 : 100, 100)), ink);
    }

    void quotedNamesKeepTheirQuotes()
    {
        const QString legend = m_rules->findChild<QLabel *>(QStringLiteral("StaticText2"))->text();
        const QString rules = m_rules->findChild<QLabel *>(QStringLiteral("StaticText5"))->text();
        QVERIFY(legend.contains(utf8("от \"Отшельника\" и заканчивая \"Кворвелом\". Под")));
        QVERIFY(legend.contains(utf8("в \"Энциклопедии игр и головоломок\", под")));
        QVERIFY(rules.contains(utf8("кнопкой \"мыши\", отмена")));
    }

    void rulesReadAsOneTextAcrossTheirBoxes()
    {
        const auto text = [this](const char *name) {
            return m_rules->findChild<QLabel *>(QString::fromLatin1(name));
        };
        // The legend ends above the heading that follows it.
        QLabel *legend = text("StaticText2");
        QVERIFY(legend->y() + legend->heightForWidth(legend->width()) <= text("StaticText3")->y());
        // The first part of the rules ends neither under the second part nor a line above it.
        QLabel *first = text("StaticText4");
        const int firstEnds = first->y() + first->heightForWidth(first->width());
        const int secondStarts = text("StaticText5")->y();
        QVERIFY(firstEnds <= secondStarts);
        QVERIFY(secondStarts - firstEnds < first->fontMetrics().lineSpacing());
    }

    void buttonsCarryTheirGlyph_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("isDefault");
        QTest::addColumn<QColor>("glyphColour");
        QTest::addColumn<QList<QColor>>("detailColours");
        QTest::newRow("rules") << "rules" << true << QColor(0, 128, 0) // a green check mark
                               << QList<QColor> {};
        QTest::newRow("about") << "about" << true << QColor(0, 128, 0) << QList<QColor> {};
        // The open door of the exit: a lit doorway in a black frame, a maroon leaf with an aqua
        // glint at its top.
        QTest::newRow("dedication")
            << "gift" << false << QColor(255, 255, 0)
            << QList<QColor> {Qt::black, QColor(128, 0, 0), QColor(0, 255, 255)};
    }
    void buttonsCarryTheirGlyph()
    {
        QFETCH(QString, key);
        QFETCH(bool, isDefault);
        QFETCH(QColor, glyphColour);
        QFETCH(QList<QColor>, detailColours);
        const auto *button = dialog(key)->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
        QCOMPARE(button->isDefault(), isDefault);
        QCOMPARE(button->iconSize(), QSize(18, 18));
        const QImage glyph = button->icon().pixmap(18, 18).toImage();
        QCOMPARE(glyph.size(), QSize(18, 18));
        int matching = 0;
        QSet<QRgb> shown;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) {
                matching += glyph.pixel(x, y) == glyphColour.rgb();
                shown.insert(glyph.pixel(x, y));
            }
        QVERIFY(matching >= 20);
        for (const QColor &colour : detailColours)
            QVERIFY2(shown.contains(colour.rgb()), qPrintable(colour.name()));
        // Drawn on a clear ground: the button's face shows around the figure.
        QCOMPARE(qAlpha(glyph.pixel(0, 17)), 0);
        // At a display scale of 2 each pixel of the glyph is a square of four, not a blur.
        const QImage doubled = button->icon().pixmap(QSize(18, 18), 2).toImage();
        QCOMPARE(doubled.size(), QSize(36, 36));
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 36; ++x)
                QCOMPARE(doubled.pixel(x, y), glyph.pixel(x / 2, y / 2));
        // Between whole scales the picture comes at the size asked for, as any icon's does.
        QCOMPARE(button->icon().pixmap(QSize(18, 18), 1.5).size(), QSize(27, 27));
    }

    void framesAreDrawnWhereTheyStand_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("rings"); // from the outside in: L lowered, R raised
        QTest::newRow("rules Panel1") << "rules" << QRect(8, 8, 521, 289) << "LR";
        QTest::newRow("about Panel1") << "about" << QRect(8, 8, 281, 161) << "LR";
        QTest::newRow("Bevel1") << "gift" << QRect(8, 8, 473, 433) << "L";
        QTest::newRow("Bevel2") << "gift" << QRect(16, 16, 457, 417) << "R";
        QTest::newRow("StaticText1") << "gift" << QRect(24, 24, 441, 49) << "L";
        QTest::newRow("Bevel3") << "gift" << QRect(24, 80, 273, 345) << "L";
        QTest::newRow("Bevel4") << "gift" << QRect(304, 80, 161, 297) << "L";
        QTest::newRow("Bevel5") << "gift" << QRect(304, 384, 161, 41) << "L";
    }
    void framesAreDrawnWhereTheyStand()
    {
        QFETCH(QString, key);
        QFETCH(QRect, place);
        QFETCH(QString, rings);
        const QImage shot = dialog(key)->grab().toImage();
        const QColor shadow = dialog(key)->palette().color(QPalette::Dark);
        const QColor light = dialog(key)->palette().color(QPalette::Light);
        QRect r = place;
        for (const QChar shape : rings) {
            const QColor topLeft = shape == QLatin1Char('L') ? shadow : light;
            const QColor bottomRight = shape == QLatin1Char('L') ? light : shadow;
            QVERIFY(isFilledWith(shot, {r.left() + 1, r.top(), r.width() - 3, 1}, topLeft));
            QVERIFY(isFilledWith(shot, {r.left(), r.top() + 1, 1, r.height() - 3}, topLeft));
            QVERIFY(isFilledWith(shot, {r.right(), r.top() + 1, 1, r.height() - 2}, bottomRight));
            QVERIFY(isFilledWith(shot, {r.left() + 1, r.bottom(), r.width() - 2, 1}, bottomRight));
            r.adjust(1, 1, -1, -1);
        }
        // Just inside the frame lies the button face again.
        QCOMPARE(shot.pixel(r.left(), r.center().y()), buttonFace().rgb());
    }

    void emblemIsStretchedOverItsWholeBox()
    {
        const QImage shot = m_about->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage source = decodedResource(QStringLiteral(":/pictures/ProgramIcon.jpg"));
        QCOMPARE(source.size(), QSize(50, 70));
        const QRect box(16, 16, 89, 89); // at (8, 8) inside the panel at (8, 8)
        QVERIFY(looksStretchedFrom(shot.copy(box), source));
        const QRect around = box.adjusted(-1, -1, 1, 1);
        QVERIFY(isFilledWith(shot, {around.topLeft(), QSize(91, 1)}, buttonFace()));
        QVERIFY(isFilledWith(shot, {around.bottomLeft(), QSize(91, 1)}, buttonFace()));
        QVERIFY(isFilledWith(shot, {around.topLeft(), QSize(1, 91)}, buttonFace()));
        QVERIFY(isFilledWith(shot, {around.topRight(), QSize(1, 91)}, buttonFace()));
    }

    void dedicationPicturesFillTheirBoxes()
    {
        const QImage shot = m_gift->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage large = decodedResource(QStringLiteral(":/pictures/Image1.jpg"));
        QCOMPARE(large.size(), QSize(484, 728));
        QVERIFY(looksStretchedFrom(shot.copy(32, 88, 257, 329), large));

        // The small picture at its own size: its right-most columns and bottom rows are cut off.
        const QImage small = decodedResource(QStringLiteral(":/pictures/Image2.jpg"));
        QCOMPARE(small.size(), QSize(147, 184));
        QCOMPARE(shot.copy(312, 88, 145, 177), small.copy(0, 0, 145, 177));
        QVERIFY(isFilledWith(shot, {457, 88, 1, 177}, buttonFace()));
        QVERIFY(isFilledWith(shot, {312, 265, 145, 1}, buttonFace()));
    }

    void picturesAreDecodedOnlyWhenFirstDrawn()
    {
        TAboutBox1 about;
        TForm2 gift;
        const QList<PictureBox *> boxes
            = about.findChildren<PictureBox *>() + gift.findChildren<PictureBox *>();
        QCOMPARE(boxes.size(), 3);
        for (const PictureBox *box : boxes)
            QVERIFY(box->picture().isNull());
        about.grab();
        gift.grab();
        for (const PictureBox *box : boxes)
            QVERIFY(!box->picture().isNull());
    }

    void unreadablePictureLeavesItsBoxEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray picture = resourceBytes(QStringLiteral(":/pictures/Image2.jpg"));
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("This is no JPEG picture at all.");
        QTest::newRow("cut short") << picture.left(picture.size() / 2);
        QTest::newRow("damaged") << picture.left(picture.size() / 2) + QByteArray(2000, '\x55');
        // Whole, readable pictures, but far too large in one direction.
        for (const QSize size : {QSize(9000, 8), QSize(8, 9000)}) {
            QImage huge(size, QImage::Format_RGB32);
            huge.fill(Qt::black);
            QBuffer jpeg;
            QVERIFY(jpeg.open(QIODevice::WriteOnly) && huge.save(&jpeg, "JPG"));
            QTest::addRow("%d x %d", size.width(), size.height()) << jpeg.data();
        }
    }
    void unreadablePictureLeavesItsBoxEmpty()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(bytes);
        file.close();
        QWidget owner;
        owner.resize(80, 80);
        owner.setAutoFillBackground(true);
        const QString path
            = bytes.isEmpty() ? QStringLiteral(":/pictures/none.jpg") : file.fileName();
        auto *box
            = new PictureBox("Broken", {10, 10, 60, 60}, path, PictureBox::Fit::Stretch, &owner);
        const QImage shot = owner.grab().toImage();
        QVERIFY(box->picture().isNull());
        QVERIFY(isFilledWith(shot, {0, 0, 80, 80}, owner.palette().color(QPalette::Window)));
    }

    void eachDialogOpensCentredAndCloses_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("how");
        for (const char *key : {"rules", "about", "gift"})
            for (const char *how : {"click", "Enter", "Space", "close box"})
                QTest::addRow("%s by %s", key, how)
                    << QString::fromLatin1(key) << QString::fromLatin1(how);
    }
    void eachDialogOpensCentredAndCloses()
    {
        QFETCH(QString, key);
        QFETCH(QString, how);
        QDialog *box = dialog(key);
        auto *button = box->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
        box->move(3, 5); // where the player may have dragged it last time
        bool centred = false;
        bool focused = false;
        bool keptOpenByEscape = false;
        const std::function<void()> closeIt = [&] {
            if (QApplication::activeModalWidget() != box || !box->isActiveWindow()) {
                QTimer::singleShot(10, closeIt);
                return;
            }
            const QRect screen = box->screen()->availableGeometry();
            centred = (box->frameGeometry().center() - screen.center()).manhattanLength() <= 1;
            focused = QApplication::focusWidget() == button;
            // Escape closes the message boxes, but it is no way out of these dialogs.
            QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
            keptOpenByEscape = box->isVisible();
            if (how == QLatin1String("click"))
                QTest::mouseClick(button, Qt::LeftButton);
            else if (how == QLatin1String("close box")) {
                QCloseEvent closing; // what the window manager sends
                QApplication::sendEvent(box->windowHandle(), &closing);
            } else if (focused) // keys go where the focus is
                QTest::keyClick(box->windowHandle(),
                                how == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Space);
        };
        QTimer::singleShot(0, closeIt);
        constexpr int kStuck = 99;
        QTimer watchdog; // ends with this row, so it cannot close a later showing
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, box, [box] { box->done(kStuck); });
        watchdog.start(5000);
        QVERIFY(box->exec() != kStuck);
        QVERIFY(!box->isVisible());
        QVERIFY(centred);
        QVERIFY(focused);
        QVERIFY(keptOpenByEscape);
    }

    void onlyTheWindowManagersReportOfItsOwnFrameCounts()
    {
        // The window system reports property changes of every window the game watches (the
        // root window's, the main window's); only the dialog's own frame extents re-centre it.
        QDialog *box = dialog(QStringLiteral("rules"));
        xcb_property_notify_event_t change {};
        change.response_type = XCB_PROPERTY_NOTIFY;
        change.window = xcb_window_t(box->winId()) + 1;
        QVERIFY(!reportsFrameExtents("xcb_generic_event_t", &change, box));
        // Nor is anything but an X11 event, whatever its bytes.
        change.window = xcb_window_t(box->winId());
        QVERIFY(!reportsFrameExtents("windows_generic_MSG", &change, box));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
