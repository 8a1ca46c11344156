"""pyvisa-py reads the analyzer's block the way its users do: query_binary_values with its
default chunk size. Prints one MB/s row. Usage: pyvisa_capture.py PORT PAIRS ROUNDS"""
import sys
import time
import warnings

import numpy as np
import pyvisa


def main():
    port, pairs, rounds = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    warnings.simplefilter("ignore")
    rm = pyvisa.ResourceManager("@py")
    inst = rm.open_resource("TCPIP::127.0.0.1::%d::SOCKET" % port, read_termination="\n", write_termination="\n")
    inst.timeout = 600000
    inst.query("*RST;:SIM:BLOC:MODE TONE;POIN %d;*OPC?" % pairs)
    rates = []
    if rounds < 1:
        return
    for _ in range(rounds):
        t0 = time.monotonic()
        values = inst.query_binary_values("TRAC:IQ:DATA?", datatype="f", container=np.array)
        t = time.monotonic() - t0
        assert values.size == 2 * pairs, values.size
        rates.append(8 * pairs / t / 1e6)
        del values
    print("%-28s median %6.0f  rounds %s" % ("pyvisa-py query_binary_values", sorted(rates)[len(rates) // 2],
                                             " ".join("%.0f" % r for r in rates)), flush=True)


if __name__ == "__main__":
    main()
