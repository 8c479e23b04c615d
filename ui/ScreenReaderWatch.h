// Whether a screen reader runs, as the desktop tells applications on the accessibility bus.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class ScreenReaderWatch : public QObject
{
    Q_OBJECT

public:
    // Asks once and then follows every change; with no session bus nothing is ever heard.
    explicit ScreenReaderWatch(QObject *parent);

Q_SIGNALS:
    void changed(bool running);

private Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &properties,
                           const QStringList &invalidated);
};
