#pragma once

#include "osinfo.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;

// The About dialog: the program's name and version, links to the product page and to a
// support mail that carries the system report, and the report itself on two tabs.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    // The five identity texts in the order the main window passes them; the dialog gathers
    // the facts of this machine.
    AboutWindow(const QString &product, const QString &name, const QString &version,
                const QString &date, const QString &noteNumber, QWidget *parent = nullptr);
    // The same with the facts taken from the given collector.
    AboutWindow(const QString &product, const QString &name, const QString &version,
                const QString &date, const QString &noteNumber, std::unique_ptr<OSInfo> info,
                QWidget *parent = nullptr);
    ~AboutWindow() override;

    QString report() const;

public slots:
    void copy_clicked();

private:
    struct Ui
    {
        QLabel *productLabel = nullptr;
        QLabel *nameLabel = nullptr;
        QLabel *versionLabel = nullptr;
        QLabel *productPageLink = nullptr;
        QLabel *supportMailLink = nullptr;
        QTabWidget *tabs = nullptr;
    };

    void buildUi();
    QWidget *legalTab();
    QWidget *groupTab(const QList<ReportGroup> &groups);

    Ui ui;
    QString m_product, m_name, m_version, m_date, m_noteNumber;
    QPushButton *m_copyButton = nullptr;
    std::unique_ptr<OSInfo> m_info;
};
