#include "app/QtSettingsStore.h"

#include <QDir>
#include <QSettings>
#include <memory>

namespace keelwright {
namespace {

std::unique_ptr<QSettings> open(const QString& folder, const QString& application) {
    if (folder.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application,
                                           application);
    }
    return std::make_unique<QSettings>(QDir(folder).filePath(application + ".ini"), QSettings::IniFormat);
}

QString keyPath(const QString& section, const QString& key) { return section + "/" + key; }

}  // namespace

QtSettingsStore::QtSettingsStore(QString folder) : folder_(std::move(folder)) {}

QString QtSettingsStore::get(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue) {
    return open(folder_, application)->value(keyPath(section, key), defaultValue).toString();
}

void QtSettingsStore::save(const QString& application, const QString& section, const QString& key,
                           const QString& value) {
    const std::unique_ptr<QSettings> settings = open(folder_, application);
    settings->setValue(keyPath(section, key), value);
    settings->sync();
}

}  // namespace keelwright
