// The dedication dialog, opened by the Home key.
#include "ui/dialogs/Supriz.h"

#include "resources/Texts.h"
#include "ui/dialogs/PictureBox.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TForm2::TForm2(QWidget *parent)
    : InfoDialog("Form2", Texts::kGiftCaption, QSize(487, 445), parent)
{
    using namespace DialogColours;
    // The frames come first so that everything else lies on top of them.
    const auto bevel = [this](const char *name, const QRect &place, QFrame::Shadow shadow) {
        auto *frame = new QFrame(this);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setGeometry(place);
        frame->setFrameStyle(QFrame::Panel | shadow);
        // Only a frame: whatever lies inside stays visible and clickable.
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    };
    bevel("Bevel1", QRect(8, 8, 473, 433), QFrame::Sunken);
    bevel("Bevel2", QRect(16, 16, 457, 417), QFrame::Raised);
    bevel("Bevel3", QRect(24, 80, 273, 345), QFrame::Sunken);
    bevel("Bevel4", QRect(304, 80, 161, 297), QFrame::Sunken);
    bevel("Bevel5", QRect(304, 384, 161, 41), QFrame::Sunken);

    QLabel *title = addLabel(this, "StaticText1", QRect(24, 24, 441, 49),
                             QString::fromUtf8(Texts::kGiftTitle),
                             {.family = "Times New Roman",
                              .pixelSize = 21,
                              .colour = kRed,
                              .alignment = Qt::AlignHCenter});
    title->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    title->setLineWidth(1);

    new PictureBox("Image1", QRect(32, 88, 257, 329), QStringLiteral(":/pictures/Image1.jpg"),
                   PictureBox::Fit::Stretch, this);
    new PictureBox("Image2", QRect(312, 88, 145, 177), QStringLiteral(":/pictures/Image2.jpg"),
                   PictureBox::Fit::NaturalSize, this);
    addLabel(this, "StaticText2", QRect(312, 272, 145, 97), QString::fromUtf8(Texts::kDedication),
             {.family = "Times New Roman",
              .pixelSize = 13,
              .colour = kNavy,
              .alignment = Qt::AlignHCenter,
              .wordWrap = true});

    addCloseButton(Texts::kClose, openDoorGlyph(), QRect(328, 392, 113, 25));
}
