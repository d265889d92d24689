// The game's window on the page: its caption and close control, the canvas
// of its client area, and the notices in its place while the game loads or
// after it has ended.
import {page, trace} from './page-state.js';

const $ = (id) => document.getElementById(id);
const els = {
  window: $('window'), caption: $('caption-text'), close: $('close'), canvas: $('client'),
  loading: $('loading'), ended: $('ended'), endedWhy: $('ended-why'), again: $('again'),
};
export const context = els.canvas.getContext('2d', {alpha: false});

let geometry = null;

// The canvas takes the client area's size, shown at the largest whole number
// of device pixels per game pixel that fits.
export function sizeClientArea(g) {
  if (geometry === null) {
    els.canvas.width = g.client.width;
    els.canvas.height = g.client.height;
  }
  geometry = g;
  fitCanvas();
}

function fitCanvas() {
  if (geometry === null) return;
  const {width, height} = geometry.client;
  const ratio = window.devicePixelRatio || 1;
  const room = Math.max(1, Math.floor(Math.min(
      (window.innerWidth - 32) * ratio / width, (window.innerHeight - 60) * ratio / height)));
  els.canvas.style.width = `${(width * room) / ratio}px`;
  els.canvas.style.height = `${(height * room) / ratio}px`;
}
window.addEventListener('resize', fitCanvas);

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

// The program is over, and its window goes with it.
export function showEnded(why) {
  els.close.disabled = true;
  els.loading.hidden = true;
  els.window.hidden = true;
  els.endedWhy.textContent = why;
  els.ended.hidden = false;
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
