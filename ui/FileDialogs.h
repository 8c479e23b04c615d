// The save and open dialogs: built when first used, kept, and speaking the game's Russian.
#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QString>

#include <memory>

class QAbstractFileIconProvider;
class QWidget;

// One of the two file dialogs, with the choice it was last accepted with.
class GameFileDialog
{
public:
    GameFileDialog(const char *name, QFileDialog::AcceptMode mode, const char *initialName);
    ~GameFileDialog();
    GameFileDialog(const GameFileDialog &) = delete;
    GameFileDialog &operator=(const GameFileDialog &) = delete;

    // Runs the dialog from the last accepted choice, or from the start if there is none;
    // gives the chosen path, or an empty one when the player cancels.
    QString choose(QWidget *parent);

private:
    void build(QWidget *parent);
    void startFromLastChoice();

    const char *m_name;
    QFileDialog::AcceptMode m_mode;
    QString m_initialName;
    // The dialog uses the types but does not own them, so it goes first.
    std::unique_ptr<QAbstractFileIconProvider> m_types;
    QPointer<QFileDialog> m_dialog;
    QString m_startFolder;
    QString m_lastChoice;
};
