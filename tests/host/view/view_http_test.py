"""The viewer over plain HTTP: its fixed routes, 404 for everything else, the event
stream, the loopback default, and the failures to serve before any sensor wakes."""
import http.client
import os
import shutil
import socket
import struct
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "fixtures"))
import trackhost_view as rig  # noqa: E402

THREE = "/usr/share/javascript/three/"


def get(port, path, method="GET", name=None):
    """Status, type and body, asked for as a browser asks (which once made the server
    spend seconds compressing three.js for every page load); `name` in the Host
    field, the address and port by default. No answer lets a page of another origin
    read it."""
    connection = http.client.HTTPConnection("127.0.0.1", int(port), timeout=10)
    headers = {"Accept-Encoding": "gzip, deflate, br"}
    if name is not None:
        headers["Host"] = name
    # The path goes out as written, ".." and all.
    connection.request(method, path, headers=headers)
    response = connection.getresponse()
    body = response.read()
    connection.close()
    assert not [field for field, _ in response.getheaders()
                if field.lower().startswith("access-control-")], response.getheaders()
    if response.getheader("Content-Encoding") is not None:
        return response.status, "encoded", body
    return response.status, response.getheader("Content-Type"), body


class ViewerHttp(unittest.TestCase):
    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="viewer-http-")
        self.addCleanup(shutil.rmtree, self.workdir, True)

    def test_fixed_routes_serve_the_page_and_the_packaged_scripts(self):
        with rig.Trackhost(self.workdir, ["--quiet"]) as host:
            self.assertEqual(host.host, "127.0.0.1", host.first_line)
            status, kind, page = get(host.port, "/")
            self.assertEqual((status, kind), (200, "text/html; charset=utf-8"))
            self.assertIn(b'<script src="three.min.js"></script>', page)
            for route, packaged in [("/three.min.js", "three.min.js"),
                                    ("/OrbitControls.js", "examples/js/controls/OrbitControls.js")]:
                status, kind, script = get(host.port, route)
                with open(THREE + packaged, "rb") as file:
                    self.assertEqual((status, kind, script), (200, "text/javascript", file.read()))
            for path in ["/nothing", "/index.html", "/favicon.ico", "/../etc/passwd",
                         "/%2e%2e/etc/passwd", "/events/../three.min.js", "/three.min.js/..",
                         "//three.min.js", "/usr/share/javascript/three/three.min.js",
                         "/..%2fetc%2fpasswd", "/.."]:
                self.assertEqual(get(host.port, path)[0], 404, path)
            self.assertEqual(get(host.port, "/", "POST")[0], 404)
            # Only names of this machine are answered, so that a page elsewhere cannot
            # read the viewer through a name of its own that resolves here.
            for name in ["localhost:" + host.port, "LOCALHOST", socket.gethostname(),
                         "[::ffff:127.0.0.1]:" + host.port]:
                self.assertEqual(get(host.port, "/", name=name)[0], 200, name)
            for name in ["rebinding.example:" + host.port, "127.0.0.2:" + host.port, "",
                         "localhost.example", "127.0.0.1:x", "[::1:" + host.port]:
                for path in ["/", "/events", "/nothing"]:
                    self.assertEqual(get(host.port, path, name=name),
                                     (403, "text/plain", b"403\n"), (name, path))
            # A request line over 8192 bytes with its line end, and one that is no request.
            self.assertEqual(get(host.port, "/" + "a" * 8177), (414, "text/plain", b"414\n"))
            self.assertEqual(get(host.port, "/" + "a" * 8176)[0], 404)
            with socket.create_connection(("127.0.0.1", int(host.port)), timeout=10) as raw:
                raw.sendall(b"GET /\r\n\r\n")
                self.assertEqual(raw.makefile("rb").read(),
                                 b"HTTP/1.1 400 Bad Request\r\nConnection: close\r\n"
                                 b"Content-Length: 4\r\nContent-Type: text/plain\r\n\r\n400\n")
            self.assertEqual(host.stop(), 0, host.rest)

    def test_each_client_gets_at_most_60_events_a_second_and_the_last_records(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "500", "--seconds", "2"]) as host:
            streams = [rig.EventStream(host.port) for _ in range(3)]
            begin = time.monotonic()
            received = [list(stream.events()) for stream in streams]
            seconds = time.monotonic() - begin
            self.assertEqual(host.wait(), 0, host.rest)
            rows = host.rows()
        for stream in streams:
            stream.close()
        self.assertIn("Content-Type: text/event-stream", streams[0].head)
        for events in received:
            self.assertLessEqual(len(events), 60 * (seconds + 0.5))
            latest = {}
            for event in events:
                for record in event["trackers"]:
                    latest[(record["device"], record["id"])] = record["values"]
            # Coalesced, but whatever a device delivered last reaches every client.
            self.assertEqual(latest, {key: values[-1] for key, values in rows.items()})
            self.assertEqual(len(latest), 3)

    def test_loopback_by_default_and_clients_that_stall_or_vanish_cost_nothing(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "1000", "--seconds", "2"]) as host:
            with self.assertRaises(ConnectionRefusedError):
                socket.create_connection(("127.0.0.2", int(host.port)), timeout=5)
            stalled = socket.create_connection(("127.0.0.1", int(host.port)))
            stalled.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1024)
            stalled.sendall(rig.events_request("127.0.0.1:" + host.port))
            # One that goes away in the middle of the stream, with a reset.
            vanishing = rig.EventStream(host.port)
            next(vanishing.events())
            vanishing.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                        struct.pack("ii", 1, 0))
            vanishing.close()
            self.assertEqual(host.wait(), 0, host.rest)
            # Nothing but the simulator's notice and the devices' summaries.
            said = [line for line in host.rest.splitlines()
                    if " is the simulator" not in line and not line.endswith(" recoveries")]
            self.assertEqual(said, [])
            stalled.close()
            self.assertGreater(sum(len(v) for v in host.rows().values()), 1000)

    def test_a_client_that_reads_late_gets_the_newest_records_not_a_backlog(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "500", "--seconds", "5"]) as host:
            late = socket.socket()
            late.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            late.connect(("127.0.0.1", int(host.port)))
            late.sendall(rig.events_request("127.0.0.1:" + host.port))
            # Long enough to fill both sides' buffers (in about 1.3 s), short of the 2 s
            # that a write may wait before the client is dropped.
            time.sleep(1.7)
            stream = rig.EventStream.over(late)
            times = [float(event["trackers"][0]["time"]) for event in stream.events()
                     if event["trackers"][0]["id"] == 1]
            self.assertEqual(host.wait(), 0, host.rest)
            stream.close()
        # While the client took nothing, the records it missed were not kept for it:
        # once it read again, the next event jumped to the newest record.
        gaps = [b - a for a, b in zip(times, times[1:])]
        self.assertGreater(max(gaps), 0.2, times[:100])
        self.assertLess(sorted(gaps)[len(gaps) // 2], 0.05)

    def test_page_is_served_while_many_clients_stream_and_silent_ones_are_dropped(self):
        rate, seconds = 100, 24
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", str(rate),
                                          "--seconds", str(seconds)]) as host:
            # The bounds below hold a loaded 2-core machine and Wine (page p99 0.8 s
            # there) with room, yet a thread held by one silent client's write, 2 s
            # each, would break them.
            load = rig.Load(host.port, readers=40, silent=20, timeout=5.0)
            time.sleep(20 - (time.monotonic() - load.opened))
            dropped = load.silent_dropped()
            load.stop()
            self.assertEqual(host.wait(), 0, host.rest)
            times = host.times()
        self.assertEqual(dropped, 20, "silent clients still connected after 20 s")
        self.assertEqual(load.statuses, [200] * 40)
        self.assertNotIn(None, load.page_seconds, "page requests unanswered within 5 s")
        self.assertLess(rig.percentile(load.page_seconds, 0.5), 1.0, load.page_seconds)
        self.assertGreater(len(load.page_seconds), 50)
        # The records came at the rate asked for, with no pause in the cycle.
        for key, stamps in times.items():
            self.assertGreaterEqual(len(stamps), rate * seconds * 0.99, key)
            self.assertLess(max(b - a for a, b in zip(stamps, stamps[1:])), 1.0, key)

    def test_streams_beyond_256_are_told_the_server_is_busy_until_one_ends(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "100"]) as host:
            # A stream asked for under a foreign name is refused and takes no place.
            foreign = rig.EventStream(host.port, name="rebinding.example:" + host.port)
            self.assertEqual((foreign.head.split("\r\n")[0], foreign.rest()),
                             ("HTTP/1.1 403 Forbidden", b"403\n"))
            foreign.close()
            clients = [rig.EventStream(host.port) for _ in range(256)]
            self.assertEqual({client.head.split("\r\n")[0] for client in clients},
                             {"HTTP/1.1 200 OK"})
            refused = rig.EventStream(host.port)
            self.assertEqual(refused.head + "\r\n\r\n" + refused.rest().decode(),
                             "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                             "Content-Length: 4\r\nContent-Type: text/plain\r\n"
                             "Retry-After: 1\r\n\r\n503\n")
            refused.close()
            clients.pop().close()

            def served():
                stream = rig.EventStream(host.port)
                stream.close()
                return stream.head.startswith("HTTP/1.1 200 ")
            rig.wait_for(served, timeout=5, what="a stream once one has ended")
            for client in clients:
                client.close()
            self.assertEqual(host.stop(), 0, host.rest)

    def test_an_address_beyond_loopback_is_warned_of_with_the_urls_others_use(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--cycles", "1"], view="0.0.0.0:0") as host:
            warning = host.process.stderr.readline()
            others = host.process.stderr.readline()
            self.assertEqual(host.wait(), 0, host.rest)
        self.assertEqual(warning, "trackhost: warning: the viewer listens on 0.0.0.0, not on "
                         "loopback only: anyone who reaches this address can watch the poses\n")
        self.assertTrue(others.startswith("trackhost: other machines reach the viewer at "), others)
        urls = others.split(" at ", 1)[1].split()
        for url in urls if urls[0] != "none:" else []:
            self.assertRegex(url, r"^http://[0-9.]+:%s/$" % host.port)
            self.assertNotIn("127.0.0.1", url)

    def test_taken_port_or_foreign_address_exit_7_before_any_sensor_wakes(self):
        taken = socket.socket()
        taken.bind(("127.0.0.1", 0))
        taken.listen()
        port = taken.getsockname()[1]
        for view, reason in [(str(port), "the port is already in use"),
                             ("192.0.2.1:0", "not an address of this machine")]:
            with rig.Trackhost(self.workdir, [], view=view) as host:
                self.assertEqual(host.wait(), 7)
                where = view if ":" in view else "127.0.0.1:" + view
                self.assertEqual(host.first_line + host.rest,
                                 "trackhost: the viewer cannot listen on %s: %s\n" % (where, reason))
                # The plug-in never printed a device block: no sensor was woken.
                self.assertEqual(os.path.getsize(host.stdout.name), 0)
        taken.close()
        for url in ["http", "http://127.0.0.1:0"]:
            with rig.Trackhost(self.workdir, [], view=url) as host:
                self.assertEqual(host.wait(), 2, url)


if __name__ == "__main__":
    rig.main()
