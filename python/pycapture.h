#pragma once

#include <pybind11/pybind11.h>

// trovik.capture.
void registerCapture(pybind11::module_ &module);
