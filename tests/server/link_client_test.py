#!/usr/bin/python3
"""Socket-level tests of the generator link server.

The client side is written from the wire protocol alone (little-endian int32 type word,
float32 values, 100-byte identification, 4 + 8 * count byte sample message) and shares no
code with the server. The server runs in a separate process: the test host (linktesthost),
driven through stdin, or trovik-cli serve.

Usage: link_client_test.py --host HOST_BINARY --cli CLI_BINARY [unittest arguments]
"""
import argparse
import os
import re
import select
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import numpy as np

HOST_BINARY = None
CLI_BINARY = None

SYMBOL_RATE, SEQUENCE_LENGTH, SYMBOLS, NEW_STATE, SERVER_ID = 0, 1, 2, 3, 4


def value_message(kind, value):
    return struct.pack('<if', kind, value)


def pattern_samples(count, seed):
    """The host's generated record as interleaved little-endian I, Q words."""
    n = np.arange(count, dtype=np.uint64)
    i = (n * np.uint64(2654435761) + np.uint64(seed)) & np.uint64(0xFFFFFFFF)
    q = ((n * np.uint64(40503) + np.uint64(777 + seed)) ^ np.uint64(0xA5A5A5A5)) & np.uint64(0xFFFFFFFF)
    out = np.empty(2 * count, dtype='<u4')
    out[0::2] = i
    out[1::2] = q
    return out.tobytes()


def sample_message(count, seed):
    return struct.pack('<i', SYMBOLS) + pattern_samples(count, seed)


class LineReader:
    """Reads lines from a child's stdout with a deadline, so a silent child fails the test."""

    def __init__(self, stream):
        self.fd = stream.fileno()
        self.buf = b''

    def readline(self, timeout=20.0):
        deadline = time.monotonic() + timeout
        while b'\n' not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError('no line from the process')
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                chunk = os.read(self.fd, 4096)
                if not chunk:
                    raise EOFError('process closed its output: %r' % self.buf)
                self.buf += chunk
        line, self.buf = self.buf.split(b'\n', 1)
        return line.decode()


