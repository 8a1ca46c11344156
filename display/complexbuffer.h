#pragma once

#include <complex>
#include <cstddef>
#include <memory>

// An array of complex doubles aligned for the transform's vector instructions. Freed
// automatically; allocation failure gives an empty buffer, never an exception.
class ComplexBuffer
{
public:
    ComplexBuffer() = default;
    static ComplexBuffer allocate(size_t count) noexcept;

    std::complex<double> *data() const noexcept { return m_data.get(); }
    size_t size() const noexcept { return m_size; }
    bool isNull() const noexcept { return !m_data; }
    std::complex<double> &operator[](size_t k) const noexcept { return m_data.get()[k]; }

private:
    struct Free
    {
        void operator()(std::complex<double> *p) const noexcept;
    };
    std::unique_ptr<std::complex<double>, Free> m_data;
    size_t m_size = 0;
};
