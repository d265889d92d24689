// The player's input: keys become the characters the game reads, handed to
// the running game; while a box is up every key goes to it. Tab and the
// keys of a focused control stay the page's, so that every control can be
// reached and used from the keyboard. The first key or click also starts
// the sound, as browsers ask.
import {page, send} from './page-state.js';
import {answerBox} from './page-boxes.js';

const capsLock = document.getElementById('caps-lock');
const ask = document.getElementById('ask');

// A character as the game reads it, or null for a key it never sees.
function characterOf(e) {
  if (e.ctrlKey || e.metaKey || e.altKey) return null;
  switch (e.key) {
    case 'Enter': return 0x0D;
    case 'Backspace': return 0x08;
    case 'Escape': return 0x1B;
    default: break;
  }
  const cp = e.key.codePointAt(0);
  return e.key.length === String.fromCodePoint(cp).length ? cp : null;
}

// Enter and Space belong to a focused button or file chooser.
function forControl(e) {
  const target = e.target instanceof Element ? e.target : null;
  return (e.key === 'Enter' || e.key === ' ') && target !== null &&
      target.closest('button, input, a, label, select, textarea') !== null;
}

document.addEventListener('keydown', (e) => {
  if (page.sound.state === 'waiting') page.sound.start();
  if (e.getModifierState) capsLock.hidden = !e.getModifierState('CapsLock');
  if (page.box) {
    // A box takes every key; Enter, Space and Escape answer it.
    e.preventDefault();
    if (e.key === 'Enter' || e.key === ' ' || e.key === 'Escape') answerBox();
    return;
  }
  if (ask.open || e.key === 'Tab' || forControl(e)) return;
  const run = page.run;
  if (!run || !run.alive || !run.shown) return;
  const c = characterOf(e);
  if (c === null) return;
  e.preventDefault();
  send(c);
});
document.addEventListener('pointerdown', () => {
  if (page.sound.state === 'waiting') page.sound.start();
});
