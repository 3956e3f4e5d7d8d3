#!/usr/bin/env python3
"""The Prometheus side of veldakor-query against responders that replay
status replies: the text format checked by promtool and read back series by
series against the records, the textfile output, the HTTP exporter's
routes and bad requests, and the alert rules with promtool.

usage: exporter_test.py NATIVE_BIN_DIR GOLDEN_DIR MONITORING_DIR
"""

import os
import re
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

from metrics_view import RECORD, Failure, check, expected_series, parse

class Responder:
    """A status service that answers 0x01 with a fixed reply."""

    def __init__(self, reply):
        self.reply = reply
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            data, peer = self.sock.recvfrom(65535)
            if data == b"\x01":
                self.sock.sendto(self.reply, peer)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def check_series(got, target, reply, up=1):
    want = expected_series(target, reply)
    want[("veldakor_up", frozenset({"target": target}.items()))] = float(up)
    mine = {k: v for k, v in got.items() if dict(k[1]).get("target") == target}
    durations = [k for k in mine if k[0] == "veldakor_scrape_duration_seconds"]
    check(len(durations) == 1 and 0 <= mine.pop(durations[0]) < 5, "the scrape duration of %s" % target)
    missing = set(want) - set(mine)
    extra = set(mine) - set(want)
    check(not missing and not extra, "series of %s: missing %r, extra %r" % (target, sorted(missing)[:3],
                                                                             sorted(extra)[:3]))
    for key, value in want.items():
        check(mine[key] == value, "%s: %r, not %r" % (key, mine[key], value))


def promtool_metrics(text):
    result = subprocess.run(["promtool", "check", "metrics"], input=text.encode(), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT)
    check(result.returncode == 0, "promtool check metrics: %s" % result.stdout.decode())


def nvme_reply(golden):
    """The golden reply with drive 4 an NVMe drive, a model with CP932
    characters, a quote and a backslash, and drive 9 in error."""
    reply = bytearray(golden)
    r = RECORD.pack(1, 41, 57, 1, 37, 1, 8, 6210, 0, 0, 3, "NVMe \"ＳＳＤ\" 1TB\\x".encode("cp932"), b"3B2Q",
                    b"S-\xe6\x97\xa5".decode("utf-8").encode("cp932"), b"G:")
    reply[4 * 204:5 * 204] = r
    reply[9 * 204:10 * 204] = RECORD.pack(0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, b"GONE", b"", b"", b"")
    return bytes(reply)


def get(url):
    try:
        with urllib.request.urlopen(url, timeout=10) as r:
            return r.status, r.headers.get("Content-Type", ""), r.read().decode()
    except urllib.error.HTTPError as e:
        return e.code, e.headers.get("Content-Type", ""), e.read().decode()


def raw_request(port, data):
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(data)
        return s.recv(4096).decode(errors="replace")


