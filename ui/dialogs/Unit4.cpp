// The rules and legend dialog.
#include "ui/dialogs/Unit4.h"

#include "resources/Texts.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <cstddef>

namespace {

// The legend and the rules' continuation are stored in pieces: the quoted names lie between them.
template<std::size_t count> QString joinedWithQuotes(const char *const (&pieces)[count])
{
    QStringList parts;
    for (const char *piece : pieces)
        parts.append(QString::fromUtf8(piece));
    return parts.join(QLatin1Char('"'));
}

} // namespace

TForm4::TForm4(QWidget *parent)
    : InfoDialog("Form4", Texts::kRulesCaption, QSize(536, 348), parent)
{
    using namespace DialogColours;
    QFrame *panel = addPanel(this, QRect(8, 8, 521, 289));

    const TextLook heading {.family = "Arial",
                            .pixelSize = 21,
                            .colour = kRed,
                            .underline = true,
                            .alignment = Qt::AlignHCenter};
    const TextLook subheading {.family = "Arial",
                               .pixelSize = 16,
                               .colour = kGreen,
                               .underline = true,
                               .alignment = Qt::AlignHCenter};
    const TextLook paragraph {
        .family = "Arial", .pixelSize = 13, .colour = kNavy, .wordWrap = true};
    addLabel(panel, "StaticText1", QRect(8, 16, 497, 33), QString::fromUtf8(Texts::kRulesWelcome),
             heading);
    addLabel(panel, "StaticText2", QRect(8, 48, 497, 81), joinedWithQuotes(Texts::kLegendPieces),
             paragraph);
    addLabel(panel, "StaticText3", QRect(16, 120, 497, 25), QString::fromUtf8(Texts::kRulesHeading),
             subheading);
    // One paragraph split over two boxes in mid-sentence; the second box starts where the
    // first one's text ends, so they read as one.
    addLabel(panel, "StaticText4", QRect(8, 144, 505, 73), QString::fromUtf8(Texts::kRulesStart),
             paragraph);
    addLabel(panel, "StaticText5", QRect(8, 208, 505, 73),
             joinedWithQuotes(Texts::kRulesContinuedPieces), paragraph);

    addCloseButton(Texts::kOk, checkMarkGlyph(), QRect(231, 312, 75, 25))->setDefault(true);
}
