// Start-up, shut-down and the few slots the window shell owns.
#include "appidentity.h"
#include "filetypes.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

struct Persisted
{
    AppSettings settings;
    IqBuffer source, target;
    int tcpPort = 0, connectTo = 0, x = 0, y = 0;
};

Persisted readBack(const QString &path)
{
    Persisted p;
    takeStoredSettings(readStoredSettings(path), p.settings, p.source, p.target, p.tcpPort,
                       p.connectTo, p.x, p.y);
    return p;
}

void writeKeys(const QString &path, const QList<QPair<QString, QVariant>> &keys)
{
    QSettings store(path, QSettings::IniFormat);
    for (const auto &k : keys)
        store.setValue(k.first, k.second);
}

}  // namespace

TEST(AppIdentityTest, TitleIsNameBlankVVersion)
{
    EXPECT_EQ(AppIdentity::windowTitle(), QStringLiteral("Trovik32 v6.0.6"));
}

// ---------------------------------------------------------------------------------------
// Exit paths: the close button, the Quit button and the Quit menu entry all close the
// window; the destructor then writes the file once, from where the window was left.

enum class ExitPath { CloseButton, QuitButton, QuitMenu };

class ExitPathTest
    : public WindowTest
    , public ::testing::WithParamInterface<ExitPath>
{};

TEST_P(ExitPathTest, WritesMovedPositionAtExitOnly)
{
    MainWindow &w = open();
    w.show();
    w.move(217, 143);
    QApplication::processEvents();
    switch (GetParam()) {
    case ExitPath::CloseButton: w.close(); break;
    case ExitPath::QuitButton: QTest::mouseClick(child<QPushButton>("Quit"), Qt::LeftButton); break;
    case ExitPath::QuitMenu: child<QAction>("actionQuit")->trigger(); break;
    }
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(QFile::exists(iniPath())) << "written before the window was destroyed";
    destroy();
    const Persisted p = readBack(iniPath());
    EXPECT_EQ(p.x, 217);
    EXPECT_EQ(p.y, 143);
}

INSTANTIATE_TEST_SUITE_P(AllExits, ExitPathTest,
                         ::testing::Values(ExitPath::CloseButton, ExitPath::QuitButton,
                                           ExitPath::QuitMenu));

// ---------------------------------------------------------------------------------------

TEST_F(WindowTest, OpensAtStoredPositionAndDefaultsWithoutFile)
{
    MainWindow &first = open();
    EXPECT_EQ(first.pos(), QPoint(100, 100));
    EXPECT_EQ(child<QSpinBox>("Port")->value(), 1000);
    EXPECT_EQ(child<QComboBox>("ConnectTo")->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>("Trace_DevTyp")->currentIndex(), 6);
    EXPECT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), 0);
    destroy();

    writeKeys(iniPath(), {{"Position/x", 321}, {"Position/y", 222}, {"Program/TCP Port", 5025}});
    MainWindow &second = open();
    EXPECT_EQ(second.pos(), QPoint(321, 222));
    EXPECT_EQ(child<QSpinBox>("Port")->value(), 5025);
}

TEST_F(WindowTest, FirstStartWritesEveryKeyIntoVantorpFolder)
{
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    const QString oldName = QCoreApplication::applicationName();
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    QCoreApplication::setApplicationName(QStringLiteral("trovik"));
    {
        MainWindow w;  // the real per-user location
    }
    qputenv("XDG_DATA_HOME", oldXdg);
    QCoreApplication::setApplicationName(oldName);

    const QString path = dir.path() + QStringLiteral("/Vantorp/trovik/Trovik.ini");
    ASSERT_TRUE(QFile::exists(path));
    QSettings store(path, QSettings::IniFormat);
    const QStringList keys = store.allKeys();
    EXPECT_EQ(keys.size(), 48);
    for (const char *key : {"Position/x", "Analyzer/Type", "Analyzer/IQ Sideband IF",
                            "Program/Destination File Type", "AnaIQ/IQ Offset"})
        EXPECT_TRUE(keys.contains(QLatin1String(key))) << key;
    EXPECT_EQ(store.value("Position/x").toInt(), 100);
}

