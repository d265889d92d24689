// The site as an app: after one visit it installs and plays with no network,
// a new build replaces what was kept, and opened as a file it says how to
// serve the folder.
'use strict';

const assert = require('assert/strict');
const fs = require('fs');
const path = require('path');
const {after, before, test} = require('node:test');
const b = require('./browser.js');

let browser;
before(async () => {
  browser = await b.launch({sound: true});
});
after(async () => {
  await browser.close();
});

const kDefaultFiles = () => ({'Vintaro.ini': b.siteFile('Vintaro.ini'),
  'Vintaro.gol': b.siteFile('Vintaro.gol')});

test('after one visit the game installs, plays offline, and a new build replaces it', async () => {
  const folder = {};
  const game = await b.openGame(browser, {folder});
  const {page} = game;
  try {
    await b.until(page, () => navigator.serviceWorker.controller !== null &&
        window.vintaro.sound.state === 'on');
    const session = await page.context().newCDPSession(page);
    // Playwright's contexts are off the record, which alone keeps an app
    // from being installed.
    const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.map((e) => e.errorId), ['in-incognito']);

    await page.context().setOffline(true);
    await page.reload();
    await b.until(page, () => window.vintaro.firstBoardAt !== null);
    assert.equal(b.firstDifference(await b.boardPixels(page), b.replay('', kDefaultFiles()).board),
        null);
    await page.keyboard.press(' ');
    await b.until(page, () => window.vintaro.sound.state === 'on' &&
        window.vintaro.sound.level() > 1e-3, undefined, 10000);

    // A new build: another Vintaro.ini, and so another version of the worker.
    await page.context().setOffline(false);
    folder['Vintaro.ini'] = Buffer.from('Vintaro.ini\nball:03reserve\ninterval:220msec\n');
    folder['vintaro-sw.js'] = Buffer.from(
        b.siteFile('vintaro-sw.js').toString().replace(/vintaro-[0-9a-f]{16}/, 'vintaro-new'));
    await page.reload();
    for (let i = 0; i < 100; ++i) {
      if ((await page.evaluate(() => caches.keys())).join() === 'vintaro-new') break;
      await page.waitForTimeout(200);
    }
    await page.reload();
    await b.until(page, () => window.vintaro.status[1].includes('Ball:3'));
    assert.deepEqual(game.problems, []);
  } finally {
    await game.close();
  }
});

test('opened as a file, the page says how to serve its folder', async () => {
  const page = await browser.newPage();
  try {
    await page.goto(`file://${path.join(fs.realpathSync(process.env.VINTARO_SITE), 'index.html')}`);
    assert.match(await page.textContent('#loading'), /python3 -m http\.server/);
  } finally {
    await page.close();
  }
});
