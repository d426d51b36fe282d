"""What a user expects of the page, in headless Chromium: a resize and a
change of device-pixel ratio restart the animation at the new size, the
canvas is sized in device pixels, full screen comes and goes with F and a
click and hides a still cursor, a hidden page runs no frame, bad parameters
and a missing module or WebAssembly show their message, and the console
stays clean throughout.

usage: page_test.py PAGE_DIR"""
import sys
import time

from browser import run_cases

STATE_SETTLED = "!['loading', 'running'].includes(vivuvev.state) && vivuvev.state"
PANEL = "document.getElementById('problem').hidden ? null : document.getElementById('problem').textContent"
CANVAS = "(() => { const c = document.getElementById('screen'); return [c.width, c.height]; })()"
BACK_BUFFER = 'Array.from(new Int32Array(vivuvev.exports.memory.buffer, vivuvev.exports.back_buffer(), 5)).slice(1, 3)'
# Whether any pixel of the canvas outside the top-left w x h is not black.
RINGS_BEYOND = '''((w, h) => {
  const c = document.getElementById('screen');
  const p = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  for (let i = 0; i < p.length; i += 4) {
    const x = i / 4 % c.width, y = Math.floor(i / 4 / c.width);
    if ((x >= w || y >= h) && (p[i] || p[i + 1] || p[i + 2])) return true;
  }
  return false;
})'''


def resize(browser, url):
    """A bigger viewport: within 3 s the canvas and the back buffer have its
    size and rings reach beyond the old one."""
    browser.open(url + 'index.html?seed=2026', 640, 360)
    if not browser.within(10, 'vivuvev.frames > 30'):
        return ['the page did not run: %s' % browser.evaluate('vivuvev.state')]
    browser.send('Emulation.setDeviceMetricsOverride', width=1000, height=700, deviceScaleFactor=1, mobile=False)
    rings = browser.within(3, '%s(640, 360)' % RINGS_BEYOND)
    sizes = [browser.evaluate(CANVAS), browser.evaluate(BACK_BUFFER)]
    if not rings or sizes != [[1000, 700]] * 2:
        return ['3 s after a resize to 1000x700: canvas and back buffer %s, rings beyond 640x360: %s' % (sizes, rings)]
    return []


def device_pixels(browser, url):
    """Ratio 2: the canvas has twice its CSS size in pixels, and so does the
    screen; a change of ratio alone restarts at the new size."""
    failures = []
    browser.open(url + 'index.html?frames=20', 400, 300, ratio=2)
    if browser.within(10, STATE_SETTLED) != 'done':
        return ['the page did not run at ratio 2: %s' % browser.evaluate('vivuvev.problems')]
    css = browser.evaluate("(() => { const r = document.getElementById('screen').getBoundingClientRect(); return [r.width, r.height]; })()")
    if css != [400, 300] or browser.evaluate(CANVAS) != [800, 600] or browser.evaluate(BACK_BUFFER) != [800, 600]:
        failures.append('at ratio 2 a 400x300 canvas has %s pixels, a back buffer of %s' %
                        (browser.evaluate(CANVAS), browser.evaluate(BACK_BUFFER)))
    browser.open(url + 'index.html', 300, 200)
    browser.within(10, 'vivuvev.frames > 5')
    browser.send('Emulation.setDeviceMetricsOverride', width=300, height=200, deviceScaleFactor=2, mobile=False)
    if not browser.within(3, '%s.join() === "600,400"' % BACK_BUFFER):
        failures.append('ratio 1 to 2 left the back buffer at %s' % browser.evaluate(BACK_BUFFER))
    return failures


