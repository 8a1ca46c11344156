#pragma once

#include "osinfo.h"

#include <QString>

// Addresses behind the About window's links.
namespace SupportLinks {
QString productPage(const QString &noteNumber);
QString termsOfUse();
QString supportAddress();
}  // namespace SupportLinks

// The plain-text report for a support request: the program's identity under
// "*** Global Setup ***", then every group of the system information as "label: value" lines.
QString supportReport(const QString &product, const QString &version, const QString &date,
                      const OSInfo &info);

// The body of the support mail: a place for the user's words, a rule, then the report.
QString supportMailBody(const QString &report);

// "mailto:" link to the support address with the note number as subject and the body above.
QString supportMailUrl(const QString &noteNumber, const QString &report);

// Rich text of one group for the information tabs: the coloured heading, then one line per entry.
QString reportGroupHtml(const ReportGroup &group);
