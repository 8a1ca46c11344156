#include "progresstracker.h"

#include <cmath>

namespace {

// Thousands grouped with commas, the same in every locale: 50,000,000.
QString grouped(uint64_t value)
{
    QString digits = QString::number(qulonglong(value));
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

QString secondsText(double seconds)
{
    return seconds < 10 ? QString::number(seconds, 'f', 1) + QStringLiteral(" s")
                        : QString::number(std::llround(seconds)) + QStringLiteral(" s");
}

}  // namespace

QString progressText(const ProgressSnapshot &s)
{
    if (s.waiting && (!s.counted || s.done == 0))
        return QStringLiteral("Waiting for the instrument (timeout in %1 s)")
                .arg((s.msLeft + 999) / 1000);
    if (!s.counted)
        return QString();
    QString text
            = s.writing ? QStringLiteral("%1 of %2 bytes") : QStringLiteral("%1 of %2 samples");
    text = text.arg(grouped(s.done), grouped(s.total));
    if (s.seconds > 0.2 && s.bytes > 0) {
        const double rate = double(s.bytes) / s.seconds;
        text += QStringLiteral(", %1 MB/s").arg(rate / 1e6, 0, 'f', 1);
        if (s.done > 0 && s.done < s.total) {
            const double left = s.seconds * double(s.total - s.done) / double(s.done);
            text += QStringLiteral(", %1 left").arg(secondsText(left));
        }
    }
    if (s.waiting)
        text += QStringLiteral(" (waiting, timeout in %1 s)").arg((s.msLeft + 999) / 1000);
    return text;
}

void ProgressTracker::begin(const QString &title)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        state = ProgressSnapshot();
        state.title = title;
        state.writing = title.startsWith(QLatin1String("Writing"));
        started = Clock::now();
    }
    reports.fetch_add(1, std::memory_order_relaxed);
    changed();
}

bool ProgressTracker::update(int percent)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        state.percent = percent;
        state.waiting = false;
    }
    reports.fetch_add(1, std::memory_order_relaxed);
    changed();
    return !cancelled();
}

void ProgressTracker::end()
{
    reports.fetch_add(1, std::memory_order_relaxed);
    changed();
}

void ProgressTracker::waiting(int64_t msLeft)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        state.waiting = true;
        state.msLeft = msLeft;
    }
    reports.fetch_add(1, std::memory_order_relaxed);
    changed();
}

bool ProgressTracker::transferred(uint64_t done, uint64_t total, uint64_t bytes)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        state.counted = true;
        state.waiting = false;
        state.done = done;
        state.total = total;
        state.bytes = bytes;
        state.percent = total == 0 ? 100 : int(100 * done / total);
        state.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    }
    reports.fetch_add(1, std::memory_order_relaxed);
    changed();
    return !cancelled();
}

ProgressSnapshot ProgressTracker::snapshot() const
{
    const std::lock_guard<std::mutex> hold(lock);
    ProgressSnapshot copy = state;
    if (!copy.counted)
        copy.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return copy;
}
