#pragma once

#include "workflowdialogs.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QWidget;

// While it lives, the hash check of a SigMF load on this thread shows a progress dialog once it
// has run for half a second (a check of a few megabytes stays silent). Cancel stops the check and
// with it the load.
class VerifyProgressDialog
{
public:
    VerifyProgressDialog(QWidget *parent, WorkflowDialogs &dialogs, qint64 quietMs = 500);
    ~VerifyProgressDialog();
    VerifyProgressDialog(const VerifyProgressDialog &) = delete;
    VerifyProgressDialog &operator=(const VerifyProgressDialog &) = delete;

private:
    bool advance(int64_t done, int64_t total);

    QWidget *m_parent;
    WorkflowDialogs &m_dialogs;
    qint64 m_quietMs;
    QElapsedTimer m_clock;
    std::unique_ptr<CopyProgressView> m_view;
};
