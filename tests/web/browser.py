"""Debian's headless Chromium driven through the DevTools protocol, and a
static server for the page on 127.0.0.1, for the web tests and the web
benchmark (run with /usr/bin/python3, for python3-websocket). Chromium gets
a fresh profile, stays off the network, and is ended with its process group."""
import functools
import http.server
import json
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

QUIET = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--disable-default-apps', '--disable-extensions', '--disable-breakpad',
         '--disable-domain-reliability', '--no-default-browser-check', '--mute-audio']
# As many frames as the page takes instead of 60 a second.
UNPACED = ['--disable-frame-rate-limit', '--disable-gpu-vsync']


class Handler(http.server.SimpleHTTPRequestHandler):
    """The page's folder; under /missing/ the page without its module."""

    def translate_path(self, path):
        if path.startswith('/missing/'):
            path = '/nonexistent' if path.split('?')[0].endswith('.wasm') else path[len('/missing'):]
        return super().translate_path(path)

    def end_headers(self):
        if self.server.isolated:  # a cross-origin isolated page's clock reads to 5 microseconds
            self.send_header('Cross-Origin-Opener-Policy', 'same-origin')
            self.send_header('Cross-Origin-Embedder-Policy', 'require-corp')
        super().end_headers()

    def log_message(self, *args):
        pass


class Server:
    def __init__(self, folder, isolated=False):
        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=folder))
        self.httpd.isolated = isolated
        self.url = 'http://127.0.0.1:%d/' % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class PageError(Exception):
    pass


class Browser:
    def __init__(self, unpaced=False):
        self.profile = tempfile.mkdtemp(prefix='vivuvev-chromium-')
        self.process = subprocess.Popen(
            ['/usr/bin/chromium-headless-shell', *QUIET, *(UNPACED if unpaced else []),
             '--remote-debugging-port=0', '--user-data-dir=' + self.profile, 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.next_id, self.events = 0, []
        try:
            active, deadline = os.path.join(self.profile, 'DevToolsActivePort'), time.monotonic() + 30
            while not (os.path.exists(active) and open(active).readline().strip()):
                if self.process.poll() is not None or time.monotonic() > deadline:
                    raise PageError('chromium did not open its DevTools port')
                time.sleep(0.05)
            port = int(open(active).readline())
            with urllib.request.urlopen('http://127.0.0.1:%d/json/list' % port, timeout=10) as answer:
                target = next(t for t in json.load(answer) if t['type'] == 'page')
            self.socket = websocket.create_connection(target['webSocketDebuggerUrl'], timeout=60,
                                                      suppress_origin=True)
            for domain in ('Page', 'Runtime', 'Log'):
                self.send(domain + '.enable')
        except BaseException:
            self._end()
            raise

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise PageError('%s: %s' % (method, message['error']))
                return message['result']
            if 'method' in message:
                self.events.append(message)

    def evaluate(self, expression):
        """The value of a JavaScript expression, a promise awaited."""
        result = self.send('Runtime.evaluate', expression=expression, returnByValue=True, awaitPromise=True)
        if 'exceptionDetails' in result:
            raise PageError('%s: %s' % (expression, result['exceptionDetails']))
        return result['result'].get('value')

    def within(self, seconds, expression):
        """Polls expression until it is true or the time is up; its last value."""
        deadline = time.monotonic() + seconds
        while not (value := self.evaluate(expression)) and time.monotonic() < deadline:
            time.sleep(0.05)
        return value

    def open(self, url, width, height, ratio=1):
        self.send('Emulation.setDeviceMetricsOverride', width=width, height=height,
                  deviceScaleFactor=ratio, mobile=False)
        self.send('Page.navigate', url=url)
        self.within(10, "document.readyState === 'complete'")

    def complaints(self, allowed=()):
        """Console errors, uncaught exceptions and browser errors since the
        last look; browser log entries naming one of allowed excepted."""
        found, events, self.events = [], self.events, []
        for method, params in ((e['method'], e['params']) for e in events):
            if method == 'Runtime.exceptionThrown':
                found.append('exception: %s' % params['exceptionDetails'])
            elif method == 'Runtime.consoleAPICalled' and params['type'] in ('error', 'assert'):
                found.append('console.%s: %s' % (params['type'], params['args']))
            elif method == 'Log.entryAdded' and params['entry']['level'] == 'error':
                text = '%s %s' % (params['entry']['text'], params['entry'].get('url', ''))
                found += [] if any(a in text for a in allowed) else ['log: ' + text]
        return found

    def close(self):
        try:
            self.send('Browser.close')
        except Exception:
            pass
        self._end()

    def _end(self):
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def run_cases(page, cases):
    """Serves the page and runs each (name, check) of cases in one unpaced
    browser; check(browser, server) returns what is wrong, and console errors
    since the last case are added. A line per case, the tally, and 1 when
    any case failed."""
    passed = failed = 0
    server, browser = Server(page), Browser(unpaced=True)
    try:
        for name, check in cases:
            failures = check(browser, server) + browser.complaints()
            for failure in failures or ['']:
                print('FAIL %s: %s' % (name, failure) if failures else 'ok ' + name, flush=True)
            passed, failed = passed + (not failures), failed + bool(failures)
    finally:
        browser.close()
        server.close()
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0
