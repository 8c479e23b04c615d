// The save and open dialogs: built when first used, kept, and speaking the game's Russian.
#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

// One of the two file dialogs, with the choice it was last accepted with.
class GameFileDialog
{
public:
    GameFileDialog(const char *name, QFileDialog::AcceptMode mode, const char *initialName);

    // Runs the dialog from the last accepted choice, or from the start if there is none;
    // gives the chosen path, or an empty one when the player cancels.
    QString choose(QWidget *parent);

    // The dialog itself, once it has been built.
    QFileDialog *dialog() const { return m_dialog; }

private:
    void build(QWidget *parent);
    void startFromLastChoice();

    const char *m_name;
    QFileDialog::AcceptMode m_mode;
    QString m_initialName;
    QFileDialog *m_dialog = nullptr;
    QString m_startFolder;
    QString m_lastChoice;
};
