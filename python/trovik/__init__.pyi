import datetime
import os
from typing import Any, Callable, Dict, List, Mapping, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

_Path = Union[str, "os.PathLike[str]"]
_Type = Union[str, int, None]
_Samples = Union[npt.ArrayLike, Tuple[npt.ArrayLike, npt.ArrayLike], "Record"]
_Setting = Union[bool, int, float, str]

class FileError(OSError):
    """A file could not be loaded, saved, appended to or copied."""
    status: int
    path: str
    headline: str
    detail: str

class CaptureError(RuntimeError):
    """An Init or a Trace against the instrument failed."""
    status: int
    reason: str
    detail: List[str]

class Record:
    """An I/Q record: complex64 samples and what the file or instrument said about them."""
    def __init__(
        self,
        iq: npt.ArrayLike,
        sample_rate: float = 100e6,
        center_frequency: Optional[float] = None,
        ref_level: float = 0.0,
        capture_time: Optional[datetime.datetime] = None,
        instrument: Optional[str] = None,
        meta: Optional[Dict[str, Any]] = None,
    ) -> None: ...
    @property
    def iq(self) -> npt.NDArray[np.complex64]: ...
    @property
    def i(self) -> npt.NDArray[np.float32]: ...
    @property
    def q(self) -> npt.NDArray[np.float32]: ...
    sample_rate: float
    center_frequency: Optional[float]
    ref_level: float
    capture_time: Optional[datetime.datetime]
    instrument: Optional[str]
    meta: Dict[str, Any]
    def __len__(self) -> int: ...

class TypeRow(Dict[str, Any]):
    key: str
    index: int
    name: str
    files: int
    extensions: List[str]
    code: int
    append: bool
    copy_source: bool
    copy_target: bool

class TypeLists(Dict[str, List[TypeRow]]):
    load: List[TypeRow]
    save: List[TypeRow]

def types() -> TypeLists:
    """The load and save lists of file types, each row with key, index and name."""

def load(
    path: _Path,
    type: _Type = None,
    q_path: Optional[_Path] = None,
    sample_rate: Optional[float] = None,
    ref_level: Optional[float] = None,
    *,
    verify: bool = True,
) -> Record:
    """Reads an I/Q file of any load type (type from the extension when left out)."""

def save(
    path: _Path,
    data: _Samples,
    type: _Type = None,
    q_path: Optional[_Path] = None,
    sample_rate: Optional[float] = None,
    center_frequency: Optional[float] = None,
    ref_level: Optional[float] = None,
) -> None:
    """Writes data as a file of a save type, atomically."""

def append(
    path: _Path,
    data: _Samples,
    type: _Type = None,
    q_path: Optional[_Path] = None,
    sample_rate: Optional[float] = None,
    center_frequency: Optional[float] = None,
    ref_level: Optional[float] = None,
    guard: int = 0,
) -> None:
    """Adds data behind an existing file's samples after a cyclic guard prefix."""

def copy(
    src: _Path,
    dst: _Path,
    type: _Type = None,
    progress: Optional[Callable[[float], Any]] = None,
    *,
    src_type: _Type = None,
    src_q_path: Optional[_Path] = None,
    q_path: Optional[_Path] = None,
    sample_rate: Optional[float] = None,
    ref_level: Optional[float] = None,
    chunk: int = 262144000,
) -> int:
    """Converts a large file piece by piece; returns the samples copied."""

def capture(
    settings: Union[_Path, Mapping[str, _Setting], None] = None, **overrides: _Setting
) -> Record:
    """Init and Trace against the instrument, as trovik-cli capture does."""

def spectrum(
    data: _Samples, sample_rate: Optional[float] = None, view: str = "spectrum"
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]:
    """The plot window's curve: 'spectrum', 'phase' or 'iq'."""

def spectrogram(
    data: _Samples, sample_rate: Optional[float] = None, fft: int = 1024, overlap: int = 0
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64], npt.NDArray[np.float32]]:
    """(times, freqs, levels) with levels in dB, one row per frame."""
