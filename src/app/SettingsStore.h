#pragma once

#include <QString>

namespace keelwright {

// The per-user settings store: text values addressed by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or `defaultValue` when the key is absent.
    virtual QString get(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) = 0;
    // Creates or replaces the value.
    virtual void save(const QString& application, const QString& section, const QString& key,
                      const QString& value) = 0;
};

}  // namespace keelwright
