// The page as the game's window system: the client area on a canvas, the
// status bar, the message boxes, keys and the close control as events, the
// game's folder (the default files or the player's), and the MIDI output.
// Each run of the game is a fresh instance of the WebAssembly module.
'use strict';

(() => {
  const kBoardWidth = 639;
  const kBoardHeight = 598;
  const kClientHeight = 619;
  const kBarHeight = kClientHeight - kBoardHeight;
  const kPartEdges = [210, 380, -1];
  const kPictureWidth = 370;
  const kPictureHeight = 280;
  // Events handed to the module; characters are their code points.
  const kNoEvent = -1;
  const kCloseEvent = 0x110000;
  const kBoxAnsweredEvent = 0x110001;

  // The browser's Shift_JIS is code page 932 (0x5C a backslash).
  const cp932 = new TextDecoder('shift_jis');
  const $ = (id) => document.getElementById(id);
  const els = {
    window: $('window'), caption: $('caption-text'), close: $('close'), canvas: $('client'),
    loading: $('loading'), ended: $('ended'), endedWhy: $('ended-why'), again: $('again'),
    files: $('files'), defaults: $('defaults'), folder: $('folder'), problem: $('file-problem'),
    sound: $('sound'), overlay: $('box-overlay'), boxCaption: $('box-caption'),
    boxIcon: $('box-icon'), boxText: $('box-text'), boxOk: $('box-ok'),
  };
  const context = els.canvas.getContext('2d', {alpha: false});
  const sound = new VintaroSound();

  // What the page shows and did, for the player's eyes and for tests.
  const page = {
    status: ['', '', ''],
    boxes: [],        // every box shown: caption, text, icon
    box: null,        // the box up now
    trace: [],        // the messages the game dispatched and what it sent out
    exitCode: null,
    firstBoardAt: null,
    presents: 0,
    lastPresentAt: null,
    run: null,
    sound,
    chosen: {},       // the player's files: ini, gol (bytes), picture (RGB)
  };
  window.vintaro = page;
  const kMaxTrace = 100000;

  function trace(kind, code) {
    if (page.trace.length < kMaxTrace) page.trace.push({t: performance.now(), kind, code});
  }

  // The status bar, drawn in the classic sunken look below the board.
  function drawStatusBar() {
    const y0 = kBoardHeight;
    const c = context;
    c.fillStyle = 'rgb(212,208,200)';
    c.fillRect(0, y0, kBoardWidth, kBarHeight);
    let left = 0;
    c.font = '12px "MS UI Gothic", "IPAGothic", "Noto Sans CJK JP", sans-serif';
    c.textBaseline = 'middle';
    for (let i = 0; i < 3; ++i) {
      const right = kPartEdges[i] < 0 ? kBoardWidth : kPartEdges[i];
      const top = y0 + 2;
      const w = right - left;
      const h = kBarHeight - 2;
      if (w >= 2) {
        c.fillStyle = 'rgb(128,128,128)';
        c.fillRect(left, top, w - 1, 1);
        c.fillRect(left, top, 1, h - 1);
        c.fillStyle = 'rgb(255,255,255)';
        c.fillRect(left, top + h - 1, w, 1);
        c.fillRect(left + w - 1, top, 1, h);
        c.save();
        c.beginPath();
        c.rect(left + 1, top + 1, w - 2, h - 2);
        c.clip();
        c.fillStyle = 'rgb(0,0,0)';
        c.fillText(page.status[i], left + 4, top + h / 2);
        c.restore();
      }
      left = right + 2;
    }
    drawSizeGrip(kBoardWidth - 1, kClientHeight - 1);
  }

  function drawSizeGrip(px, py) {
    const c = context;
    const diagonal = (x, y, n, colour) => {
      c.fillStyle = colour;
      for (let k = 0; k < n; ++k) c.fillRect(x + k, y - k, 1, 1);
    };
    --px;
    --py;
    for (let i = 1; i < 11; i += 4) {
      diagonal(px - i, py, i + 1, 'rgb(128,128,128)');
      diagonal(px - i - 1, py, i + 2, 'rgb(128,128,128)');
    }
    for (let i = 3; i < 13; i += 4) diagonal(px - i, py, i + 1, 'rgb(255,255,255)');
  }

  // The largest whole number of device pixels per game pixel that fits.
  function fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const room = Math.max(1, Math.floor(Math.min(
        (window.innerWidth - 32) * ratio / kBoardWidth,
        (window.innerHeight - 60) * ratio / kClientHeight)));
    els.canvas.style.width = `${(kBoardWidth * room) / ratio}px`;
    els.canvas.style.height = `${(kClientHeight * room) / ratio}px`;
  }
  window.addEventListener('resize', fitCanvas);
  fitCanvas();

  // One run of the game: a module instance and the events it has not taken.
  class Run {
    constructor() {
      this.events = [];
      this.wake = null;
      this.timer = 0;
      this.shown = false;
      this.alive = true;
      this.ended = false;
    }

    push(event) {
      if (!this.alive) return;
      this.events.push(event);
      this.wakeUp();
    }

    wakeUp() {
      clearTimeout(this.timer);
      this.timer = 0;
      const wake = this.wake;
      this.wake = null;
      if (wake) wake();
    }

    // The page's side of the module's calls (Module.host).
    host() {
      const run = this;
      return {
        createWindow(title) {
          document.title = title;
          els.caption.textContent = title;
        },
        showWindow() {
          if (!run.alive) return;
          run.shown = true;
          els.loading.hidden = true;
          els.window.hidden = false;
          els.close.disabled = false;
          drawStatusBar();
          sound.prefetch();
        },
        setStatusText(part, bytes) {
          if (!run.alive) return;
          page.status[part] = cp932.decode(bytes);
          $(`status-${part}`).textContent = page.status[part];
          trace('status', part);
          if (run.shown) drawStatusBar();
        },
        present(pixels, width, height, x, y, w, h) {
          if (!run.alive) return;
          context.putImageData(new ImageData(pixels, width, height), 0, 0, x, y, w, h);
          page.presents++;
          trace('present', 0);
          page.lastPresentAt = performance.now();
          if (page.firstBoardAt === null) page.firstBoardAt = page.lastPresentAt;
        },
        openMidi() {
          return true;
        },
        closeMidi() {
          if (run.alive) sound.reset();
        },
        midi(message) {
          if (!run.alive) return;
          trace('midi', message);
          sound.send(message);
        },
        openBox(text, caption, error) {
          if (!run.alive) return;
          const box = {caption: cp932.decode(caption), text: cp932.decode(text),
            icon: error ? 'error' : 'warning'};
          page.box = box;
          page.boxes.push(box);
          els.loading.hidden = true;
          els.boxCaption.textContent = box.caption;
          els.boxText.textContent = box.text;
          els.boxIcon.className = `box-icon ${box.icon}`;
          els.overlay.hidden = false;
          els.boxOk.focus();
        },
        closeBox() {
          hideBox();
        },
        nextEvent() {
          return run.alive && run.events.length > 0 ? run.events.shift() : kNoEvent;
        },
        wait(timeoutMs) {
          if (run.events.length > 0) return Promise.resolve();
          return new Promise((resolve) => {
            run.wake = resolve;
            // Never earlier than asked: the game's clock decides what is due.
            if (timeoutMs >= 0) run.timer = setTimeout(() => run.wakeUp(), Math.ceil(timeoutMs));
          });
        },
        trace(kind, code) {
          if (run.alive) trace(kind, code);
        },
        exited(code) {
          if (!run.alive) return;
          run.alive = false;
          run.ended = true;
          page.exitCode = code;
          trace('exit', code);
          // The program is over, and its window goes with it.
          els.close.disabled = true;
          els.loading.hidden = true;
          els.window.hidden = true;
          if (!run.shown) {
            els.endedWhy.textContent = 'It could not start with these files.';
          } else {
            els.endedWhy.textContent = page.status[2] ? `It ended at${page.status[2]}.` : '';
          }
          els.ended.hidden = false;
        },
      };
    }

    // Cut off: a new run takes the page. The old instance never wakes again.
    dispose() {
      this.alive = false;
      clearTimeout(this.timer);
      this.wake = null;
      this.events = [];
    }
  }

  function hideBox() {
    page.box = null;
    els.overlay.hidden = true;
  }

  function answerBox() {
    if (!page.box || !page.run) return;
    hideBox();
    page.run.push(kBoxAnsweredEvent);
  }

  // The game's folder: the site's default files, or the player's instead.
  const defaults = Promise.all(['Vintaro.ini', 'Vintaro.gol'].map((name) =>
    fetch(name).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null)));

  async function folder() {
    const [ini, gol] = await defaults;
    const files = {};
    const chosenIni = page.chosen.ini;
    const chosenGol = page.chosen.gol;
    if (chosenIni) files['Vintaro.ini'] = chosenIni;
    else if (ini) files['Vintaro.ini'] = new Uint8Array(ini);
    if (chosenGol) files['Vintaro.gol'] = chosenGol;
    else if (gol && !page.chosen.picture) files['Vintaro.gol'] = new Uint8Array(gol);
    return files;
  }

  let starting = null;

  async function startGame() {
    if (page.run) {
      page.run.dispose();
      sound.reset();
    }
    const run = new Run();
    page.run = run;
    hideBox();
    page.status = ['', '', ''];
    page.exitCode = null;
    els.ended.hidden = true;
    els.window.hidden = true;
    els.loading.hidden = false;
    els.close.disabled = true;
    context.fillStyle = 'rgb(64,64,64)';
    context.fillRect(0, 0, kBoardWidth, kClientHeight);

    const [module, files] = await Promise.all([
      createVintaro({host: run.host(), print: console.log, printErr: console.warn}),
      folder(),
    ]);
    if (page.run !== run) return;
    module.FS.mkdir('/game');
    module.FS.chdir('/game');
    for (const [name, bytes] of Object.entries(files)) module.FS.writeFile(name, bytes);
    if (page.chosen.picture) {
      const rgb = module._malloc(page.chosen.picture.length);
      module.HEAPU8.set(page.chosen.picture, rgb);
      module._vintaro_pack_picture(rgb);
      module._free(rgb);
    }
    page.module = module;
    module.callMain([]);
  }

  function restart() {
    starting = startGame().catch((e) => {
      console.error(e);
      els.loading.textContent = `The game could not be loaded: ${e}`;
      els.loading.hidden = false;
    });
    return starting;
  }
  page.restart = restart;

  // A character as the game reads it, or null for a key it never sees.
  function characterOf(e) {
    if (e.ctrlKey || e.metaKey || e.altKey) return null;
    switch (e.key) {
      case 'Enter': return 0x0D;
      case 'Backspace': return 0x08;
      case 'Tab': return 0x09;
      case 'Escape': return 0x1B;
      default: break;
    }
    const cp = e.key.codePointAt(0);
    return e.key.length === String.fromCodePoint(cp).length ? cp : null;
  }

  document.addEventListener('keydown', (e) => {
    if (sound.state === 'waiting') sound.start();
    if (page.box) {
      // A box takes every key; Enter, Space and Escape answer it.
      e.preventDefault();
      if (e.key === 'Enter' || e.key === ' ' || e.key === 'Escape') answerBox();
      return;
    }
    const run = page.run;
    if (!run || !run.alive || !run.shown) return;
    const c = characterOf(e);
    if (c === null) return;
    e.preventDefault();
    run.push(c);
  });
  document.addEventListener('pointerdown', () => {
    if (sound.state === 'waiting') sound.start();
  });

  els.boxOk.addEventListener('click', answerBox);
  els.close.addEventListener('click', () => {
    els.close.blur();
    if (page.run && page.run.alive && page.run.shown) page.run.push(kCloseEvent);
  });
  els.again.addEventListener('click', () => {
    els.again.blur();
    restart();
  });

  sound.onchange = (state) => {
    els.sound.textContent = {
      waiting: 'Sound starts with your first key or click.',
      starting: 'Sound is loading\u2026',
      on: 'Sound: General MIDI by FluidSynth with the TimGM6mb soundfont.',
      off: 'This browser gives the game no sound: it plays silently.',
    }[state];
  };

  // The player's files.
  function problem(text) {
    els.problem.textContent = text;
    els.problem.hidden = !text;
  }

  async function pictureOf(bytes) {
    const image = await createImageBitmap(new Blob([bytes], {type: 'image/png'}),
        {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
    if (image.width !== kPictureWidth || image.height !== kPictureHeight) {
      throw new Error(`the picture is ${image.width} \u00d7 ${image.height} pixels; ` +
          `Vintaro.gol holds ${kPictureWidth} \u00d7 ${kPictureHeight}`);
    }
    const canvas = document.createElement('canvas');
    canvas.width = kPictureWidth;
    canvas.height = kPictureHeight;
    const c = canvas.getContext('2d', {willReadFrequently: true});
    c.drawImage(image, 0, 0);
    const rgba = c.getImageData(0, 0, kPictureWidth, kPictureHeight).data;
    const rgb = new Uint8Array(kPictureWidth * kPictureHeight * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i];
      rgb[j + 1] = rgba[i + 1];
      rgb[j + 2] = rgba[i + 2];
    }
    return rgb;
  }

  const kPng = [0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A];

  async function choose(fileList) {
    const chosen = Object.assign({}, page.chosen);
    const names = [];
    try {
      for (const file of fileList) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        if (kPng.every((b, i) => bytes[i] === b)) {
          chosen.picture = await pictureOf(bytes);
          delete chosen.gol;
        } else if (/\.ini$/i.test(file.name)) {
          chosen.ini = bytes;
        } else if (/\.gol$/i.test(file.name)) {
          chosen.gol = bytes;
          delete chosen.picture;
        } else {
          throw new Error('it is neither a Vintaro.ini, a Vintaro.gol nor a PNG picture');
        }
        names.push(file.name);
      }
    } catch (e) {
      problem(`${fileList.length === 1 ? fileList[0].name : 'A file'}: ${e.message}.`);
      return;
    }
    if (names.length === 0) return;
    problem('');
    page.chosen = chosen;
    const parts = [];
    parts.push(chosen.ini ? 'your Vintaro.ini' : 'the default Vintaro.ini');
    if (chosen.picture) parts.push('your picture as Vintaro.gol');
    else parts.push(chosen.gol ? 'your Vintaro.gol' : 'the default Vintaro.gol');
    els.folder.textContent = `Playing with ${parts.join(' and ')}.`;
    await restart();
  }

  els.files.addEventListener('change', () => {
    const list = Array.from(els.files.files);
    els.files.value = '';
    choose(list);
  });
  els.defaults.addEventListener('click', () => {
    els.defaults.blur();
    page.chosen = {};
    problem('');
    els.folder.textContent = 'Playing with the default Vintaro.ini and Vintaro.gol.';
    restart();
  });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    if (e.dataTransfer && e.dataTransfer.files.length > 0) choose(Array.from(e.dataTransfer.files));
  });

  restart();
})();
