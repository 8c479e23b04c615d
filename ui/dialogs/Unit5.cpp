// The About dialog.
#include "ui/dialogs/Unit5.h"

#include "resources/Texts.h"
#include "ui/dialogs/PictureBox.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox1::TAboutBox1(QWidget *parent)
    : InfoDialog("AboutBox1", Texts::kAboutCaption, QSize(298, 213), parent)
{
    using namespace DialogColours;
    QFrame *panel = addPanel(this, QRect(8, 8, 281, 161));
    new PictureBox("ProgramIcon", QRect(8, 8, 89, 89), QStringLiteral(":/pictures/ProgramIcon.jpg"),
                   PictureBox::Fit::Stretch, panel);
    addLabel(panel, "ProductName", QRect(104, 16, 160, 22), QString::fromUtf8(Texts::kProductName),
             {.family = "Arial", .pixelSize = 16, .colour = kRed});
    addLabel(panel, "Version", QRect(104, 40, 161, 15), QString::fromUtf8(Texts::kVersion),
             {.family = "Times New Roman CYR",
              .pixelSize = 13,
              .colour = kGreen,
              .alignment = Qt::AlignHCenter});
    addLabel(panel, "DistributionNote", QRect(104, 64, 161, 15),
             QString::fromUtf8(Texts::kDistributionNote),
             {.family = "Times New Roman CYR",
              .pixelSize = 12,
              .colour = kMaroon,
              .italic = true,
              .alignment = Qt::AlignHCenter});
    addLabel(panel, "AuthorLine", QRect(80, 112, 129, 17), QString::fromUtf8(Texts::kAuthorLine),
             {.family = "Times New Roman CYR", .pixelSize = 13, .colour = kNavy, .wordWrap = true});

    addCloseButton(Texts::kOk, checkMarkGlyph(), QRect(112, 176, 75, 25))->setDefault(true);
}
