#include "supportreport.h"

#include <QUrl>

QString SupportLinks::productPage(const QString &noteNumber)
{
    return QStringLiteral("https://www.vantorp.com/appnote/") + noteNumber;
}

QString SupportLinks::termsOfUse()
{
    return QStringLiteral("https://www.vantorp.com/terms-of-use");
}

QString SupportLinks::supportAddress()
{
    return QStringLiteral("support@vantorp.com");
}

QString supportReport(const QString &product, const QString &version, const QString &date,
                      const OSInfo &info)
{
    QString r = QStringLiteral("*** Global Setup ***\n");
    r += QStringLiteral("Product: ") + product + QLatin1Char('\n');
    r += QStringLiteral("Version: ") + version + QLatin1Char('\n');
    r += QStringLiteral("Date: ") + date + QLatin1Char('\n');
    r += QLatin1Char('\n');
    for (const ReportGroup &g : info.systemInformation()) {
        r += QStringLiteral("*** ") + g.name + QStringLiteral(" ***\n");
        for (const auto &e : g.entries)
            r += e.first + QStringLiteral(": ") + e.second + QLatin1Char('\n');
        r += QLatin1Char('\n');
    }
    return r;
}

QString supportMailBody(const QString &report)
{
    return QStringLiteral("<put your message here>\n\n") + QString(40, QLatin1Char('-'))
           + QLatin1Char('\n') + report;
}

QString supportMailUrl(const QString &noteNumber, const QString &report)
{
    // Each part is percent-encoded whole, so "&", "=" and line breaks in the report survive.
    return QStringLiteral("mailto:") + SupportLinks::supportAddress() + QStringLiteral("?subject=")
           + QString::fromLatin1(QUrl::toPercentEncoding(noteNumber)) + QStringLiteral("&body=")
           + QString::fromLatin1(QUrl::toPercentEncoding(supportMailBody(report)));
}

QString reportGroupHtml(const ReportGroup &group)
{
    QString html = QStringLiteral("<span style=\" font-weight:600;color: rgb(0, 142, 214);\">")
                   + group.name.toHtmlEscaped() + QStringLiteral("</span>");
    for (const auto &e : group.entries) {
        QString line;
        if (e.first.isEmpty())
            line = e.second;
        else if (e.second.isEmpty())
            line = e.first;
        else
            line = e.first + QStringLiteral(": ") + e.second;
        html += QStringLiteral("<br>") + line.toHtmlEscaped();
    }
    return html;
}
