#include <gtest/gtest.h>

#include "binarytestsupport.h"

#include <QProcess>

#include <cstring>

float testI(int64_t k)
{
    return float((k % 1000) - 500) * 0.25f;
}
float testQ(int64_t k)
{
    return float(k % 777) * -0.125f + 3.0f;
}

IqBuffer makeRecord(int64_t n, double sampleRate)
{
    return containertest::makeRecord(n, testI, testQ, sampleRate);
}

::testing::AssertionResult holdsTestSignal(const IqBuffer &r, int64_t n)
{
    if (r.sampleCount != n || r.heldCount() != n)
        return ::testing::AssertionFailure()
               << "count " << r.sampleCount << " held " << r.heldCount() << ", expected " << n;
    for (int64_t k = 0; k < n; ++k)
        if (r.iData[k] != testI(k) || r.qData[k] != testQ(k))
            return ::testing::AssertionFailure()
                   << "sample " << k << " is (" << r.iData[k] << ", " << r.qData[k] << ")";
    return ::testing::AssertionSuccess();
}

QByteArray leInt32(int32_t v)
{
    char b[4];
    for (int k = 0; k < 4; ++k)
        b[k] = char(uint32_t(v) >> (8 * k));
    return QByteArray(b, 4);
}

QByteArray leDouble(double v)
{
    uint64_t u;
    std::memcpy(&u, &v, 8);
    char b[8];
    for (int k = 0; k < 8; ++k)
        b[k] = char(u >> (8 * k));
    return QByteArray(b, 8);
}

bool runPython(const QString &code, const QStringList &args)
{
    const QString prelude = QStringLiteral(
            "import sys\nimport numpy as np\n"
            "def test_i(k): return (((k % 1000) - 500) * 0.25).astype(np.float32)\n"
            "def test_q(k): return ((k % 777) * -0.125 + 3.0).astype(np.float32)\n");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TROVIK_TEST_PYTHON),
            QStringList{QStringLiteral("-c"), prelude + code} + args);
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "python did not finish: " << p.errorString().toStdString();
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "python failed:\n" << p.readAll().toStdString();
        return false;
    }
    return true;
}
