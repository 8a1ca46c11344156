#pragma once

#include "osinfo.h"

// An OSInfo whose answers the test sets.
class FakeOSInfo : public OSInfo
{
public:
    QString os = QStringLiteral("Test OS 1.0");
    QString visa = notFound();
    QList<ReportGroup> drivers;

    QString operatingSystemName() const override { return os; }
    QString country() const override { return QStringLiteral("Germany"); }
    QString language() const override { return QStringLiteral("German"); }
    QString localeId() const override { return QStringLiteral("de_DE.UTF-8"); }
    QString visaLibrary() const override { return visa; }
    QString quillonControlLibrary() const override { return notFound(); }
    QList<ReportGroup> systemInformation() const override
    {
        return {{QStringLiteral("Operating System"),
                 {{QString(), os}, {QStringLiteral("Admin rights"), QStringLiteral("No")}}},
                {QStringLiteral("Remote Control"),
                 {{QStringLiteral("VISA"), visa},
                  {QStringLiteral("Quillon Control2"), quillonControlLibrary()}}}};
    }
    QList<ReportGroup> driverInformation() const override { return drivers; }
};
