// Takes the README's picture of the page: a split screen made from the
// bundled multicolour example (its lower part a text screen of the same
// memory), opened in the served page, with two formats exported. Usage
// (from web/, the page served, the native tools built):
//   LUMERIST_PAGE_URL=http://127.0.0.1:8000/ node screenshot.mjs ../docs/web.png

import fs from 'node:fs';
import path from 'node:path';
import {choose, folderWith, launch, openPage, shown, sourceDir, splitSnapshot} from './tests/support.mjs';

const picture = fs.readFileSync(path.join(sourceDir, 'examples', 'picture.vsf'));
const folder = folderWith({'split.vsf': splitSnapshot(picture, {0x11: 0x1B, 0x16: 0x08}, 131)});
const browser = await launch();
try {
  const page = await openPage(browser);
  await page.setViewport({width: 900, height: 900});
  await choose(page, '#snapshot-file', path.join(folder, 'split.vsf'));
  await shown(page);
  await page.waitForSelector('#bands-report[data-status]');
  for (const box of (await page.$$('#export-formats input')).slice(0, 2)) await box.click();
  await page.click('#export-button');
  await page.waitForSelector('#export-report[data-status]');
  await page.screenshot({path: process.argv[2] || 'web.png', fullPage: true});
  if (page.problems.length > 0) throw new Error(page.problems.join('\n'));
} finally {
  await browser.close();
}
