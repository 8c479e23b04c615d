// The save and open dialogs: built when first used, kept, and speaking the game's Russian.
#include "ui/FileDialogs.h"

#include "model/Plural.h"
#include "resources/Texts.h"
#include "ui/Centring.h"
#include "ui/DialogWindow.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>
#include <QTreeView>

#include <unistd.h>

namespace {

// Qt's Russian texts have no words for the file types of the list, and the desktop's MIME
// database would call a saved game an SPSS file.
class FileTypes : public QFileIconProvider
{
public:
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QString::fromUtf8(Texts::kFolderType);
        // The filter lists "GAME.SAV" as well as "game.sav".
        if (info.suffix().compare(QLatin1String(Texts::kDefaultSuffix), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(Texts::kSavedGameType);
        return QString::fromUtf8(Texts::kFileType);
    }
};

// "1 байт", "3 байта", "200 байт"; larger files in kilobytes and megabytes.
QString sizeText(qint64 bytes)
{
    const QLocale locale;
    if (bytes >= 1024)
        return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    const bool few = pluralAfter(std::uint64_t(bytes)) == Plural::Few;
    return locale.toString(bytes) + QLatin1Char(' ')
        + QString::fromUtf8(few ? Texts::kBytesFew : Texts::kBytesMany);
}

// Qt's file list writes sizes and dates in the system's language, whatever the game's.
class RussianColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        // The file system model keeps what it read when it first listed the folder, and a kept
        // dialog would show a game saved over since with its old size; so ask the file now.
        const QFileInfo file(files->filePath(source));
        if (index.column() == 3)
            return QLocale().toString(file.lastModified(), QLocale::ShortFormat);
        // Folders show no size, as in Qt's own list.
        return files->isDir(source) ? QString() : sizeText(file.size());
    }
};

// Qt's dialog refuses without a word a new name longer than the folder's file system allows; it
// is accepted instead, so that the game reports it as it does any other name it cannot use.
class LongNamesAccepted : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1) {
            const QFileInfo info(files.constFirst());
            const long longest
                = pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
            if (!info.exists() && longest > 0
                && QFile::encodeName(info.fileName()).size() > longest) {
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }

    // Return in the name field accepts the dialog but leaves its completion list open, a window
    // of its own over the board. It closes before the dialog does: while it is open Qt passes
    // over the main window's getting the keyboard back, and the board would stay deaf to keys.
    void done(int result) override
    {
        if (auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            if (QCompleter *completer = name->completer(); completer && completer->popup())
                completer->popup()->hide();
        }
        QFileDialog::done(result);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        // Qt places a dialog over its parent by a guessed frame at its first showing; like every
        // other window of the game it stands centred on the screen by its real frame.
        QFileDialog::showEvent(event);
        if (!event->spontaneous())
            centreOnScreen(this);
    }
};

} // namespace

GameFileDialog::GameFileDialog(const char *name, QFileDialog::AcceptMode mode,
                               const char *initialName)
    : m_name(name)
    , m_mode(mode)
    , m_initialName(QString::fromUtf8(initialName))
{ }

GameFileDialog::~GameFileDialog()
{
    delete m_dialog;
}

// A file dialog costs more to build than all the rest of the window, so each is built when first
// used rather than at start-up, and then kept for the rest of the run.
void GameFileDialog::build(QWidget *parent)
{
    auto *dialog = new LongNamesAccepted(parent);
    dialog->setObjectName(QString::fromLatin1(m_name));
    QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
    // The open dialog shows the filter's description alone.
    if (m_mode == QFileDialog::AcceptOpen)
        options |= QFileDialog::HideNameFilterDetails;
    dialog->setOptions(options);
    dialog->setAcceptMode(m_mode);
    // A name that does not exist is accepted; loading it then reports "File not found".
    dialog->setFileMode(QFileDialog::AnyFile);
    m_types = std::make_unique<FileTypes>();
    dialog->setIconProvider(m_types.get());
    dialog->setProxyModel(new RussianColumns(dialog));
    dialog->setNameFilter(QString::fromUtf8(Texts::kSavedGameFilter));
    dialog->setDefaultSuffix(QString::fromUtf8(Texts::kDefaultSuffix));
    keepAsDialog(dialog);
    // Like the rest of the game's dialogs, the file dialogs keep one size.
    dialog->setSizeGripEnabled(false);
    dialog->setFixedSize(dialog->sizeHint());
    // In a dialog of fixed size the names take what the sizes, types and dates leave them. (The
    // file dialog's list already leaves its last column unstretched.)
    if (auto *list = dialog->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = list->header();
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    m_dialog = dialog;
    m_startFolder = dialog->directory().absolutePath();
}

// Only an accepted choice counts: a name typed or a folder browsed to before Cancel is
// forgotten.
void GameFileDialog::startFromLastChoice()
{
    if (!m_lastChoice.isEmpty()) {
        // A choice that could not be used may lie in a folder that is gone or is a file; the
        // dialog opens at the nearest folder that exists, with the name chosen.
        const QFileInfo chosen(m_lastChoice);
        QDir folder = chosen.absoluteDir();
        while (!folder.exists() && !folder.isRoot())
            folder.setPath(QFileInfo(folder.path()).absolutePath());
        m_dialog->setDirectory(folder);
        m_dialog->selectFile(chosen.fileName());
        // Typing replaces the name offered, as in a fresh dialog.
        if (auto *name = m_dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->selectAll();
        return;
    }
    m_dialog->setDirectory(m_startFolder);
    // selectFile() ignores an empty name, so the typed one is cleared by hand.
    if (auto *name = m_dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(m_initialName);
    else
        m_dialog->selectFile(m_initialName);
}

QString GameFileDialog::choose(QWidget *parent)
{
    if (!m_dialog)
        build(parent);
    startFromLastChoice();
    const int result = m_dialog->exec();
    if (result != QDialog::Accepted || m_dialog->selectedFiles().isEmpty())
        return {};
    m_lastChoice = m_dialog->selectedFiles().constFirst();
    return m_lastChoice;
}
