// What the three information dialogs share: the fixed frame, their labels and their button.
#include "ui/dialogs/InfoDialog.h"

#include "ui/Centring.h"
#include "ui/DialogWindow.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

// To a screen reader each of these dialogs is what a message box is, a few lines and one
// button, and it reads them all as the dialog opens: Orca reads a dialog's lines of fewer than
// three words ("Version 3.0") only in an alert.
QAccessibleInterface *readWhole(const QString &, QObject *object)
{
    if (auto *dialog = qobject_cast<InfoDialog *>(object))
        return new QAccessibleWidget(dialog, QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

QFrame *addPanel(QWidget *parent, const QRect &place)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(place);
    // A sunken box of one-pixel lines, Qt's default widths.
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return panel;
}

QLabel *addLabel(QWidget *parent, const char *name, const QRect &place, const QString &text,
                 const TextLook &look)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    // Plain text keeps the doubled and leading blanks exactly as written.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(look.alignment | Qt::AlignTop);
    label->setWordWrap(look.wordWrap);

    QFont font(QString::fromLatin1(look.family));
    font.setPixelSize(look.pixelSize);
    font.setBold(look.bold);
    font.setItalic(look.italic);
    font.setUnderline(look.underline);
    label->setFont(font);

    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, look.colour);
    label->setPalette(palette);
    return label;
}

InfoDialog::InfoDialog(const char *name, const char *caption, QSize clientSize, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    static const bool readable = (QAccessible::installFactory(&readWhole), true);
    Q_UNUSED(readable);
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(QString::fromUtf8(caption));
    setFixedSize(clientSize);
    keepAsDialog(this);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    // The button face, which Fusion's colours give the window too.
    setAutoFillBackground(true);
}

QPushButton *InfoDialog::addCloseButton(const char *text, const QPixmap &glyph, const QRect &place)
{
    auto *button = new QPushButton(crispIcon(glyph.toImage()), QString::fromUtf8(text), this);
    button->setObjectName(QStringLiteral("BitBtn1"));
    button->setGeometry(place);
    button->setIconSize(glyph.size());
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
    m_button = button;
    return button;
}

void InfoDialog::showEvent(QShowEvent *event)
{
    // Centred on the screen of the window that opens it, again at every showing, even if the
    // player moved it away last time; a window manager's restore is no new showing.
    if (!event->spontaneous()) {
        centreOnScreen(this);
        // Enter and Space press the button from the first moment.
        if (m_button)
            m_button->setFocus();
    }
    QDialog::showEvent(event);
}

void InfoDialog::keyPressEvent(QKeyEvent *event)
{
    // Only the button and the frame's close box close these dialogs; QDialog would also let
    // Escape do it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
