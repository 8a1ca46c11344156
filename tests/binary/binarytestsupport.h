#pragma once

#include "../container/containertestutil.h"
#include "iqbuffer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

// Exactly representable test signals, so every peer computes the very same floats.
float testI(int64_t k);
float testQ(int64_t k);
IqBuffer makeRecord(int64_t n, double sampleRate = 1e6);
// True when the first n samples of r are testI/testQ (reports the first mismatch).
::testing::AssertionResult holdsTestSignal(const IqBuffer &r, int64_t n);

using containertest::readAll;
using containertest::writeAll;
QByteArray leInt32(int32_t v);
QByteArray leDouble(double v);

// A test with a folder of its own.
using BinaryFiles = containertest::TempDirTest;
using containertest::loadBytes;
using containertest::readFiles;

// Runs a Python snippet with the system interpreter (numpy/scipy available) and the given
// arguments in sys.argv[1:]; the snippet's own Python code for testI/testQ is prepended as
// test_i(k) / test_q(k). True when it exits with 0; its output is printed otherwise.
bool runPython(const QString &code, const QStringList &args);