class Host:
    """The test host process serving a generated record."""

    def __init__(self, port=0, stall_ms=1000):
        self.proc = subprocess.Popen([HOST_BINARY, '--port', str(port), '--stall-ms', str(stall_ms)],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.out = LineReader(self.proc.stdout)
        first = self.out.readline()
        m = re.fullmatch(r'listening on 127\.0\.0\.1:(\d+)', first)
        self.port = int(m.group(1)) if m else None
        self.first_line = first

    def cmd(self, text, timeout=60.0):
        self.proc.stdin.write((text + '\n').encode())
        self.proc.stdin.flush()
        line = self.out.readline(timeout)
        if not line.startswith('ok'):
            raise AssertionError('host said %r to %r' % (line, text))
        return line

    def status(self):
        fields = dict(kv.split('=') for kv in self.cmd('status').split()[1:])
        return {k: int(v) for k, v in fields.items()}

    def wait_status(self, key, want, timeout=10.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            st = self.status()
            if st[key] == want:
                return st
            time.sleep(0.02)
        raise AssertionError('host status %s never became %s (last %r)' % (key, want, st))

    def close(self):
        if self.proc.poll() is None:
            try:
                self.cmd('quit', timeout=5)
            except Exception:
                pass
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stdin.close()
        self.proc.stdout.close()
        return self.proc.returncode


def connect(port, rcvbuf=None):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    if rcvbuf:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
    s.settimeout(10)
    s.connect(('127.0.0.1', port))
    return s


def recv_exact(s, n, timeout=20.0):
    buf = bytearray(n)
    view = memoryview(buf)
    got = 0
    s.settimeout(timeout)
    while got < n:
        k = s.recv_into(view[got:], n - got)
        if k == 0:
            raise EOFError('connection closed after %d of %d bytes' % (got, n))
        got += k
    return bytes(buf)


def ask(s, request, n):
    s.sendall(request)
    return recv_exact(s, n)


def assert_silent(test, s, wait=0.3):
    """No byte arrives within the wait."""
    s.settimeout(wait)
    try:
        data = s.recv(65536)
    except socket.timeout:
        return
    test.fail('unexpected %d bytes: %r' % (len(data), data[:32]))


def sees_eof(s, timeout=5.0):
    """The peer has closed: the connection ends (after any bytes still queued)."""
    s.settimeout(timeout)
    deadline = time.monotonic() + timeout
    try:
        while time.monotonic() < deadline:
            if not s.recv(1 << 20):
                return True
    except (ConnectionResetError, BrokenPipeError):
        return True
    except socket.timeout:
        return False
    return False


def reset_close(s):
    """Closes with a reset instead of an orderly shutdown."""
    s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack('ii', 1, 0))
    s.close()


class HostTestCase(unittest.TestCase):
    stall_ms = 1000

    def setUp(self):
        self.host = Host(stall_ms=self.stall_ms)
        self.assertIsNotNone(self.host.port, self.host.first_line)
        self.sockets = []

    def tearDown(self):
        for s in self.sockets:
            s.close()
        # A crash, a sanitizer report or a leak found at exit shows in the exit status.
        self.assertEqual(self.host.close(), 0)

    def client(self, **kw):
        s = connect(self.host.port, **kw)
        self.sockets.append(s)
        return s

    def greeted_client(self, **kw):
        s = self.client(**kw)
        recv_exact(s, 24)
        return s

    def serving(self, record, flags='1 1 1', **kw):
        """A greeted client of the host serving the record 'count rate seed' with the flags
        'new-state valid connect-to'."""
        self.host.cmd('record ' + record)
        self.host.cmd('flags ' + flags)
        return self.greeted_client(**kw)


class Messages(HostTestCase):
    def test_greeting_is_new_state_length_rate_without_samples(self):
        self.host.cmd('record 10000 2500000 1')
        self.host.cmd('flags 1 1 1')
        s = self.client()
        self.assertEqual(recv_exact(s, 24),
                         value_message(NEW_STATE, 1.0) + value_message(SEQUENCE_LENGTH, 10000.0)
                         + value_message(SYMBOL_RATE, 2500000.0))
        assert_silent(self, s)
        self.assertEqual(self.host.status()['up'], 1)

    def test_each_request_gets_exactly_its_bytes(self):
        # record (count, rate, seed), flags (new state, valid, connect to LOOM2), request, reply
        cases = [
            ('10000 1000 1', '1 1 1', b'GetServerID', b'\x04\x00\x00\x00Trovik' + bytes(90)),
            ('10000 12345678.9 1', '1 1 1', b'GetSymbolRate',
             b'\x00\x00\x00\x00' + struct.pack('<f', 12345678.9)),
            # 16,777,217 rounds to the float 16,777,216.0.
            ('16777217 1000 3', '1 1 1', b'GetSequenceLength', bytes.fromhex('01000000' '0000804b')),
            # New state clear: one message; set for LOOM: three, no samples.
            ('100 1000 1', '0 1 1', b'GetNewState', bytes.fromhex('03000000' '00000000')),
            ('100 3000 1', '1 1 0', b'GetNewState', value_message(NEW_STATE, 1.0)
             + value_message(SYMBOL_RATE, 3000.0) + value_message(SEQUENCE_LENGTH, 100.0)),
            # 10,000 samples make an 80,004-byte message.
            ('10000 1000 7', '1 1 1', b'GetSymbol', sample_message(10000, 7)),
        ]
        for record, flags, request, reply in cases:
            with self.subTest(request=request, record=record, flags=flags):
                s = self.serving(record, flags)
                s.sendall(request)
                self.assertEqual(recv_exact(s, len(reply)), reply)
                assert_silent(self, s)

    def test_new_state_set_loom2_adds_the_samples(self):
        s = self.serving('10000 3000 5', '1 1 1')
        self.assertEqual(ask(s, b'GetNewState', 24),
                         value_message(NEW_STATE, 1.0) + value_message(SYMBOL_RATE, 3000.0)
                         + value_message(SEQUENCE_LENGTH, 10000.0))
        self.assertEqual(recv_exact(s, 80004), sample_message(10000, 5))
        assert_silent(self, s)
        s.sendall(b'GetNewState')  # answering does not clear the flag
        self.assertEqual(recv_exact(s, 8), value_message(NEW_STATE, 1.0))

    def test_odd_sizes_arrive_whole(self):
        s = self.greeted_client()
        for count in (1, 7999, 8000, 8001, 24000, 123457):
            self.host.cmd('record %d 1000 %d' % (count, count))
            self.assertEqual(ask(s, b'GetSymbol', 4 + 8 * count), sample_message(count, count), count)
        assert_silent(self, s)

    def test_only_whole_case_sensitive_keywords_are_answered(self):
        s = self.serving('100 44100 1')
        # Text after a keyword is ignored; anything else gets no reply at all.
        for sent, reply in ((b'getsymbolrate', b''), (b'GETSERVERID', b''), (b'getnewstate', b''), (b'GetServ', b''),
                            (b'GetSeq', b''), (b' GetServerID', b''), (b'\x00GetSymbol', b''),
                            (b'GetServerID\r\n', b'\x04\x00\x00\x00Trovik' + bytes(90)),
                            (b'GetSequenceLength please', value_message(SEQUENCE_LENGTH, 100.0)),
                            (b'GetSymbolRate\n' + b'x' * 3000, value_message(SYMBOL_RATE, 44100.0))):
            with self.subTest(sent=sent[:24]):
                self.assertEqual(ask(s, sent, len(reply)), reply)
                assert_silent(self, s, 0.15)

    def test_no_samples_without_valid_data(self):
        s = self.serving('100 1000 1', '1 0 1')
        s.sendall(b'GetSymbol')
        assert_silent(self, s)
        self.assertEqual(len(ask(s, b'GetNewState', 24)), 24)
        assert_silent(self, s)
        self.host.cmd('record 0 1000 1')
        self.host.cmd('flags 1 1 1')
        s.sendall(b'GetSymbol')
        assert_silent(self, s)

    def test_announced_length_matches_the_samples_sent(self):
        # A record that describes more samples than its arrays hold (after a chunked copy).
        self.host.cmd('record 1000 1000 9')
        self.host.cmd('claim 5000')
        s = self.greeted_client()
        self.assertEqual(ask(s, b'GetSequenceLength', 8), value_message(SEQUENCE_LENGTH, 1000.0))
        self.assertEqual(ask(s, b'GetSymbol', 8004), sample_message(1000, 9))
        assert_silent(self, s)
        self.host.cmd('flags 1 0 1')  # nothing to send: the record's own count is reported
        self.assertEqual(ask(s, b'GetSequenceLength', 8), value_message(SEQUENCE_LENGTH, 5000.0))

    def test_a_message_keeps_the_record_it_started_with(self):
        s = self.serving('1000000 1000 1', rcvbuf=65536)
        s.sendall(b'GetSymbol')
        head = recv_exact(s, 100000)
        self.host.cmd('record 1000000 1000 2')
        rest = recv_exact(s, 8000004 - 100000)
        self.assertEqual(head + rest, sample_message(1000000, 1))
        self.assertEqual(ask(s, b'GetSymbol', 8000004), sample_message(1000000, 2))

    def test_request_during_a_message_is_answered_after_it(self):
        s = self.serving('1000000 8000 4', rcvbuf=65536)
        s.sendall(b'GetSymbol')
        time.sleep(0.05)
        self.assertEqual(ask(s, b'GetSymbolRate', 8000004 + 8), sample_message(1000000, 4) + value_message(SYMBOL_RATE, 8000.0))
        assert_silent(self, s)


class Connections(HostTestCase):
    def test_second_client_replaces_and_closes_the_first(self):
        first = self.greeted_client()
        second = self.greeted_client()
        self.assertTrue(sees_eof(first), 'the first connection stays open')
        self.assertEqual(len(ask(second, b'GetServerID', 100)), 100)
        st = self.host.status()
        self.assertEqual((st['client'], st['up'], st['down']), (1, 2, 0))
        second.close()
        st = self.host.wait_status('client', 0)
        self.assertEqual(st['down'], 1)

    def test_thousand_connect_disconnect_cycles(self):
        warm = self.serving('10000 1000 3')
        warm.close()
        self.host.wait_status('client', 0)
        before = self.host.status()['rss_kb']
        for k in range(1000):
            s = connect(self.host.port)
            if k % 3 == 0:
                recv_exact(s, 24)
            if k % 2:
                reset_close(s)
            else:
                s.close()
        s = self.greeted_client()
        self.assertEqual(ask(s, b'GetSymbol', 80004), sample_message(10000, 3))
        st = self.host.status()
        self.assertEqual(st['client'], 1)
        self.assertLess(st['rss_kb'] - before, 8 * 1024, 'memory grew over the cycles')

    def test_random_bytes_get_no_reply_and_do_not_stop_the_server(self):
        rng = np.random.default_rng(20240517)
        s = self.serving('1000 1000 1')
        for _ in range(50):
            blob = rng.integers(0, 256, int(rng.integers(1, 8000)), dtype=np.uint8).tobytes()
            if blob.startswith(b'Get'):
                continue
            s.sendall(blob)
        assert_silent(self, s, 0.5)
        self.assertEqual(len(ask(s, b'GetServerID', 100)), 100)
        s.sendall(rng.integers(0, 256, 100000, dtype=np.uint8).tobytes())
        reset_close(s)
        t = self.greeted_client()
        self.assertEqual(ask(t, b'GetSymbol', 8004), sample_message(1000, 1))

    def test_slow_reader_that_keeps_reading_gets_everything(self):
        # Longer in total than the stall timeout, but never stalled for that long.
        s = self.serving('400000 1000 8', rcvbuf=32768)
        s.sendall(b'GetSymbol')
        got = bytearray()
        start = time.monotonic()
        while len(got) < 3200004:
            got += s.recv(min(65536, 3200004 - len(got)))
            if time.monotonic() - start < 1.5:
                time.sleep(0.02)
        self.assertGreater(time.monotonic() - start, self.stall_ms / 1000.0)
        self.assertEqual(bytes(got), sample_message(400000, 8))

    def test_listens_on_the_ipv4_loopback_address_only(self):
        port = self.host.port
        with open('/proc/net/tcp') as f:
            rows = f.read().splitlines()[1:]
        listening = [r.split()[1] for r in rows if r.split()[3] == '0A' and int(r.split()[1].split(':')[1], 16) == port]
        self.assertEqual(listening, ['0100007F:%04X' % port])
        s = socket.socket()
        s.settimeout(2)
        with self.assertRaises(OSError):
            s.connect(('127.0.0.2', port))
        s.close()

    def test_port_setting_is_taken_modulo_65536(self):
        host = Host(port=66536)
        try:
            if host.first_line == 'cannot listen':
                self.skipTest('port 1000 is not available here')
            self.assertEqual(host.first_line, 'listening on 127.0.0.1:1000')
            s = connect(1000)
            self.assertEqual(len(recv_exact(s, 24)), 24)
            s.close()
        finally:
            host.close()


class Hostile(HostTestCase):
    stall_ms = 800
    big = 50000000  # 400,000,004-byte sample message

    def setUp(self):
        super().setUp()
        self.host.cmd('record %d 1000 11' % self.big)
        self.baseline = self.host.status()['rss_kb']

    def test_client_that_never_reads_is_dropped_and_memory_stays_bounded(self):
        s = self.greeted_client(rcvbuf=65536)
        s.sendall(b'GetSymbol')
        peak = 0
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            st = self.host.status()
            peak = max(peak, st['rss_kb'])
            if st['client'] == 0:
                break
            time.sleep(0.05)
        self.assertEqual(st['client'], 0, 'the stalled client was never dropped')
        self.assertLess(peak - self.baseline, 32 * 1024, 'the server buffered the message')
        t = self.greeted_client()
        self.assertEqual(len(ask(t, b'GetServerID', 100)), 100)

    def test_disconnect_in_the_middle_of_a_message(self):
        for close in (lambda s: s.close(), reset_close):
            s = self.greeted_client()
            s.sendall(b'GetSymbol')
            head = recv_exact(s, 5000000)
            self.assertEqual(head[:4], b'\x02\x00\x00\x00')
            close(s)
            self.host.wait_status('client', 0, timeout=5)
        self.assertLess(self.host.status()['rss_kb'] - self.baseline, 32 * 1024)
        t = self.serving('10000 1000 12')
        self.assertEqual(ask(t, b'GetSymbol', 80004), sample_message(10000, 12))

    def test_new_client_takes_over_from_a_stalled_one(self):
        s = self.greeted_client(rcvbuf=65536)
        s.sendall(b'GetSymbol')
        time.sleep(0.1)
        t = self.greeted_client()
        self.assertEqual(ask(t, b'GetSymbolRate', 8), value_message(SYMBOL_RATE, 1000.0))
        self.assertEqual(self.host.status()['client'], 1)


class ServeCommand(unittest.TestCase):
    """trovik-cli serve loads a file as the program's Load does and serves it."""

    def start(self, *args, may_fail=False):
        proc = subprocess.Popen([CLI_BINARY, 'serve'] + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(self.stop, proc)
        try:
            line = LineReader(proc.stdout).readline(20)
        except EOFError:
            err = proc.stderr.read().decode()
            if may_fail or 'has no reader' in err:
                self.skipTest(err.strip())
            self.fail('serve did not start: ' + err)
        m = re.fullmatch(r'listening on 127\.0\.0\.1:(\d+)', line)
        self.assertIsNotNone(m, line)
        return proc, int(m.group(1))

    @staticmethod
    def stop(proc):
        if proc.poll() is None:
            proc.kill()
        proc.wait()
        proc.stdout.close()
        proc.stderr.close()

    def iqw_file(self, count, seed):
        d = tempfile.TemporaryDirectory()
        self.addCleanup(d.cleanup)
        path = os.path.join(d.name, 'tone.iqw')
        with open(path, 'wb') as f:
            f.write(pattern_samples(count, seed))
        return path

    def test_serves_a_loaded_file_and_ends_on_signals(self):
        path = self.iqw_file(10000, 21)
        for sig in (signal.SIGTERM, signal.SIGINT):
            proc, port = self.start('--from', 'iqw-pairs', '--in', path, '--rate', '1e6', '--port', '0',
                                    '--connect-to', '0')
            s = connect(port)
            self.assertEqual(recv_exact(s, 24), value_message(NEW_STATE, 1.0) + value_message(SEQUENCE_LENGTH, 10000.0)
                             + value_message(SYMBOL_RATE, 1e6))
            s.sendall(b'GetNewState')  # LOOM: no samples pushed
            self.assertEqual(len(recv_exact(s, 24)), 24)
            assert_silent(self, s)
            self.assertEqual(ask(s, b'GetSymbol', 80004), sample_message(10000, 21))
            s.close()
            proc.send_signal(sig)
            self.assertEqual(proc.wait(timeout=10), 0)

    def test_loom2_pushes_the_samples_on_get_new_state(self):
        path = self.iqw_file(3000, 22)
        proc, port = self.start('--from', 'iqw-pairs', '--in', path, '--port', '0')
        s = connect(port)
        recv_exact(s, 24)
        self.assertEqual(ask(s, b'GetNewState', 24 + 24004)[24:], sample_message(3000, 22))
        s.close()

    def test_port_is_taken_modulo_65536(self):
        # Port 1000 may not be ours to take here.
        port = self.start('--from', 'iqw-pairs', '--in', self.iqw_file(10, 1), '--port', '66536', may_fail=True)[1]
        self.assertEqual(port, 1000)

    def test_bad_arguments_fail(self):
        path = self.iqw_file(10, 1)
        for args in ([], ['--from', 'iqw-pairs', '--in', path], ['--from', 'nosuch', '--in', path, '--port', '0'],
                     ['--from', 'iqw-pairs', '--in', path, '--port', 'x'],
                     ['--from', 'iqw-pairs', '--in', path, '--port', '0', '--connect-to', '2'],
                     ['--from', 'iqw-pairs', '--in', path + '.missing', '--port', '0']):
            r = subprocess.run([CLI_BINARY, 'serve'] + args, capture_output=True, timeout=20)
            self.assertNotEqual(r.returncode, 0, args)
            self.assertEqual(r.stdout, b'', args)


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--host', required=True)
    parser.add_argument('--cli', required=True)
    opts, rest = parser.parse_known_args()
    HOST_BINARY, CLI_BINARY = opts.host, opts.cli
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
