// Measures the browser game in headless Chromium: navigation to the first
// board, on 127.0.0.1 and over an emulated slow link, where a key pressed
// 3 s after load is timed to its sound; what the page fetches, gzipped; key
// to canvas; the tick period's error; and processor time while paused with
// the timer running.
//
//   scripts/measure-web [BUILD-DIR]     (default: build-web)
'use strict';

const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const b = require('./tests/browser.js');

const site = process.env.VINTARO_SITE;
const median = (xs) => [...xs].sort((p, q) => p - q)[Math.floor(xs.length / 2)];
const mean = (xs) => xs.reduce((s, x) => s + x, 0) / xs.length;
const fixed = (x, n = 1) => x.toFixed(n);
const ini = (ms) => Buffer.from(`Vintaro.ini\nball:10reserve\ninterval:${String(ms).padStart(3, '0')}msec\n`);

// The page's own modules: vintaro-page.js and the page-*.js it imports.
function pageScripts() {
  return fs.readdirSync(site).filter((n) => n === 'vintaro-page.js' || /^page-.*\.js$/.test(n));
}

// The files the service worker keeps, from its list.
function keptFiles() {
  const worker = fs.readFileSync(path.join(site, 'vintaro-sw.js'), 'utf8');
  const list = worker.slice(worker.indexOf('kFiles = ['), worker.indexOf('];'));
  return [...list.matchAll(/'([^']+)'/g)].map((m) => m[1]);
}

function gzipped(names) {
  return names.reduce((sum, n) =>
    sum + zlib.gzipSync(fs.readFileSync(path.join(site, n)), {level: 9}).length, 0);
}

// CPU seconds of the browser's whole process tree, from /proc.
function treeCpuSeconds(root) {
  const ticks = Number(require('child_process').execSync('getconf CLK_TCK'));
  const children = new Map();
  const stats = new Map();
  for (const pid of fs.readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      stats.set(Number(pid), Number(fields[11]) + Number(fields[12]));
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(pid));
    } catch {
      // gone meanwhile
    }
  }
  let total = 0;
  const walk = (pid) => {
    total += stats.get(pid) || 0;
    for (const c of children.get(pid) || []) walk(c);
  };
  walk(root);
  return total / ticks;
}

