#include "spectrogramjob.h"

#include <complex>
#include <cstring>
#include <new>

SpectrogramJob::SpectrogramJob(const IqBuffer &record, const SpectrogramRequest &request)
    : m_record(record)
    , m_request(request)
    , m_shape(spectrogramShape(record.heldCount(), request))
{
    m_thread = std::thread([this] { run(); });
}

SpectrogramJob::~SpectrogramJob()
{
    cancel();
}

void SpectrogramJob::cancel()
{
    m_progress.cancel.store(true);
    wait();
}

void SpectrogramJob::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

double SpectrogramJob::progress() const
{
    if (m_shape.frameCount <= 0)
        return 1.0;
    return double(m_progress.framesDone.load(std::memory_order_relaxed))
           / double(m_shape.frameCount);
}

size_t SpectrogramJob::workBytes(const SpectrogramShape &shape, int fftSize)
{
    return size_t(shape.rows) * size_t(shape.columns) * sizeof(float)
           + size_t(fftSize) * (sizeof(std::complex<double>) + sizeof(double))
           + size_t(shape.columns) * (sizeof(double) + sizeof(float));
}

void SpectrogramJob::run()
{
    try {
        m_levels.resize(size_t(m_shape.rows) * size_t(m_shape.columns));
        const int columns = m_shape.columns;
        m_status = computeSpectrogram(
                m_record.iData.data(), m_record.qData.data(), m_record.heldCount(), m_request,
                [&](int row, const float *levels) {
                    std::memcpy(m_levels.data() + size_t(row) * columns, levels,
                                size_t(columns) * sizeof(float));
                    return true;
                },
                &m_progress);
    } catch (const std::bad_alloc &) {
        m_status = SpectrogramStatus::NoMemory;
    }
    if (m_status != SpectrogramStatus::Ok)
        m_levels.clear();
    m_finished.store(true, std::memory_order_release);
}
