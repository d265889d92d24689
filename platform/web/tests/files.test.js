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
