#pragma once

#include "iqbuffer.h"

#include <QString>

#include <cstdint>

// Rough bytes one I/Q pair takes in a save type's file(s): 8 for the binary and container
// types, 32 for the text types (two numbers with their separators).
int64_t savedBytesPerPair(int saveTypeIndex);

// Whether the capture's file(s) can be written before anything is asked of the instrument:
// every destination folder exists and is writable, and the disk holding it has room for
// about samples pairs of the save type. False with a message naming the file and the reason.
bool checkCaptureDestination(const IqBuffer &target, int64_t samples, QString &error);
