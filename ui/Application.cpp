// Application-wide set-up shared by the program and the widget tests.
#include "ui/Application.h"

#include "resources/Texts.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QSettings>
#include <QStyleFactory>
#include <QToolTip>
#include <QTranslator>

#include <csignal>

namespace {

// Fusion's light palette, built here because Qt builds its dark twin whenever the desktop's
// theme is dark; the game's colours stand on the light button face whatever the desktop.
QPalette lightPalette()
{
    const QColor windowText = Qt::black;
    const QColor background(239, 239, 239);
    const QColor light = background.lighter(150);
    const QColor mid = background.darker(130);
    const QColor dark = background.darker(150);
    const QColor shadow = dark.darker(135);
    const QColor disabledText(190, 190, 190);

    QPalette palette(windowText, background, light, dark, mid, windowText, Qt::white);
    palette.setBrush(QPalette::Midlight, mid.lighter(110));
    palette.setBrush(QPalette::Button, background);
    palette.setBrush(QPalette::Shadow, shadow);
    palette.setBrush(QPalette::HighlightedText, Qt::white);
    palette.setBrush(QPalette::Highlight, QColor(48, 140, 198));
    palette.setBrush(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setBrush(QPalette::ToolTipText, windowText);

    palette.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::Base, background);
    palette.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    palette.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
    palette.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    return palette;
}

void useLightPalette()
{
    const QPalette palette = lightPalette();
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
}

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
    useLightPalette();
    keepNoSettings();
    // A limit on file size would end the game mid-save and lose the game in play; ignored, it
    // fails the write instead, and the player sees why.
    std::signal(SIGXFSZ, SIG_IGN);

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
