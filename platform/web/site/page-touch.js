// Touch: a finger on the board, or on the strip below it, steers the paddle
// to where it is; a tap on the board starts or resumes the game, and the
// play button starts, pauses and resumes it. The game module turns all of it
// into its own keys (the pump's steering), so a game played with a finger
// records and replays as one played with the keys. A mouse is left to
// clicking: it never steers.
import {currentGeometry, onPlay, page, send} from './page-state.js';

const $ = (id) => document.getElementById(id);
const els = {stage: $('stage'), frame: $('client-frame'), strip: $('steer'), play: $('play')};

let finger = null;  // the pointer that steers

// The finger's x on the board, in the game's pixels.
function boardX(e) {
  const r = els.frame.getBoundingClientRect();
  const x = Math.round((e.clientX - r.left) / r.width * currentGeometry().board.width);
  return Math.min(Math.max(x, 0), currentGeometry().board.width - 1);
}

function steer(e) {
  if (e.pointerId !== finger || !currentGeometry()) return;
  send(currentGeometry().events.steer + boardX(e));
}

function press(e, resume) {
  if (e.pointerType === 'mouse' || !currentGeometry()) return;
  e.preventDefault();
  finger = e.pointerId;
  e.currentTarget.setPointerCapture(e.pointerId);
  if (resume) send(currentGeometry().events.resume);
  steer(e);
}

function lift(e) {
  if (e.pointerId !== finger) return;
  finger = null;
  send(currentGeometry().events.steerEnd);
}

for (const [area, resume] of [[els.frame, true], [els.strip, false]]) {
  area.addEventListener('pointerdown', (e) => press(e, resume));
  area.addEventListener('pointermove', steer);
  area.addEventListener('pointerup', lift);
  area.addEventListener('pointercancel', lift);
}

// No long-press menu, text selection or page gesture gets in the way of play.
els.stage.addEventListener('contextmenu', (e) => {
  if (e.pointerType === 'touch' || e.pointerType === 'pen') e.preventDefault();
});

els.play.addEventListener('click', () => {
  els.play.blur();
  const events = currentGeometry().events;
  send(page.play === 'playing' ? events.pause : events.resume);
});

onPlay((play) => {
  els.play.textContent = {playing: 'Pause', paused: page.started ? 'Resume' : 'Start',
    over: 'Start'}[play];
  els.play.disabled = play === 'over';
});

// Let go of the finger when the page goes: no lift comes for it then.
export function releaseTouch() {
  if (finger === null) return;
  finger = null;
  send(currentGeometry().events.steerEnd);
}
