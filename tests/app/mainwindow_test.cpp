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

// The window shows what the file holds; an index no control has, a missing file or junk count
// as missing keys (the key's default). At exit it writes back what it showed, every key.
TEST_F(WindowTest, OpensWithTheStoredSettingsAndWritesThemBack)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919 + 13) % 256));
    junk.append("\n[Program]\nIQ Source=banana\n[Analyzer]\nType=\xff\xfe\n");
    struct Shown
    {
        QPoint pos;
        int port, connectTo, device, tab, loadType, saveType;
    };
    const struct
    {
        const char *name;
        QList<QPair<QString, QVariant>> keys;
        QByteArray bytes;  // written instead of keys when not empty
        Shown shown;
    } cases[] = {
            {"no file", {}, {}, Shown{{100, 100}, 1000, 1, 6, 0, 23, 0}},
            {"stored",
             {{"Position/x", 321},
              {"Position/y", 222},
              {"Program/TCP Port", 5025},
              {"Program/IQ Source", 1},
              {"Analyzer/Type", 3},
              {"Program/Destination File Type", 5}},
             {},
             Shown{{321, 222}, 5025, 1, 3, 1, 23, 5}},
            {"out of range",
             {{"Analyzer/Type", 99},
              {"Program/IQ Source", 7},
              {"Program/Source File Type", 500},
              {"Program/Destination File Type", -4},
              {"Program/Connect To", 2}},
             {},
             Shown{{100, 100}, 1000, 1, 6, 0, 23, 0}},
            {"junk", {}, junk, Shown{{100, 100}, 1000, 1, 0, 0, 23, 0}},  // "\xff\xfe" reads as 0
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (!c.bytes.isEmpty()) {
            QFile file(iniPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        writeKeys(iniPath(), c.keys);
        MainWindow &w = open();
        w.show();
        QApplication::processEvents();
        const Shown &e = c.shown;
        EXPECT_EQ(w.pos(), e.pos);
        EXPECT_EQ(child<QSpinBox>("Port")->value(), e.port);
        EXPECT_EQ(child<QComboBox>("ConnectTo")->currentIndex(), e.connectTo);
        EXPECT_EQ(child<QComboBox>("Trace_DevTyp")->currentIndex(), e.device);
        EXPECT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), e.tab);
        EXPECT_EQ(child<QComboBox>("Load_Typ")->currentIndex(), e.tab == 0 ? e.loadType : 0);
        EXPECT_EQ(child<QComboBox>("Save_Typ")->currentIndex(), e.saveType);
        destroy();
        const Persisted p = readBack(iniPath());
        EXPECT_EQ(p.settings.deviceType, e.device);
        EXPECT_EQ(p.source.iqSource, e.tab);
        EXPECT_EQ(p.source.typeIndex, e.loadType);
        EXPECT_EQ(p.target.typeIndex, e.saveType);
        EXPECT_EQ(p.connectTo, e.connectTo);
        EXPECT_EQ(QSettings(iniPath(), QSettings::IniFormat).allKeys().size(), 48);
    }
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

TEST_F(WindowTest, WhatTheUserChoosesSurvivesARestart)
{
    open();
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    child<QComboBox>("Trace_DevTyp")->setCurrentIndex(9);
    child<QComboBox>("Save_Typ")->setCurrentIndex(7);
    QLineEdit *visa = child<QLineEdit>("Trace_VisaRS");
    visa->selectAll();
    QTest::keyClicks(visa, QStringLiteral("TCPIP::10.0.0.5::INSTR"));
    destroy();
    Persisted p = readBack(iniPath());
    EXPECT_EQ(p.source.iqSource, 1);
    EXPECT_EQ(p.settings.deviceType, 9);
    EXPECT_EQ(p.target.typeIndex, 7);
    EXPECT_EQ(p.settings.resourceString, QStringLiteral("TCPIP::10.0.0.5::INSTR"));

    open();
    EXPECT_EQ(child<QLineEdit>("Trace_VisaRS")->text(), QStringLiteral("TCPIP::10.0.0.5::INSTR"));
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(0);
    destroy();
    EXPECT_EQ(readBack(iniPath()).source.iqSource, 0);
}

TEST_F(WindowTest, TypeListsHoldEveryRow)
{
    open();
    EXPECT_EQ(child<QComboBox>("Load_Typ")->count(), FileTypeTable::loadCount());
    EXPECT_EQ(child<QComboBox>("Save_Typ")->count(), FileTypeTable::saveCount());
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
