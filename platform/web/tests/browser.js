// What the browser tests share: the site served on 127.0.0.1, Debian's
// Chromium driven by playwright-core, the page's record of the game, and the
// host's vintaro-replay to compare with.
'use strict';

const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {chromium} = require('playwright-core');
const {serve} = require('../serve.js');

const site = process.env.VINTARO_SITE;
const replayTool = process.env.VINTARO_REPLAY;

const kChromiumFlags = [
  '--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--force-color-profile=srgb',
];

// Chromium as root needs --no-sandbox; playwright gives it a fresh profile
// directory of its own.
async function launch({sound = false, args: more = []} = {}) {
  const args = [...kChromiumFlags, ...more];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  if (sound) args.push('--autoplay-policy=no-user-gesture-required');
  return chromium.launch({executablePath: '/usr/bin/chromium', headless: true, args});
}

// The game's page over http, with `folder` in place of the site's default
// files (a Buffer, or null for a file that is not there), on `host` (a name
// the browser maps to 127.0.0.1), over a slow link, or with `init` run in the
// page before its own scripts. `device` gives the browser context's options
// (a phone's viewport, touch); `clock` puts the page on playwright's clock,
// which stands still between the test's moves.
async function openGame(browser, {folder = {}, query = '', host = null, slow = false,
  init = null, device = {}, clock = false} = {}) {
  const server = await serve({root: site, folder});
  if (host) server.url = server.url.replace('127.0.0.1', host);
  const page = await browser.newPage({viewport: {width: 1280, height: 1000}, ...device});
  if (clock) await page.clock.install();
  if (slow) await slowLink(page);
  if (init) await page.addInitScript(init);
  const problems = [];
  page.on('pageerror', (e) => problems.push(String(e)));
  page.on('response', (r) => {
    const name = new URL(r.url()).pathname.slice(1);
    if (r.status() >= 400 && folder[name] !== null) problems.push(`${r.status()} ${r.url()}`);
  });
  page.on('console', (m) => {
    // FluidSynth's wasm build says so of a call it does not carry; a file
    // withheld is answered 404, which the response check above judges.
    if (m.type() === 'error' && !/fluid_\w+ is a stub|Failed to load resource/.test(m.text())) {
      problems.push(m.text());
    }
  });
  await page.goto(server.url + query);
  return {page, server, problems, close: async () => {
    await page.close();
    await server.close();
  }};
}

// DevTools' emulation of a 4 Mbit/s link with 40 ms of latency, for the page.
async function slowLink(page) {
  const session = await page.context().newCDPSession(page);
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', {offline: false, latency: 40,
    downloadThroughput: 4e6 / 8, uploadThroughput: 4e6 / 8});
  return session;
}

// Waits until `fn` (run in the page with `arg`) answers truthy, and gives it.
async function until(page, fn, arg, timeout = 20000) {
  const handle = await page.waitForFunction(fn, arg, {timeout, polling: 'raf'});
  return handle.jsonValue();
}

// The same on the test's own clock, for a page whose clock stands still.
async function settle(page, fn, arg, timeout = 20000) {
  for (const end = Date.now() + timeout; ;) {
    const value = await page.evaluate(fn, arg);
    if (value) return value;
    if (Date.now() > end) throw new Error(`not settled: ${fn}`);
    await new Promise((resolve) => setTimeout(resolve, 5));
  }
}

// A game pad in the standard layout in place of the browser's, its buttons
// and stick set by window.setPad(index or 'x', value).
async function stubPad(page) {
  await page.evaluate(() => {
    const buttons = Array.from({length: 17}, () => ({pressed: false, value: 0}));
    const pad = {id: 'a test pad', index: 0, connected: true, mapping: 'standard', buttons,
      axes: [0, 0, 0, 0]};
    navigator.getGamepads = () => [pad];
    window.setPad = (control, value) => {
      if (control === 'x') pad.axes[0] = value;
      else buttons[control] = {pressed: value !== 0, value};
    };
    window.dispatchEvent(new Event('gamepadconnected'));
  });
}

// The game's state as vintaro-replay prints it, from its `state` line.
function stateOf(line) {
  const fields = line.replace(/^\d+ state /, '').split(' ').map((f) => f.split('='));
  return Object.fromEntries(fields.map(([k, v]) => [k, k === 'grid' ? v : Number(v)]));
}

