#pragma once

#include "iqbuffer.h"
#include "spectrogram.h"

#include <atomic>
#include <thread>
#include <vector>

// One spectrogram computed on a worker thread. The job keeps a shallow copy of the record,
// so the samples stay alive while it runs even if the window's record is replaced. Poll
// finished() and progress(); cancel() (or the destructor) stops the worker and waits for it,
// so no thread outlives its job.
class SpectrogramJob
{
public:
    SpectrogramJob(const IqBuffer &record, const SpectrogramRequest &request);
    ~SpectrogramJob();
    SpectrogramJob(const SpectrogramJob &) = delete;
    SpectrogramJob &operator=(const SpectrogramJob &) = delete;

    void cancel();
    void wait();
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Frames done as a share of all the frames asked for, 0 … 1.
    double progress() const;

    // Valid once finished(): the levels row after row (rows × columns, dB).
    SpectrogramStatus status() const { return m_status; }
    const SpectrogramShape &shape() const { return m_shape; }
    const std::vector<float> &levels() const { return m_levels; }
    const SpectrogramRequest &request() const { return m_request; }

    // Bytes the job holds besides the record: the level matrix, one frame's buffers, one row.
    static size_t workBytes(const SpectrogramShape &shape, int fftSize);

private:
    void run();

    IqBuffer m_record;
    SpectrogramRequest m_request;
    SpectrogramShape m_shape;
    SpectrogramProgress m_progress;
    std::vector<float> m_levels;
    SpectrogramStatus m_status = SpectrogramStatus::Ok;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};
