"""Imports trovik from the build tree: $TROVIK_PYTHON_DIR, else build/test/python of this
checkout."""
import os
import sys

import numpy as np
import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD_PYTHON = os.environ.get(
    "TROVIK_PYTHON_DIR", os.path.join(HERE, "..", "..", "build", "test", "python"))
sys.path.insert(0, os.path.abspath(BUILD_PYTHON))


def tone(count, cycles=37.0, amplitude=0.5):
    """A complex tone that every format can hold: cycles per 1024 samples."""
    n = np.arange(count)
    return (amplitude * np.exp(2j * np.pi * cycles * n / 1024)).astype(np.complex64)


@pytest.fixture
def noise():
    rng = np.random.default_rng(7)
    x = rng.standard_normal(4096) + 1j * rng.standard_normal(4096)
    return (0.25 * x).astype(np.complex64)