async function pageState(page) {
  return stateOf(await page.evaluate(() => window.vintaro.state()));
}

function replayState(trace) {
  return stateOf(trace.split('\n').filter((l) => / state /.test(l)).pop());
}

// The page as the browser shows it when the tab is left or the phone locked:
// headless Chromium never hides a page by itself.
async function setHidden(page, hidden) {
  await page.evaluate((hide) => {
    if (hide) {
      Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => 'hidden'});
      Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});
    } else {
      delete document.visibilityState;
      delete document.hidden;
    }
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
}

function record(page) {
  return page.evaluate(() => ({
    status: window.vintaro.status, boxes: window.vintaro.boxes, box: window.vintaro.box,
    exitCode: window.vintaro.exitCode, trace: window.vintaro.trace,
    windowShown: !document.getElementById('window').hidden,
    endedShown: !document.getElementById('ended').hidden,
  }));
}

// The board's pixels on the canvas, RGB.
async function boardPixels(page) {
  const base64 = await page.evaluate(() => {
    const rgba = document.getElementById('client').getContext('2d')
        .getImageData(0, 0, 639, 598).data;
    const rgb = new Uint8Array(639 * 598 * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i];
      rgb[j + 1] = rgba[i + 1];
      rgb[j + 2] = rgba[i + 2];
    }
    let text = '';
    for (let i = 0; i < rgb.length; i += 0x8000) {
      text += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
    }
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// The messages the game dispatched, as a vintaro-replay script that gives
// the same keys and ticks in the same order.
function replayScript(trace) {
  const lines = [];
  for (const e of trace) {
    if (e.kind === 'char') lines.push(e.code === 0x20 ? 'key space' : `keys ${String.fromCodePoint(e.code)}`);
    if (e.kind === 'tick') lines.push('tick');
  }
  return lines.join('\n') + '\n';
}

// vintaro-replay in a scratch folder holding `files`: its trace and the
// board of its last snapshot, RGB.
function replay(script, files) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vintaro-web-test-'));
  try {
    for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
    fs.writeFileSync(path.join(dir, 'script.txt'), script + 'snapshot shot.png\n');
    const out = execFileSync(replayTool, ['script.txt'], {cwd: dir, encoding: 'utf8'});
    return {trace: out, board: decodePngBoard(fs.readFileSync(path.join(dir, 'shot.png')))};
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
}

// The top 598 rows of an 8-bit RGB PNG without interlace, as vintaro-replay
// writes its snapshots.
function decodePngBoard(png) {
  const {width, data} = decodePng(png);
  const out = Buffer.alloc(639 * 598 * 3);
  for (let y = 0; y < 598; ++y) data.copy(out, y * 639 * 3, y * width * 3, (y * width + 639) * 3);
  return out;
}

// An 8-bit RGB or RGBA PNG without interlace (a snapshot, a screenshot) as
// RGB rows.
function decodePng(png) {
  const zlib = require('zlib');
  let at = 8;
  let width = 0;
  let height = 0;
  let channels = 3;
  const idat = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const data = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || (data[9] !== 2 && data[9] !== 6) || data[12] !== 0) {
        throw new Error('not 8-bit RGB or RGBA');
      }
      channels = data[9] === 6 ? 4 : 3;
    }
    if (type === 'IDAT') idat.push(data);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const out = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? line[x - channels] : 0;
      const b = previous[x];
      const c = x >= channels ? previous[x - channels] : 0;
      let add = 0;
      if (filter === 1) add = a;
      else if (filter === 2) add = b;
      else if (filter === 3) add = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[x] = (line[x] + add) & 0xFF;
    }
    for (let x = 0; x < width; ++x) line.copy(out, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = line;
  }
  return {width, height, data: out};
}

// Where two boards differ first, or null.
function firstDifference(a, b) {
  for (let i = 0; i < a.length; i += 3) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) {
      const n = i / 3;
      return {x: n % 639, y: Math.floor(n / 639), got: [...a.subarray(i, i + 3)],
        want: [...b.subarray(i, i + 3)]};
    }
  }
  return null;
}

function siteFile(name) {
  return fs.readFileSync(path.join(site, name));
}

module.exports = {launch, openGame, slowLink, until, settle, record, boardPixels, replayScript,
  replay, firstDifference, siteFile, pageState, replayState, setHidden, stubPad, decodePng};
