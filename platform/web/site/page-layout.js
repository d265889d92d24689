// The page's layout, for any window from a phone to a 4K screen: the board
// as large as the viewport allows with the status bar and, on a touch
// screen, the touch controls, so that nothing needs a scroll to play. It is
// drawn at a whole number of device pixels per game pixel where that fills
// the room well, else at the largest scale that fits, pixel for pixel above
// 1 and smoothed below. Where the canvas's own status bar would be too small
// to read, the texts stand beneath the board as the page's text instead.
const $ = (id) => document.getElementById(id);
const els = {desk: $('desk'), stage: $('stage'), touchBar: $('touch-bar')};

// The page's measures, in CSS pixels, as vintaro.css draws them.
const kMargin = 8;        // around the page (4 on a phone)
const kGap = 8;           // between its parts
const kWindowFrame = 8;   // the window's border and padding, both sides together
const kCaption = 20;
const kTextStatus = 22;   // the status bar as the page's text: one line
const kPhoneStatus = 38;  // two on a phone
const kTouchBar = 120;    // the touch controls below the board: the strip, the buttons
const kTouchColumn = 96;  // or beside it, in landscape
const kSidePanel = 300;   // the page's controls beside the game, where there is room
const kBarFont = 12;      // the canvas's status text
const kReadable = 11;     // the least size of a status text
const kWellFilled = 0.8;  // a whole scale is taken if it keeps this much of the largest

const coarse = matchMedia('(pointer: coarse)');
let geometry = null;

export function layOut(g) {
  geometry = g;
  fit();
}

// Device pixels per game pixel, given the largest that fits.
function sharpScale(largest) {
  if (largest < 1) return largest;
  const whole = Math.floor(largest);
  return whole >= kWellFilled * largest ? whole : largest;
}

function fit() {
  if (geometry === null) return;
  const width = document.documentElement.clientWidth;
  const height = document.documentElement.clientHeight;
  const ratio = window.devicePixelRatio || 1;
  const touch = coarse.matches || navigator.maxTouchPoints > 0;
  const phone = touch && Math.min(width, height) < 600;
  const beside = touch && width > height;
  const margin = phone ? kMargin / 2 : kMargin;
  const roomW = width - 2 * margin - (phone ? 0 : kWindowFrame) - (beside ? kGap + kTouchColumn : 0);
  const roomH = height - 2 * margin - (phone ? 0 : kWindowFrame + kCaption) -
      (touch && !beside ? kGap + kTouchBar : 0);

  const board = geometry.board;
  const client = geometry.client;
  const scaleFor = (rows, below) =>
    sharpScale(Math.min(roomW * ratio / board.width, (roomH - below) * ratio / rows));
  let scale = scaleFor(client.height, 0);
  const textStatus = scale / ratio * kBarFont < kReadable;
  if (textStatus) scale = scaleFor(board.height, phone ? kPhoneStatus : kTextStatus);

  // Whole device pixels, so that a whole scale lands on the pixel grid.
  const px = (gamePixels) => `${Math.round(gamePixels * scale) / ratio}px`;
  const style = els.desk.style;
  style.setProperty('--board-width', px(board.width));
  style.setProperty('--board-height', px(textStatus ? board.height : client.height));
  style.setProperty('--canvas-height', px(client.height));
  const classes = els.desk.classList;
  classes.toggle('phone', phone);
  classes.toggle('touch', touch);
  classes.toggle('beside', beside);
  classes.toggle('text-status', textStatus);
  classes.toggle('smooth', scale < 1);
  els.touchBar.hidden = !touch;

  const stageWidth = Math.round(board.width * scale) / ratio + (phone ? 0 : kWindowFrame) +
      (beside ? kGap + kTouchColumn : 0);
  classes.toggle('side', !phone && width - 2 * margin - stageWidth >= kGap + kSidePanel);
}

window.addEventListener('resize', fit);
matchMedia('(orientation: portrait)').addEventListener('change', fit);
coarse.addEventListener('change', fit);
