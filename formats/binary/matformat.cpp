#include "matformat.h"
#include "filetypes.h"

#include "failuredetail.h"
#include "framecodec.h"
#include "matlayout.h"
#include "matwriter.h"

#include <QFile>
#include <QFileInfo>

#include <matio.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct MatCloser
{
    void operator()(mat_t *m) const { Mat_Close(m); }
};
struct VarFreer
{
    void operator()(matvar_t *v) const { Mat_VarFree(v); }
};
using MatHandle = std::unique_ptr<mat_t, MatCloser>;
using MatVariable = std::unique_ptr<matvar_t, VarFreer>;

// Deflate expands at most about 1032:1; a stored element takes at least one byte.
constexpr int64_t kMaxInflation = 1032;

bool isRealNumeric(const matvar_t *v)
{
    return v->class_type >= MAT_C_DOUBLE && v->class_type <= MAT_C_UINT64 && !v->isComplex;
}

// Elements announced by the dimensions, or -1 when they overflow or the file cannot hold them.
int64_t announcedElements(const matvar_t *v, int64_t fileBytes)
{
    if (v->rank <= 0 || !v->dims)
        return 0;
    const int64_t bound
            = v->compression == MAT_COMPRESSION_NONE ? fileBytes : fileBytes * kMaxInflation;
    int64_t n = 1;
    for (int k = 0; k < v->rank; ++k) {
        const size_t d = v->dims[k];
        if (d != 0 && (d > size_t(bound) || n > bound / int64_t(d)))
            return -1;
        n *= int64_t(d);
    }
    return n;
}

// The next variable's description; nothing (and why in why) when it is missing, unusable or
// larger than the file can hold. The data are read later, once the arrays exist.
MatVariable nextUsableInfo(mat_t *file, int64_t fileBytes, int64_t &elements, QString &why)
{
    MatVariable info(Mat_VarReadNextInfo(file));
    if (!info || !info->name) {
        why = QStringLiteral("no variable to read");
        return nullptr;
    }
    const QString name = QString::fromUtf8(info->name);
    if (!isRealNumeric(info.get())) {
        why = QStringLiteral("variable %1 is not a real numeric array").arg(name);
        return nullptr;
    }
    elements = announcedElements(info.get(), fileBytes);
    if (elements < 0)
        why = QStringLiteral("variable %1 announces more elements than the file can hold")
                      .arg(name);
    return elements < 0 ? nullptr : std::move(info);
}

// Converts the first n elements of src, held as T, to floats at dst. dst may be src itself when
// T is at least as wide as a float: element k is read before anything at or behind its place is
// written, and the byte-wise copies tell the compiler that the two may overlap.
template<typename T>
void convertElements(const void *src, float *dst, int64_t n)
{
    const char *s = static_cast<const char *>(src);
    char *d = reinterpret_cast<char *>(dst);
    for (int64_t k = 0; k < n; ++k) {
        T value;
        std::memcpy(&value, s + size_t(k) * sizeof(T), sizeof value);
        const float f = static_cast<float>(value);
        std::memcpy(d + size_t(k) * sizeof(float), &f, sizeof f);
    }
}

void convertVariable(const matvar_t *v, float *dst, int64_t n)
{
    switch (v->class_type) {
    case MAT_C_DOUBLE: convertElements<double>(v->data, dst, n); break;
    case MAT_C_SINGLE: std::memmove(dst, v->data, size_t(n) * sizeof(float)); break;
    case MAT_C_INT8: convertElements<int8_t>(v->data, dst, n); break;
    case MAT_C_UINT8: convertElements<uint8_t>(v->data, dst, n); break;
    case MAT_C_INT16: convertElements<int16_t>(v->data, dst, n); break;
    case MAT_C_UINT16: convertElements<uint16_t>(v->data, dst, n); break;
    case MAT_C_INT32: convertElements<int32_t>(v->data, dst, n); break;
    case MAT_C_UINT32: convertElements<uint32_t>(v->data, dst, n); break;
    case MAT_C_INT64: convertElements<int64_t>(v->data, dst, n); break;
    case MAT_C_UINT64: convertElements<uint64_t>(v->data, dst, n); break;
    default: break;
    }
}

