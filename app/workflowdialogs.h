#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

// Progress of a long Copy IQ. advance() is called after every block; it returns false once
// the user has asked to stop.
class CopyProgressView
{
public:
    virtual ~CopyProgressView() = default;
    virtual bool advance(int64_t done, int64_t total) = 0;
};

// Everything the load/save workflow asks of the user or tells the user in a window of its
// own. The window talks only to this interface, so the workflow runs unattended when the
// answers are scripted.
class WorkflowDialogs
{
public:
    virtual ~WorkflowDialogs() = default;
    // The chosen path, or an empty string when the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter)
            = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter)
            = 0;
    // A warning box: text is the headline, detail (when not empty) the line beneath it that
    // names the file and the reason.
    virtual void warning(QWidget *parent, const QString &title, const QString &text,
                         const QString &detail = QString())
            = 0;
    virtual std::unique_ptr<CopyProgressView> copyProgress(QWidget *parent, const QString &text,
                                                           int64_t total)
            = 0;
};

// The real dialogs: QFileDialog, QMessageBox and a window-modal QProgressDialog with Cancel.
class StandardWorkflowDialogs : public WorkflowDialogs
{
public:
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    void warning(QWidget *parent, const QString &title, const QString &text,
                 const QString &detail = QString()) override;
    std::unique_ptr<CopyProgressView> copyProgress(QWidget *parent, const QString &text,
                                                   int64_t total) override;
};
