#!/usr/bin/env python3
"""Loopback HTTP and HTTPS server for the download tests and the download benchmark.

Listens on 127.0.0.1 on three free ports: plain, TLS with a certificate for DNS:localhost signed
by a test CA made at start with openssl, and TLS with one from a second CA that no test trusts.
Prints one line when ready:
    {"http": PORT, "https": PORT, "https_untrusted": PORT, "ca": "/path/ca.pem", "pid": PID}
Ends on SIGTERM, and also when its standard input closes if --exit-on-eof is given (so a test
program that dies cannot leave it behind).

Paths (NAME is any last segment; queries as noted):
  /file/.../NAME?size=N            N bytes (default 1000) of a fixed pattern, with Content-Length
                                   and an ETag; a GET with "Range: bytes=F-" gets 206 and the rest
                                   from F (200 and everything when its If-Range does not match).
                                   What the GETs of one address (path and query) meet, in order:
                                   plan=A,B,...   per GET: ok, cutM (the answer is sent up to byte M
                                                  of the file, then the connection closes), reset
                                                  (closed without an answer) or a status code
                                                  (503, 404, ...); ok once the plan is used up
                                   headplan=A,... the same for the HEADs (ok, reset or a status)
                                   retryafter=V   the Retry-After value of a 429 or 503
                                   validator=etag|lastmod|weak|none  what identifies the file
                                   change=1       the validator changes at every GET (a new file)
                                   norange=1      Range is ignored: always 200 and the whole file
  /disp/.../NAME?name=X&size=N     the same with Content-Disposition: attachment; filename="X"
                                   (rawdisp=V sends the header value V as it is)
  /chunked/.../NAME?size=N         Transfer-Encoding: chunked
  /redirect/CODE/.../NAME          CODE (301, 302, ...) to /file/.../NAME
  /status/CODE/.../NAME            CODE with a short text body
  /short/.../NAME?size=N&send=M    Content-Length N, M bytes, then the connection closes (GET only)
  /stall/.../NAME?size=N&send=M    Content-Length N, M bytes, then nothing for 120 s (GET only)
  /close/.../NAME                  the connection closes without an answer
  /raw/KIND/.../NAME?head=1        an answer written as it stands to a GET (and to a HEAD with head=1,
                                   without its 100 bytes of body; otherwise a HEAD gets a sound empty
                                   answer), then the connection closes. Malformed:
                                   KIND hugelen   Content-Length 18446744073709551616 and 100 bytes
                                        hexlen    Content-Length 0x64 and 100 bytes
                                        twolen    Content-Length 100 and Content-Length 50, 100 bytes
                                        cuthead   the status line and half a header
                                        bare      the status line alone
                                        noblank   the status line and Content-Length 100, no empty line
                                        nostatus  no status line: a text line, an empty line, 100 bytes
                                        badcode   the status "2x0", Content-Length 100 and 100 bytes
                                        lowercase "http/1.1 200 OK", Content-Length 100 and 100 bytes
                                        junkline  a header line without a colon, then a whole answer
                                   Well formed, if unusual, each with 100 bytes of the pattern:
                                        http10    HTTP/1.0 with Content-Length
                                        http10eof HTTP/1.0 without a length: the body ends at the close
                                        lfonly    lines ended by LF alone
                                        noreason  "HTTP/1.1 200 " with an empty reason
                                        oddvalues an empty value, tabs around values, a Latin-1 value
                                        many      200 headers (about 13 KB)
                                        longline  one header of 8,000 characters
                                        folded    a header continued on a second line (obsolete folding)
                                        spacename "Content-Length : 100", a space before the colon
  /kit/HEX/NAME                    the file NAME of the folder whose path is HEX (hexadecimal
                                   UTF-8; a Windows path of the test's wine prefix is mapped
                                   through $WINEPREFIX/dosdevices), 404 when it is missing; with
                                   an ETag and Last-Modified, and Range/If-Range as for /file/.
                                   A file NAME.cut-once beside it makes the next GET of NAME send
                                   half of the answer and close the connection (the file goes)
  /_requests?match=TEXT            the requests seen so far whose path holds TEXT, one per line:
                                   METHOD PATH, then each header as "  Name: value"
"""
import argparse
import json
import os
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PATTERN = bytes((i * 7 + 3) % 251 for i in range(1 << 20))
REQUESTS = []
REQUESTS_LOCK = threading.Lock()
COUNTS = {}  # (method, address) -> requests seen, for the plans of /file/


