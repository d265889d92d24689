// The player's input: keys become the characters the game reads, handed to
// the running game; while a box is up every key goes to it. The first key
// or click also starts the sound, as browsers ask.
import {page} from './page-state.js';
import {answerBox} from './page-boxes.js';

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
  if (page.sound.state === 'waiting') page.sound.start();
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
  if (page.sound.state === 'waiting') page.sound.start();
});
