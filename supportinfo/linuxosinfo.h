#pragma once

#include "linuxprobe.h"
#include "osinfo.h"

// The support facts of a Linux machine: the distribution and its install date, the user's
// admin rights and locale, the versions of the libraries the program runs on, the VISA
// implementations and instrument-control libraries present, and the instrument interfaces
// (USB test and measurement, GPIB, VXIplug&play drivers). Files are only looked at, never
// loaded: reading a vendor's library must not run its code.
class LinuxOSInfo : public OSInfo
{
public:
    explicit LinuxOSInfo(LinuxProbe probe = LinuxProbe::live());

    QString operatingSystemName() const override;
    QString country() const override;
    QString language() const override;
    QString localeId() const override;
    QString visaLibrary() const override;
    QString quillonControlLibrary() const override;
    QList<ReportGroup> systemInformation() const override;
    QList<ReportGroup> driverInformation() const override;

    // Pieces of the report, public for the tests.
    QString kernel() const;
    QString installDate() const;
    QString adminRights() const;
    QString libraryVersion(const QString &baseName) const;
    QString ieeeDriver() const;

private:
    ReportGroup operatingSystemGroup() const;
    ReportGroup languageGroup() const;
    ReportGroup runtimeGroup() const;
    ReportGroup remoteControlGroup() const;
    ReportGroup instrumentDriverGroup() const;
    QString localeName() const;
    QString systemLibrary(const QString &baseName) const;

    LinuxProbe m_probe;
};
