// Application-wide set-up shared by the program and the widget tests.
#include "ui/Application.h"

#include "resources/Texts.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

void prepareApplication(QApplication &app)
{
    QCoreApplication::setApplicationName(QString::fromUtf8(Texts::kApplicationTitle));
    // No application display name: Qt would append it to every window caption.
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

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

    // The file dialogs and the overwrite question speak Russian like the rest of the game.
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
