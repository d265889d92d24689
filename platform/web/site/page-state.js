// What the page shows and did, for the player's eyes and for tests
// (window.vintaro), and the window's geometry as the game module gives it.

export const page = {
  status: ['', '', ''],
  boxes: [],        // every box shown: caption, text, icon
  box: null,        // the box up now
  trace: [],        // the messages the game dispatched and what it sent out
  exitCode: null,
  firstBoardAt: null,
  presents: 0,
  lastPresentAt: null,
  run: null,
  sound: new VintaroSound(),
  chosen: {},       // the player's files: ini, gol (bytes), picture (RGB)
  play: 'paused',   // as the game tells it: paused, playing or over
  started: false,   // the ball of this run has been in play
};
window.vintaro = page;

// The running game's input, for a window that is shown.
export function send(event) {
  const run = page.run;
  if (run && run.alive && run.shown) run.push(event);
}

const playListeners = [];
export function onPlay(listener) {
  playListeners.push(listener);
}

export function setPlay(play) {
  page.play = play;
  if (play === 'playing') page.started = true;
  for (const listener of playListeners) listener(play);
}

const kMaxTrace = 100000;

export function trace(kind, code) {
  if (page.trace.length < kMaxTrace) page.trace.push({t: performance.now(), kind, code});
}

// The browser's Shift_JIS is code page 932 (0x5C a backslash).
export const cp932 = new TextDecoder('shift_jis');

// The game's sizes, colours and events (vintaro_geometry): the same in every
// instance of the module, known once the first one is there.
let known = null;
let settle;
export const geometry = new Promise((resolve) => {
  settle = resolve;
});

export function learnGeometry(module) {
  if (known === null) {
    known = JSON.parse(module.UTF8ToString(module._vintaro_geometry()));
    settle(known);
  }
  return known;
}

export function currentGeometry() {
  return known;
}
