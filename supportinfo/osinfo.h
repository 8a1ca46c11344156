#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

// One heading of the support report with its lines in order. A line is a (label, value) pair;
// a driver list uses the label alone.
struct ReportGroup
{
    QString name;
    QVector<QPair<QString, QString>> entries;
};

// Collects the facts about this computer that matter when the program talks to instruments.
// Every single value is "---" when it cannot be found; nothing here fails.
class OSInfo
{
public:
    virtual ~OSInfo() = default;
    virtual QString operatingSystemName() const = 0;
    virtual QString country() const = 0;
    virtual QString language() const = 0;
    virtual QString localeId() const = 0;
    virtual QString visaLibrary() const = 0;
    virtual QString quillonControlLibrary() const = 0;
    virtual QList<ReportGroup> systemInformation() const = 0;
    virtual QList<ReportGroup> driverInformation() const = 0;
};

// The value of anything that was not found.
inline QString notFound()
{
    return QStringLiteral("---");
}
