// Application-wide set-up shared by the program and the widget tests.
#include "ui/Application.h"

#include "resources/Texts.h"
#include "ui/WindowSystem.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

namespace {

// Qt's file dialog keeps its history, last folder and column widths in QtProject.conf and
// reads them back at the next start; the game keeps nothing, so settings go to a path that
// cannot exist.
void keepNoSettings()
{
    const QString nowhere = QStringLiteral("/dev/null");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, nowhere);
        QSettings::setPath(format, QSettings::SystemScope, nowhere);
    }
}

} // namespace

void prepareApplication(QApplication &app)
{
    QCoreApplication::setApplicationName(QString::fromUtf8(Texts::kApplicationTitle));
    // No application display name: Qt would append it to every window caption.
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    keepNoSettings();
    endWithEventLoopOnWayland();

    // Qt ignores fontconfig's aliases, so the designed families would all become DejaVu Sans.
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman CYR"),
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));

    // The game speaks Russian whatever the system's locale: numbers, dates, and the file
    // dialogs and the overwrite question in Qt's own Russian texts.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto *translator = new QTranslator(&app);
    if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
