#include "platform/freedesktop/DesktopReduceMotion.h"

namespace {

const QString gnomeGroup = QStringLiteral("org.gnome.desktop.interface");
const QString gnomeKey = QStringLiteral("enable-animations");
const QString kdeGroup = QStringLiteral("org.kde.kdeglobals.KDE");
const QString kdeKey = QStringLiteral("AnimationDurationFactor");

} // namespace

DesktopReduceMotion::DesktopReduceMotion(QDBusConnection bus, QObject *parent)
    : ReduceMotion(parent)
    , m_settings(bus)
{
    connect(&m_settings, &PortalSettings::valueChanged, this, &DesktopReduceMotion::apply);
    m_settings.read(gnomeGroup, gnomeKey);
    m_settings.read(kdeGroup, kdeKey);
}

void DesktopReduceMotion::apply(const QString &group, const QString &key, const QVariant &value)
{
    const bool before = isOn();
    // Only a value that reads as a number is a duration factor: a word would read as 0 otherwise.
    bool isNumber = false;
    const double factor = value.toDouble(&isNumber);
    if (group == gnomeGroup && key == gnomeKey && value.typeId() == QMetaType::Bool)
        m_gnomeOff = !value.toBool();
    else if (group == kdeGroup && key == kdeKey && isNumber)
        m_kdeOff = factor <= 0;
    else
        return;
    if (isOn() != before)
        Q_EMIT changed();
}
