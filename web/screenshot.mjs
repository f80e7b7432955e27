// Takes the README's picture of the page: the bundled split screen opened
// in the served page, with two formats exported. Usage (from web/, the page
// served):
//   LUMERIST_PAGE_URL=http://127.0.0.1:8000/ node screenshot.mjs ../docs/web.png

import path from 'node:path';
import {choose, launch, openPage, shown, sourceDir} from './tests/support.mjs';

const browser = await launch();
try {
  const page = await openPage(browser);
  await page.setViewport({width: 900, height: 900});
  await choose(page, '#snapshot-file', path.join(sourceDir, 'examples', 'split.vsf'));
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