def pattern_bytes(offset, count):
    """count bytes of the endless pattern starting at offset."""
    out = bytearray()
    while count > 0:
        start = offset % len(PATTERN)
        piece = PATTERN[start:start + count]
        out += piece
        offset += len(piece)
        count -= len(piece)
    return bytes(out)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LoopbackTest/1"
    sys_version = ""

    def log_message(self, fmt, *args):
        pass

    def record(self):
        lines = [f"{self.command} {self.path}"]
        lines += [f"  {k}: {v}" for k, v in self.headers.items()]
        with REQUESTS_LOCK:
            REQUESTS.append("\n".join(lines))

    def do_HEAD(self):
        self.handle_any(head=True)

    def do_GET(self):
        self.handle_any(head=False)

    def send_body(self, size, head, chunk=1 << 20):
        sent = 0
        while sent < size and not head:
            n = min(chunk, size - sent)
            self.wfile.write(pattern_bytes(sent, n))
            sent += n

    def serve_kit_file(self, folder, name, head):
        if len(folder) >= 2 and folder[1] == ":":
            drive = folder[0].lower()
            folder = folder[2:].replace("\\", "/")
            if drive != "z":
                folder = os.path.join(os.environ.get("WINEPREFIX", ""), "dosdevices", drive + ":") + folder
        path = os.path.join(folder, name)
        if "/" in name or "\\" in name or not os.path.isfile(path):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(path, "rb") as f:
            body = f.read()
        stat = os.stat(path)
        etag = '"%x-%x"' % (stat.st_mtime_ns, len(body))
        start = 0
        wanted = self.headers.get("Range", "")
        if not head and wanted.startswith("bytes=") and wanted.endswith("-"):
            first = int(wanted[6:-1])
            if first < len(body) and self.headers.get("If-Range", etag) == etag:
                start = first
        self.send_response(206 if start else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body) - start))
        if start:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(body) - 1, len(body)))
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", self.date_time_string(int(stat.st_mtime)))
        self.end_headers()
        if head:
            return
        cut = path + ".cut-once"
        if os.path.exists(cut):
            try:
                os.remove(cut)
            except OSError:
                pass
            else:
                self.wfile.write(body[start:start + (len(body) - start) // 2])
                self.wfile.flush()
                self.close_now()
                return
        self.wfile.write(body[start:])

    def count(self, method):
        """How many requests of this method the address had before this one."""
        with REQUESTS_LOCK:
            key = (method, self.path)
            seen = COUNTS.get(key, 0)
            COUNTS[key] = seen + 1
        return seen

    def close_now(self):
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def send_status(self, code, query):
        body = b"try again later\n"
        self.send_response(code)
        if code in (429, 503) and "retryafter" in query:
            self.send_header("Retry-After", query["retryafter"][0])
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def serve_planned_file(self, query, size, head):
        method = "HEAD" if head else "GET"
        seen = self.count(method)
        plan = [a for a in query.get("headplan" if head else "plan", [""])[0].split(",") if a]
        action = plan[seen] if seen < len(plan) else "ok"
        if action == "reset":
            self.close_now()
            return
        if action.isdigit():
            self.send_status(int(action), query)
            return
        kind = query.get("validator", ["etag"])[0]
        version = seen + 1 if query.get("change", [""])[0] == "1" and not head else 1
        validators = {
            "etag": ("ETag", '"v%d-%d"' % (version, size)),
            "weak": ("ETag", 'W/"v%d-%d"' % (version, size)),
            "lastmod": ("Last-Modified", "Sun, 06 Nov 1994 08:%02d:37 GMT" % (version % 60)),
        }
        validator = validators.get(kind)
        start = 0
        wanted = self.headers.get("Range", "")
        if (wanted.startswith("bytes=") and wanted.endswith("-") and query.get("norange", [""])[0] != "1"
                and not head):
            first = int(wanted[6:-1])
            condition = self.headers.get("If-Range")
            if first < size and (condition is None or (validator and condition == validator[1]
                                                       and not validator[1].startswith("W/"))):
                start = first
        self.send_response(206 if start else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size - start))
        if start:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
        if validator:
            self.send_header(*validator)
        self.end_headers()
        if head:
            return
        end = size
        if action.startswith("cut"):
            end = max(start, min(size, int(action[3:])))
        sent = start
        while sent < end:
            n = min(1 << 20, end - sent)
            self.wfile.write(pattern_bytes(sent, n))
            sent += n
        if end < size:
            self.wfile.flush()
            self.close_now()

    def handle_any(self, head):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        parts = [p for p in url.path.split("/") if p]
        kind = parts[0] if parts else ""
        size = int(query.get("size", ["1000"])[0])
        if kind == "_requests":
            match = query.get("match", [""])[0]
            with REQUESTS_LOCK:
                body = "\n".join(r for r in REQUESTS if match in r.split("\n")[0]).encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if not head:
                self.wfile.write(body)
            return
        self.record()
        if kind == "kit" and len(parts) == 3:
            self.serve_kit_file(bytes.fromhex(parts[1]).decode("utf-8"), urllib.parse.unquote(parts[2]), head)
            return
        if kind == "close":
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if kind == "raw" and len(parts) >= 2:
            if head and query.get("head", [""])[0] != "1":
                self.send_response(200)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            body = b"" if head else pattern_bytes(0, 100)
            length = b"Content-Length: 100\r\n"
            answers = {
                "hugelen": b"HTTP/1.1 200 OK\r\nContent-Length: 18446744073709551616\r\n\r\n" + body,
                "hexlen": b"HTTP/1.1 200 OK\r\nContent-Length: 0x64\r\n\r\n" + body,
                "twolen": b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\nContent-Length: 50\r\n\r\n" + body,
                "cuthead": b"HTTP/1.1 200 OK\r\nContent-Type: applica",
                "bare": b"HTTP/1.1 200 OK\r\n",
                "noblank": b"HTTP/1.1 200 OK\r\n" + length,
                "nostatus": b"Here is your file\r\n\r\n" + body,
                "badcode": b"HTTP/1.1 2x0 OK\r\n" + length + b"\r\n" + body,
                "lowercase": b"http/1.1 200 OK\r\n" + length + b"\r\n" + body,
                "junkline": b"HTTP/1.1 200 OK\r\nJunkWithoutColon\r\n" + length + b"\r\n" + body,
                "http10": b"HTTP/1.0 200 OK\r\n" + length + b"\r\n" + body,
                "http10eof": b"HTTP/1.0 200 OK\r\nContent-Type: application/zip\r\n\r\n" + body,
                "lfonly": b"HTTP/1.1 200 OK\nContent-Type: application/zip\nContent-Length: 100\n\n" + body,
                "noreason": b"HTTP/1.1 200 \r\n" + length + b"\r\n" + body,
                "oddvalues": b"HTTP/1.1 200 OK\r\nX-Empty:\r\nX-Tabs:\tvalue\t\r\nX-Name: \xe9t\xe9\r\n"
                             + length + b"\r\n" + body,
                "many": b"HTTP/1.1 200 OK\r\n" + b"".join(b"X-Header-%03d: %s\r\n" % (i, b"v" * 50) for i in range(200))
                        + length + b"\r\n" + body,
                "longline": b"HTTP/1.1 200 OK\r\nX-Long: " + b"a" * 8000 + b"\r\n" + length + b"\r\n" + body,
                "folded": b"HTTP/1.1 200 OK\r\nX-Folded: one\r\n two\r\n" + length + b"\r\n" + body,
                "spacename": b"HTTP/1.1 200 OK\r\nContent-Length : 100\r\n\r\n" + body,
            }
            self.close_connection = True
            self.wfile.write(answers.get(parts[1], b""))
            self.wfile.flush()
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        if kind == "file":
            self.serve_planned_file(query, size, head)
            return
        if kind == "disp":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(size))
            if kind == "disp":
                raw = query.get("rawdisp")
                value = raw[0] if raw else 'attachment; filename="%s"' % query.get("name", [""])[0]
                self.send_header("Content-Disposition", value)
            self.end_headers()
            self.send_body(size, head)
            return
        if kind == "chunked":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            if head:
                return
            sent = 0
            while sent < size:
                n = min(4096, size - sent)
                self.wfile.write(b"%x\r\n" % n + pattern_bytes(sent, n) + b"\r\n")
                sent += n
            self.wfile.write(b"0\r\n\r\n")
            return
        if kind == "redirect" and len(parts) >= 2:
            code = int(parts[1])
            target = "/file/" + "/".join(parts[2:])
            self.send_response(code)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if kind == "status" and len(parts) >= 2:
            code = int(parts[1])
            body = b"error page\n"
            self.send_response(code)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if not head:
                self.wfile.write(body)
            return
        if kind in ("short", "stall"):
            send = int(query.get("send", [str(size // 2)])[0])
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            if head:
                return
            self.wfile.write(pattern_bytes(0, send))
            self.wfile.flush()
            if kind == "stall":
                # Hold the connection open without sending; end early when the client goes away.
                self.connection.settimeout(120)
                try:
                    self.connection.recv(1)
                except OSError:
                    pass
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()


class QuietServer(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 64

    def handle_error(self, request, client_address):
        pass


class TlsServer(QuietServer):
    def __init__(self, address, handler, context):
        super().__init__(address, handler)
        self.context = context

    def finish_request(self, request, client_address):
        # The handshake runs in the connection's own thread, so a client that refuses the
        # certificate holds up nobody else.
        request.settimeout(30)
        tls = self.context.wrap_socket(request, server_side=True)
        tls.settimeout(None)
        self.RequestHandlerClass(tls, client_address, self)


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates(folder, prefix, ca_name):
    """A CA and a certificate for DNS:localhost signed by it; returns (ca, cert, key) paths."""
    ca_key, ca = (os.path.join(folder, prefix + n) for n in ("ca.key", "ca.pem"))
    key, csr, cert = (os.path.join(folder, prefix + n) for n in ("server.key", "server.csr", "server.pem"))
    ext = os.path.join(folder, prefix + "server.ext")
    openssl("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
            "-keyout", ca_key, "-out", ca, "-days", "2", "-subj", "/CN=" + ca_name,
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
            "-keyout", key, "-out", csr, "-subj", "/CN=localhost")
    with open(ext, "w") as f:
        f.write("subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n")
    openssl("x509", "-req", "-in", csr, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial",
            "-out", cert, "-days", "2", "-extfile", ext)
    return ca, cert, key


def cached_certificates(cache):
    """The certificates of a cache folder shared by test processes, made once a day. A new set is
    made in a private folder and renamed into place, so parallel starts never see half a set."""
    ready = os.path.join(cache, "ready")

    def usable():
        return os.path.exists(ready) and time.time() - os.path.getmtime(ready) < 86400

    if usable():
        return cache
    parent = os.path.dirname(os.path.abspath(cache))
    os.makedirs(parent, exist_ok=True)
    fresh = tempfile.mkdtemp(prefix=".certs-", dir=parent)
    make_certificates(fresh, "", "VelSetup Test CA")
    make_certificates(fresh, "untrusted-", "VelSetup Untrusted CA")
    open(os.path.join(fresh, "ready"), "w").close()
    if usable():  # another process was quicker
        shutil.rmtree(fresh, ignore_errors=True)
        return cache
    if os.path.exists(cache):
        # A stale set: move it aside under a private name first.
        try:
            os.rename(cache, fresh + ".old")
        except OSError:
            pass
    try:
        os.rename(fresh, cache)
    except OSError:
        pass  # another process put its set in place first; use that one
    shutil.rmtree(fresh + ".old", ignore_errors=True)
    shutil.rmtree(fresh, ignore_errors=True)
    return cache


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", help="where the certificates go (default: a new temporary folder)")
    parser.add_argument("--cert-cache", help="reuse the certificates of this folder (made when missing)")
    parser.add_argument("--exit-on-eof", action="store_true")
    args = parser.parse_args()
    own_folder = not args.folder and not args.cert_cache
    folder = args.folder or (None if args.cert_cache else tempfile.mkdtemp(prefix="velsetup-http-"))
    if args.cert_cache:
        certs = cached_certificates(args.cert_cache)
        ca, cert, key = (os.path.join(certs, n) for n in ("ca.pem", "server.pem", "server.key"))
        other_cert, other_key = (os.path.join(certs, n) for n in ("untrusted-server.pem", "untrusted-server.key"))
    else:
        os.makedirs(folder, exist_ok=True)
        ca, cert, key = make_certificates(folder, "", "VelSetup Test CA")
        _, other_cert, other_key = make_certificates(folder, "untrusted-", "VelSetup Untrusted CA")

    plain = QuietServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    tls = TlsServer(("127.0.0.1", 0), Handler, context)
    other_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    other_context.load_cert_chain(other_cert, other_key)
    untrusted = TlsServer(("127.0.0.1", 0), Handler, other_context)
    for server in (plain, tls, untrusted):
        threading.Thread(target=server.serve_forever, daemon=True).start()

    # A list, not a threading.Event: a signal handler runs in the main thread, and Event.set() there
    # deadlocks when the signal lands while that thread holds the Event's lock inside wait() (as it
    # does once the stdin watcher has set it). Appending takes no lock.
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append("signal"))
    signal.signal(signal.SIGINT, lambda *_: stop.append("signal"))
    if args.exit_on_eof:
        def watch():
            while sys.stdin.buffer.read(1):
                pass
            stop.append("eof")
        threading.Thread(target=watch, daemon=True).start()
    print(json.dumps({"http": plain.server_address[1], "https": tls.server_address[1],
                      "https_untrusted": untrusted.server_address[1], "ca": ca,
                      "pid": os.getpid()}), flush=True)
    while not stop:
        time.sleep(0.1)
    if own_folder:
        shutil.rmtree(folder, ignore_errors=True)
    os._exit(0)


if __name__ == "__main__":
    main()
