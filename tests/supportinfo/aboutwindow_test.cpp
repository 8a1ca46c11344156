#include "aboutwindow.h"
#include "fakeosinfo.h"
#include "supportreport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>

namespace {

std::unique_ptr<AboutWindow> window(std::unique_ptr<FakeOSInfo> info)
{
    return std::make_unique<AboutWindow>("Trovik32", "Trovik", "6.0.6", "27-Mar-2017", "7QZ41",
                                         std::move(info));
}

QStringList tabTitles(const AboutWindow &w)
{
    const QTabWidget *tabs = w.findChild<QTabWidget *>();
    QStringList titles;
    for (int i = 0; tabs && i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

QStringList labelTexts(const AboutWindow &w)
{
    QStringList texts;
    for (const QLabel *l : w.findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

}  // namespace

TEST(AboutWindow, TitleLabelsLinksAndTabs)
{
    auto info = std::make_unique<FakeOSInfo>();
    info->drivers = {{"USB test and measurement devices", {{"Vantorp FSX", QString()}}}};
    const auto w = window(std::move(info));
    EXPECT_EQ(w->windowTitle(), "Information about Trovik32");
    EXPECT_EQ(tabTitles(*w),
              QStringList({"Legal Information", "Driver Information", "System Information"}));
    const QStringList labels = labelTexts(*w);
    const QString mail = QStringLiteral("<a href=\"%1\">Support mail</a>")
                                 .arg(supportMailUrl("7QZ41", w->report()).toHtmlEscaped());
    for (const QString &l :
         {QStringLiteral("Trovik32"), QStringLiteral("Trovik"),
          QStringLiteral("Version 6.0.6 %1 bit (27-Mar-2017)").arg(QT_POINTER_SIZE * 8),
          QStringLiteral("Infodesk"), QStringLiteral("Version 2.0.0 (01.03.2014)"),
          QStringLiteral("a tool to get imortant system information"),
          QStringLiteral("I accept the terms of use as published"), mail})
        EXPECT_TRUE(labels.contains(l)) << l.toStdString();
    EXPECT_TRUE(labels.join(QLatin1Char('\n')).contains(">Product page</a>"));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());  // fixed to its size
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);

    const auto browsers = w->findChildren<QTextBrowser *>();
    ASSERT_EQ(browsers.size(), 2);
    QStringList shown;
    for (const QTextBrowser *b : browsers)
        shown << b->toPlainText();
    EXPECT_TRUE(shown.join(QLatin1Char('\n')).contains("Vantorp FSX"));
    EXPECT_TRUE(shown.join(QLatin1Char('\n')).contains("VISA: ---"));
}

TEST(AboutWindow, DriverTabIsRemovedWhenThereAreNoDriverGroups)
{
    const auto w = window(std::make_unique<FakeOSInfo>());
    EXPECT_EQ(tabTitles(*w), QStringList({"Legal Information", "System Information"}));
}

TEST(AboutWindow, CopyPutsTheReportOnTheClipboardAndSaysSo)
{
    const auto w = window(std::make_unique<FakeOSInfo>());
    QGuiApplication::clipboard()->setText("old");
    QString message;
    QTimer::singleShot(0, [&message] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            message = box->text();
            box->accept();
        }
    });
    w->copy_clicked();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), w->report());
    EXPECT_TRUE(w->report().startsWith(QStringLiteral(
            "*** Global Setup ***\nProduct: Trovik32\nVersion: 6.0.6\nDate: 27-Mar-2017\n\n")));
    EXPECT_EQ(
            message,
            QStringLiteral(
                    "Support information copied to clipboard.\n"
                    "Use <CTRL+V> to paste the information in your mail program or text editor."));
}

// Qt's offscreen platform never frees its screen objects; leak reports would be about those,
// not about the window under test, whose objects all have Qt parents or a unique owner.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

int main(int argc, char **argv)
{
    // Test discovery runs this at build time, where no display may exist.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
