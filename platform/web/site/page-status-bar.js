// The status bar below the board, drawn on the canvas in the classic sunken
// look: the parts, borders and size grip are the game's own (its geometry),
// the texts the page's.
import {cp932, page, trace} from './page-state.js';
import {context} from './page-window.js';

let bar = null;

export function layOutStatusBar(g) {
  bar = g.statusBar;
}

// The texts also stand as text on the page, for screen readers.
export function setStatusText(part, bytes) {
  page.status[part] = cp932.decode(bytes);
  document.getElementById(`status-${part}`).textContent = page.status[part];
  trace('status', part);
}

function fill(fills, y0) {
  for (const f of fills) {
    context.fillStyle = f.colour;
    context.fillRect(f.x, y0 + f.y, f.w, f.h);
  }
}

export function drawStatusBar() {
  const c = context;
  const y0 = bar.y;
  c.fillStyle = bar.face;
  c.fillRect(0, y0, bar.width, bar.height);
  fill(bar.borders, y0);
  c.font = '12px "MS UI Gothic", "IPAGothic", "Noto Sans CJK JP", sans-serif';
  c.textBaseline = 'middle';
  bar.parts.forEach((p, i) => {
    if (p.w < 2) return;
    c.save();
    c.beginPath();
    c.rect(p.x + 1, y0 + p.y + 1, p.w - 2, p.h - 2);
    c.clip();
    c.fillStyle = bar.text;
    c.fillText(page.status[i], p.x + 1 + bar.textInset, y0 + p.y + p.h / 2);
    c.restore();
  });
  fill(bar.grip, y0);
}
