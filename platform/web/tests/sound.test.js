// Sound: FluidSynth in the page's AudioWorklet is heard after a block hit and
// falls silent after the note-off.
'use strict';

const assert = require('assert/strict');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
before(async () => {
  browser = await b.launch({sound: true});
});
after(async () => {
  await browser.close();
});

test('a block hit is heard, and silence follows its note-off', async () => {
  const ini = Buffer.from('Vintaro.ini\nball:05reserve\ninterval:060msec\n');
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini}});
  const {page} = game;
  try {
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
