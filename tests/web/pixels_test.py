"""The page's canvas, read back with getImageData, against the native
vivuvev-render's PNG of the same frame, byte for byte: seeds 2026 and 7, at
640x360 and 641x479 CSS pixels with device-pixel ratio 1, 32 and 16 bits,
after 1, 37 and 600 frames. After the 600 frames, which were presented as
changed rectangles, the canvas also equals the module's back buffer, turned
into colours here by the pixel formats' own rules.

usage: pixels_test.py PAGE_DIR VIVUVEV_RENDER"""
import base64
import functools
import itertools
import os
import subprocess
import sys
import tempfile

from browser import run_cases

SEEDS = (2026, 7)
SIZES = ((640, 360), (641, 479))
BITS = (32, 16)
FRAMES = (1, 37, 600)

# The canvas as RGB bytes, row after row, in base64.
CANVAS_RGB = '''(() => {
  const canvas = document.getElementById('screen');
  const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  const rgb = new Uint8Array(rgba.length / 4 * 3);
  for (let i = 0, o = 0; i < rgba.length; i += 4, o += 3) rgb.set(rgba.subarray(i, i + 3), o);
  let text = '';
  for (let i = 0; i < rgb.length; i += 0x8000) text += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
  return btoa(text);
})()'''

# Pixels where the canvas differs from the back buffer, whose pixels are the
# bytes red, green, blue and alpha (32 bits) or R5G6B5 words, each channel
# widened to 8 bits by repeating its top bits, or where the canvas is not
# opaque.
CANVAS_AGAINST_BACK_BUFFER = '''(() => {
  const exports = vivuvev.exports;
  const [at, width, height, pitch, bits] = new Int32Array(exports.memory.buffer, exports.back_buffer(), 5);
  const canvas = document.getElementById('screen');
  if (canvas.width !== width || canvas.height !== height) return -1;
  const shown = canvas.getContext('2d').getImageData(0, 0, width, height).data;
  const rows = new DataView(exports.memory.buffer, at, pitch * height);
  let differing = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      let r, g, b;
      if (bits === 32) {
        const at = y * pitch + x * 4;
        [r, g, b] = [rows.getUint8(at), rows.getUint8(at + 1), rows.getUint8(at + 2)];
      } else {
        const p = rows.getUint16(y * pitch + x * 2, true);
        const [r5, g6, b5] = [p >> 11, (p >> 5) & 63, p & 31];
        [r, g, b] = [(r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2)];
      }
      const i = (y * width + x) * 4;
      if (shown[i] !== r || shown[i + 1] !== g || shown[i + 2] !== b || shown[i + 3] !== 255) ++differing;
    }
  }
  return differing;
})()'''


def rendered(render, folder, seed, size, bits, frames):
    """vivuvev-render's last frame as RGB bytes."""
    out = os.path.join(folder, '%d-%dx%d-%d-%d' % (seed, size[0], size[1], bits, frames))
    subprocess.run([render, '--size', '%dx%d' % size, '--bits', str(bits), '--seed', str(seed),
                    '--frames', str(frames), '--out', out], check=True, stdout=subprocess.DEVNULL)
    png = os.path.join(out, 'frame-%06d.png' % frames)
    return subprocess.run(['/usr/bin/convert', png, '-depth', '8', 'rgb:-'], check=True,
                          stdout=subprocess.PIPE).stdout


def first_difference(shown, expected, width):
    for i in range(0, min(len(shown), len(expected)), 3):
        if shown[i:i + 3] != expected[i:i + 3]:
            return 'first at (%d, %d): %s, not %s' % (i // 3 % width, i // 3 // width,
                                                     shown[i:i + 3].hex(), expected[i:i + 3].hex())
    return 'sizes %d and %d bytes' % (len(shown), len(expected))


def check(browser, server, render, folder, seed, size, bits, frames):
    """What is wrong with one case, if anything."""
    browser.open('%sindex.html?seed=%d&bits=%d&frames=%d' % (server.url, seed, bits, frames), *size)
    state = browser.within(30, "!['loading', 'running'].includes(vivuvev.state) && vivuvev.state")
    if state != 'done':
        return ['the page is %s: %s' % (state, browser.evaluate('vivuvev.problems'))]
    failures = []
    shown = base64.b64decode(browser.evaluate(CANVAS_RGB))
    expected = rendered(render, folder, seed, size, bits, frames)
    if shown != expected:
        failures.append('the canvas differs from vivuvev-render, ' + first_difference(shown, expected, size[0]))
    if frames == FRAMES[-1]:
        failures += presented_rectangles(browser, size)
    return failures


def main(page, render):
    with tempfile.TemporaryDirectory(prefix='vivuvev-web-pixels-') as folder:
        return run_cases(page, [
            ('seed %d, %dx%d, %d bits, %d frames' % (seed, *size, bits, frames),
             functools.partial(check, render=render, folder=folder, seed=seed, size=size, bits=bits,
                               frames=frames))
            for seed, size, bits, frames in itertools.product(SEEDS, SIZES, BITS, FRAMES)])


def presented_rectangles(browser, size):
    """The canvas equals the back buffer, and got there through presents of
    less than the whole canvas."""
    failures = []
    differing = browser.evaluate(CANVAS_AGAINST_BACK_BUFFER)
    if differing != 0:
        failures.append('%s pixels of the canvas differ from the back buffer' % differing)
    frames, pixels, rectangles = browser.evaluate('[vivuvev.frames, vivuvev.pixels, vivuvev.rectangles]')
    whole = frames * size[0] * size[1]
    if not (pixels < 0.9 * whole and rectangles > frames):
        failures.append('%d frames presented %d pixels in %d rectangles: not damage-limited' %
                        (frames, pixels, rectangles))
    return failures


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
