// The game's folder: the site's default Vintaro.ini and Vintaro.gol, or the
// files the player chose or dropped on the page instead. A PNG picture is
// packed into Vintaro.gol by the game module itself.
import {geometry, page} from './page-state.js';

const $ = (id) => document.getElementById(id);
const els = {files: $('files'), defaults: $('defaults'), folder: $('folder'),
  problem: $('file-problem')};

const defaults = Promise.all(['Vintaro.ini', 'Vintaro.gol'].map((name) =>
  fetch(name).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null)));

// The files a run starts with, by name.
export async function folder() {
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

// Takes the player's files, then starts the game again with them.
async function choose(fileList, restart) {
  const chosen = Object.assign({}, page.chosen);
  const names = [];
  try {
    for (const file of fileList) {
      const bytes = new Uint8Array(await file.arrayBuffer());
      if (kPng.every((b, i) => bytes[i] === b)) {
        chosen.picture = await pictureOf(bytes);
        delete chosen.gol;
      } else if (/\.ini$/i.test(file.name)) {
        chosen.ini = bytes;
      } else if (/\.gol$/i.test(file.name)) {
        chosen.gol = bytes;
        delete chosen.picture;
      } else {
        throw new Error('it is neither a Vintaro.ini, a Vintaro.gol nor a PNG picture');
      }
      names.push(file.name);
    }
  } catch (e) {
    problem(`${fileList.length === 1 ? fileList[0].name : 'A file'}: ${e.message}.`);
    return;
  }
  if (names.length === 0) return;
  problem('');
  page.chosen = chosen;
  const parts = [];
  parts.push(chosen.ini ? 'your Vintaro.ini' : 'the default Vintaro.ini');
  if (chosen.picture) parts.push('your picture as Vintaro.gol');
  else parts.push(chosen.gol ? 'your Vintaro.gol' : 'the default Vintaro.gol');
  els.folder.textContent = `Playing with ${parts.join(' and ')}.`;
  await restart();
}

// The file chooser, the default files button and dropping on the page.
export function listenForFiles(restart) {
  els.files.addEventListener('change', () => {
    const list = Array.from(els.files.files);
    els.files.value = '';
    choose(list, restart);
  });
  els.defaults.addEventListener('click', () => {
    els.defaults.blur();
    page.chosen = {};
    problem('');
    els.folder.textContent = 'Playing with the default Vintaro.ini and Vintaro.gol.';
    restart();
  });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    if (e.dataTransfer && e.dataTransfer.files.length > 0) {
      choose(Array.from(e.dataTransfer.files), restart);
    }
  });
}
