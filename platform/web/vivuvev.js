// Vivuvev's page: loads vivuvev.wasm (the animation compiled to WebAssembly),
// gives it the canvas in device pixels and asks it for one frame per
// displayed frame. The module draws in its own memory; its present hands
// over the rectangles that changed, which go onto the canvas with
// putImageData straight from that memory.
//
// Implemented: the address's parameters (seed, bits, fps, frames), checked;
// the canvas in device pixels, restarted on every change of its size or of
// the device-pixel ratio; full screen on a click or F, the cursor hidden in
// full screen after two seconds without a move; nothing at all while the tab
// is hidden; a panel instead of the animation when it cannot run.
// Not implemented: keys but F (the animation does not stop on input here);
// anything fetched but vivuvev.wasm beside this file; engines without
// WebAssembly SIMD (they refuse the module, and the panel says so).
'use strict';
(() => {
  const MaxSide = 16384;        // device pixels per side, as vivuvev-render takes
  const CursorStillMs = 2000;   // in full screen, the cursor hides after this long unmoved
  const moduleUrl = new URL('vivuvev.wasm', document.currentScript.src);

  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d', { alpha: false });
  const frameRateBox = document.getElementById('fps');
  const problemPanel = document.getElementById('problem');

  // What the page is doing, for whoever looks (the browser tests do):
  // state is loading, running, done (frames=N reached) or failed; the
  // counters add up since the start.
  const page = {
    state: 'loading',
    problems: [],
    frames: 0,       // frames the module ran
    workMs: 0,       // time in those frames, presents included
    putMs: 0,        // of which putImageData
    rectangles: 0,   // rectangles presented
    pixels: 0,       // pixels presented
    exports: null,   // the module's exports
  };
  window.vivuvev = page;

  class PageProblem extends Error {}

  function showProblems(title, messages) {
    page.state = 'failed';
    page.problems = messages;
    problemPanel.querySelector('h1').textContent = title;
    const list = problemPanel.querySelector('ul');
    list.replaceChildren(...messages.map((text) => {
      const item = document.createElement('li');
      item.textContent = text;
      return item;
    }));
    problemPanel.hidden = false;
    canvas.hidden = true;
    frameRateBox.hidden = true;
  }

  // seed=N (0 to 4294967295: the frames of vivuvev-render --seed N), bits=32
  // or 16, fps (or fps=1; fps=0 is off), frames=N (stop after N frames).
  function readParameters(search) {
    const options = { seed: null, bits: 32, fps: false, frames: 0 };
    const problems = [];
    const seen = new Set();
    const whole = (text, low, high) => /^[0-9]+$/.test(text) && Number(text) >= low && Number(text) <= high;
    for (const [name, value] of new URLSearchParams(search)) {
      if (seen.has(name)) {
        problems.push(`${name} is given more than once.`);
        continue;
      }
      seen.add(name);
      if (name === 'seed') {
        if (whole(value, 0, 4294967295)) options.seed = Number(value);
        else problems.push(`seed must be a whole number from 0 to 4294967295, not '${value}'.`);
      } else if (name === 'bits') {
        if (value === '32' || value === '16') options.bits = Number(value);
        else problems.push(`bits must be 32 or 16, not '${value}'.`);
      } else if (name === 'fps') {
        if (value === '' || value === '1' || value === '0') options.fps = value !== '0';
        else problems.push(`fps takes no value (or 1 to show the frame rate, 0 not to), not '${value}'.`);
      } else if (name === 'frames') {
        if (whole(value, 1, 4294967294)) options.frames = Number(value);
        else problems.push(`frames must be a whole number from 1 to 4294967294, not '${value}'.`);
      } else {
        problems.push(`'${name}' is not a parameter of this page: it takes seed, bits, fps and frames.`);
      }
    }
    return { options, problems };
  }

  // The module's memory, and an image over the pixels its present hands
  // over; both are looked up again once the memory has grown.
  let memory = null;
  let image = null;
  const decoder = new TextDecoder();

  function presentRectangles(at, stride, width, height, boxesAt, count) {
    const started = performance.now();
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    // The image spans whole rows, stride pixels each; the rectangles lie in
    // its first width columns.
    if (image === null || image.data.buffer !== memory.buffer || image.data.byteOffset !== at ||
        image.width !== stride || image.height !== height) {
      image = new ImageData(new Uint8ClampedArray(memory.buffer, at, stride * height * 4), stride, height);
    }
    const boxes = new Int32Array(memory.buffer, boxesAt, count * 4);
    for (let i = 0; i < boxes.length; i += 4) {
      context.putImageData(image, 0, 0, boxes[i], boxes[i + 1], boxes[i + 2], boxes[i + 3]);
      page.pixels += boxes[i + 2] * boxes[i + 3];
    }
    page.rectangles += count;
    page.putMs += performance.now() - started;
  }

  function showFrameRate(at) {
    const bytes = new Uint8Array(memory.buffer, at);
    const text = decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
    if (frameRateBox.textContent !== text) frameRateBox.textContent = text;
  }

  class ModuleExit extends Error {}

  const imports = {
    env: {
      present_rectangles: presentRectangles,
      show_frame_rate: showFrameRate,
      emscripten_notify_memory_growth: () => { image = null; },
    },
    wasi_snapshot_preview1: {
      // Clock 0 is the calendar's, every other one counts from the page's start.
      clock_time_get: (clock, precision, at) => {
        const ms = clock === 0 ? Date.now() : performance.now();
        new DataView(memory.buffer).setBigUint64(at, BigInt(Math.round(ms * 1e6)), true);
        return 0;
      },
      proc_exit: (code) => { throw new ModuleExit(`the module ended with status ${code}`); },
    },
  };

  // The module's bytes. fetch takes no file: address: a page opened from the
  // disk asks with a request instead, which hosts that let pages read the
  // files beside them answer (browsers, by default, do not).
  function moduleBytes() {
    const where = moduleUrl.pathname;
    if (moduleUrl.protocol !== 'file:') {
      return fetch(moduleUrl).then((response) => {
        if (!response.ok) {
          throw new PageProblem(`${where} could not be loaded: ${response.status} ${response.statusText}.`);
        }
        return response.arrayBuffer();
      }, (error) => {
        throw new PageProblem(`${where} could not be fetched (${error.message}).`);
      });
    }
    return new Promise((resolve, reject) => {
      const request = new XMLHttpRequest();
      request.open('GET', moduleUrl);
      request.responseType = 'arraybuffer';
      request.onload = () => resolve(request.response);
      request.onerror = () => reject(new PageProblem(
        `${where} could not be read: this browser keeps a page opened from the disk from reading ` +
        'the files beside it. Serve the folder instead (bash scripts/web.sh does).'));
      request.send();
    });
  }

  async function loadModule() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      throw new PageProblem('This browser cannot run WebAssembly, which the animation is made of.');
    }
    const { instance } = await WebAssembly.instantiate(await moduleBytes(), imports);
    memory = instance.exports.memory;
    instance.exports._initialize();
    return instance.exports;
  }

  // The canvas in device pixels: its CSS size times the device-pixel ratio.
  // (The device-pixel box a ResizeObserver can report ignores the ratio
  // that browsers' device emulation sets.)
  function deviceSize() {
    const box = canvas.getBoundingClientRect();
    const side = (css) => Math.min(Math.max(Math.round(css * devicePixelRatio), 1), MaxSide);
    return [side(box.width), side(box.height)];
  }

  function run(module, options) {
    let frameRequest = 0;
    let size = null;  // the size the module was last given

    let ratio = devicePixelRatio;
    const step = () => {
      frameRequest = 0;
      // A change of ratio alone resizes nothing in CSS pixels, and not every
      // browser reports it (device emulation does not), so each frame looks.
      if (devicePixelRatio !== ratio) {
        ratio = devicePixelRatio;
        resized();
      }
      const started = performance.now();
      try {
        module.frame();
      } catch (error) {
        showProblems('The animation stopped', [String(error.message || error)]);
        return;
      }
      page.workMs += performance.now() - started;
      page.frames += 1;
      if (options.frames !== 0 && page.frames >= options.frames) {
        page.state = 'done';
        return;
      }
      schedule();
    };
    // A hidden tab asks for no frame; nothing runs until it is shown again.
    const schedule = () => {
      if (frameRequest === 0 && page.state === 'running' && !document.hidden) {
        frameRequest = requestAnimationFrame(step);
      }
    };
    document.addEventListener('visibilitychange', () => {
      if (!document.hidden) {
        schedule();
      } else if (frameRequest !== 0) {
        cancelAnimationFrame(frameRequest);
        frameRequest = 0;
      }
    });

    const resized = () => {
      const [width, height] = deviceSize();
      if (size !== null) {
        if (size[0] !== width || size[1] !== height) module.resize(width, height);
        size = [width, height];
        return;
      }
      size = [width, height];
      const seed = options.seed !== null ? options.seed : crypto.getRandomValues(new Uint32Array(1))[0];
      if (!module.start(width, height, options.bits, seed, 1, options.fps ? 1 : 0)) {
        showProblems('The animation could not start', [`There is no memory for a ${width} x ${height} screen.`]);
        return;
      }
      frameRateBox.hidden = !options.fps;
      page.state = 'running';
      schedule();
    };
    new ResizeObserver(resized).observe(canvas);
    canvas.addEventListener('contextrestored', () => module.present_all());
  }

  // Full screen on a click or F; Escape, the browser's, leaves it. In full
  // screen the cursor hides once it has been still for a while.
  function toggleFullScreen() {
    const request = document.fullscreenElement ? document.exitFullscreen()
      : document.documentElement.requestFullscreen && document.documentElement.requestFullscreen();
    if (request) request.catch(() => {});  // refused: the page stays as it is
  }
  let cursorTimer = 0;
  function cursorMoved() {
    document.body.classList.remove('still');
    clearTimeout(cursorTimer);
    cursorTimer = document.fullscreenElement ? setTimeout(() => {
      if (document.fullscreenElement) document.body.classList.add('still');
    }, CursorStillMs) : 0;
  }
  canvas.addEventListener('click', toggleFullScreen);
  document.addEventListener('keydown', (event) => {
    if ((event.key === 'f' || event.key === 'F') && !event.repeat &&
        !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      toggleFullScreen();
    }
  });
  document.addEventListener('mousemove', cursorMoved);
  document.addEventListener('fullscreenchange', cursorMoved);

  const { options, problems } = readParameters(location.search);
  if (problems.length > 0) {
    showProblems('The page\'s address needs a change', problems);
    return;
  }
  loadModule().then((module) => {
    page.exports = module;
    run(module, options);
  }, (error) => {
    let message = `${error.name}: ${error.message}`;
    if (error instanceof PageProblem) {
      message = error.message;
    } else if (error instanceof WebAssembly.CompileError) {
      message = `This browser cannot compile vivuvev.wasm, which needs WebAssembly SIMD (${error.message}).`;
    }
    showProblems('The animation could not start', [message]);
  });
})();
