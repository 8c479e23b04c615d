// Saving and opening games through the real file dialogs, and the error box.
#include "ui/Application.h"
#include "ui/BoardView.h"
#include "ui/Unit1.h"

#include "ModalDriver.h"
#include "PaintCounter.h"
#include "tests/DiskFiles.h"

#include <QAbstractFileIconProvider>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <csignal>

#include <sys/resource.h>

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the player saw in a file dialog before answering it.
struct DialogSeen
{
    QString objectName;
    QString typedName;
    QString directory;
    QStringList filters;
    QString filterShown;
};

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    QDialog rules, about, gift;
    std::unique_ptr<QTemporaryDir> folder;

    QString inFolder(const QString &name) const { return folder->filePath(name); }

    QImage screen() const
    {
        return form->centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    void pressCell(int column, int row)
    {
        QTest::mousePress(form->centralWidget(), Qt::LeftButton, {},
                          BoardView::cellCentre(column, row));
    }

    // Answers the next file dialog by typing `name` (or cancelling when it is empty).
    // `overwrite` answers the replace question, if one comes.
    void answerFileDialog(DialogSeen *seen, const QString &name, bool changeFolder = true,
                          QMessageBox::StandardButton overwrite = QMessageBox::NoButton)
    {
        const QString dir = folder->path();
        answerNext<QFileDialog>([=](QFileDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            seen->objectName = dialog->objectName();
            seen->typedName = edit ? edit->text() : QString();
            seen->directory = dialog->directory().absolutePath();
            seen->filters = dialog->nameFilters();
            const auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            seen->filterShown = types ? types->currentText() : QString();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            if (changeFolder)
                dialog->setDirectory(dir);
            if (overwrite != QMessageBox::NoButton) {
                answerNext<QMessageBox>([overwrite](QMessageBox *question) {
                    if (question->button(overwrite))
                        question->button(overwrite)->click();
                    else
                        question->close();
                });
            }
            edit->setText(name);
            QTest::keyClick(edit, Qt::Key_Return);
            // Refusing to replace a file leaves the dialog open for another name.
            if (dialog->isVisible())
                dialog->reject();
        });
    }

    void save(const QString &name, QMessageBox::StandardButton overwrite = QMessageBox::NoButton)
    {
        DialogSeen seen;
        answerFileDialog(&seen, name, true, overwrite);
        form->findChild<QToolButton *>(QStringLiteral("SpeedButton3"))->click();
    }

    // Opens `name` and returns the text of the error box, if one came.
    QString open(const QString &name)
    {
        DialogSeen seen;
        answerFileDialog(&seen, name);
        QString error;
        QPointer<QTimer> waiting = answerNext<QMessageBox>([&error](QMessageBox *box) {
            if (box->windowTitle() == QStringLiteral("Quorvel")
                && box->icon() == QMessageBox::Critical)
                error = box->text();
            box->close();
        });
        form->findChild<QToolButton *>(QStringLiteral("SpeedButton4"))->click();
        delete waiting.data();
        return error;
    }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        form = std::make_unique<TForm1>();
        form->setDialogs(&rules, &about, &gift);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup()
    {
        form.reset();
        folder.reset();
    }

    void saveDialogProposesGame0AndAddsTheExtension()
    {
        DialogSeen seen;
        answerFileDialog(&seen, QStringLiteral("first"));
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();

        QCOMPARE(seen.objectName, QStringLiteral("SaveDialog1"));
        QCOMPARE(seen.typedName, QStringLiteral("Game0"));
        QCOMPARE(seen.filters, QStringList {text("Игровые файлы (*.sav)")});
        QCOMPARE(seen.filterShown, text("Игровые файлы (*.sav)"));
        const QByteArray saved = contents(inFolder(QStringLiteral("first.sav")));
        QCOMPARE(saved.size(), 200);
        QCOMPARE(saved.left(8), QByteArray("\0\0\0\0\x09\0\0\0", 8));
    }

    void cancellingEitherDialogDoesNothing()
    {
        pressCell(4, 2);
        const GameState before = form->game();
        DialogSeen seen;
        answerFileDialog(&seen, QString());
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        answerFileDialog(&seen, QString());
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QCOMPARE(seen.objectName, QStringLiteral("OpenDialog1"));
        // The open dialog names its filter without the pattern.
        QCOMPARE(seen.filterShown, text("Игровые файлы"));
        QVERIFY(QDir(folder->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QVERIFY(form->game() == before);
    }

    void savedGameComesBackDrawnWithItsSelection()
    {
        form->findChild<QAction *>(QStringLiteral("N14"))->trigger();
        pressCell(4, 3);
        pressCell(4, 1);
        pressCell(5, 4);
        const GameState saved = form->game();
        const QImage shown = screen();
        save(QStringLiteral("pyramid.sav"));
        QCOMPARE(contents(inFolder(QStringLiteral("pyramid.sav"))).size(), 200);

        form->findChild<QAction *>(QStringLiteral("N15"))->trigger();
        // grab() paints on demand, so only a paint during Open shows that Open redrew the board.
        PaintCounter counter;
        form->centralWidget()->installEventFilter(&counter);
        QCOMPARE(open(QStringLiteral("pyramid.sav")), QString());
        form->centralWidget()->removeEventFilter(&counter);
        QVERIFY(counter.paints > 0);
        QVERIFY(form->game() == saved);
        QCOMPARE(screen(), shown);
        // A screen reader hears that a game came, and how many pegs it holds.
        auto *board = static_cast<BoardView *>(form->centralWidget());
        board->setScreenReaderRunning(true);
        QCOMPARE(open(QStringLiteral("pyramid.sav")), QString());
        QAccessibleInterface *told = QAccessible::queryAccessibleInterface(form.get());
        told = told->child(told->childCount() - 1);
        QCOMPARE(told->role(), QAccessible::Notification);
        QCOMPARE(told->child(0)->text(QAccessible::Name), text("Игра загружена, 15 фишек"));
        board->setScreenReaderRunning(false);
        // The peg that was selected when saving can be put down again.
        pressCell(5, 4);
        QCOMPARE(form->game().Board[5][4], int(Peg));
    }

    void replacingAFileAsksFirst()
    {
        save(QStringLiteral("game.sav"));
        const QByteArray first = contents(inFolder(QStringLiteral("game.sav")));
        form->findChild<QAction *>(QStringLiteral("N9"))->trigger();

        save(QStringLiteral("game.sav"), QMessageBox::No);
        QCOMPARE(contents(inFolder(QStringLiteral("game.sav"))), first);

        save(QStringLiteral("game.sav"), QMessageBox::Yes);
        const QByteArray second = contents(inFolder(QStringLiteral("game.sav")));
        QCOMPARE(second.size(), 200);
        QCOMPARE(second.at(0), char(LatinCross));
    }

    void eachDialogRemembersItsLastFile()
    {
        // Start-up builds neither dialog: they are the costliest part of the window.
        QVERIFY(form->findChildren<QFileDialog *>().isEmpty());
        save(QStringLiteral("kept"));
        DialogSeen seen;
        answerFileDialog(&seen, QString());
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        QCOMPARE(seen.typedName, QStringLiteral("kept.sav"));
        QCOMPARE(seen.directory, QDir(folder->path()).absolutePath());

        // The open dialog has its own memory: empty at first, then the file opened last.
        answerFileDialog(&seen, QString());
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QCOMPARE(seen.typedName, QString());
        QCOMPARE(open(QStringLiteral("kept.sav")), QString());
        answerFileDialog(&seen, QString(), false);
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QCOMPARE(seen.typedName, QStringLiteral("kept.sav"));
        QCOMPARE(seen.directory, QDir(folder->path()).absolutePath());
        QCOMPARE(form->findChildren<QFileDialog *>().size(), 2);

        // The dialog is kept, but its list shows the folder as it is now: a file changed since
        // the last opening shows its new size.
        const auto sizeShown = [this] {
            QString size;
            answerNext<QFileDialog>([&size](QFileDialog *dialog) {
                auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
                (void)QTest::qWaitFor(
                    [&] {
                        const QAbstractItemModel *model = view->model();
                        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                            if (model->index(row, 0, view->rootIndex()).data().toString()
                                == QStringLiteral("kept.sav"))
                                size = model->index(row, 1, view->rootIndex()).data().toString();
                        }
                        return !size.isEmpty();
                    },
                    5000);
                dialog->reject();
            });
            form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
            return size;
        };
        QCOMPARE(sizeShown(), QStringLiteral("200 байт"));
        QFile changed(inFolder(QStringLiteral("kept.sav")));
        QVERIFY(changed.open(QIODevice::WriteOnly));
        QCOMPARE(changed.write("abc", 3), 3);
        changed.close();
        QCOMPARE(sizeShown(), QStringLiteral("3 байта"));

        // A path through a file cannot be opened; the dialog then starts from the nearest folder
        // that exists, with the name chosen.
        QCOMPARE(open(QStringLiteral("kept.sav/inner.sav")), QStringLiteral("Invalid filename."));
        answerFileDialog(&seen, QString(), false);
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QCOMPARE(seen.directory, QDir(folder->path()).absolutePath());
        QCOMPARE(seen.typedName, QStringLiteral("inner.sav"));
    }

    // Return on a name typed while its completion list shows: the list is gone before the dialog
    // closes, or the main window would not get the keyboard back.
    void completionListClosesWithTheDialog()
    {
        save(QStringLiteral("kept"));
        bool listShown = false;
        bool listOpenAtClose = true;
        answerNext<QFileDialog>([&](QFileDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QObject::connect(dialog, &QDialog::finished, dialog, [&] {
                listOpenAtClose = QApplication::activePopupWidget() != nullptr;
            });
            dialog->setDirectory(folder->path());
            // The list completes only from files already read, which takes a while: typed again
            // until it shows.
            for (int attempt = 0; attempt < 50 && !listShown; ++attempt) {
                edit->clear();
                QTest::keyClicks(edit, QStringLiteral("kept.sav"));
                listShown = QTest::qWaitFor([] { return QApplication::activePopupWidget(); }, 100);
            }
            if (!listShown) {
                dialog->reject();
                return;
            }
            // The window system gives the key to the list, which hands it to the name.
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        });
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QVERIFY(listShown);
        QVERIFY(!listOpenAtClose);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    // Only an accepted choice counts: a name typed and a folder browsed to before Cancel are
    // forgotten by the next use of the dialog.
    void cancelledChoicesAreForgotten()
    {
        QDir(folder->path()).mkdir(QStringLiteral("elsewhere"));
        const QString elsewhere = inFolder(QStringLiteral("elsewhere"));
        const auto typeThenCancel = [elsewhere](DialogSeen *seen) {
            answerNext<QFileDialog>([=](QFileDialog *dialog) {
                auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                seen->typedName = edit->text();
                seen->directory = dialog->directory().absolutePath();
                dialog->setDirectory(elsewhere);
                edit->setText(QStringLiteral("typed then cancelled"));
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
        };
        DialogSeen first, second;
        typeThenCancel(&first);
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        typeThenCancel(&second);
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();
        QCOMPARE(second.typedName, QString());
        QCOMPARE(second.directory, first.directory);

        typeThenCancel(&first);
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        typeThenCancel(&second);
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        QCOMPARE(second.typedName, QStringLiteral("Game0"));
        QCOMPARE(second.directory, first.directory);

        save(QStringLiteral("kept"));
        typeThenCancel(&first);
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        typeThenCancel(&second);
        form->findChild<QAction *>(QStringLiteral("N6"))->trigger();
        QCOMPARE(second.typedName, QStringLiteral("kept.sav"));
        QCOMPARE(second.directory, QDir(folder->path()).absolutePath());
    }

    // Whatever the system's language (the test runs in C.UTF-8), the file list speaks Russian.
    void fileListSpeaksRussian()
    {
        const auto write = [this](const char *name, qsizetype size) {
            QFile file(inFolder(QString::fromLatin1(name)));
            return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, '\0')) == size;
        };
        // Sizes as Russian counts them: 1 and 21 байт, 22 байта, and the teens: 111 and 112 байт;
        // from 1024 bytes on, in kilobytes.
        const QMap<QString, qsizetype> sizes = {
            {QStringLiteral("1 байт"), 1},     {QStringLiteral("3 байта"), 3},
            {QStringLiteral("21 байт"), 21},   {QStringLiteral("22 байта"), 22},
            {QStringLiteral("111 байт"), 111}, {QStringLiteral("112 байт"), 112},
            {QStringLiteral("1,0 кБ"), 1024},
        };
        for (auto size = sizes.cbegin(); size != sizes.cend(); ++size)
            QVERIFY(write(qPrintable(QString::number(size.value()) + QStringLiteral(".sav")),
                          size.value()));
        QVERIFY(write("game.sav", 200));
        QVERIFY(write("Game.1.sav", 5));
        QVERIFY(write("LOUD.SAV", 200));
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("folder")));
        QMap<QString, QStringList> rows;
        QString otherType;
        bool columnsFit = false;
        const QString dir = folder->path();
        answerNext<QFileDialog>([&rows, &otherType, &columnsFit, dir](QFileDialog *dialog) {
            dialog->setDirectory(dir);
            auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
            const auto read = [&] {
                rows.clear();
                const QAbstractItemModel *model = view->model();
                for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                    QStringList columns;
                    for (int column = 1; column < 4; ++column)
                        columns << model->index(row, column, view->rootIndex()).data().toString();
                    rows[model->index(row, 0, view->rootIndex()).data().toString()] = columns;
                }
                return rows.size() == 11 && !rows.value(QStringLiteral("game.sav")).at(2).isEmpty();
            };
            // The list fills in the background; whatever it shows in time is checked below.
            (void)QTest::qWaitFor(read, 5000);
            // Sizes, types and dates show whole; the names get the room they leave, the widest.
            const QHeaderView *header = view->header();
            const QAbstractItemView *list = view; // QTreeView hides sizeHintForColumn()
            columnsFit = header->sectionSize(0) > header->sectionSize(3)
                && header->length() == view->viewport()->width();
            for (int column = 1; column < 4; ++column)
                columnsFit
                    = columnsFit && header->sectionSize(column) >= list->sizeHintForColumn(column);
            otherType = dialog->iconProvider()->type(QFileInfo(QStringLiteral("notes.txt")));
            dialog->reject();
        });
        form->findChild<QAction *>(QStringLiteral("N7"))->trigger();

        QCOMPARE(rows.value(QStringLiteral("game.sav")).mid(0, 2),
                 QStringList({QStringLiteral("200 байт"), QStringLiteral("Игровой файл")}));
        for (auto size = sizes.cbegin(); size != sizes.cend(); ++size)
            QCOMPARE(rows.value(QString::number(size.value()) + QStringLiteral(".sav")).value(0),
                     size.key());
        QCOMPARE(rows.value(QStringLiteral("Game.1.sav")).value(1), QStringLiteral("Игровой файл"));
        // The filter lists upper-case names too, and they are saved games all the same.
        QCOMPARE(rows.value(QStringLiteral("LOUD.SAV")).value(1), QStringLiteral("Игровой файл"));
        // A folder shows its type and no size.
        QCOMPARE(rows.value(QStringLiteral("folder")).mid(0, 2),
                 QStringList({QString(), QStringLiteral("Папка")}));
        QCOMPARE(otherType, QStringLiteral("Файл"));
        QVERIFY(columnsFit);
        // Day, month and year as Russians write them: 07.12.2026 12:05.
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"))
                     .match(rows.value(QStringLiteral("game.sav")).at(2))
                     .hasMatch(),
                 qPrintable(rows.value(QStringLiteral("game.sav")).at(2)));
    }

    void failedOpenShowsTheErrorAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("name");
        const QString broken = QStringLiteral("broken.sav");
        QTest::newRow("missing file")
            << QByteArray() << QStringLiteral("File not found.") << broken;
        QTest::newRow("empty file")
            << QByteArray("") << QStringLiteral("Read beyond end of file.") << broken;
        QTest::newRow("100 bytes")
            << QByteArray(100, '\x01') << QStringLiteral("Read beyond end of file.") << broken;
        // Longer than any file system allows a name to be: said, not silently refused.
        QTest::newRow("300-character name")
            << QByteArray() << QStringLiteral("Invalid filename.")
            << QString(296, QLatin1Char('n')) + QStringLiteral(".sav");
    }

    void failedOpenShowsTheErrorAndChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, name);
        if (!bytes.isNull()) {
            QFile file(inFolder(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        form->findChild<QAction *>(QStringLiteral("N11"))->trigger();
        pressCell(4, 2);
        const GameState before = form->game();
        const QImage shown = screen();

        QCOMPARE(open(name), error);
        QVERIFY(form->game() == before);
        QCOMPARE(screen(), shown);
        // The program carries on: the next click still plays.
        pressCell(4, 2);
        QCOMPARE(form->game().Board[4][2], int(Peg));
    }

    void saveStoppedByAFileSizeLimitShowsTheError()
    {
        rlimit oldLimit {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        rlimit limit = oldLimit;
        limit.rlim_cur = 100;
        QString error;
        QPointer<QTimer> waiting = answerNext<QMessageBox>([&error](QMessageBox *box) {
            error = box->text();
            box->close();
        });
        // As the program does first thing; the launcher test checks that it does.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        save(QStringLiteral("Game1"));
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
        delete waiting.data();

        QCOMPARE(error, QStringLiteral("I/O error 27."));
        QCOMPARE(entriesOf(folder->path()), QStringList());
    }
};

int main(int argc, char *argv[])
{
    // A system that does not speak Russian: the file dialogs must all the same.
    qputenv("LC_ALL", "C.UTF-8");
    QApplication app(argc, argv);
    prepareApplication(app);
    TestFileCommands test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_filecommands.moc"
