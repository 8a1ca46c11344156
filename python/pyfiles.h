#pragma once

#include <pybind11/pybind11.h>

// types, load, save, append and copy.
void registerFiles(pybind11::module_ &module);
