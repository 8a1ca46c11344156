"""pyvisa with its pure-Python backend, a client we did not write, drives the simulator's
analyzer, handheld receiver and oscilloscope the way their users do, over a raw SCPI socket
and over VXI-11, and checks the blocks with numpy. Run inside netns.sh: the simulator needs
port 111."""
import argparse
import ctypes
import itertools
import signal
import subprocess
import sys
import unittest
import warnings

import numpy as np
import pyvisa

ARGS = None
RESOURCES = ["TCPIP0::127.0.0.1::5025::SOCKET", "TCPIP::127.0.0.1::INSTR"]


def die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def tone(count):
    n = np.arange(count) % 1024
    phase = 2 * np.pi * 37 * n / 1024
    return (0.5 * np.cos(phase)).astype(np.float32), (0.5 * np.sin(phase)).astype(np.float32)


class FamiliesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = subprocess.Popen([ARGS.simulator, "--require-vxi11", "--options", "Q52"],
                                   stdout=subprocess.PIPE, text=True, preexec_fn=die_with_parent)
        line = cls.sim.stdout.readline()
        assert line.startswith("READY"), line
        cls.rm = pyvisa.ResourceManager("@py")

    @classmethod
    def tearDownClass(cls):
        cls.rm.close()
        cls.sim.terminate()
        cls.sim.wait()
        cls.sim.stdout.close()

    def open(self, name):
        inst = self.rm.open_resource(name, read_termination="\n", write_termination="\n")
        inst.timeout = 20000
        self.addCleanup(inst.close)
        inst.write("*RST;:SIM:IQ:LAY AUTO")
        self.assertEqual(inst.query("*OPC?"), "1")
        return inst

    def test_analyzer_blocks_come_in_the_layout_asked_for(self):
        # (pairs asked for, TRAC:IQ:SET, samples): pairs after IQP, else all I then all Q,
        # also for a record length.
        cases = [(True, "NORM,10000000Hz,32000000Hz,IMMediate,POSitive,0,5000", 5000),
                 (False, "NORM,10000000Hz,32000000Hz,IMMediate,POSitive,0,5000", 5000),
                 (False, "RAW,8MHz,32000000Hz,EXTernal,NEGative,0.5ms,2ms", 64000)]
        for (pairs, trace_set, count), name in itertools.product(cases, RESOURCES):
            with self.subTest(trace_set, name=name):
                inst = self.open(name)
                if pairs:
                    self.assertEqual(inst.query("INST:NSEL?;*WAI"), "1")
                    inst.query("TRAC:IQ:DATA:FORM IQP;*OPC?")
                inst.query("TRAC:IQ:SET %s;*OPC?" % trace_set)
                self.assertEqual(inst.query("TRAC:IQ:SET?"), trace_set)
                values = inst.query_binary_values("TRAC:IQ:DATA?", datatype="f", container=np.array)
                i, q = tone(count)
                np.testing.assert_array_equal(values[0::2] if pairs else values[:count], i)
                np.testing.assert_array_equal(values[1::2] if pairs else values[count:], q)

    def test_handheld_receiver_records_lists_sends_and_deletes(self):
        for name in RESOURCES:
            with self.subTest(name):
                inst = self.open(name)
                inst.write("SIM:REC:SAMP 300")
                for command in ("BAND 150Hz", "DEM IQ", "TRAC:REC:SOUR IQ", "TRAC:REC:STOR FILE", "TRAC:REC:STAR",
                                "TRAC:REC:STOP"):
                    self.assertEqual(inst.query(command + ";*OPC?"), "1")
                catalogue = inst.query("MMEM:CAT?")
                start = catalogue.index("RecIQ")
                recording = catalogue[start:start + 9] + ".riq"
                data = inst.query_binary_values("MMEM:DATA? '%s'" % recording, datatype="B", container=bytes)
                self.assertEqual(len(data), 84 + 4 * 300)
                self.assertEqual(int(np.frombuffer(data[32:36], "<i4")[0]), 640000)
                self.assertEqual(int(np.frombuffer(data[60:64], "<i4")[0]), 300)
                samples = np.frombuffer(data[84:], "<i2")
                n = np.arange(300)
                np.testing.assert_array_equal(samples[0::2], np.round(16000 * np.cos(2 * np.pi * 37 * n / 1024)))
                self.assertEqual(inst.query("MMEM:DEL %s;*OPC?" % recording), "1")
                self.assertNotIn(recording, inst.query("MMEM:CAT?"))

    def test_oscilloscope_channel_block(self):
        for name in RESOURCES:
            with self.subTest(name):
                inst = self.open(name)
                for command in ("IQ:STAT ON", "CHAN2:IQ:INPT COMPLEX", "IQ:RLEN 700", "RUNS"):
                    self.assertEqual(inst.query(command + ";*OPC?"), "1")
                self.assertEqual(inst.query("CHAN2:IQ:INPT?"), "COMPLEX")
                self.assertEqual(inst.query("CHAN1:IQ:INPT?"), "REAL")
                values = inst.query_binary_values("CHAN2:IQ:DATA?", datatype="f", container=np.array)
                i, q = tone(700)
                np.testing.assert_array_equal(values[0::2], i)
                np.testing.assert_array_equal(values[1::2], q)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--simulator", required=True)
    ARGS, rest = parser.parse_known_args()
    warnings.simplefilter("ignore", ResourceWarning)
    unittest.main(argv=[sys.argv[0]] + rest)
