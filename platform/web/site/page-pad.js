// Game pads (the Gamepad API, in its standard layout): their controls go to
// the game module as pressed and released, the left stick as its position;
// the module maps them to the game's own keys and repeats them, as the
// desktop does. While a box is up A or Start answers it; while the page asks
// about the running game, and after a game, it presses the button that has
// the focus, and nothing of the pad reaches the game.
import {answerBox} from './page-boxes.js';
import {currentGeometry, page, send} from './page-state.js';

// Standard layout: A, Start, the shoulders and the d-pad's left and right.
const kButtons = [[0, 'start'], [9, 'start'], [4, 'farLeft'], [5, 'farRight'], [14, 'left'],
  [15, 'right']];
const kStickSteps = 1000;  // the stick's x as the module takes it, -1000 to 1000

let held = new Set();
let stick = 0;
let polling = false;

function pads() {
  return Array.from(navigator.getGamepads ? navigator.getGamepads() : [])
      .filter((pad) => pad && pad.connected);
}

const asking = () => document.querySelector('dialog[open]') !== null;

function pressed(control) {
  if (control === 'start' && page.box) {
    answerBox();
  } else if (control === 'start' && (asking() || page.exitCode !== null) &&
      document.activeElement instanceof HTMLButtonElement) {
    document.activeElement.click();
  } else if (!asking()) {
    send(currentGeometry().events.padPressed + currentGeometry().pad[control]);
  }
}

function update(now, x) {
  const events = currentGeometry().events;
  for (const control of now) {
    if (!held.has(control)) pressed(control);
  }
  for (const control of held) {
    if (!now.has(control)) send(events.padReleased + currentGeometry().pad[control]);
  }
  held = now;
  // In hundredths: a resting stick's jitter is no event.
  const position = Math.round(x * 100) * (kStickSteps / 100);
  if (position !== stick && !asking()) {
    stick = position;
    send(events.stick + kStickSteps + position);
  }
}

// Once a frame, while a pad is there: the browser has no events for its
// buttons.
function poll() {
  const connected = pads();
  if (currentGeometry()) {
    const now = new Set();
    let x = 0;
    for (const pad of connected) {
      for (const [index, control] of kButtons) {
        if (pad.buttons[index] && pad.buttons[index].pressed) now.add(control);
      }
      if (pad.axes.length > 0 && Math.abs(pad.axes[0]) > Math.abs(x)) x = pad.axes[0];
    }
    update(now, x);
  }
  polling = connected.length > 0;
  if (polling) requestAnimationFrame(poll);
}

window.addEventListener('gamepadconnected', () => {
  if (!polling) poll();
});

// Everything let go when the page goes: no frame polls the pad meanwhile.
export function releasePads() {
  if (currentGeometry()) update(new Set(), 0);
}
