// The board in the browser against vintaro-replay's, and the close control.
'use strict';

const assert = require('assert/strict');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
before(async () => {
  browser = await b.launch();
});
after(async () => {
  await browser.close();
});

const kDefaultFiles = () => ({'Vintaro.ini': b.siteFile('Vintaro.ini'),
  'Vintaro.gol': b.siteFile('Vintaro.gol')});

test('the first board is the replay tool\'s, and the status texts read back', async () => {
  const game = await b.openGame(browser);
  try {
    await b.until(game.page, () => window.vintaro.firstBoardAt !== null);
    const shown = await b.boardPixels(game.page);
    const want = b.replay('', kDefaultFiles()).board;
    assert.equal(b.firstDifference(shown, want), null);
    const r = await b.record(game.page);
    assert.deepEqual(r.status,
        [' ピルモ(62歳)作のブロック崩し', ' 初期値(Ball:10, Intvl:220)', '']);
    assert.deepEqual(r.boxes, []);
    assert.equal(await game.page.title(), 'Vintaro v2.0 2005/09 (https://pirumo.example/)');
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('paddle keys and seconds of play end on the replay tool\'s board, with its sounds',
    async () => {
      const ini = Buffer.from('Vintaro.ini\nball:09reserve\ninterval:060msec\n');
      const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini}});
      const {page} = game;
      try {
        await b.until(page, () => window.vintaro.firstBoardAt !== null);
        await page.keyboard.press(' ');
        for (const key of ['a', 'x', ';', '.', ':', 'c', 's', ',']) {
          await page.waitForTimeout(250);
          await page.keyboard.press(key);
        }
        await page.waitForTimeout(1500);
        await page.keyboard.press(' ');
        await page.waitForTimeout(200);
        const r = await b.record(page);
        const shown = await b.boardPixels(page);

        const script = b.replayScript(r.trace);
        assert.ok(script.split('\n').filter((l) => l === 'tick').length > 40, script);
        const want = b.replay(script, {...kDefaultFiles(), 'Vintaro.ini': ini});
        assert.equal(b.firstDifference(shown, want.board), null);
        const hex = (m) => `midi ${(m >>> 0).toString(16).padStart(8, '0')}`;
        const midi = r.trace.filter((e) => e.kind === 'midi').map((e) => hex(e.code));
        const wantMidi = want.trace.split('\n').map((l) => l.replace(/^\d+ /, ''))
            .filter((l) => l.startsWith('midi '));
        assert.deepEqual(midi, wantMidi);
        assert.deepEqual(game.problems, []);
      } finally {
        await game.close();
      }
    });

test('the close control ends the game, and the page says how to play again', async () => {
  const game = await b.openGame(browser);
  const {page} = game;
  try {
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.click('#close');
    await b.until(page, () => window.vintaro.exitCode !== null);
    let r = await b.record(page);
    assert.equal(r.exitCode, 0);
    assert.equal(r.windowShown, false);
    assert.equal(r.endedShown, true);
    assert.deepEqual(r.trace.filter((e) => e.kind === 'close').length, 1);
    await page.click('#again');
    await b.until(page, () => window.vintaro.exitCode === null &&
        !document.getElementById('window').hidden);
    r = await b.record(page);
    assert.equal(r.endedShown, false);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});
