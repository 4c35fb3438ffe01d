#include "base/Settings.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace snapwick {

namespace {
QString KeyPath(const std::string& key) {
  return QString::fromLatin1(SettingsStore::kSection) + '/' + QString::fromStdString(key);
}

QSettings Store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, SettingsStore::kApplication,
                   SettingsStore::kApplication);
}
}  // namespace

std::string SettingsStore::GetSetting(const std::string& key, const std::string& defaultValue) {
  const QVariant value = Store().value(KeyPath(key));
  if (!value.isValid()) return defaultValue;
  // An unquoted text with commas, edited into the file by hand, comes back as a list.
  if (value.typeId() == QMetaType::QStringList) {
    return value.toStringList().join(',').toStdString();
  }
  return value.toString().toStdString();
}

void SettingsStore::SaveSetting(const std::string& key, const std::string& value) {
  QSettings settings = Store();
  settings.setValue(KeyPath(key), QString::fromStdString(value));
  settings.sync();
}

bool SettingsStore::HasSetting(const std::string& key) {
  return Store().contains(KeyPath(key));
}

}  // namespace snapwick
