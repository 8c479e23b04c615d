// What the three information dialogs share: the fixed frame, their labels and their button.
#pragma once

#include <QColor>
#include <QDialog>

class QFrame;
class QLabel;
class QPixmap;
class QPushButton;

namespace DialogColours {
inline const QColor kRed(255, 0, 0);
inline const QColor kGreen(0, 128, 0);
inline const QColor kNavy(0, 0, 128);
inline const QColor kMaroon(128, 0, 0);
} // namespace DialogColours

// How a label's text looks; the size is the character height in pixels.
struct TextLook
{
    const char *family;
    int pixelSize;
    QColor colour;
    bool bold = true;
    bool italic = false;
    bool underline = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = false;
};

// A panel with a lowered outer and a raised inner line: a classic sunken double frame.
QFrame *addPanel(QWidget *parent, const QRect &place);

// A plain-text label at a fixed place inside parent.
QLabel *addLabel(QWidget *parent, const char *name, const QRect &place, const QString &text,
                 const TextLook &look);

// A fixed-size dialog on the button face with no icon, centred on the screen at every showing.
class InfoDialog : public QDialog
{
    Q_OBJECT

public:
    InfoDialog(const char *name, const char *caption, QSize clientSize, QWidget *parent);

protected:
    // The dialog's only control that takes the focus: it closes the dialog.
    QPushButton *addCloseButton(const char *text, const QPixmap &glyph, const QRect &place);

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *m_button = nullptr;
};
