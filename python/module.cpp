// The Python module trovik._trovik: the core libraries of the window and trovik-cli, with
// numpy arrays for the samples.
#include "pycapture.h"
#include "pyerrors.h"
#include "pyfiles.h"
#include "pyrecord.h"
#include "pyviews.h"

#include <pybind11/pybind11.h>

PYBIND11_MODULE(_trovik, m)
{
    m.doc() = "Trovik's I/Q files, capture and spectra as numpy arrays.";
    pybind11::module_::import("numpy");
    registerErrors(m);
    registerRecord(m);
    registerFiles(m);
    registerCapture(m);
    registerViews(m);
}
