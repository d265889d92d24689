// The game's modal message boxes: a dialog over the page, answered with
// Enter, Space or Escape (page-keys.js) or a click on OK.
import {cp932, currentGeometry, page} from './page-state.js';
import {hideLoading} from './page-window.js';

const $ = (id) => document.getElementById(id);
const els = {
  overlay: $('box-overlay'), caption: $('box-caption'), icon: $('box-icon'), text: $('box-text'),
  ok: $('box-ok'),
};

export function openBox(text, caption, error) {
  const box = {caption: cp932.decode(caption), text: cp932.decode(text),
    icon: error ? 'error' : 'warning'};
  page.box = box;
  page.boxes.push(box);
  hideLoading();
  els.caption.textContent = box.caption;
  els.text.textContent = box.text;
  els.icon.className = `box-icon ${box.icon}`;
  els.overlay.hidden = false;
  els.ok.focus();
}

export function hideBox() {
  page.box = null;
  els.overlay.hidden = true;
}

// OK: the box goes at once, and the game hears of it.
export function answerBox() {
  if (!page.box || !page.run) return;
  hideBox();
  page.run.push(currentGeometry().events.boxAnswered);
}

els.ok.addEventListener('click', answerBox);
