#include "verifyprogressdialog.h"

#include "sigmfverify.h"

VerifyProgressDialog::VerifyProgressDialog(QWidget *parent, WorkflowDialogs &dialogs,
                                           qint64 quietMs)
    : m_parent(parent)
    , m_dialogs(dialogs)
    , m_quietMs(quietMs)
{
    m_clock.start();
    sigmfVerifyOptions().progress
            = [this](int64_t done, int64_t total) { return advance(done, total); };
}

VerifyProgressDialog::~VerifyProgressDialog()
{
    sigmfVerifyOptions().progress = nullptr;
}

bool VerifyProgressDialog::advance(int64_t done, int64_t total)
{
    if (!m_view && (m_clock.elapsed() < m_quietMs || done >= total))
        return true;
    if (!m_view)
        m_view = m_dialogs.copyProgress(
                m_parent, QStringLiteral("Checking the SigMF data against its SHA-512..."), total);
    return m_view->advance(done, total);
}
