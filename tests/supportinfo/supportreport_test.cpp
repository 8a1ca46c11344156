#include "fakeosinfo.h"
#include "helpdocument.h"
#include "supportreport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    EXPECT_EQ(supportReport("Trovik32", "6.0.6", "27-Mar-2017", info), want);
}

TEST(SupportReport, NoGroupsGivesTheGlobalSetupOnly)
{
    class Empty : public FakeOSInfo
    {
        QList<ReportGroup> systemInformation() const override { return {}; }
    } info;
    EXPECT_EQ(supportReport("P", "V", "D", info),
              "*** Global Setup ***\nProduct: P\nVersion: V\nDate: D\n\n");
}

TEST(SupportReport, MailBodyHasPlaceholderRuleAndReport)
{
    const QString report = "*** Global Setup ***\nA & B = C?\n";
    const QString body = supportMailBody(report);
    EXPECT_EQ(body, QStringLiteral("<put your message here>\n\n") + QString(40, QLatin1Char('-'))
                            + QStringLiteral("\n") + report);

    const QUrl url(supportMailUrl("7QZ41", report), QUrl::StrictMode);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "mailto");
    EXPECT_EQ(url.path(), SupportLinks::supportAddress());
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "7QZ41");
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded), body);
}

TEST(SupportReport, GroupHtmlHasTheColouredHeadingAndEscapedLines)
{
    const ReportGroup g{
            "Remote Control",
            {{"VISA", "1.0 (<x>)"}, {"kx.so (Version 2)", QString()}, {QString(), "Debian"}}};
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
    ASSERT_TRUE(root.mkpath("work") && root.mkpath("prefix/bin"));
    const QString work = root.filePath("work"), bin = root.filePath("prefix/bin");
    EXPECT_EQ(findHelpDocument(bin, work), QString());
    // Each copy added wins over those before it. The Debian package's documentation folder is
    // named after the package.
    for (const char *copy :
         {"prefix/share/doc/Trovik/Trovik.pdf", "prefix/share/doc/trovik/Trovik.pdf",
          "prefix/bin/Trovik.pdf", "work/Trovik.pdf"}) {
        const QString path = root.filePath(copy);
        ASSERT_TRUE(root.mkpath(QFileInfo(path).path()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(findHelpDocument(bin, work), path);
    }
}
