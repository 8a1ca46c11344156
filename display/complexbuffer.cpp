#include "complexbuffer.h"

#include <fftw3.h>

#include <limits>

ComplexBuffer ComplexBuffer::allocate(size_t count) noexcept
{
    ComplexBuffer b;
    if (count > std::numeric_limits<size_t>::max() / sizeof(fftw_complex))
        return b;
    // fftw_malloc gives the alignment the cached plans were made for.
    void *p = fftw_malloc(count == 0 ? sizeof(fftw_complex) : count * sizeof(fftw_complex));
    if (!p)
        return b;
    b.m_data.reset(static_cast<std::complex<double> *>(p));
    b.m_size = count;
    return b;
}

void ComplexBuffer::Free::operator()(std::complex<double> *p) const noexcept
{
    fftw_free(p);
}
