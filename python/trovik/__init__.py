"""Trovik's I/Q files, capture and spectra from Python, as numpy arrays without copies.

The module runs the same core code as the trovik window and trovik-cli::

    import trovik
    rec = trovik.load("tone.iqw", type="iqw-pairs", sample_rate=1e6)
    print(rec.iq.dtype, len(rec), rec.sample_rate)
    trovik.save("tone.wv", rec)
    times, freqs, levels = trovik.spectrogram(rec, fft=1024)
"""

from ._trovik import (  # noqa: F401
    CaptureError,
    FileError,
    Record,
    append,
    capture,
    copy,
    load,
    save,
    spectrogram,
    spectrum,
)
from ._trovik import types as _types


class _Fields(dict):
    """A dict whose keys read as attributes too: d["key"] or d.key."""

    __slots__ = ()

    def __getattr__(self, name):
        try:
            return self[name]
        except KeyError:
            raise AttributeError(name) from None


class TypeRow(_Fields):
    """One row of a type list: row["key"] or row.key (key, index, name, files, extensions,
    code, append, copy_source, copy_target)."""

    __slots__ = ()


class TypeLists(_Fields):
    """The load and save lists: types()["save"] or types().save."""

    __slots__ = ()


def types():
    """types() -> {"load": [...], "save": [...]}: the load and save lists of file types.

    Each row has key, index and name (also files, extensions, code and the abilities append,
    copy_source and copy_target), readable as row["key"] or row.key. A row's key or index
    names the type in load, save, append and copy."""
    lists = _types()
    return TypeLists({name: [TypeRow(row) for row in rows] for name, rows in lists.items()})


__all__ = [
    "CaptureError",
    "FileError",
    "Record",
    "append",
    "capture",
    "copy",
    "load",
    "save",
    "spectrogram",
    "spectrum",
    "types",
]
