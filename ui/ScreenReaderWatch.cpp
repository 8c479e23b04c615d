// Whether a screen reader runs, as the desktop tells applications on the accessibility bus.
#include "ui/ScreenReaderWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

// The accessibility bus launcher keeps the desktop's setting
// org.gnome.desktop.a11y.applications screen-reader-enabled here, on the session bus.
const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kScreenReaderEnabled = QStringLiteral("ScreenReaderEnabled");

} // namespace

ScreenReaderWatch::ScreenReaderWatch(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    // Asked without waiting, so that the window's first paint does not wait for the answer.
    QDBusMessage get
        = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    get << kStatus << kScreenReaderEnabled;
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        const QDBusPendingReply<QDBusVariant> reply = *done;
        if (reply.isValid() && reply.value().variant().toBool())
            Q_EMIT changed(true);
        done->deleteLater();
    });
}

void ScreenReaderWatch::propertiesChanged(const QString &interface, const QVariantMap &properties,
                                          const QStringList &)
{
    if (interface == kStatus && properties.contains(kScreenReaderEnabled))
        Q_EMIT changed(properties.value(kScreenReaderEnabled).toBool());
}
