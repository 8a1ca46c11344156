"""pyvisa-py reads the same 400 MB block as visa_bench, in 24 MB chunks; prints MB/s rows."""
import time
import warnings

import pyvisa

PAIRS = 50000000
BYTES = 8 * PAIRS
CHUNK = 24 << 20


def read_block(rm, name):
    inst = rm.open_resource(name)
    inst.timeout = 60000
    inst.read_termination = None
    inst.write_raw(b"SIM:BLOC:MODE TONE;POIN %d\n" % PAIRS)
    t0 = time.monotonic()
    inst.write_raw(b"TRAC:IQ:DATA?\n")
    header = b"#9%d" % BYTES
    got = 0
    data, _ = inst.visalib.read(inst.session, len(header))
    while got < BYTES + 1:
        data, _ = inst.visalib.read(inst.session, min(CHUNK, BYTES + 1 - got))
        got += len(data)
    t = time.monotonic() - t0
    inst.close()
    return BYTES / t / 1e6


def main():
    warnings.simplefilter("ignore")
    rm = pyvisa.ResourceManager("@py")
    # pyvisa-py over VXI-11 needs over a minute for the block, so it runs once.
    for label, name, rounds in (("pyvisa-py SOCKET", "TCPIP::127.0.0.1::5025::SOCKET", 3),
                                ("pyvisa-py VXI-11 INSTR", "TCPIP::127.0.0.1::INSTR", 1)):
        r = [read_block(rm, name) for _ in range(rounds)]
        print("%-26s median %6.0f  rounds %s" % (label, sorted(r)[len(r) // 2], " ".join("%.0f" % v for v in r)),
              flush=True)


if __name__ == "__main__":
    main()
