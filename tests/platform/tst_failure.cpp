// The error box's full stop: added after the failure text unless the text already ends in one.
#include "platform/Failure.h"

#include <QTest>

class TestFailure : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullStopIsAddedOnlyAfterCharactersThatSortAfterIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString notFound = QStringLiteral("File not found");
        QTest::newRow("after a letter") << notFound << notFound + QLatin1Char('.');
        QTest::newRow("after a Cyrillic letter")
            << QStringLiteral("Ошибка чтения") << QStringLiteral("Ошибка чтения.");
        QTest::newRow("after the letter ё") << QStringLiteral("ещё") << QStringLiteral("ещё.");
        QTest::newRow("after a digit")
            << QStringLiteral("I/O error 28") << QStringLiteral("I/O error 28.");
        QTest::newRow("after a slash") << QStringLiteral("a/") << QStringLiteral("a/.");
        QTest::newRow("not after a full stop")
            << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("not after an exclamation mark")
            << QStringLiteral("Игра звершена!") << QStringLiteral("Игра звершена!");
        QTest::newRow("not after a comma") << QStringLiteral("a,") << QStringLiteral("a,");
        QTest::newRow("not after a hyphen") << QStringLiteral("a-") << QStringLiteral("a-");
        const QString notice = QStringLiteral("Поздравляю Вы выиграли! ");
        QTest::newRow("not after a blank") << notice << notice;
        QTest::newRow("not on an empty text") << QString() << QString();
    }

    void fullStopIsAddedOnlyAfterCharactersThatSortAfterIt()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(withFullStop(text.toStdString())), shown);
    }
};

QTEST_APPLESS_MAIN(TestFailure)
#include "tst_failure.moc"
