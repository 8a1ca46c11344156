#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

// The options of one trovik-cli command: "--name value" or "--name=value" for the options that
// take a value, a bare "--name" for switches. Each option may be given once.
class CliOptions
{
public:
    // Fails (false, with a message) on an option in neither list, a missing value, a repeated
    // option or a stray argument.
    bool parse(const QStringList &arguments, const QStringList &valued, QString &error,
               const QStringList &switches = QStringList());
    bool has(const QString &name) const { return m_values.contains(name); }
    QString value(const QString &name) const { return m_values.value(name); }

    // "<command> needs <option>" for the first of names not given.
    bool require(const char *command, const QStringList &names, QString &error) const;
    // The option as a finite number, or fallback when it is not given.
    bool number(const QString &name, double fallback, double &out, QString &error) const;
    // The same, and it must be above zero.
    bool positive(const QString &name, double fallback, double &out, QString &error) const;
    // The option as a whole number in [min, max] (written in any number form: 1e6 is fine).
    bool whole(const QString &name, int64_t min, int64_t max, int64_t fallback, int64_t &out,
               QString &error) const;

private:
    QHash<QString, QString> m_values;
};
