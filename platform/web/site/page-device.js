// The page and the device it is on: a page hidden while the ball is in play
// pauses the game (a throttled timer must not play on without the player),
// the screen is kept awake while the ball is in play, and the page goes full
// screen on request.
import {releasePads} from './page-pad.js';
import {currentGeometry, onPlay, page, send} from './page-state.js';
import {releaseTouch} from './page-touch.js';

const $ = (id) => document.getElementById(id);
const els = {note: $('paused-note'), fullscreen: [$('fullscreen'), $('fullscreen-touch')]};

let hiddenPause = false;  // asked for by hiding the page, not yet seen

document.addEventListener('visibilitychange', () => {
  keepAwake();
  if (document.visibilityState !== 'hidden' || !currentGeometry()) return;
  releasePads();
  releaseTouch();
  // The module pauses only a game whose ball is in play, after any key
  // already on its way: the page's idea of the play may be behind.
  hiddenPause = page.play === 'playing';
  send(currentGeometry().events.pause);
});

onPlay((play) => {
  if (play === 'paused' && hiddenPause) els.note.hidden = false;
  if (play !== 'paused') els.note.hidden = true;
  hiddenPause = false;
  keepAwake();
});

// The Screen Wake Lock, where the browser has it.
let awake = null;  // the lock held
let asking = false;

async function keepAwake() {
  if (!navigator.wakeLock || asking) return;
  const wanted = page.play === 'playing' && document.visibilityState === 'visible';
  if (wanted && !awake) {
    asking = true;
    try {
      awake = await navigator.wakeLock.request('screen');
      awake.addEventListener('release', () => {
        awake = null;
      });
    } catch {
      // Refused (a battery saver, say): the screen may sleep.
      return;
    } finally {
      asking = false;
    }
    keepAwake();  // the play may have changed meanwhile
  } else if (!wanted && awake) {
    const lock = awake;
    awake = null;
    lock.release();
  }
}

// Full screen: the caption's control on a desktop, the touch bar's on a phone.
function showFullscreen() {
  for (const button of els.fullscreen) {
    button.hidden = !document.fullscreenEnabled;
    const label = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
    button.title = label;
    button.setAttribute('aria-label', label);
    if (button.id === 'fullscreen-touch') button.textContent = label;
  }
}

for (const button of els.fullscreen) {
  button.addEventListener('click', () => {
    button.blur();
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else {
      document.documentElement.requestFullscreen({navigationUI: 'hide'}).catch(() => {});
    }
  });
}
document.addEventListener('fullscreenchange', showFullscreen);
showFullscreen();