async function main() {
  const out = [];
  const say = (line) => {
    out.push(line);
    console.log(line);
  };
  const browser = await b.launch({sound: true});

  // 1. Navigation to the first board, each in a fresh context (no cache);
  // 15 loads, as one load may differ from the next by 100 ms here.
  const firsts = [];
  for (let i = 0; i < 15; ++i) {
    const context = await browser.newContext();
    const server = await require('./serve.js').serve({root: site});
    const page = await context.newPage();
    await page.goto(server.url);
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    firsts.push(await page.evaluate(() => window.vintaro.firstBoardAt));
    await context.close();
    await server.close();
  }
  say(`navigation to first board: median ${fixed(median(firsts))} ms ` +
      `(min ${fixed(Math.min(...firsts))}, max ${fixed(Math.max(...firsts))}, ${firsts.length} loads)`);

  // 2. Sizes. Everything the page fetches is what the service worker keeps,
  // and the worker itself.
  say(`vintaro.js + vintaro.wasm gzipped: ${fixed(gzipped(['vintaro.js', 'vintaro.wasm']) / 1024)} KiB`);
  say(`page (html, css, page and sound scripts) gzipped: ${fixed(gzipped(
      ['index.html', 'vintaro.css', 'vintaro-sound.js', ...pageScripts()]) / 1024)} KiB`);
  say(`synthesizer (js-synthesizer, libfluidsynth) gzipped: ${fixed(gzipped(
      ['js-synthesizer.min.js', 'js-synthesizer.worklet.min.js', 'libfluidsynth-2.4.6.js']) /
      1024)} KiB; soundfont ${fixed(gzipped(['vintaro.sf2']) / 1024)} KiB`);
  const everything = [...keptFiles().filter((n) => n !== './'), 'vintaro-sw.js'];
  say(`everything the page fetches (${everything.length} files) gzipped: ` +
      `${fixed(gzipped(everything) / 1024)} KiB`);

  // 2b. Over an emulated slow link, each load in a fresh context: the first
  // board, when the sound is ready, and a key pressed 3 s after load (the
  // browser's real first gesture: no autoplay here) to the sound it sends.
  {
    const quiet = await b.launch();
    const boards = [];
    const ready = [];
    const keyToSound = [];
    for (let i = 0; i < 7; ++i) {
      const context = await quiet.newContext();
      const server = await require('./serve.js').serve({root: site});
      const page = await context.newPage();
      await b.slowLink(page);
      await page.goto(server.url);
      await b.until(page, () => window.vintaro.firstBoardAt !== null);
      boards.push(await page.evaluate(() => window.vintaro.firstBoardAt));
      await page.waitForFunction(() => performance.now() >= 3000, undefined, {polling: 10});
      await page.evaluate(() => {
        // The key's answer: a Low Tom, as a lost ball sends; the time its
        // sound first shows in the output.
        document.addEventListener('keydown', (e) => {
          window.keyAt = e.timeStamp;
          window.vintaro.sound.send(0x7F2D99);
          const poll = setInterval(() => {
            if (window.vintaro.sound.level() > 1e-3) {
              window.heardAt = performance.now();
              clearInterval(poll);
            }
          }, 1);
        }, {once: true, capture: true});
      });
      await page.keyboard.press('x');
      await b.until(page, () => window.heardAt !== undefined, undefined, 10000);
      const r = await page.evaluate(() => ({key: window.keyAt, heard: window.heardAt,
        ready: window.vintaro.sound.loadedAt}));
      keyToSound.push(r.heard - r.key);
      ready.push(r.ready === undefined ? NaN : r.ready);
      await context.close();
      await server.close();
    }
    await quiet.close();
    say(`4 Mbit/s, 40 ms: first board median ${fixed(median(boards))} ms (max ` +
        `${fixed(Math.max(...boards))}); sound loaded median ${fixed(median(ready))} ms; ` +
        `key at 3 s to its sound median ${fixed(median(keyToSound))} ms ` +
        `(max ${fixed(Math.max(...keyToSound))}), ${boards.length} loads`);
  }

  // 3. Key to canvas: a paddle key's keydown to the putImageData of its
  // paint, and whether that came before the next animation frame.
  {
    const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini(999)}});
    const {page} = game;
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.evaluate(() => {
      window.keys = [];
      document.addEventListener('keydown', (e) => {
        const key = {down: e.timeStamp, frame: null};
        window.keys.push(key);
        requestAnimationFrame((t) => {
          key.frame = performance.now();
          key.frameStart = t;
        });
      }, true);
    });
    await page.keyboard.press(' ');
    for (let i = 0; i < 30; ++i) {
      await page.keyboard.press(i % 2 ? '.' : 'x');
      await page.waitForTimeout(60);
    }
    const r = await page.evaluate(() => ({keys: window.keys, trace: window.vintaro.trace}));
    const presents = r.trace.filter((e) => e.kind === 'present').map((e) => e.t);
    const delays = [];
    let beforeFrame = 0;
    for (const key of r.keys.slice(1)) {
      const shown = presents.find((t) => t >= key.down);
      if (shown === undefined) continue;
      delays.push(shown - key.down);
      if (key.frame !== null && shown <= key.frame) ++beforeFrame;
    }
    say(`key to canvas: mean ${fixed(mean(delays), 2)} ms, max ${fixed(Math.max(...delays), 2)} ms; ` +
        `${beforeFrame} of ${delays.length} keys drawn before the next animation frame`);
    await game.close();
  }

  // 4. The tick period while paused (ticks still come, inert).
  for (const period of [220, 50]) {
    const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini(period)}});
    const {page} = game;
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.waitForTimeout(10000);
    const ticks = await page.evaluate(() =>
      window.vintaro.trace.filter((e) => e.kind === 'tick').map((e) => e.t));
    const gaps = ticks.slice(1).map((t, i) => t - ticks[i]);
    const errors = gaps.map((g) => g - period);
    say(`tick period ${period} ms: mean error ${fixed(mean(errors), 3)} ms, ` +
        `largest ${fixed(Math.max(...errors.map(Math.abs)), 2)} ms, ${gaps.length} periods`);
    await game.close();
  }

  // 5. Processor time while paused, the timer running (220 ms): the whole
  // browser, without and then with the synthesizer running. A browser that
  // lets no audio start before a key, as browsers do: the sound loads with
  // the page but runs only from the key.
  await browser.close();
  const quiet = await b.launch();
  {
    const game = await b.openGame(quiet);
    const {page} = game;
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    const chromiumPid = findChromium();
    const session = await page.context().newCDPSession(page);
    await session.send('Performance.enable');
    const metric = async (name) => (await session.send('Performance.getMetrics')).metrics
        .find((m) => m.name === name).value;
    for (const label of ['no sound yet', 'sound started', 'sound at rest']) {
      if (label === 'sound started') {
        await page.keyboard.press('x');
        await b.until(page, () => window.vintaro.sound.state === 'on');
      }
      // The audio rests 10 s after the last note (the start-up program
      // change counts as one).
      await page.waitForTimeout(label === 'sound at rest' ? 6000 : 500);
      const cpu0 = treeCpuSeconds(chromiumPid);
      const task0 = await metric('TaskDuration');
      const t0 = Date.now();
      await page.waitForTimeout(5000);
      const seconds = (Date.now() - t0) / 1000;
      const cpu = (treeCpuSeconds(chromiumPid) - cpu0) / seconds;
      const task = (await metric('TaskDuration') - task0) / seconds;
      say(`paused, ${label}: page main thread ${fixed(task * 100, 2)} % of a core, ` +
          `all of Chromium ${fixed(cpu * 100, 1)} %`);
    }
    await game.close();
  }
  await quiet.close();
  return out;
}

// The Chromium started by this process: the child whose command is it.
function findChromium() {
  const me = process.pid;
  for (const pid of fs.readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      if (parent === me && /chromium/.test(cmd.split('\0')[0])) return Number(pid);
    } catch {
      // gone meanwhile
    }
  }
  throw new Error('no Chromium of ours found');
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
