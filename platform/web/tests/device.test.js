// The game on any device: a whole game played by touch on a phone, paused by
// hiding the page and replayed from its downloaded recording; the layout at
// a phone's size up to a 4K screen's; a game pad.
'use strict';

const assert = require('assert/strict');
const fs = require('fs');
const path = require('path');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
before(async () => {
  browser = await b.launch();
});
after(async () => {
  await browser.close();
});

const kPhone = {viewport: {width: 390, height: 844}, deviceScaleFactor: 3, isMobile: true,
  hasTouch: true};
// Every timer period at the 10 ms minimum: one tick per 10 ms of the clock.
const kFastIni = Buffer.from('Vintaro.ini\nball:10reserve\ninterval:010msec\n');
const kFiles = () => ({'Vintaro.ini': kFastIni, 'Vintaro.gol': b.siteFile('Vintaro.gol')});

// The paddle's column after `keys`, from `col`.
function afterKeys(col, keys) {
  const step = {'a': -4, 's': -4, 'x': -1, 'c': -1, ',': 1, '.': 1, ';': 4, ':': 4};
  for (const k of keys) col = Math.min(Math.max(col + step[k], 0), 33);
  return col;
}

async function startOnStillClock(page) {
  await b.settle(page, () => window.vintaro.firstBoardAt !== null);
  await page.clock.pauseAt(await page.evaluate(() => Date.now()) + 200);
}

