// Sound: FluidSynth, in the page's AudioWorklet or (on plain http) on the
// page, is heard after a block hit and falls silent after the note-off; what
// the game sent before the sound was up comes out calmly; and a page without
// sound says why.
'use strict';

const assert = require('assert/strict');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
before(async () => {
  // vintaro.test is an origin that is not a secure context.
  browser = await b.launch({sound: true,
    args: ['--host-resolver-rules=MAP vintaro.test 127.0.0.1']});
});
after(async () => {
  await browser.close();
});

// Ticks of 20 ms: 2 s of play send dozens of notes, all of them kept.
const kFast = Buffer.from('Vintaro.ini\nball:99reserve\ninterval:020msec\n');

for (const [where, host, secure] of [['', null, true], [' on plain http', 'vintaro.test', false]]) {
test(`a block hit is heard, and silence follows its note-off${where}`, async () => {
  const ini = Buffer.from('Vintaro.ini\nball:05reserve\ninterval:060msec\n');
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini}, host});
  const {page} = game;
  try {
    assert.equal(await page.evaluate(() => window.isSecureContext), secure);
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    // The first key starts the audio; a paddle key while paused does nothing
    // else. The start-up program change waited for it.
    await page.keyboard.press('x');
    await b.until(page, () => window.vintaro.sound.state !== 'starting' &&
        window.vintaro.sound.state !== 'waiting');
    assert.equal(await page.evaluate(() => window.vintaro.sound.state), 'on');
    assert.ok(await page.evaluate(() => window.vintaro.sound.level()) < 1e-4);

    // Served straight down onto the paddle, the ball goes up into the blocks.
    await page.keyboard.press(' ');
    const hit = await b.until(page, () => {
      const note = window.vintaro.trace.find(
          (e) => e.kind === 'midi' && (e.code & 0xFF00FF) === 0x640090);
      return note && note.code;
    });
    // Paused: the ticks now only end that note.
    await page.keyboard.press(' ');
    const loudest = await b.until(page, () => {
      const level = window.vintaro.sound.level();
      return level > 1e-3 && level;
    }, undefined, 3000);
    assert.ok(loudest > 1e-3);
    const noteOff = hit & 0xFF00 | 0x90;
    await b.until(page, (off) => window.vintaro.trace.filter((e) => e.kind === 'midi')
        .slice(-1)[0].code === off, noteOff);
    await b.until(page, () => window.vintaro.sound.level() < 1e-4, undefined, 5000);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});
}

// The loudest output (a root mean square over the analyser's 46 ms) in the
// next `ms` once the sound is on.
function loudest(page, ms) {
  return page.evaluate((span) => new Promise((resolve) => {
    const sound = window.vintaro.sound;
    let max = 0;
    let end = null;
    const poll = setInterval(() => {
      if (sound.state !== 'on') return;
      if (end === null) end = performance.now() + span;
      max = Math.max(max, sound.level());
      if (performance.now() >= end) {
        clearInterval(poll);
        resolve(max);
      }
    }, 5);
  }), ms);
}

test('2 s of play before the soundfont arrives over a slow link come out calmly', async () => {
  let release;
  const held = new Promise((resolve) => {
    release = () => resolve(b.siteFile('vintaro.sf2'));
  });
  const game = await b.openGame(browser,
      {folder: {'Vintaro.ini': kFast, 'vintaro.sf2': held}, slow: true});
  const {page} = game;
  try {
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.keyboard.press(' ');
    await page.waitForTimeout(2000);
    const kept = await page.evaluate(() => window.vintaro.sound.pending.length);
    assert.ok(kept > 20, `${kept} messages kept`);
    release();
    const start = await loudest(page, 1000);
    const play = await loudest(page, 4000);
    assert.ok(play > 1e-3, `normal play ${play}`);
    assert.ok(start <= 2 * play, `start ${start} against normal play ${play}`);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('without audio, or without the soundfont, the page says which', async () => {
  const cases = [
    [{init: () => {
      delete window.AudioContext;
      delete window.webkitAudioContext;
    }}, /no audio output/],
    [{folder: {'vintaro.sf2': null}}, /the soundfont could not be loaded/],
  ];
  for (const [options, why] of cases) {
    const game = await b.openGame(browser, options);
    try {
      await b.until(game.page, () => window.vintaro.sound.state === 'off');
      assert.match(await game.page.textContent('#sound'), why);
      assert.deepEqual(game.problems, []);
    } finally {
      await game.close();
    }
  }
});