def main(native_bin, golden_dir, monitoring):
    query = os.path.join(native_bin, "veldakor-query")
    with open(os.path.join(golden_dir, "fixture_drives_reply.bin"), "rb") as f:
        golden = f.read()
    mixed = nvme_reply(golden)
    ata, both = Responder(golden), Responder(mixed)

    # One host to standard output, and into a file for a textfile collector.
    out = subprocess.run([query, "--port", str(both.port), "--prometheus", "status"], stdout=subprocess.PIPE)
    check(out.returncode == 3, "exit status %d, not the error drive's 3" % out.returncode)
    text = out.stdout.decode()
    promtool_metrics(text)
    check_series(parse(text), "127.0.0.1:%d" % both.port, mixed)
    check('model="NVMe \\"ＳＳＤ\\" 1TB\\\\x"' in text, "the model label is not escaped UTF-8")

    folder = tempfile.mkdtemp(prefix="vk-exporter-")
    target = os.path.join(folder, "veldakor.prom")
    with open(target, "w") as f:
        f.write("old\n")
    out = subprocess.run([query, "--port", str(ata.port), "--prometheus", "--output", target, "status"])
    with open(target) as f:
        written = f.read()
    check(out.returncode == 2, "exit status %d, not the danger drives' 2" % out.returncode)
    promtool_metrics(written)
    check_series(parse(written), "127.0.0.1:%d" % ata.port, golden)
    check(os.listdir(folder) == ["veldakor.prom"], "left behind: %r" % os.listdir(folder))
    out = subprocess.run([query, "--port", str(free_port()), "--timeout", "300", "--prometheus", "--output", target,
                          "status"])
    with open(target) as f:
        down = f.read()
    check(out.returncode == 3 and re.search(r'^veldakor_up\{target="[^"]+"\} 0$', down, re.M),
          "no answer: exit %d, %r" % (out.returncode, down))
    out = subprocess.run([query, "--prometheus", "--output", os.path.join(folder, "none", "x.prom"), "status"],
                         stderr=subprocess.PIPE)
    check(out.returncode == 3 and b"cannot" in out.stderr, "an unwritable file: %r" % out.stderr)

    # The HTTP exporter: its targets at once, one of them a host that does
    # not exist, and /probe for any one.
    port = free_port()
    nowhere = "no-such-host.invalid:10008"
    server = subprocess.Popen([query, "serve", "--listen", "127.0.0.1:%d" % port, "--timeout", "1000",
                               "--target", "127.0.0.1:%d" % ata.port, "--target", "127.0.0.1:%d" % both.port,
                               "--target", nowhere])
    try:
        base = "http://127.0.0.1:%d" % port
        for _ in range(100):
            try:
                get(base + "/")
                break
            except OSError:
                time.sleep(0.1)
        start = time.monotonic()
        status, kind, text = get(base + "/metrics")
        took = time.monotonic() - start
        check(status == 200 and kind.startswith("text/plain; version=0.0.4"), "/metrics: %d %r" % (status, kind))
        check(took < 5, "/metrics took %.1f s with a target that does not exist" % took)
        promtool_metrics(text)
        series = parse(text)
        check_series(series, "127.0.0.1:%d" % ata.port, golden)
        check_series(series, "127.0.0.1:%d" % both.port, mixed)
        check_series(series, nowhere, bytes(3264), up=0)

        status, _, text = get(base + "/probe?target=127.0.0.1:%d" % both.port)
        check(status == 200, "/probe: %d" % status)
        promtool_metrics(text)
        check_series(parse(text), "127.0.0.1:%d" % both.port, mixed)
        check({dict(k[1])["target"] for k in parse(text)} == {"127.0.0.1:%d" % both.port}, "/probe gave others")

        for bad in ("/probe", "/probe?target=", "/probe?target=a:99999", "/probe?target=a:1&target=b:2",
                    "/probe?target=a%20b"):
            status, kind, text = get(base + bad)
            check(status == 400 and kind.startswith("text/plain") and text.strip(), "%s: %d %r" % (bad, status, text))
        status, kind, page = get(base + "/")
        check(status == 200 and kind.startswith("text/html") and 'href="/metrics"' in page
              and 'href="/probe?target=%s"' % nowhere in page, "the index page: %r" % page)
        check(get(base + "/nothing")[0] == 404, "an unknown path")
        check(raw_request(port, b"NOT HTTP AT ALL\r\n\r\n").startswith("HTTP/1.1 400"), "a garbled request")
        check(get(base + "/metrics")[0] == 200, "the server serves on after bad requests")
        check(server.poll() is None, "the exporter ended")
    finally:
        server.kill()
        server.wait()
    bad = subprocess.run([query, "serve", "--listen", "nohost"], stderr=subprocess.PIPE)
    check(bad.returncode == 3 and b"--listen" in bad.stderr, "a bad --listen: %r" % bad.stderr)
    with socket.socket() as busy:
        busy.bind(("127.0.0.1", 0))
        busy.listen(1)
        taken = subprocess.run([query, "serve", "--listen", "127.0.0.1:%d" % busy.getsockname()[1]],
                               stderr=subprocess.PIPE, timeout=10)
    check(taken.returncode == 3 and b"cannot listen" in taken.stderr, "a port in use: %r" % taken.stderr)

    # The alert rules and the example configuration.
    for args in (["check", "rules", "veldakor-rules.yml"], ["test", "rules", "veldakor-rules.test.yml"],
                 ["check", "config", "prometheus.yml"]):
        result = subprocess.run(["promtool"] + args, cwd=monitoring, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        check(result.returncode == 0, "promtool %s: %s" % (" ".join(args), result.stdout.decode()))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        sys.exit(2)
    try:
        main(*sys.argv[1:])
    except Failure as failure:
        sys.stderr.write("FAILED: %s\n" % failure)
        sys.exit(1)
    print("passed")
