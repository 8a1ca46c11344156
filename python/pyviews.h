#pragma once

#include <pybind11/pybind11.h>

// trovik.spectrum and trovik.spectrogram.
void registerViews(pybind11::module_ &module);