def full_screen(browser, url):
    """F and a click toggle full screen; there a still cursor hides."""
    browser.open(url + 'index.html', 320, 200)
    browser.within(10, "vivuvev.state === 'running'")
    fullscreen = 'document.fullscreenElement !== null'
    hidden = "getComputedStyle(document.getElementById('screen')).cursor === 'none'"
    key = dict(key='f', code='KeyF', text='f', windowsVirtualKeyCode=70)
    browser.send('Input.dispatchKeyEvent', type='keyDown', **key)
    browser.send('Input.dispatchKeyEvent', type='keyUp', **key)
    if not browser.within(2, fullscreen):
        return ['F did not bring full screen']
    failures = []
    browser.send('Input.dispatchMouseEvent', type='mouseMoved', x=50, y=50)
    if browser.evaluate(hidden):
        failures.append('the cursor is hidden while it moves')
    if not browser.within(4, hidden):
        failures.append('the still cursor did not hide in full screen')
    for kind in ('mousePressed', 'mouseReleased'):
        browser.send('Input.dispatchMouseEvent', type=kind, x=60, y=60, button='left', clickCount=1)
    if not browser.within(2, '!(%s)' % fullscreen):
        failures.append('a click did not leave full screen')
    if browser.evaluate(hidden):
        failures.append('the cursor stays hidden out of full screen')
    return failures


def hidden_tab(browser, url):
    """Hidden, the page runs no frame while its timers still run; shown
    again, the frames go on. (Frozen and woken, a headless page stays
    hidden; focus emulation shows it again.)"""
    browser.open(url + 'index.html', 320, 200)
    browser.within(10, 'vivuvev.frames > 10')
    for state in ('frozen', 'active'):
        browser.send('Page.setWebLifecycleState', state=state)
    hidden = browser.evaluate('new Promise((done) => setTimeout(() => done(document.hidden && vivuvev.frames), 100))')
    time.sleep(0.5)
    still = browser.evaluate('vivuvev.frames')
    browser.send('Emulation.setFocusEmulationEnabled', enabled=True)
    resumed = browser.within(3, '!document.hidden && vivuvev.frames > %d' % still)
    browser.send('Emulation.setFocusEmulationEnabled', enabled=False)
    if not hidden or still != hidden or not resumed:
        return ['hidden at frame %s, %s half a second later; shown again: %s' % (hidden, still, resumed)]
    return []


BAD_PARAMETERS = [
    ('seed=abc', "seed must be a whole number from 0 to 4294967295, not 'abc'"),
    ('seed=4294967296', "not '4294967296'"),
    ('bits=24', "bits must be 32 or 16, not '24'"),
    ('fps=yes', "fps takes no value"),
    ('frames=0', "frames must be a whole number from 1 to 4294967294, not '0'"),
    ('frames=1e3', "not '1e3'"),
    ('speed=2', "'speed' is not a parameter of this page"),
    ('seed=1&seed=2', 'seed is given more than once'),
]


def bad_input(browser, url):
    failures = []
    for query, message in BAD_PARAMETERS:
        browser.open(url + 'index.html?' + query, 320, 200)
        panel = browser.evaluate(PANEL) or ''
        if message not in panel or browser.evaluate("[vivuvev.state, vivuvev.frames].join()") != 'failed,0':
            failures.append('?%s shows %r, not %r' % (query, panel, message))
        failures += ['?%s: %s' % (query, c) for c in browser.complaints()]
    browser.open(url + 'missing/index.html', 320, 200)
    panel = browser.within(10, PANEL) or ''
    if 'vivuvev.wasm could not be loaded: 404' not in panel:
        failures.append('a missing module shows %r' % panel)
    failures += ['missing module: %s' % c for c in browser.complaints(allowed=['vivuvev.wasm'])]
    script = browser.send('Page.addScriptToEvaluateOnNewDocument', source='delete window.WebAssembly;')
    browser.open(url + 'index.html', 320, 200)
    panel = browser.within(10, PANEL) or ''
    browser.send('Page.removeScriptToEvaluateOnNewDocument', identifier=script['identifier'])
    if 'cannot run WebAssembly' not in panel:
        failures.append('a browser without WebAssembly shows %r' % panel)
    return failures


CHECKS = [resize, device_pixels, full_screen, hidden_tab, bad_input]


def main(page):
    return run_cases(page, [(check.__name__, lambda browser, server, check=check: check(browser, server.url))
                            for check in CHECKS])


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
