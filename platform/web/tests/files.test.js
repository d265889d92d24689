// The player's own files: a settings file and a PNG picture, packed in the
// page as vintaro-gol packs it.
'use strict';

const assert = require('assert/strict');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
let dir;
before(async () => {
  browser = await b.launch();
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vintaro-web-files-'));
});
after(async () => {
  await browser.close();
  fs.rmSync(dir, {recursive: true, force: true});
});

test('a chosen Vintaro.ini and PNG picture take effect', async () => {
  const picture = path.join(dir, 'picture.png');
  const ini = path.join(dir, 'Vintaro.ini');
  execFileSync(process.env.VINTARO_PAINT_REWARD, [picture]);
  fs.writeFileSync(ini, 'Vintaro.ini\nball:03reserve\ninterval:050msec\n');
  execFileSync(process.env.VINTARO_GOL, ['pack', picture, path.join(dir, 'packed.gol')]);

  const game = await b.openGame(browser);
  const {page} = game;
  try {
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.setInputFiles('#files', path.join(dir, 'Vintaro.ini'));
    await b.until(page, () => window.vintaro.status[1] === ' 初期値(Ball:3, Intvl:50)');

    // A picture of another size is refused and the game goes on.
    fs.writeFileSync(path.join(dir, 'small.png'),
        fs.readFileSync(picture).subarray(0, 16));
    await page.setInputFiles('#files', path.join(dir, 'small.png'));
    await b.until(page, () => !document.getElementById('file-problem').hidden);
    assert.equal((await b.record(page)).exitCode, null);

    await page.setInputFiles('#files', picture);
    await b.until(page, () => window.vintaro.module &&
        window.vintaro.firstBoardAt !== null && window.vintaro.status[1] !== '' &&
        /your picture/.test(document.getElementById('folder').textContent));
    const packed = Buffer.from(await page.evaluate(
        () => Array.from(window.vintaro.module.FS.readFile('/game/Vintaro.gol'))));
    assert.ok(packed.equals(fs.readFileSync(path.join(dir, 'packed.gol'))));
    const r = await b.record(page);
    assert.equal(r.status[1], ' 初期値(Ball:3, Intvl:50)');
    assert.deepEqual(r.boxes, []);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('a file chosen in play is asked about, a rejected one offers the defaults, and the ' +
    'files are kept for the next visit', async () => {
  const bad = path.join(dir, 'Vintaro.ini');
  fs.writeFileSync(bad, 'Vintaro.ini\nball:1xreserve\ninterval:220msec\n');
  const game = await b.openGame(browser);
  const {page} = game;
  const choose = async (answer) => {
    await page.setInputFiles('#files', bad);
    await b.until(page, () => document.getElementById('ask').open);
    await page.click(answer);
  };
  try {
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    await page.keyboard.press(' ');
    await b.until(page, () => window.vintaro.play === 'playing');
    await choose('#ask-no');
    assert.equal(await page.evaluate(() => window.vintaro.play), 'paused');
    assert.deepEqual((await b.record(page)).boxes, []);
    await choose('#ask-yes');
    await b.until(page, () => window.vintaro.box !== null);
    await page.keyboard.press('Enter');
    await b.until(page, () => !document.getElementById('again-defaults').hidden);

    await page.reload();
    await b.until(page, () => window.vintaro.box !== null);
    await page.keyboard.press('Enter');
    await page.click('#again-defaults');
    await b.until(page, () => window.vintaro.status[1] === ' 初期値(Ball:10, Intvl:220)');
    await page.reload();
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    assert.deepEqual((await b.record(page)).boxes, []);
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('Tab reaches the controls and is no key of the game; Caps Lock is told',
    async () => {
      const game = await b.openGame(browser);
      const {page} = game;
      try {
        await b.until(page, () => window.vintaro.firstBoardAt !== null);
        await page.focus('#client');
        const reached = [];
        for (let i = 0; i < 6; ++i) {
          await page.keyboard.press('Tab');
          reached.push(await page.evaluate(() => document.activeElement.id));
        }
        assert.deepEqual(reached.filter((id) => ['files', 'defaults', 'download'].includes(id)),
            ['files', 'defaults', 'download']);
        assert.equal((await b.record(page)).trace.filter((e) => e.kind === 'char').length, 0);

        const key = (caps) => page.evaluate((on) => document.dispatchEvent(
            new KeyboardEvent('keydown', {key: 'x', modifierCapsLock: on})), caps);
        await key(true);
        assert.equal(await page.isVisible('#caps-lock'), true);
        await key(false);
        assert.equal(await page.isVisible('#caps-lock'), false);
        assert.deepEqual(game.problems, []);
      } finally {
        await game.close();
      }
    });
