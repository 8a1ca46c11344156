#include "verifyprogress.h"

#include "sigmfverify.h"

#include <cstdio>

VerifyProgressLine::VerifyProgressLine()
{
    m_clock.start();
    sigmfVerifyOptions().progress = [this](int64_t done, int64_t total) {
        update(done, total);
        return true;
    };
}

VerifyProgressLine::~VerifyProgressLine()
{
    sigmfVerifyOptions().progress = nullptr;
    if (m_shown)
        std::fputc('\n', stderr);
}

void VerifyProgressLine::update(long long done, long long total)
{
    const qint64 now = m_clock.elapsed();
    if (now < 500 || (m_shown && now - m_last < 250 && done < total))
        return;
    m_shown = true;
    m_last = now;
    std::fprintf(stderr, "\rverify: %3d%% of %lld MB", total > 0 ? int(done * 100 / total) : 100,
                 total / 1000000);
    if (done >= total) {
        std::fputc('\n', stderr);  // ended, so that a line after it starts on its own
        m_shown = false;
    }
    std::fflush(stderr);
}
