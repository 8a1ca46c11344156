#include "fakeosinfo.h"
#include "helpdocument.h"
#include "supportreport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>

TEST(SupportReport, ExactTextWithEmptyFirstLabelAndMissingVisa)
{
    FakeOSInfo info;
    const QString want = QStringLiteral("*** Global Setup ***\n"
                                        "Product: Trovik32\n"
                                        "Version: 6.0.6\n"
                                        "Date: 27-Mar-2017\n"
                                        "\n"
                                        "*** Operating System ***\n"
                                        ": Test OS 1.0\n"
                                        "Admin rights: No\n"
                                        "\n"
                                        "*** Remote Control ***\n"
                                        "VISA: ---\n"
                                        "Quillon Control2: ---\n"
                                        "\n");
    EXPECT_EQ(supportReport(QStringLiteral("Trovik32"), QStringLiteral("6.0.6"),
                            QStringLiteral("27-Mar-2017"), info),
              want);
}

TEST(SupportReport, NoGroupsGivesTheGlobalSetupOnly)
{
    class Empty : public FakeOSInfo
    {
        QList<ReportGroup> systemInformation() const override { return {}; }
    } info;
    EXPECT_EQ(supportReport(QStringLiteral("P"), QStringLiteral("V"), QStringLiteral("D"), info),
              QStringLiteral("*** Global Setup ***\nProduct: P\nVersion: V\nDate: D\n\n"));
}

TEST(SupportReport, MailBodyHasPlaceholderRuleAndReport)
{
    const QString report = QStringLiteral("*** Global Setup ***\nA & B = C?\n");
    const QString body = supportMailBody(report);
    EXPECT_EQ(body, QStringLiteral("<put your message here>\n\n") + QString(40, QLatin1Char('-'))
                            + QStringLiteral("\n") + report);

    const QUrl url(supportMailUrl(QStringLiteral("7QZ41"), report), QUrl::StrictMode);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), SupportLinks::supportAddress());
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("7QZ41"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), body);
}

TEST(SupportReport, GroupHtmlHasTheColouredHeadingAndEscapedLines)
{
    const ReportGroup g{QStringLiteral("Remote Control"),
                        {{QStringLiteral("VISA"), QStringLiteral("1.0 (<x>)")},
                         {QStringLiteral("kx.so (Version 2)"), QString()},
                         {QString(), QStringLiteral("Debian")}}};
    EXPECT_EQ(reportGroupHtml(g),
              QStringLiteral("<span style=\" font-weight:600;color: rgb(0, 142, 214);\">Remote "
                             "Control</span>"
                             "<br>VISA: 1.0 (&lt;x&gt;)<br>kx.so (Version 2)<br>Debian"));
}

TEST(HelpDocument, WorkingDirectoryThenProgramFolderThenInstalledDocs)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir root(tmp.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("work")) && root.mkpath(QStringLiteral("prefix/bin"))
                && root.mkpath(QStringLiteral("prefix/share/doc/Trovik")));
    const QString work = root.filePath(QStringLiteral("work"));
    const QString bin = root.filePath(QStringLiteral("prefix/bin"));
    auto touch = [](const QString &p) {
        QFile f(p);
        return f.open(QIODevice::WriteOnly);
    };
    EXPECT_EQ(findHelpDocument(bin, work), QString());
    ASSERT_TRUE(touch(root.filePath(QStringLiteral("prefix/share/doc/Trovik/Trovik.pdf"))));
    EXPECT_EQ(findHelpDocument(bin, work),
              root.filePath(QStringLiteral("prefix/share/doc/Trovik/Trovik.pdf")));
    // The Debian package's documentation folder is named after the package.
    ASSERT_TRUE(root.mkpath(QStringLiteral("prefix/share/doc/trovik")));
    ASSERT_TRUE(touch(root.filePath(QStringLiteral("prefix/share/doc/trovik/Trovik.pdf"))));
    EXPECT_EQ(findHelpDocument(bin, work),
              root.filePath(QStringLiteral("prefix/share/doc/trovik/Trovik.pdf")));
    ASSERT_TRUE(touch(bin + QStringLiteral("/Trovik.pdf")));
    EXPECT_EQ(findHelpDocument(bin, work), bin + QStringLiteral("/Trovik.pdf"));
    ASSERT_TRUE(touch(work + QStringLiteral("/Trovik.pdf")));
    EXPECT_EQ(findHelpDocument(bin, work), work + QStringLiteral("/Trovik.pdf"));
}
