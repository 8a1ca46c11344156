// The link server and the Help actions as the main window wires them: listening at start-up on
// the port setting, the "Connected" indicator, the ConnectTo and Port slots, About and Contents.
#include "mainwindow.h"
#include "settingsfile.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 ? fd : (::close(fd), -1);
}

// Reads n bytes while the window's event loop keeps running; fewer when the time runs out.
QByteArray receive(int fd, int n, int ms = 3000)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < n && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        char buf[4096];
        const ssize_t k
                = ::recv(fd, buf, std::min<size_t>(sizeof buf, static_cast<size_t>(n - got.size())),
                         MSG_DONTWAIT);
        if (k > 0)
            got.append(buf, static_cast<int>(k));
        else if (k == 0)
            break;
    }
    return got;
}

void settle(int ms = 100)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class LinkWiring : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        port = freePort();
        StoredSettings stored;
        // The setting is taken modulo 65,536.
        stored.program.tcpPort = port + 65536;
        ASSERT_TRUE(writeStoredSettings(settingsFilePath(dir.path()), stored));
        window = std::make_unique<MainWindow>(dir.path());
    }

    template<class T>
    T *child(const char *name)
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir dir;
    int port = 0;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(LinkWiring, ListensOnThePortSettingAndShowsTheConnection)
{
    auto *conn = child<QCheckBox>("Conn");
    ASSERT_NE(conn, nullptr);
    EXPECT_FALSE(conn->isChecked());
    const int fd = connectTo(port);
    ASSERT_GE(fd, 0);
    const QByteArray hello = receive(fd, 24);
    ASSERT_EQ(hello.size(), 24);
    EXPECT_EQ(hello.mid(0, 4), QByteArray::fromHex("03000000"));
    EXPECT_EQ(hello.mid(8, 4), QByteArray::fromHex("01000000"));
    EXPECT_EQ(hello.mid(16, 4), QByteArray::fromHex("00000000"));
    EXPECT_TRUE(conn->isChecked());
    ::send(fd, "GetServerID", 11, 0);
    EXPECT_EQ(receive(fd, 100).mid(4, 7), QByteArray("Trovik\0", 7));
    ::close(fd);
    settle();
    EXPECT_FALSE(conn->isChecked());
}

TEST_F(LinkWiring, ConnectToChangeClearsNewStateAndTheIndicatorButKeepsTheConnection)
{
    const int fd = connectTo(port);
    ASSERT_EQ(receive(fd, 24).size(), 24);
    auto *conn = child<QCheckBox>("Conn");
    auto *connectToBox = child<QComboBox>("ConnectTo");
    ASSERT_TRUE(conn->isChecked());
    connectToBox->setCurrentIndex(0);
    EXPECT_FALSE(conn->isChecked());
    ::send(fd, "GetNewState", 11, 0);
    EXPECT_EQ(receive(fd, 8), QByteArray::fromHex("0300000000000000"));  // cleared; still served
    EXPECT_EQ(receive(fd, 1, 200).size(), 0);
    ::close(fd);
    window.reset();
    EXPECT_EQ(readStoredSettings(settingsFilePath(dir.path())).program.connectTo, 0);
}

TEST_F(LinkWiring, PortEditTakesEffectAtTheNextStart)
{
    const int fd = connectTo(port);
    ASSERT_EQ(receive(fd, 24).size(), 24);
    auto *portBox = child<QSpinBox>("Port");
    portBox->setValue(4242);
    emit portBox->editingFinished();
    EXPECT_FALSE(child<QCheckBox>("Conn")->isChecked());
    ::send(fd, "GetSymbolRate", 13, 0);
    EXPECT_EQ(receive(fd, 8).size(), 8);  // the server keeps its port and its client
    ::close(fd);
    window.reset();
    EXPECT_EQ(readStoredSettings(settingsFilePath(dir.path())).program.tcpPort, 4242);
}

TEST_F(LinkWiring, AboutOpensTheSupportWindow)
{
    QString title;
    QTimer::singleShot(0, [&title] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            title = d->windowTitle();
            d->reject();
        }
    });
    child<QAction>("actionAbout")->trigger();
    EXPECT_EQ(title, QStringLiteral("Information about Trovik32"));
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

TEST_F(LinkWiring, ContentsOpensTheManualFromTheWorkingDirectoryOrTheProgramFolder)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const QString before = QDir::currentPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    const bool programHasManual
            = QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/Trovik.pdf"));
    child<QAction>("actionContents")->trigger();
    if (programHasManual) {
        ASSERT_EQ(catcher.urls.size(), 1);
        EXPECT_EQ(catcher.urls[0].toLocalFile(),
                  QCoreApplication::applicationDirPath() + QStringLiteral("/Trovik.pdf"));
    }
    QFile pdf(work.filePath(QStringLiteral("Trovik.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    catcher.urls.clear();
    child<QAction>("actionContents")->trigger();
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), work.filePath(QStringLiteral("Trovik.pdf")));
    QDir::setCurrent(before);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

// Qt's offscreen platform never frees its screen objects; leak reports would be about those.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "mainwindowlink_test.moc"
