#pragma once

#include <QString>

#include "app/SettingsStore.h"

namespace keelwright {

// The settings store on QSettings: one store per application name, a group per section.
class QtSettingsStore : public SettingsStore {
public:
    // With a folder, each application's values live in an INI file there (tests use a temporary folder);
    // without one, in the user's native settings store.
    explicit QtSettingsStore(QString folder = {});

    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue) override;
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value) override;

private:
    QString folder_;
};

}  // namespace keelwright
