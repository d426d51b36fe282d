"""The page's own work per frame in headless Chromium, against the native
vivuvev-bench frame of the same run, measured before and after the page's
(a benchmark, not a test).

For each size (seed 2026, 32 bits) and page build, the page first runs three
whole cycles, as vivuvev-bench does, so that the canvas is as covered as for
most of the animation's life; then, over `frames` frames, it reads the
page's counters (vivuvev.js: the module's frame, presents included, and the
putImageData calls in it) and the renderer's main-thread time. Back to back
(frames as fast as the page takes them) each build is measured in `rounds`
rounds taken in turn, each figure kept at its best; paced (60 frames a
second, as a user sees it) the first build once. The page is served cross-
origin isolated, so that its clock reads to 5 microseconds.

usage: web_bench.py VIVUVEV_BENCH NAME=PAGE_DIR... [--rounds R] [--frames N] [--no-paced]"""
import argparse
import math
import subprocess
import sys

from browser import Browser, Server

SIZES = ((1280, 720), (1920, 1080))
COUNTERS = '[vivuvev.frames, vivuvev.workMs, vivuvev.putMs, vivuvev.rectangles, vivuvev.pixels]'


def native_frames(bench):
    """vivuvev-bench's frame and paused frame in ms at 32 bits, by size."""
    out = subprocess.run([bench, '--seconds', '2'], check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True).stdout
    frames = {}
    for line in out.splitlines():
        fields = line.split()
        if len(fields) == 13 and fields[1] == '32' and 'x' in fields[0]:
            size = tuple(int(v) for v in fields[0].split('x'))
            frames[size] = (1000 / float(fields[3]), float(fields[12]))
    return frames


def main_thread_seconds(browser):
    metrics = browser.send('Performance.getMetrics')['metrics']
    return next(m['value'] for m in metrics if m['name'] == 'TaskDuration')


def measure(browser, url, size, frames):
    """Per frame: module and present, putImageData, main thread (ms),
    rectangles, share of the screen presented."""
    cycles = 3 * round(math.hypot(*size) / 2)
    browser.open(url + 'index.html?seed=2026', *size)
    browser.send('Performance.enable')
    if not browser.within(600, 'vivuvev.frames >= %d' % cycles):
        raise SystemExit('the page did not run: %s' % browser.evaluate('vivuvev.problems'))
    before, thread = browser.evaluate(COUNTERS), main_thread_seconds(browser)
    browser.within(600, 'vivuvev.frames >= %d' % (before[0] + frames))
    after, thread = browser.evaluate(COUNTERS), main_thread_seconds(browser) - thread
    n, work, put, rectangles, pixels = (a - b for a, b in zip(after, before))
    return {'work': work / n, 'put': put / n, 'module': (work - put) / n, 'thread': thread * 1000 / n,
            'rectangles': rectangles / n, 'share': pixels / n / (size[0] * size[1])}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('bench')
    parser.add_argument('pages', nargs='+')
    parser.add_argument('--rounds', type=int, default=3)
    parser.add_argument('--frames', type=int, default=600)
    parser.add_argument('--paced', action=argparse.BooleanOptionalAction, default=True)
    args = parser.parse_args()
    pages = [page.split('=', 1) for page in args.pages]
    with open('/proc/loadavg') as load:
        print('load average before:', load.read().strip())
    native = native_frames(args.bench)
    rows = []
    for paced in (False, True) if args.paced else (False,):
        browser = Browser(unpaced=not paced)
        servers = [(name, Server(folder, isolated=True)) for name, folder in (pages[:1] if paced else pages)]
        try:
            for size in SIZES:
                best = {}
                for _ in range(1 if paced else args.rounds):
                    for name, server in servers:
                        figures = measure(browser, server.url, size, args.frames)
                        kept = best.setdefault(name, figures)
                        for key in ('work', 'put', 'module', 'thread'):
                            kept[key] = min(kept[key], figures[key])
                for name, figures in best.items():
                    rows.append((size, name, 'paced' if paced else 'back to back', figures))
        finally:
            browser.close()
            for _, server in servers:
                server.close()
    # The native frames again after the page's, each figure kept at its best.
    for size, (frame, paused) in native_frames(args.bench).items():
        native[size] = (min(frame, native[size][0]), min(paused, native[size][1]))
    with open('/proc/loadavg') as load:
        print('load average after:', load.read().strip())
    print('| size | build | frames | module | putImageData | page work | main thread | rectangles | presented | '
          'native frame | native paused | module / native |')
    print('|---|---|---|---|---|---|---|---|---|---|---|---|')
    for size, name, pace, f in rows:
        frame, paused = native[size]
        yardstick = paused if pace == 'paced' else frame
        print('| %d x %d | %s | %s | %.3f | %.3f | %.3f | %.3f | %.0f | %.1f%% | %.3f | %.3f | %.1f |' %
              (*size, name, pace, f['module'], f['put'], f['work'], f['thread'], f['rectangles'],
               100 * f['share'], frame, paused, f['module'] / yardstick))


if __name__ == '__main__':
    sys.exit(main())