test('a whole game by touch on a phone, on the board and on the strip: hidden, it pauses; its ' +
    'recording replays; a new game in the victory tune leaves one running', async () => {
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': kFastIni}, device: kPhone,
    clock: true});
  const {page} = game;
  try {
    await startOnStillClock(page);
    const cdp = await page.context().newCDPSession(page);
    const frame = await page.locator('#client-frame').boundingBox();
    const strip = await page.locator('#steer').boundingBox();
    // Above the middle of the paddle's place at `col`: low on the board, or
    // on the strip below it once the game has been hidden.
    let onStrip = false;
    const at = (col) => ({x: frame.x + (17 * col + 38) * frame.width / 639,
      y: onStrip ? strip.y + strip.height / 2 : frame.y + frame.height * 0.9});
    const touch = (type, point) =>
      cdp.send('Input.dispatchTouchEvent', {type, touchPoints: point ? [point] : []});

    // A tap starts the game; the ticks and the finger then follow a game
    // that clears the board.
    await touch('touchStart', at(16));
    await touch('touchEnd');
    await b.settle(page, () => window.vintaro.play === 'playing');
    const script = fs.readFileSync(path.join(__dirname, 'clear-the-board.txt'), 'utf8')
        .split('\n').filter((l) => /^(tick|keys) /.test(l));
    let col = 16;
    let down = false;
    let moves = 0;
    for (const line of script) {
      const [command, arg] = line.split(' ');
      if (command === 'tick') {
        await page.clock.runFor(10 * Number(arg));
        continue;
      }
      col = afterKeys(col, arg);
      await touch(down ? 'touchMove' : 'touchStart', at(col));
      down = true;
      await b.settle(page, (c) => window.vintaro.state().includes(` paddleCol=${c} `), col);

      if (++moves === 120) {
        // The phone is locked with the ball in play: the game pauses as the
        // replay tool sees it, and stays so while the page's timers crawl.
        await touch('touchEnd');
        down = false;
        await b.setHidden(page, true);
        await b.settle(page, () => window.vintaro.play === 'paused');
        const paused = await b.pageState(page);
        assert.equal(paused.paused, 1);
        await page.clock.runFor(1000);
        assert.deepEqual(await b.pageState(page), paused);
        const recording = await page.evaluate(() => window.vintaro.recording());
        assert.deepEqual(b.replayState(b.replay(recording + 'state\n', kFiles()).trace), paused);
        await b.setHidden(page, false);
        assert.equal(await page.isVisible('#paused-note'), true);
        await page.keyboard.press(' ');
        await b.settle(page, () => window.vintaro.play === 'playing');
        assert.equal(await page.isVisible('#paused-note'), false);
        onStrip = true;
      }
    }
    await touch('touchEnd');

    // Cleared, the tune playing: the downloaded recording is the game.
    const state = await b.pageState(page);
    assert.equal(state.finished, 1);
    assert.equal(state.ballsLeft, 10);
    const [download] = await Promise.all([page.waitForEvent('download'),
      page.click('#download')]);
    const recording = fs.readFileSync(await download.path(), 'utf8');
    const replayed = b.replay(recording + 'state\n', kFiles());
    assert.deepEqual(b.replayState(replayed.trace), state);
    assert.equal(b.firstDifference(await b.boardPixels(page), replayed.board), null);

    // A new game in the middle of the tune: the old one, its sleep over,
    // never asks for events again.
    await page.evaluate(() => {
      const host = window.vintaro.module.host;
      const next = host.nextEvent;
      window.oldRunPolls = 0;
      host.nextEvent = () => ++window.oldRunPolls && next();
    });
    await page.click('#defaults');
    await b.settle(page, () => window.vintaro.run.shown && window.vintaro.status[1] !== '');
    const ticks = () => page.evaluate(() => window.vintaro.trace.filter((e) => e.kind === 'tick')
        .length);
    const ticksBefore = await ticks();
    await page.clock.runFor(10000);
    const polls = await page.evaluate(() => window.oldRunPolls);
    assert.ok(polls <= 2, `the old game asked for events ${polls} times`);
    assert.ok(await ticks() - ticksBefore >= 40);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

// The board at whole device pixels per game pixel, as the screen shows it,
// against vintaro-replay's first board scaled up; null where they agree.
async function wholeScaleDifference(page, box, scale) {
  const ratio = await page.evaluate(() => window.devicePixelRatio);
  const shot = b.decodePng(await page.screenshot({clip: {x: box.x, y: box.y, width: box.width,
    height: 598 * scale / ratio}}));
  const want = b.replay('', {'Vintaro.ini': b.siteFile('Vintaro.ini'),
    'Vintaro.gol': b.siteFile('Vintaro.gol')}).board;
  for (let y = 0; y < shot.height; ++y) {
    for (let x = 0; x < shot.width; ++x) {
      const got = (y * shot.width + x) * 3;
      const at = (Math.floor(y / scale) * 639 + Math.floor(x / scale)) * 3;
      if (!shot.data.subarray(got, got + 3).equals(want.subarray(at, at + 3))) return {x, y};
    }
  }
  return null;
}

test('from 320 x 480 to 3840 x 2160 the game fits the window, readable and sharp', async () => {
  const phone = (width, height, deviceScaleFactor) =>
    ({viewport: {width, height}, deviceScaleFactor, isMobile: true, hasTouch: true});
  const desktop = (width, height) => ({viewport: {width, height}, deviceScaleFactor: 1});
  const devices = [phone(320, 480, 2), phone(390, 844, 3), phone(844, 390, 3), desktop(1024, 600),
    desktop(1280, 800), desktop(3840, 2160)];
  const wholeScales = [];
  for (const device of devices) {
    const {width, height} = device.viewport;
    const size = `${width} x ${height}`;
    const game = await b.openGame(browser, {device});
    const {page} = game;
    try {
      await b.until(page, () => window.vintaro.firstBoardAt !== null);
      const seen = await page.evaluate(() => {
        const box = (e) => e.getBoundingClientRect().toJSON();
        const $ = (id) => document.getElementById(id);
        const textStatus = $('desk').classList.contains('text-status');
        return {
          board: box($('client-frame')),
          status: textStatus ? box($('status')) : null,
          statusFont: textStatus ? parseFloat(getComputedStyle($('status-1')).fontSize) : 12,
          controls: Array.from($('touch-bar').querySelectorAll('button, #steer'))
              .filter((e) => e.offsetParent !== null).map(box),
          stage: box($('stage')),
          scrollWidth: document.documentElement.scrollWidth,
          ratio: window.devicePixelRatio,
        };
      });
      const inside = (r, what) => assert.ok(r.left >= 0 && r.top >= 0 && r.right <= width &&
          r.bottom <= height, `${size}: ${what} ${JSON.stringify(r)}`);
      inside(seen.board, 'the board');
      if (seen.status) inside(seen.status, 'the status bar');
      inside(seen.stage, 'the game');
      assert.ok(seen.scrollWidth <= width, `${size}: ${seen.scrollWidth} px wide`);
      // Text the board's own bar draws scales with it.
      const scale = seen.board.width / 639;
      assert.ok(seen.statusFont * (seen.status ? 1 : scale) >= 11, `${size}: status text`);
      assert.equal(seen.controls.length > 0, device.hasTouch === true, size);
      for (const c of seen.controls) {
        inside(c, 'a touch control');
        assert.ok(c.width >= 44 && c.height >= 44, `${size}: ${JSON.stringify(c)}`);
      }
      if (device.hasTouch && height > width) {
        assert.ok(seen.board.width >= 0.9 * width, `${size}: the board is ${seen.board.width} wide`);
      }
      const devicePixels = scale * seen.ratio;
      if (Math.abs(devicePixels - Math.round(devicePixels)) < 1e-9) {
        wholeScales.push(size);
        assert.equal(await wholeScaleDifference(page, seen.board, Math.round(devicePixels)), null,
            size);
      }
      assert.deepEqual(game.problems, []);
    } finally {
      await game.close();
    }
  }
  assert.deepEqual(wholeScales, ['1280 x 800', '3840 x 2160']);
});

test('a game pad starts the game and moves the paddle with the game\'s own keys', async () => {
  // Slow ticks: the ball stays in the field while the pad plays.
  const ini = Buffer.from('Vintaro.ini\nball:10reserve\ninterval:999msec\n');
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini}, clock: true});
  const {page} = game;
  try {
    await startOnStillClock(page);
    await b.stubPad(page);
    const button = (index, pressed) => page.evaluate(([i, v]) => window.setPad(i, v),
        [index, pressed ? 1 : 0]);
    const stick = (x) => page.evaluate((v) => window.setPad('x', v), x);
    const frames = (n) => page.clock.runFor(16 * n);
    const paddle = async () => (await b.pageState(page)).paddleCol;

    await button(0, true);  // A
    await frames(2);
    await button(0, false);
    await frames(2);
    assert.equal(await page.evaluate(() => window.vintaro.play), 'playing');
    await button(5, true);  // the right shoulder, held
    await frames(2);
    assert.equal(await paddle(), 20);
    await page.clock.runFor(300);
    assert.ok(await paddle() >= 24);
    await button(5, false);
    await frames(2);
    const held = await paddle();
    await page.clock.runFor(500);
    assert.equal(await paddle(), held);
    // One column right by the stick, let go near the middle; one left by
    // the d-pad.
    for (const change of [() => stick(0.8), () => stick(0.1), () => button(14, true),
      () => button(14, false)]) {
      await change();
      await frames(2);
    }
    assert.equal(await paddle(), held);
    const chars = await page.evaluate(() => window.vintaro.trace.filter((e) => e.kind === 'char')
        .map((e) => String.fromCharCode(e.code)).join(''));
    assert.match(chars, /^ ;;+\.x$/);

    // A file chosen in play is asked about: the pad's moves stay out of the
    // game, and A presses the button that has the focus.
    await page.setInputFiles('#files', {name: 'Vintaro.ini', mimeType: 'text/plain', buffer: ini});
    await b.until(page, () => document.getElementById('ask').open);
    await page.focus('#ask-no');
    for (const change of [() => stick(-0.9), () => stick(0), () => button(4, true),
      () => button(4, false), () => button(0, true), () => button(0, false)]) {
      await change();
      await frames(2);
    }
    assert.equal(await page.evaluate(() => document.getElementById('ask').returnValue), 'no');
    assert.equal(await paddle(), held);
    assert.equal(await page.evaluate(() => window.vintaro.play), 'paused');
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});
