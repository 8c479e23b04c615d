// The game's two kinds of message box: information and error, both centred on the screen.
#include "ui/MessageBoxes.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "ui/Centring.h"
#include "ui/DialogWindow.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {

class CentredMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        // QMessageBox settles its size only as it is shown, so centre it afterwards.
        QMessageBox::showEvent(event);
        centreOnScreen(this);
    }

public:
    // Room for the whole caption in a window manager's title bar: the caption in a bold title
    // font as large as desktops use (13 pixels), beside a window icon and three buttons of up to
    // 28 pixels each and the frame's edges. Qt allows only 50 pixels for all of that.
    int captionWidth() const
    {
        QFont titleFont = font();
        titleFont.setBold(true);
        titleFont.setPixelSize(13);
        return QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 4 * 28 + 16;
    }
};

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    CentredMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    keepAsDialog(&box);
    QPushButton *ok = box.addButton(QString::fromUtf8(Texts::kOk), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    // QMessageBox fixes its size from its layout's minimum, which the row of buttons spans.
    if (auto *buttons = box.findChild<QDialogButtonBox *>()) {
        const QMargins margins = box.layout()->contentsMargins();
        buttons->setMinimumWidth(box.captionWidth() - margins.left() - margins.right());
    }
    box.exec();
}

} // namespace

void showInformation(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::Information, QString::fromUtf8(Texts::kInformationCaption), text);
}

void showError(QWidget *parent, const QString &text)
{
    const std::string shown = withFullStop(text.toStdString());
    showBox(parent, QMessageBox::Critical, QString::fromUtf8(Texts::kApplicationTitle),
            QString::fromStdString(shown));
}