TEST_F(WindowTest, TabDeviceTypeAndResourceStringSurviveARestart)
{
    writeKeys(iniPath(), {{"Program/IQ Source", 1}, {"Analyzer/Type", 3}});
    open();
    EXPECT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>("Trace_DevTyp")->currentIndex(), 3);
    child<QComboBox>("Trace_DevTyp")->setCurrentIndex(9);
    QLineEdit *visa = child<QLineEdit>("Trace_VisaRS");
    visa->selectAll();
    QTest::keyClicks(visa, QStringLiteral("TCPIP::10.0.0.5::INSTR"));
    destroy();
    Persisted p = readBack(iniPath());
    EXPECT_EQ(p.source.iqSource, 1);
    EXPECT_EQ(p.settings.deviceType, 9);
    EXPECT_EQ(p.settings.resourceString, QStringLiteral("TCPIP::10.0.0.5::INSTR"));

    open();
    EXPECT_EQ(child<QLineEdit>("Trace_VisaRS")->text(), QStringLiteral("TCPIP::10.0.0.5::INSTR"));
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(0);
    destroy();
    EXPECT_EQ(readBack(iniPath()).source.iqSource, 0);
}

TEST_F(WindowTest, TypeListsShowEveryRowAndTheStoredSaveType)
{
    writeKeys(iniPath(), {{"Program/Destination File Type", 5}});
    open();
    QComboBox *load = child<QComboBox>("Load_Typ");
    QComboBox *save = child<QComboBox>("Save_Typ");
    EXPECT_EQ(load->count(), FileTypeTable::loadCount());
    EXPECT_EQ(save->count(), FileTypeTable::saveCount());
    EXPECT_EQ(save->currentIndex(), 5);
    EXPECT_EQ(load->currentIndex(), 23);  // the stored default, "Loomwave"
    save->setCurrentIndex(7);
    destroy();
    EXPECT_EQ(readBack(iniPath()).target.typeIndex, 7);
}

TEST_F(WindowTest, IndicesNoControlHasCountAsMissing)
{
    writeKeys(iniPath(), {{"Analyzer/Type", 99},
                          {"Program/IQ Source", 7},
                          {"Program/Source File Type", 500},
                          {"Program/Destination File Type", -4},
                          {"Program/Connect To", 2}});
    open();
    EXPECT_EQ(child<QComboBox>("ConnectTo")->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>("Trace_DevTyp")->currentIndex(), 6);
    EXPECT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), 23);
    EXPECT_EQ(child<QComboBox>("Save_Typ")->currentIndex(), 0);
    destroy();
    const Persisted p = readBack(iniPath());
    EXPECT_EQ(p.settings.deviceType, 6);
    EXPECT_EQ(p.source.iqSource, 0);
    EXPECT_EQ(p.source.typeIndex, 23);
    EXPECT_EQ(p.target.typeIndex, 0);
    EXPECT_EQ(p.connectTo, 1);
}

TEST_F(WindowTest, JunkSettingsFileGivesAWorkingWindow)
{
    QFile junk(iniPath());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(static_cast<char>((i * 7919 + 13) % 256));
    bytes.append("\n[Program]\nIQ Source=banana\n[Analyzer]\nType=\xff\xfe\n");
    junk.write(bytes);
    junk.close();
    MainWindow &w = open();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(child<QComboBox>("Trace_DevTyp")->currentIndex(), 0);  // "\xff\xfe" reads as 0
    EXPECT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), 0);
    destroy();
    EXPECT_EQ(QSettings(iniPath(), QSettings::IniFormat).allKeys().size(), 48);
}

