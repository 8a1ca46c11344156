#pragma once

#include "settingskeys.h"

#include <QStringList>
#include <QVariant>

#include <vector>

// One "--set GROUP/KEY=VALUE" of trovik-cli capture, checked against the settings-key table.
struct SettingOverride
{
    const SettingKey *key;
    QVariant value;
};

enum class SettingOverrideError { None, UnknownKey, BadValue };

// Checks one override given as the key's path and the value's text: the key must be one of the
// table (else the message lists the keys of its group, or the groups), the value must read as
// the key's type (else the message names the key and the type wanted). trovik-cli's --set and
// the Python module's capture overrides both come through here.
SettingOverrideError checkSettingOverride(const QString &path, const QString &text,
                                          SettingOverride &checked, QString &error);

// Takes every "--set GROUP/KEY=VALUE" (repeatable, also "--set=...") out of arguments and
// checks it: the key must be one of the table (else the message lists the keys of its group,
// or the groups), the value must read as the key's type (else the message names the key).
// False with the message on the first that fails.
bool takeSettingOverrides(QStringList &arguments, std::vector<SettingOverride> &overrides,
                          QString &error);

// The overrides written into the stored settings, in the order given.
void applySettingOverrides(const std::vector<SettingOverride> &overrides, StoredSettings &stored);
