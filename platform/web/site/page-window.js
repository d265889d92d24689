// The game's window on the page: its caption and close control, the canvas
// of its client area, and the notices in its place while the game loads or
// after it has ended.
import {page, trace} from './page-state.js';

const $ = (id) => document.getElementById(id);
const els = {
  stage: $('stage'), window: $('window'), caption: $('caption-text'), close: $('close'),
  canvas: $('client'), loading: $('loading'), ended: $('ended'), endedWhy: $('ended-why'),
  again: $('again'), againDefaults: $('again-defaults'),
};
export const context = els.canvas.getContext('2d', {alpha: false});

let geometry = null;

// The canvas holds the client area, pixel for pixel; page-layout.js sizes it
// on the page.
export function sizeClientArea(g) {
  if (geometry === null) {
    els.canvas.width = g.client.width;
    els.canvas.height = g.client.height;
  }
  geometry = g;
}

// The whole client area in the background colour.
export function clearClient() {
  context.fillStyle = geometry.background;
  context.fillRect(0, 0, geometry.client.width, geometry.client.height);
}

// Part of the game's pixels on the canvas.
export function present(pixels, width, height, x, y, w, h) {
  context.putImageData(new ImageData(pixels, width, height), 0, 0, x, y, w, h);
  page.presents++;
  trace('present', 0);
  page.lastPresentAt = performance.now();
  if (page.firstBoardAt === null) page.firstBoardAt = page.lastPresentAt;
}

export function setCaption(title) {
  document.title = title;
  els.caption.textContent = title;
}

// A new run loads: no window yet.
export function showLoading() {
  els.ended.hidden = true;
  els.stage.classList.remove('over');
  els.window.hidden = true;
  els.loading.hidden = false;
  els.close.disabled = true;
}

export function hideLoading() {
  els.loading.hidden = true;
}

export function loadFailed(error) {
  els.loading.textContent = `The game could not be loaded: ${error}`;
  els.loading.hidden = false;
}

export function showWindow() {
  els.loading.hidden = true;
  els.window.hidden = false;
  els.close.disabled = false;
}

// The program is over. Its window goes with it, or stays under the notice
// as the last board (`board`); `defaults` offers the default files.
export function showEnded(why, {board = false, defaults = false} = {}) {
  els.close.disabled = true;
  els.loading.hidden = true;
  els.window.hidden = !board;
  els.stage.classList.toggle('over', board);
  els.endedWhy.textContent = why;
  els.againDefaults.hidden = !defaults;
  els.ended.hidden = false;
  els.again.focus({preventScroll: true});
}

// The close control in the caption, and the button that plays again.
export function onClose(close) {
  els.close.addEventListener('click', () => {
    els.close.blur();
    close();
  });
}

export function onPlayAgain(again) {
  els.again.addEventListener('click', () => {
    els.again.blur();
    again();
  });
}

export function onPlayWithDefaults(again) {
  els.againDefaults.addEventListener('click', () => {
    els.againDefaults.blur();
    again();
  });
}