// The first n elements of v as a sample array. matio hands each variable over in a malloc'd
// buffer of its own; where its elements are at least as wide as a float, that buffer is
// converted in place, trimmed and taken over, so the load never holds a variable beside a
// record array of the same samples.
SampleArray takeSamples(matvar_t *v, int64_t n)
{
    if (n == 0 || size_t(v->data_size) < sizeof(float)) {
        const SampleArray a = SampleArray::allocate(n);
        if (a)
            convertVariable(v, a.data(), n);
        return a;
    }
    convertVariable(v, static_cast<float *>(v->data), n);
    void *data = std::exchange(v->data, nullptr);
    void *trimmed = std::realloc(data, size_t(n) * sizeof(float));
    return SampleArray::adopt(static_cast<float *>(trimmed ? trimmed : data), n);
}

// Reads the variable described by info into out (its first n elements); fileFault when the
// file does not hold them, memoryFault when the memory cannot be had (path and reason noted).
IqStatus readVariable(mat_t *file, const QString &path, const matvar_t *info, int64_t n,
                      SampleArray &out, IqStatus fileFault, IqStatus memoryFault)
{
    const QString name = QString::fromUtf8(info->name);
    const QString noMemory
            = QStringLiteral("out of memory: no room for the %1 samples of variable %2")
                      .arg(n)
                      .arg(name);
    errno = 0;
    MatVariable v(Mat_VarRead(file, info->name));
    if (!v)
        return errno == ENOMEM ? failFile(memoryFault, path, noMemory)
                               : failFile(fileFault, path,
                                          QStringLiteral("variable %1 cannot be read").arg(name));
    if (v->class_type != info->class_type || v->isComplex || v->data_size <= 0)
        return failFile(fileFault, path,
                        QStringLiteral("variable %1 is not a real numeric array").arg(name));
    const int64_t held = int64_t(Mat_VarGetSize(v.get()) / size_t(v->data_size));
    if (held < n || (n > 0 && !v->data))
        return failFile(fileFault, path,
                        QStringLiteral("variable %1 holds %2 elements, %3 are needed")
                                .arg(name)
                                .arg(held)
                                .arg(n));
    out = takeSamples(v.get(), n);
    return out ? IqStatus::Ok : failFile(memoryFault, path, noMemory);
}

// The file at path is a MAT file that the library could not open.
void noteUnopened(const QString &path)
{
    failFile(IqStatus::FirstFile, path, QStringLiteral("cannot be opened as a MAT file"));
}

MatHandle openForReading(const QString &path)
{
    return MatHandle(Mat_Open(QFile::encodeName(path).constData(), MAT_ACC_RDONLY));
}

constexpr int64_t kSlabElements = int64_t(1) << 20;

template<typename T>
void toStrided(const unsigned char *src, float *dst, std::ptrdiff_t stride, int64_t n)
{
    for (int64_t k = 0; k < n; ++k) {
        T value;
        std::memcpy(&value, src + size_t(k) * sizeof(T), sizeof value);
        dst[k * stride] = static_cast<float>(value);
    }
}

void convertSlab(matio_classes type, const unsigned char *src, float *dst, std::ptrdiff_t stride,
                 int64_t n)
{
    switch (type) {
    case MAT_C_DOUBLE: return toStrided<double>(src, dst, stride, n);
    case MAT_C_SINGLE: return toStrided<float>(src, dst, stride, n);
    case MAT_C_INT8: return toStrided<int8_t>(src, dst, stride, n);
    case MAT_C_UINT8: return toStrided<uint8_t>(src, dst, stride, n);
    case MAT_C_INT16: return toStrided<int16_t>(src, dst, stride, n);
    case MAT_C_UINT16: return toStrided<uint16_t>(src, dst, stride, n);
    case MAT_C_INT32: return toStrided<int32_t>(src, dst, stride, n);
    case MAT_C_UINT32: return toStrided<uint32_t>(src, dst, stride, n);
    case MAT_C_INT64: return toStrided<int64_t>(src, dst, stride, n);
    case MAT_C_UINT64: return toStrided<uint64_t>(src, dst, stride, n);
    default: return;
    }
}

// One variable read in slabs at any position. matio reads an uncompressed variable's slab
// straight from its place in the file; a compressed one it would inflate from its start for
// every slab, and one of more elements than its slab positions (int) reach it cannot address:
// those are read whole once, on the first read, and served from memory.
struct MatChannel
{
    mat_t *file = nullptr;
    MatVariable info;
    QString path;
    IqStatus fail = IqStatus::FirstFile;
    IqStatus noMemory = IqStatus::NoMemoryI;
    int64_t elements = 0;
    SampleArray whole;
    std::vector<unsigned char> slab;

