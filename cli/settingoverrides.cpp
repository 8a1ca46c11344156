#include "settingoverrides.h"

namespace {

const QString kSet = QStringLiteral("--set");

QString typeName(SettingType type)
{
    switch (type) {
    case SettingType::Int: return QStringLiteral("an integer");
    case SettingType::UInt: return QStringLiteral("an unsigned integer");
    case SettingType::Double: return QStringLiteral("a number");
    case SettingType::Text: return QStringLiteral("a text");
    case SettingType::Flag:
    case SettingType::Bool: return QStringLiteral("true, false, 1 or 0");
    }
    return QString();
}

QString unknownKey(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString group = slash < 0 ? QString() : path.left(slash);
    const QStringList names = settingKeyNames(group);
    if (names.isEmpty())
        return QStringLiteral("unknown settings key '%1'; the groups are %2")
                .arg(path, settingGroups().join(QStringLiteral(", ")));
    return QStringLiteral("unknown settings key '%1'; the keys of %2 are: %3")
            .arg(path, group, names.join(QStringLiteral(", ")));
}

bool check(const QString &option, SettingOverride &checked, QString &error)
{
    const int eq = option.indexOf(QLatin1Char('='));
    if (eq < 1) {
        error = QStringLiteral("--set needs GROUP/KEY=VALUE, not '%1'").arg(option);
        return false;
    }
    const SettingOverrideError failed
            = checkSettingOverride(option.left(eq), option.mid(eq + 1), checked, error);
    if (failed == SettingOverrideError::UnknownKey)
        error.prepend(QStringLiteral("--set: "));
    else if (failed == SettingOverrideError::BadValue)
        error.prepend(QStringLiteral("--set "));
    return failed == SettingOverrideError::None;
}

}  // namespace

SettingOverrideError checkSettingOverride(const QString &path, const QString &text,
                                          SettingOverride &checked, QString &error)
{
    checked.key = findSettingKey(path);
    if (!checked.key) {
        error = unknownKey(path);
        return SettingOverrideError::UnknownKey;
    }
    if (!parseSettingValue(*checked.key, text, checked.value)) {
        error = QStringLiteral("%1: '%2' is not %3").arg(path, text, typeName(checked.key->type));
        return SettingOverrideError::BadValue;
    }
    return SettingOverrideError::None;
}

bool takeSettingOverrides(QStringList &arguments, std::vector<SettingOverride> &overrides,
                          QString &error)
{
    QStringList rest;
    QStringList options;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString &a = arguments.at(k);
        if (a == kSet) {
            if (k + 1 >= arguments.size()) {
                error = QStringLiteral("option --set needs a value");
                return false;
            }
            options << arguments.at(++k);
        } else if (a.startsWith(kSet + QLatin1Char('='))) {
            options << a.mid(kSet.size() + 1);
        } else {
            rest << a;
        }
    }
    for (const QString &option : options) {
        SettingOverride checked{nullptr, {}};
        if (!check(option, checked, error))
            return false;
        overrides.push_back(checked);
    }
    arguments = rest;
    return true;
}

void applySettingOverrides(const std::vector<SettingOverride> &overrides, StoredSettings &stored)
{
    for (const SettingOverride &o : overrides)
        takeStoredValue(*o.key, stored, o.value);
}
