#include "labels/label_settings.h"

#include "platform/ports/port_devices.h"
#include "platform/settings_store.h"

namespace label_settings {

namespace {

QString setting(const QString& key) {
    return settings::get(kSettingsApp, kSettingsSection, key).trimmed();
}

void save(const QString& key, const QString& value) {
    settings::save(kSettingsApp, kSettingsSection, key, value);
}

}  // namespace

QString LabelTarget::portName() const {
    return port_devices::PortName(portType);
}

LabelTarget Load() {
    LabelTarget target;
    target.kind = setting(kKindKey).toUpper();
    target.portTypeText = settings::get(kSettingsApp, kSettingsSection, kPortTypeKey, QStringLiteral("1"));
    bool ok = false;
    const short type = target.portTypeText.trimmed().toShort(&ok);
    target.portTypeValid = ok;
    if (ok) target.portType = type;
    target.queue = setting(kQueueKey);
    target.host = setting(kHostKey);
    const int port = setting(kNetPortKey).toInt(&ok);
    target.netPort = ok ? port : kDefaultNetPort;
    const double seconds = setting(kTimeoutKey).toDouble(&ok);
    target.timeoutMs = ok && seconds > 0 && seconds < 3600 ? int(seconds * 1000) : kDefaultTimeoutMs;
    return target;
}

void Store(const LabelTarget& target) {
    if (target.kind == kKindQueue) {
        save(kKindKey, kKindQueue);
        save(kQueueKey, target.queue);
    } else if (target.kind == kKindNetwork) {
        save(kKindKey, kKindNetwork);
        save(kHostKey, target.host);
        save(kNetPortKey, QString::number(target.netPort));
    } else {
        save(kPortTypeKey, QString::number(target.portType));
        settings::remove(kSettingsApp, kSettingsSection, kKindKey);
    }
}

QString DevicePath(const QString& portName) {
    const QString own = setting(portName.toUpper());
    return own.isEmpty() ? port_devices::DefaultDevicePath(portName) : own;
}

void StoreDevicePath(const QString& portName, const QString& path) {
    const QString name = portName.toUpper();
    if (path.trimmed().isEmpty() || path.trimmed() == port_devices::DefaultDevicePath(name))
        settings::remove(kSettingsApp, kSettingsSection, name);
    else
        save(name, path.trimmed());
}

QString TargetText(const LabelTarget& target) {
    if (target.kind == kKindQueue) return QStringLiteral("인쇄 대기열 ") + target.queue;
    if (target.kind == kKindNetwork)
        return QStringLiteral("네트워크 ") + target.host + QLatin1Char(':') + QString::number(target.netPort);
    if (!target.portTypeValid) return QStringLiteral("포트 설정 오류");
    const QString name = target.portName();
    const QString device = DevicePath(name);
    return device.isEmpty() ? name : name + QStringLiteral(" (") + device + QLatin1Char(')');
}

}  // namespace label_settings