// The two configuration entries have no operation: the panel does not take up a changed
// file, and the file on disk is not touched.
TEST_F(WindowTest, LoadAndSaveConfigurationDoNothing)
{
    writeKeys(iniPath(), {{"Program/TCP Port", 1234}});
    MainWindow &w = open();
    w.show();
    writeKeys(iniPath(), {{"Program/TCP Port", 4321}});
    const int windows = QApplication::topLevelWidgets().size();
    child<QAction>("actionLoad")->trigger();
    child<QAction>("actionSave")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_EQ(child<QSpinBox>("Port")->value(), 1234);
    EXPECT_EQ(QSettings(iniPath(), QSettings::IniFormat).value("Program/TCP Port").toInt(), 4321);
}

// ---------------------------------------------------------------------------------------
// Help > Contents and the remote-error report

class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { urls.append(url); }

public:
    QList<QUrl> urls;
};

// The box Help > Contents leaves open when it cannot show the manual (null when it showed it).
QMessageBox *helpBox(MainWindow &w)
{
    QApplication::processEvents();
    for (QMessageBox *box : w.findChildren<QMessageBox *>())
        if (box->isVisible() && box->windowTitle() == QStringLiteral("Help"))
            return box;
    return nullptr;
}

// Run from a fresh working folder, with the manual there or not.
class HelpContentsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        before = QDir::currentPath();
        QDir::setCurrent(work.path());
    }
    void TearDown() override { QDir::setCurrent(before); }
    QString putManual()
    {
        QFile pdf(work.filePath(QStringLiteral("Trovik.pdf")));
        EXPECT_TRUE(pdf.open(QIODevice::WriteOnly));
        return QDir(work.path()).absoluteFilePath(QStringLiteral("Trovik.pdf"));
    }
    QTemporaryDir work;
    QString before;
};

// With the manual and a viewer the manual opens; without a viewer, or without the manual, a
// box that leaves the window usable says why and where to look.
TEST_F(HelpContentsTest, ShowsTheManualOrSaysWhereItIs)
{
    const struct
    {
        bool manual;
        const char *handledScheme;  // where a desktop viewer is set up; null: none (offscreen)
        const char *boxSays;        // null: the manual was shown
        const char *boxAlsoSays;
    } cases[] = {{true, "file", nullptr, nullptr},
                 {true, nullptr, "No program to show PDF files", nullptr},
                 // A name that resolves nowhere opens nothing.
                 {false, "", "Trovik.pdf was not found", "share/doc/trovik"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.boxSays ? c.boxSays : "shown");
        QFile::remove(work.filePath(QStringLiteral("Trovik.pdf")));
        MainWindow &w = open();
        const QString manual = c.manual ? putManual() : QString();
        UrlCatcher catcher;
        if (c.handledScheme)
            QDesktopServices::setUrlHandler(QLatin1String(c.handledScheme), &catcher, "openUrl");
        child<QAction>("actionContents")->trigger();
        if (c.handledScheme)
            QDesktopServices::unsetUrlHandler(QLatin1String(c.handledScheme));
        QMessageBox *box = helpBox(w);
        if (!c.boxSays) {
            ASSERT_EQ(catcher.urls.size(), 1);
            EXPECT_EQ(catcher.urls.first().toLocalFile(), manual);
            EXPECT_EQ(box, nullptr);
            continue;
        }
        EXPECT_TRUE(catcher.urls.isEmpty());
        ASSERT_NE(box, nullptr);
        const QString also
                = c.manual ? QDir::toNativeSeparators(manual) : QLatin1String(c.boxAlsoSays);
        for (const QString &part : {QString::fromLatin1(c.boxSays), also})
            EXPECT_TRUE(box->text().contains(part)) << box->text().toStdString();
        EXPECT_FALSE(box->isModal());  // the window stays usable, the path can be copied
    }
}

TEST_F(WindowTest, RemoteErrorShowsCriticalBoxWithTheMessage)
{
    MainWindow &w = open();
    w.show();
    QString title, text;
    QWidget *parent = nullptr;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        parent = box->parentWidget();
        buttons = box->standardButtons();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    KxRemoteException error(QStringLiteral("Remote session lost"));
    emit w.remoteError(&error);
    EXPECT_EQ(title, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("Remote session lost"));
    EXPECT_EQ(parent, &w);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_STREQ(error.what(), "Remote session lost");
}

#include "mainwindow_test.moc"
