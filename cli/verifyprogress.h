#pragma once

#include <QElapsedTimer>

// While it lives, the hash check of a SigMF load shows its progress on stderr, rewritten in
// place ("verify: 40% of 400 MB"), once it has run for half a second; the line is ended when
// the check is done.
class VerifyProgressLine
{
public:
    VerifyProgressLine();
    ~VerifyProgressLine();
    VerifyProgressLine(const VerifyProgressLine &) = delete;
    VerifyProgressLine &operator=(const VerifyProgressLine &) = delete;

private:
    void update(long long done, long long total);

    QElapsedTimer m_clock;
    qint64 m_last = 0;
    bool m_shown = false;
};
