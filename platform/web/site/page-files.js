// The game's folder: the site's default Vintaro.ini and Vintaro.gol, or the
// files the player chose or dropped on the page instead, kept for the next
// visit. A PNG picture is packed into Vintaro.gol by the game module itself.
// And the other way: the game so far, downloaded as a recording.
import {currentGeometry, geometry, page, send} from './page-state.js';

const $ = (id) => document.getElementById(id);
const els = {files: $('files'), defaults: $('defaults'), folder: $('folder'),
  problem: $('file-problem'), download: $('download'), ask: $('ask'), askText: $('ask-text')};

const defaults = Promise.all(['Vintaro.ini', 'Vintaro.gol'].map((name) =>
  fetch(name).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null)));

let restored = Promise.resolve();

// The files a run starts with, by name.
export async function folder() {
  await restored;
  const [ini, gol] = await defaults;
  const files = {};
  const chosenIni = page.chosen.ini;
  const chosenGol = page.chosen.gol;
  if (chosenIni) files['Vintaro.ini'] = chosenIni;
  else if (ini) files['Vintaro.ini'] = new Uint8Array(ini);
  if (chosenGol) files['Vintaro.gol'] = chosenGol;
  else if (gol && !page.chosen.picture) files['Vintaro.gol'] = new Uint8Array(gol);
  return files;
}

function problem(text) {
  els.problem.textContent = text;
  els.problem.hidden = !text;
}

// A PNG as the RGB pixels of the reward picture, top row first.
async function pictureOf(bytes) {
  const {width, height} = (await geometry).picture;
  const image = await createImageBitmap(new Blob([bytes], {type: 'image/png'}),
      {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
  if (image.width !== width || image.height !== height) {
    throw new Error(`the picture is ${image.width} \u00d7 ${image.height} pixels; ` +
        `Vintaro.gol holds ${width} \u00d7 ${height}`);
  }
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const c = canvas.getContext('2d', {willReadFrequently: true});
  c.drawImage(image, 0, 0);
  const rgba = c.getImageData(0, 0, width, height).data;
  const rgb = new Uint8Array(width * height * 3);
  for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
    rgb[j] = rgba[i];
    rgb[j + 1] = rgba[i + 1];
    rgb[j + 2] = rgba[i + 2];
  }
  return rgb;
}

const kPng = [0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A];

// The player's files, by name, as the page holds them: a PNG is kept as its
// bytes too, to be remembered.
async function read(files, into) {
  for (const {name, bytes} of files) {
    if (kPng.every((b, i) => bytes[i] === b)) {
      into.picture = await pictureOf(bytes);
      into.png = bytes;
      delete into.gol;
    } else if (/\.ini$/i.test(name)) {
      into.ini = bytes;
    } else if (/\.gol$/i.test(name)) {
      into.gol = bytes;
      delete into.picture;
      delete into.png;
    } else {
      throw new Error('it is neither a Vintaro.ini, a Vintaro.gol nor a PNG picture');
    }
  }
  return into;
}

function describe() {
  const chosen = page.chosen;
  const parts = [chosen.ini ? 'your Vintaro.ini' : 'the default Vintaro.ini'];
  if (chosen.picture) parts.push('your picture as Vintaro.gol');
  else parts.push(chosen.gol ? 'your Vintaro.gol' : 'the default Vintaro.gol');
  els.folder.textContent = `Playing with ${parts.join(' and ')}.`;
}

// The chosen files stay in the browser for the next visit.
const kKept = 'vintaro.files';

function base64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(text);
}

function keep() {
  const kept = {};
  if (page.chosen.ini) kept['Vintaro.ini'] = base64(page.chosen.ini);
  if (page.chosen.gol) kept['Vintaro.gol'] = base64(page.chosen.gol);
  if (page.chosen.png) kept['picture.png'] = base64(page.chosen.png);
  try {
    if (Object.keys(kept).length > 0) localStorage.setItem(kKept, JSON.stringify(kept));
    else localStorage.removeItem(kKept);
  } catch {
    // Storage full or refused: the files last this visit only.
  }
}

// The files kept from the last visit, if any, for the first game.
export function restoreFiles() {
  restored = (async () => {
    try {
      const kept = JSON.parse(localStorage.getItem(kKept) || '{}');
      const files = Object.entries(kept).map(([name, text]) =>
        ({name, bytes: Uint8Array.from(atob(text), (c) => c.charCodeAt(0))}));
      if (files.length === 0) return;
      page.chosen = await read(files, {});
      describe();
    } catch {
      page.chosen = {};
    }
  })();
}

// The running game is worth asking about once its ball has been in play and
// until it is over.
function inPlay() {
  return page.run && page.run.alive && page.run.shown && page.started && page.play !== 'over';
}

// Asks before a new game throws away the one in play, paused meanwhile.
async function mayRestart(what) {
  if (!inPlay()) return true;
  send(currentGeometry().events.pause);
  els.askText.textContent = `${what} The game in play ends.`;
  els.ask.returnValue = '';
  els.ask.showModal();
  await new Promise((resolve) => els.ask.addEventListener('close', resolve, {once: true}));
  return els.ask.returnValue === 'yes';
}

// Takes the player's files, then starts the game again with them.
async function choose(fileList, restart) {
  let chosen;
  try {
    const files = await Promise.all(Array.from(fileList, async (file) =>
      ({name: file.name, bytes: new Uint8Array(await file.arrayBuffer())})));
    chosen = await read(files, Object.assign({}, page.chosen));
  } catch (e) {
    // The browser's own messages end with a full stop of their own.
    problem(`${fileList.length === 1 ? fileList[0].name : 'A file'}: ` +
        `${e.message.replace(/\.$/, '')}.`);
    return;
  }
  if (fileList.length === 0) return;
  problem('');
  if (!await mayRestart('Start a new game with these files?')) return;
  page.chosen = chosen;
  keep();
  describe();
  await restart();
}

// Back to the site's own files, for this visit and the next.
export function useDefaults(restart) {
  page.chosen = {};
  keep();
  problem('');
  describe();
  return restart();
}

export function recordingReady() {
  els.download.disabled = false;
}

// The game so far as a file, for vintaro-replay.
function download() {
  const url = URL.createObjectURL(new Blob([page.recording()], {type: 'text/plain'}));
  const link = document.createElement('a');
  link.href = url;
  link.download = 'vintaro-recording.txt';
  link.click();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}

// The file chooser, the default files button, dropping on the page and the
// recording's download.
export function listenForFiles(restart) {
  els.files.addEventListener('change', () => {
    const list = Array.from(els.files.files);
    els.files.value = '';
    // Space is the game's again, not the chooser's.
    els.files.blur();
    choose(list, restart);
  });
  els.defaults.addEventListener('click', async () => {
    els.defaults.blur();
    if (await mayRestart('Start a new game with the default files?')) useDefaults(restart);
  });
  els.download.addEventListener('click', () => {
    els.download.blur();
    download();
  });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    if (e.dataTransfer && e.dataTransfer.files.length > 0) {
      choose(Array.from(e.dataTransfer.files), restart);
    }
  });
}