    bool slabbed() const
    {
        return info->compression == MAT_COMPRESSION_NONE
               && elements <= std::numeric_limits<int>::max();
    }

    IqStatus read(int64_t first, int64_t count, float *dst, std::ptrdiff_t stride)
    {
        if (!slabbed()) {
            if (whole.isNull())
                if (const IqStatus s
                    = readVariable(file, path, info.get(), elements, whole, fail, noMemory);
                    failed(s))
                    return s;
            for (int64_t k = 0; k < count; ++k)
                dst[k * stride] = whole[first + k];
            return IqStatus::Ok;
        }
        const size_t size = Mat_SizeOfClass(info->class_type);
        slab.resize(size_t(std::min(count, kSlabElements)) * size);
        for (int64_t done = 0; done < count;) {
            const int64_t m = std::min(count - done, kSlabElements);
            if (Mat_VarReadDataLinear(file, info.get(), slab.data(), int(first + done), 1, int(m))
                != 0)
                return failFile(fail, path,
                                QStringLiteral("variable %1 cannot be read")
                                        .arg(QString::fromUtf8(info->name)));
            convertSlab(info->class_type, slab.data(), dst + done * stride, stride, m);
            done += m;
        }
        return IqStatus::Ok;
    }
};

class MatReader : public FrameReader
{
public:
    IqStatus open(const QString &iPath, const QString &qPath, bool oneFile)
    {
        const QString &qSource = oneFile ? iPath : qPath;
        if (const IqStatus s = openChannel(m_i, m_iFile, iPath, 0, IqStatus::FirstFile); failed(s))
            return s;
        m_i.noMemory = IqStatus::NoMemoryI;
        if (!oneFile)
            if (const IqStatus s = openChannel(m_q, m_qFile, qSource, 0, IqStatus::SecondFile);
                failed(s))
                return s;
        if (oneFile && !matVariableIsComplete(qSource, 1))
            return IqStatus::SecondFile;
        if (oneFile)
            if (const IqStatus s = describeNext(m_q, m_iFile.get(), qSource, IqStatus::SecondFile);
                failed(s))
                return s;
        m_q.noMemory = IqStatus::NoMemoryQ;
        return IqStatus::Ok;
    }
    int64_t frameCount() const override { return std::min(m_i.elements, m_q.elements); }
    void describe(IqBuffer &) const override {}  // the variables carry samples only

    IqStatus read(int64_t first, int64_t count, const FrameSpan &out) override
    {
        if (const IqStatus s = checkFrameRange(first, count, frameCount(), m_i.path); failed(s))
            return s;
        if (const IqStatus s = m_i.read(first, count, out.i, out.stride); failed(s))
            return s;
        return m_q.read(first, count, out.q, out.stride);
    }

private:
    static IqStatus describeNext(MatChannel &c, mat_t *file, const QString &path, IqStatus fail)
    {
        QString why;
        c.file = file;
        c.path = path;
        c.fail = fail;
        c.info = nextUsableInfo(file, QFileInfo(path).size(), c.elements, why);
        return c.info ? IqStatus::Ok : failFile(fail, path, why);
    }

    static IqStatus openChannel(MatChannel &c, MatHandle &handle, const QString &path, int index,
                                IqStatus fail)
    {
        if (!matVariableIsComplete(path, index))
            return fail;
        handle = openForReading(path);
        if (!handle) {
            noteUnopened(path);
            return fail;
        }
        return describeNext(c, handle.get(), path, fail);
    }

    // Declared before the channels: their variable descriptions go before the files close.
    MatHandle m_iFile, m_qFile;
    MatChannel m_i, m_q;
};

std::unique_ptr<FrameReader> openMatReader(const QString &iFile, const QString &qFile, int typeCode,
                                           IqStatus &status)
{
    auto reader = std::make_unique<MatReader>();
    status = reader->open(iFile, qFile, typeCode != TypeCode::MatlabBinarySingle);
    return status == IqStatus::Ok ? std::move(reader) : nullptr;
}

}  // namespace

const FrameCodec &matFrameCodec()
{
    static const FrameCodec codec{openMatReader, openMatWriter};
    return codec;
}
