// The page as the game's window system. Each run of the game is a fresh
// instance of the WebAssembly module, given a host object (Module.host) for
// its calls: this file keeps that lifecycle, and the other page-*.js files
// do the window (canvas and chrome), its layout, the status bar, the boxes,
// the keys, touch, game pads, the page's comings and goings and the
// player's files.
import {openBox, hideBox} from './page-boxes.js';
import './page-device.js';
import {folder, listenForFiles, recordingReady, restoreFiles, useDefaults} from './page-files.js';
import './page-keys.js';
import {layOut} from './page-layout.js';
import './page-pad.js';
import {currentGeometry, learnGeometry, page, setPlay, trace} from './page-state.js';
import {drawStatusBar, layOutStatusBar, setStatusText} from './page-status-bar.js';
import './page-touch.js';
import * as win from './page-window.js';

const sound = page.sound;

// One run of the game: a module instance and the events it has not taken.
class Run {
  constructor() {
    this.events = [];
    this.wake = null;
    this.timer = 0;
    this.shown = false;
    this.alive = true;
    this.ended = false;
    this.closed = false;
  }

  push(event) {
    if (!this.alive) return;
    // Where the finger is now is all that counts of where it was.
    const steer = currentGeometry().events.steer;
    if (event >= steer && this.events.length > 0 && this.events[this.events.length - 1] >= steer) {
      this.events.pop();
    }
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
        win.setCaption(title);
      },
      showWindow() {
        if (!run.alive) return;
        run.shown = true;
        win.showWindow();
        drawStatusBar();
        // Once the first board is on the screen: the audio's set-up takes
        // the page's thread a while.
        requestAnimationFrame(() => setTimeout(() => sound.prepare()));
      },
      setStatusText(part, bytes) {
        if (!run.alive) return;
        setStatusText(part, bytes);
        if (run.shown) drawStatusBar();
      },
      present(pixels, width, height, x, y, w, h) {
        if (run.alive) win.present(pixels, width, height, x, y, w, h);
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
        if (run.alive) openBox(text, caption, error);
      },
      closeBox() {
        hideBox();
      },
      nextEvent() {
        if (!run.alive || run.events.length === 0) return currentGeometry().events.none;
        return run.events.shift();
      },
      wait(timeoutMs) {
        // A run cut off in the victory tune's sleep comes back here, and
        // sleeps for good.
        if (!run.alive) return new Promise(() => {});
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
      play(code) {
        if (!run.alive) return;
        const plays = currentGeometry().play;
        setPlay(Object.keys(plays).find((name) => plays[name] === code));
      },
      exited(code) {
        if (!run.alive) return;
        run.alive = false;
        run.ended = true;
        page.exitCode = code;
        trace('exit', code);
        setPlay('over');
        if (!run.shown) {
          win.showEnded('It could not start with these files.', {board: false,
            defaults: Object.keys(page.chosen).length > 0});
        } else {
          // A closed window goes; the last board of a game played out stays.
          win.showEnded(page.status[2] ? `It ended at${page.status[2]}.` : '',
              {board: !run.closed});
        }
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

// The game's WebAssembly, compiled once for every run: a restart neither
// fetches it again nor meets a newer build's, which a service worker may
// have kept meanwhile.
let compiled = null;
function gameWasm() {
  if (!compiled) {
    const early = window.vintaroEarlyWasm;
    window.vintaroEarlyWasm = null;
    compiled = (early || WebAssembly.compileStreaming(fetch('vintaro.wasm'))).catch(() =>
      // A server that sends it as another type.
      fetch('vintaro.wasm').then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b)));
    compiled.catch(() => {
      compiled = null;
    });
  }
  return compiled;
}

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
  page.started = false;
  setPlay('paused');
  win.showLoading();

  // The geometry comes first: a remembered picture is checked against it.
  const [module, files] = await Promise.all([
    gameWasm().then((wasm) => createVintaro({
      host: run.host(), print: console.log, printErr: console.warn,
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(wasm, imports).then((instance) => done(instance, wasm),
            (e) => win.loadFailed(e));
        return {};
      },
    })).then((m) => {
      learnGeometry(m);
      return m;
    }),
    folder(),
  ]);
  if (page.run !== run) return;
  const geometry = learnGeometry(module);
  win.sizeClientArea(geometry);
  layOut(geometry);
  layOutStatusBar(geometry);
  win.clearClient();
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
  recordingReady();
  module.callMain([]);
}

function restart() {
  return startGame().catch((e) => {
    console.error(e);
    win.loadFailed(e);
  });
}
page.restart = restart;

// The game so far as a vintaro-replay script, or '' before it has started;
// and its state as vintaro-replay's `state` prints it.
page.recording = () =>
  page.module ? page.module.UTF8ToString(page.module._vintaro_recording()) : '';
page.state = () => (page.module ? page.module.UTF8ToString(page.module._vintaro_state()) : '');

win.onClose(() => {
  const run = page.run;
  if (run && run.alive && run.shown) {
    run.closed = true;
    run.push(currentGeometry().events.close);
  }
});
win.onPlayAgain(restart);
win.onPlayWithDefaults(() => useDefaults(restart));
listenForFiles(restart);

sound.onchange = (state) => {
  document.getElementById('sound').textContent = {
    waiting: 'Sound starts with your first key or click.',
    starting: 'Sound is loading\u2026',
    on: 'Sound: General MIDI by FluidSynth with the TimGM6mb soundfont.',
    off: sound.why,
  }[state];
};

restoreFiles();
restart();
