// The message boxes: at start-up before any board, and at game over with the
// ticks going on beneath it.
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

// Opens the game on `folder`, answers its one start-up box and gives the
// box and what the page showed while it was up.
async function startUpBox(folder) {
  const game = await b.openGame(browser, {folder});
  const {page} = game;
  await b.until(page, () => window.vintaro.box !== null);
  const whileUp = await b.record(page);
  assert.equal(await page.isVisible('#box-overlay'), true);
  await page.keyboard.press('Enter');
  return {game, page, box: whileUp.box, whileUp};
}

test('a missing picture: its box, no board, and the end', async () => {
  const {game, page, box, whileUp} = await startUpBox({'Vintaro.gol': null});
  try {
    assert.deepEqual(box, {caption: 'Vintaro invalid',
      text: 'ファイル【Vintaro.gol】が見当たりません。！', icon: 'error'});
    assert.equal(whileUp.windowShown, false);
    await b.until(page, () => window.vintaro.exitCode !== null);
    const r = await b.record(page);
    assert.equal(r.exitCode, 0);
    assert.equal(r.windowShown, false);
    assert.equal(r.endedShown, true);
    assert.deepEqual(r.trace.filter((e) => e.kind === 'midi' || e.kind === 'paint'), []);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('invalid settings: their box and the end', async () => {
  const ini = Buffer.from('Vintaro.ini\nball:1xreserve\ninterval:220msec\n');
  const {game, page, box, whileUp} = await startUpBox({'Vintaro.ini': ini});
  try {
    assert.deepEqual(box, {caption: 'Vintaro invalid', text: '初期値ファイルの内容が不当です！#3',
      icon: 'error'});
    assert.equal(whileUp.windowShown, false);
    await b.until(page, () => window.vintaro.exitCode !== null);
    const r = await b.record(page);
    assert.equal(r.exitCode, 0);
    assert.equal(r.windowShown, false);
    assert.equal(r.boxes.length, 1);
  } finally {
    await game.close();
  }
});

test('missing settings: the warning, then play with the defaults', async () => {
  const {game, page, box, whileUp} = await startUpBox({'Vintaro.ini': null});
  try {
    assert.deepEqual(box, {caption: 'Vintaro warning',
      text: '初期値ファイルが見当たりませんので、\n既定値を適用します。', icon: 'warning'});
    assert.equal(whileUp.windowShown, false);
    assert.equal(whileUp.trace.filter((e) => e.kind === 'paint').length, 0);
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    const r = await b.record(page);
    assert.equal(r.status[1], ' 初期値(Ball:10, Intvl:220)');
    assert.equal(r.exitCode, null);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

// A game of one ball, played until the box that ends it is up: the paddle
// steps aside and the ball falls past it.
async function gameOverBox() {
  const ini = Buffer.from('Vintaro.ini\nball:01reserve\ninterval:030msec\n');
  const game = await b.openGame(browser, {folder: {'Vintaro.ini': ini}});
  await b.until(game.page, () => window.vintaro.firstBoardAt !== null);
  await game.page.keyboard.type(' aaaa', {delay: 20});
  await b.until(game.page, () => window.vintaro.box !== null);
  return game;
}

test('game over: ticks go on beneath the box, keys go to it, OK ends the game', async () => {
  const game = await gameOverBox();
  const {page} = game;
  try {
    const atBox = (await b.record(page)).trace.length;
    assert.equal((await b.record(page)).status[2], ' Score : 0 / Ball : 0');
    await page.keyboard.type('a.:;x', {delay: 40});
    await page.waitForTimeout(300);
    let r = await b.record(page);
    assert.deepEqual(r.box, {caption: 'Vintaro finish', text: 'ボールを使い切りました、終了です。',
      icon: 'error'});
    const beneath = r.trace.slice(atBox);
    assert.ok(beneath.filter((e) => e.kind === 'tick').length >= 3, JSON.stringify(beneath));
    assert.deepEqual(beneath.filter((e) => e.kind !== 'tick' && e.kind !== 'midi'), []);
    assert.deepEqual([...new Set(beneath.filter((e) => e.kind === 'midi').map((e) => e.code))],
        [0x90]);
    await page.click('#box-ok');
    await b.until(page, () => window.vintaro.exitCode !== null);
    r = await b.record(page);
    assert.equal(r.exitCode, 0);
    assert.equal(r.box, null);
    assert.equal(r.boxes.length, 1);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('game over: the last board stays under the notice, whose button has the keys', async () => {
  const game = await gameOverBox();
  const {page} = game;
  try {
    const board = await b.boardPixels(page);
    // Space answers the box; letting go of it is no press of the button
    // that the focus then goes to.
    await page.keyboard.down(' ');
    await b.until(page, () => window.vintaro.exitCode !== null);
    await page.keyboard.up(' ');
    await page.waitForTimeout(300);
    const r = await b.record(page);
    assert.equal(r.exitCode, 0);
    assert.equal(r.windowShown, true);
    assert.equal(r.endedShown, true);
    assert.equal(b.firstDifference(await b.boardPixels(page), board), null);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'again');
    await page.keyboard.press('Enter');
    await b.until(page, () => window.vintaro.exitCode === null &&
        !document.getElementById('window').hidden && window.vintaro.status[1] !== '');
    assert.equal(await page.isVisible('#ended'), false);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});
