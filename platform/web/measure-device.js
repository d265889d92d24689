// Measures the page on devices in headless Chromium: a finger's move and a
// game pad's press to the canvas, each against the next animation frame,
// and the page's own work on a resize or a phone's rotation, from a DevTools
// performance trace.
//
//   scripts/measure-web-device [BUILD-DIR]     (default: build-web)
'use strict';

const b = require('./tests/browser.js');

const mean = (xs) => xs.reduce((s, x) => s + x, 0) / xs.length;
const median = (xs) => [...xs].sort((p, q) => p - q)[Math.floor(xs.length / 2)];
const fixed = (x, n = 2) => x.toFixed(n);
const kSlowIni = Buffer.from('Vintaro.ini\nball:10reserve\ninterval:999msec\n');
const kPhone = {viewport: {width: 390, height: 844}, deviceScaleFactor: 3, isMobile: true,
  hasTouch: true};

// For each input the page saw (`window.inputs`, times on the page's clock):
// its delay to the canvas's next present, and whether that came before the
// next animation frame.
async function toCanvas(page) {
  const r = await page.evaluate(() => ({inputs: window.inputs, trace: window.vintaro.trace}));
  const presents = r.trace.filter((e) => e.kind === 'present').map((e) => e.t);
  const delays = [];
  let inFrame = 0;
  for (const input of r.inputs) {
    const shown = presents.find((t) => t >= input.at);
    if (shown === undefined) continue;
    delays.push(shown - input.at);
    if (input.frame !== null && shown <= input.frame) ++inFrame;
  }
  return `mean ${fixed(mean(delays))} ms, max ${fixed(Math.max(...delays))} ms; ` +
      `${inFrame} of ${delays.length} drawn before the next animation frame`;
}

// Notes an input at `at` and when the frame after it began.
const noteInput = () => {
  window.inputs = [];
  window.noteInput = (at = performance.now()) => {
    const input = {at, frame: null};
    window.inputs.push(input);
    requestAnimationFrame(() => {
      input.frame = performance.now();
    });
  };
};

async function touch(browser, say) {
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': kSlowIni}, device: kPhone});
  const {page} = game;
  await b.until(page, () => window.vintaro.firstBoardAt !== null);
  await page.evaluate(noteInput);
  // From the page's handler: Chromium holds a move back to the next frame
  // before any page sees it.
  await page.evaluate(() => document.getElementById('client-frame').addEventListener(
      'pointermove', () => window.noteInput(), true));
  const cdp = await page.context().newCDPSession(page);
  const frame = await page.locator('#client-frame').boundingBox();
  const at = (col) => ({x: frame.x + (17 * col + 38) * frame.width / 639,
    y: frame.y + frame.height * 0.9});
  await cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [at(16)]});
  await b.until(page, () => window.vintaro.play === 'playing');
  for (let i = 0; i < 40; ++i) {
    await cdp.send('Input.dispatchTouchEvent',
        {type: 'touchMove', touchPoints: [at(i % 2 ? 4 : 28)]});
    await page.waitForTimeout(60);
  }
  await cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
  say(`touch to canvas (a finger moved across the board): ${await toCanvas(page)}`);
  await game.close();
}

async function pad(browser, say) {
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': kSlowIni}});
  const {page} = game;
  await b.until(page, () => window.vintaro.firstBoardAt !== null);
  await page.evaluate(noteInput);
  await b.stubPad(page);
  await page.evaluate(() => {
    window.press = (index, pressed) => {
      window.setPad(index, pressed ? 1 : 0);
      if (pressed) window.noteInput();
    };
  });
  await page.keyboard.press(' ');
  for (let i = 0; i < 40; ++i) {
    const button = i % 2 ? 14 : 15;
    await page.evaluate((n) => window.press(n, true), button);
    await page.waitForTimeout(40);
    await page.evaluate((n) => window.press(n, false), button);
    await page.waitForTimeout(40);
  }
  say(`pad to canvas (the d-pad, polled once a frame): ${await toCanvas(page)}`);
  await game.close();
}

// The renderer's main thread during resizes and rotations: its longest task,
// and the longest of the page's own layout work in it (style, layout, the
// page's scripts, painting).
async function resizes(browser, say) {
  const game = await b.openGame(browser);
  const {page} = game;
  await b.until(page, () => window.vintaro.firstBoardAt !== null);
  const cdp = await page.context().newCDPSession(page);
  const events = [];
  cdp.on('Tracing.dataCollected', ({value}) => events.push(...value));
  const done = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
  await cdp.send('Tracing.start', {categories: 'devtools.timeline,disabled-by-default-devtools.timeline',
    transferMode: 'ReportEvents'});
  const sizes = [[320, 480, 2, true], [390, 844, 3, true], [844, 390, 3, true], [390, 844, 3, true],
    [1024, 600, 1, false], [1280, 800, 1, false], [3840, 2160, 1, false], [1280, 800, 1, false]];
  for (let round = 0; round < 3; ++round) {
    for (const [width, height, deviceScaleFactor, mobile] of sizes) {
      await cdp.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor, mobile,
        screenOrientation: width > height ? {type: 'landscapePrimary', angle: 90} :
          {type: 'portraitPrimary', angle: 0}});
      await cdp.send('Emulation.setTouchEmulationEnabled', {enabled: mobile});
      await page.waitForTimeout(150);
    }
  }
  await cdp.send('Tracing.end');
  await done;
  const main = events.find((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain' &&
      events.some((f) => f.pid === e.pid && f.name === 'FunctionCall'));
  const onMain = events.filter((e) => e.pid === main.pid && e.tid === main.tid && e.ph === 'X');
  const tasks = onMain.filter((e) => e.name === 'RunTask').map((e) => e.dur / 1000);
  const kOwn = new Set(['UpdateLayoutTree', 'Layout', 'FunctionCall', 'EventDispatch', 'Paint',
    'PrePaint', 'Layerize']);
  // The page's work per task: its own events, the outermost only.
  const own = [];
  for (const task of onMain.filter((e) => e.name === 'RunTask')) {
    const inside = onMain.filter((e) => kOwn.has(e.name) && e.ts >= task.ts &&
        e.ts + e.dur <= task.ts + task.dur);
    const outer = inside.filter((e) => !inside.some((f) => f !== e && f.ts <= e.ts &&
        f.ts + f.dur >= e.ts + e.dur && !(f.ts === e.ts && f.dur === e.dur)));
    own.push(outer.reduce((s, e) => s + e.dur, 0) / 1000);
  }
  const layouts = onMain.filter((e) => e.name === 'Layout').map((e) => e.dur / 1000);
  say(`resize and rotation (${sizes.length * 3} sizes from 320 x 480 to 3840 x 2160): the ` +
      `page's own work (style, layout, its scripts, paint) in one task: longest ` +
      `${fixed(Math.max(...own))} ms, median ${fixed(median(own.filter((x) => x > 0)))} ms; ` +
      `longest layout ${fixed(Math.max(...layouts))} ms (${layouts.length} layouts); longest ` +
      `task of any kind, DevTools' emulation included, ${fixed(Math.max(...tasks))} ms`);
  await game.close();
}

async function main() {
  const browser = await b.launch();
  const say = (line) => console.log(line);
  await touch(browser, say);
  await pad(browser, say);
  await resizes(browser, say);
  await browser.close();
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
