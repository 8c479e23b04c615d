// The game's two kinds of message box: information and error, both centred on the screen.
#include "ui/MessageBoxes.h"

#include "platform/Failure.h"
#include "resources/Texts.h"
#include "ui/dialogs/Centring.h"

#include <QIcon>
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
};

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    CentredMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    // Message boxes have a dialog frame, which shows no icon, not even the application's.
    box.setWindowIcon(QIcon());
    QPushButton *ok = box.addButton(QString::fromUtf8(Texts::kOk), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
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
