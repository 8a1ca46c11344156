#include "aboutwindow.h"

#include "linuxosinfo.h"
#include "supportreport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QLabel *linkLabel(const QString &url, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(
            QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()),
            parent);
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::TextBrowserInteraction);
    l->setOpenExternalLinks(true);
    return l;
}

}  // namespace

AboutWindow::AboutWindow(const QString &product, const QString &name, const QString &version,
                         const QString &date, const QString &noteNumber, QWidget *parent)
    : AboutWindow(product, name, version, date, noteNumber, std::make_unique<LinuxOSInfo>(), parent)
{}

AboutWindow::AboutWindow(const QString &product, const QString &name, const QString &version,
                         const QString &date, const QString &noteNumber,
                         std::unique_ptr<OSInfo> info, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowCloseButtonHint)
    , m_product(product)
    , m_name(name)
    , m_version(version)
    , m_date(date)
    , m_noteNumber(noteNumber)
    , m_info(std::move(info))
{
    buildUi();
}

AboutWindow::~AboutWindow() = default;

QString AboutWindow::report() const
{
    return supportReport(m_product, m_version, m_date, *m_info);
}

void AboutWindow::buildUi()
{
    setWindowTitle(QStringLiteral("Information about ") + m_product);
    auto *layout = new QVBoxLayout(this);
    ui.productLabel = new QLabel(m_product, this);
    ui.nameLabel = new QLabel(m_name, this);
    // The word size is the one of this build, not a fixed text.
    ui.versionLabel = new QLabel(QStringLiteral("Version %1 %2 bit (%3)")
                                         .arg(m_version)
                                         .arg(QT_POINTER_SIZE * 8)
                                         .arg(m_date),
                                 this);
    QFont big = ui.productLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    ui.productLabel->setFont(big);
    ui.productPageLink = linkLabel(SupportLinks::productPage(m_noteNumber),
                                   QStringLiteral("Product page"), this);
    ui.supportMailLink = linkLabel(supportMailUrl(m_noteNumber, report()),
                                   QStringLiteral("Support mail"), this);
    m_copyButton = new QPushButton(QStringLiteral("copy support information to clipboard"), this);
    connect(m_copyButton, &QPushButton::clicked, this, &AboutWindow::copy_clicked);
    ui.tabs = new QTabWidget(this);
    ui.tabs->addTab(legalTab(), QStringLiteral("Legal Information"));
    const QList<ReportGroup> drivers = m_info->driverInformation();
    if (!drivers.isEmpty())
        ui.tabs->addTab(groupTab(drivers), QStringLiteral("Driver Information"));
    ui.tabs->addTab(groupTab(m_info->systemInformation()), QStringLiteral("System Information"));
    for (QWidget *w :
         {static_cast<QWidget *>(ui.productLabel), static_cast<QWidget *>(ui.nameLabel),
          static_cast<QWidget *>(ui.versionLabel), static_cast<QWidget *>(ui.productPageLink),
          static_cast<QWidget *>(ui.supportMailLink), static_cast<QWidget *>(m_copyButton),
          static_cast<QWidget *>(ui.tabs)})
        layout->addWidget(w);
    setFixedSize(sizeHint());
}

QWidget *AboutWindow::legalTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    auto *title = new QLabel(QStringLiteral("Infodesk"), tab);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    layout->addWidget(new QLabel(QStringLiteral("Version 2.0.0 (01.03.2014)"), tab));
    layout->addWidget(new QLabel(QStringLiteral("a tool to get imortant system information"), tab));
    layout->addWidget(new QLabel(QStringLiteral("I accept the terms of use as published"), tab));
    layout->addWidget(linkLabel(SupportLinks::termsOfUse(), QStringLiteral("Terms of use"), tab));
    layout->addStretch(1);
    return tab;
}

QWidget *AboutWindow::groupTab(const QList<ReportGroup> &groups)
{
    auto *view = new QTextBrowser(this);
    QStringList parts;
    for (const ReportGroup &g : groups)
        parts << reportGroupHtml(g);
    view->setHtml(parts.join(QStringLiteral("<br><br>")));
    view->setOpenLinks(false);
    view->setMinimumSize(460, 260);
    return view;
}

void AboutWindow::copy_clicked()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(report());
    QMessageBox box(
            QMessageBox::Information, m_product,
            QStringLiteral(
                    "Support information copied to clipboard.\n"
                    "Use <CTRL+V> to paste the information in your mail program or text editor."),
            QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
