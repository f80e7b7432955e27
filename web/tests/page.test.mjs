// The page against the native tools: the same report, files and pictures.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {after, afterEach, before, describe, test} from 'node:test';
import {choose, differingPixels, folderWith, launch, openPage, pageDir, pageUrl, patchedSnapshot,
        runNative, shown, sourceDir} from './support.mjs';

const example = (name) => path.join(sourceDir, 'examples', name);
let browser;
let page;
before(async () => { browser = await launch(); });
after(() => browser.close());
afterEach(async () => {
  if (!page) return;
  const problems = page.problems;
  await page.close();
  page = null;
  assert.deepEqual(problems, [], 'errors or requests off the page\'s site');
});

// What the page runs for a snapshot, run natively (`env` added to their
// environment), each command in a folder of its own: lumerist,
// lumerist-preview without options, with --viewer and with --compare,
// lumerist-sprites.
function natives(name, bytes, env = {}) {
  const tool = (command, options = []) => {
    const folder = folderWith({[name]: bytes});
    return {folder, file: path.join(folder, name),
            ...runNative(command, [...options, name], folder, [name], env)};
  };
  const run = tool('lumerist');
  return {...run, screen: tool('lumerist-preview'), viewer: tool('lumerist-preview', ['--viewer']),
          compare: tool('lumerist-preview', ['--compare']), sprites: tool('lumerist-sprites')};
}

// lumerist-preview's picture (`options` before the snapshot) as a PNG file
// named after the snapshot and `tag`.
function preview(snapshot, options = [], tag = 'screen') {
  const png = `${snapshot}.${tag}.png`;
  const run = runNative('lumerist-preview', [...options, snapshot, png], path.dirname(snapshot));
  assert.equal(run.status, 0, run.output);
  return png;
}

// lumerist-preview --compare on `snapshot` (`options` before it): the lines
// before the one naming the PNG, and the PNG.
function compared(snapshot, options = []) {
  const png = `${snapshot}.compare.png`;
  const run = runNative('lumerist-preview', ['--compare', ...options, snapshot, png],
                        path.dirname(snapshot));
  assert.equal(run.status, 0, run.output);
  assert.match(run.output, /\nComparison written as '[^\n]*'\.\n$/);
  return {report: run.output.replace(/[^\n]*\n$/, ''), png};
}

// The page's "Check the rip" shows lumerist-preview's comparison, with a
// plain answer first: the rip holds the screen only when no pixel differs
// and none went uncompared.
async function assertShowsComparison(expected) {
  const section = await page.$eval('#compare-section', (element) => ({
    hidden: element.hidden,
    summary: element.querySelector('#compare-summary').textContent,
    report: element.querySelector('#compare-report').textContent,
  }));
  assert.equal(section.hidden, false);
  assert.equal(section.report, expected.report);
  const same = expected.report.startsWith('Screen and viewer program differ in 0 of');
  const uncompared = /not compared/.test(expected.report.split('\n')[0]);
  assert.match(section.summary, !same ? /^The rip does not hold/
                                      : uncompared ? /^The rip could not be checked everywhere/
                                                   : /^The rip holds the screen/);
  assert.equal(await differingPixels(page, expected.png, null, '#comparison'), 0, expected.png);
}

// The page shows lumerist's report and offers, byte for byte, what the
// native commands wrote: lumerist's files, the PNG of the picture shown
// (the screen, or with `viewer` the viewer's picture), the comparison's PNG
// and lumerist-sprites' files; its Sprites section shows the sprites' lines
// of that report.
async function assertShowsRuns(expected, viewer = false) {
  const actual = await shown(page);
  assert.equal(actual.report, expected.output);
  assert.equal(actual.status, expected.status);
  const offered = {...expected.files};
  if (expected.status === 0) {
    Object.assign(offered, (viewer ? expected.viewer : expected.screen).files, expected.compare.files,
                  expected.sprites.files);
  }
  assert.deepEqual(Object.keys(actual.links).sort(), Object.keys(offered).sort());
  for (const [file, bytes] of Object.entries(offered)) {
    assert.ok(Buffer.from(actual.links[file]).equals(bytes), `${file} differs from the native one`);
  }
  const sprites = expected.status === 0
      ? expected.sprites.output.split('\n').filter((line) => /^Sprites? /.test(line) && !line.includes('\t'))
          .map((line) => line + '\n').join('')
      : '';
  assert.equal(await page.$eval('#sprite-report', (report) => report.textContent), sprites);
  assert.equal(await page.$eval('#sprites', (section) => section.hidden), expected.status !== 0);
  if (expected.status === 0) {
    assert.equal(await page.$eval('#sprite-notes', (notes) => notes.textContent), expected.sprites.errors);
  }
}

describe('a bundled example chosen in the file input', () => {
  for (const name of ['picture.vsf', 'text.vsf']) {
    test(`${name}: the commands' reports, files and pictures`, async () => {
      const run = natives(name, example(name));
      page = await openPage(browser);
      await page.setViewport({width: 1000, height: 800});  // room for the sheet at twice its size
      await choose(page, '#snapshot-file', run.file);
      await assertShowsRuns(run);
      await assertShowsComparison(compared(run.file));
      const screen = preview(run.file);
      const viewer = preview(run.file, ['--viewer'], 'viewer');
      for (const [checked, png] of [[false, screen], [true, viewer], [false, screen]]) {
        if (await page.$eval('#viewer-picture', (box) => box.checked) !== checked) {
          await page.click('#viewer-picture');
        }
        await assertShowsRuns(run, checked);
        assert.equal(await differingPixels(page, png), 0, `canvas against ${png}`);
      }
      const sheet = await page.$eval('#sprite-sheet', async (image) => {
        await image.decode();
        return [image.naturalWidth, image.naturalHeight, image.getBoundingClientRect().width];
      });
      assert.deepEqual(sheet, [416, 368, 832]);
    });
  }
});

describe('files lumerist refuses', () => {
  const picture = fs.readFileSync(example('picture.vsf'));
  for (const [name, bytes] of [['notes.txt', Buffer.from('not a snapshot\n')],
                               ['empty.vsf', Buffer.alloc(0)],
                               ['cut.vsf', picture.subarray(0, 80)],
                               ['colour-ram-cut.vsf',
                                picture.subarray(0, picture.indexOf('VIC-IISC') + 783 + 300)]]) {
    test(`${name}: lumerist's refusal, status 255, nothing left of the snapshot before`, async () => {
      const run = natives(name, bytes);
      assert.equal(run.status, 255);
      page = await openPage(browser);
      await choose(page, '#snapshot-file', example('text.vsf'));
      await shown(page);
      await choose(page, '#snapshot-file', run.file);
      await page.waitForFunction(() => document.getElementById('page-message').textContent);
      await assertShowsRuns(run);
      assert.equal(await page.$eval('#page-message', (message) => message.textContent),
                   run.output.trim());
      const visible = await page.$$eval('main > section:not(.files), h2, canvas, img, a', (elements) =>
        elements.filter((element) => element.checkVisibility()).map((element) => element.id));
      assert.deepEqual(visible, ['results-section', 'report-heading']);
    });
  }
});

describe('a character ROM image', () => {
  // A text screen of VICE 3.10 whose characters come from the ROM, which
  // it lacks: one of the fuzz target's seeds.
  const seeds = folderWith({});
  const seedsRun = runNative(path.join('fuzz', 'make_fuzz_seeds'), [seeds], seeds);
  const snapshot = path.join(seeds, 'Vice310CycleExact-text.vsf');
  const rom = Buffer.from(Array.from({length: 4096}, (_, i) => (i * 37) ^ (i >> 4)));

  test('of the wrong size is refused as lumerist-preview refuses it, and not used', async () => {
    assert.equal(seedsRun.status, 0);
    const folder = folderWith({'rom.bin': rom.subarray(1), 'shot.vsf': snapshot});
    const refusal = runNative('lumerist-preview', ['--chargen', 'rom.bin', 'shot.vsf'], folder);
    assert.equal(refusal.status, 255);
    page = await openPage(browser);
    await choose(page, '#chargen-file', path.join(folder, 'rom.bin'));
    await page.waitForFunction(() => document.getElementById('chargen-status').textContent);
    assert.equal(await page.$eval('#chargen-status', (status) => status.textContent),
                 refusal.output.trim());
    await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
    await shown(page);
    assert.equal(await differingPixels(page, preview(path.join(folder, 'shot.vsf'))), 0);
    const native = runNative('lumerist-preview', ['shot.vsf', 'native.png'], folder);
    assert.match(native.errors, /^Note: 'shot.vsf' holds no character ROM/);
    assert.equal(await page.$eval('#picture-notes', (notes) => notes.textContent), native.errors);
  });

  test('of 4096 bytes reaches every command as $LUMERIST_CHARGEN does', async () => {
    const folder = folderWith({'rom.bin': rom, 'shot.vsf': snapshot});
    const withRom = preview(path.join(folder, 'shot.vsf'), ['--chargen', 'rom.bin'], 'rom');
    page = await openPage(browser);
    await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
    await shown(page);
    assert.notEqual(await differingPixels(page, withRom), 0, 'the ROM changes nothing');
    await choose(page, '#chargen-file', path.join(folder, 'rom.bin'));
    await page.waitForFunction(() => document.getElementById('chargen-status').textContent);
    await assertShowsRuns(natives('shot.vsf', snapshot, {LUMERIST_CHARGEN: path.join(folder, 'rom.bin')}));
    assert.equal(await differingPixels(page, withRom), 0);
    assert.equal(await page.$eval('#picture-notes', (notes) => notes.textContent), '');
  });
});

describe('checking the rip of made snapshots', () => {
  const picture = fs.readFileSync(example('picture.vsf'));
  const text = fs.readFileSync(example('text.vsf'));
  // The text screen of VICE 3.10 whose characters come from the ROM it lacks.
  const seeds = folderWith({});
  runNative(path.join('fuzz', 'make_fuzz_seeds'), [seeds], seeds);
  const romText = fs.readFileSync(path.join(seeds, 'Vice310CycleExact-text.vsf'));
  const rom = Buffer.from(Array.from({length: 4096}, (_, i) => (i * 7) & 0xFF));
  const raster = {0x11: 0xBB, 0x12: 0x10, 0x1A: 0x01};  // line 272
  // The last cause: the screen is the saved frame, so no raster interrupt line follows.
  const savedChanges = /\nThe frame VICE saved differs from the registers in \d+ pixels: changes[^\n]*\n$/;
  const cases = [
    {about: 'characters from the ROM the snapshot lacks, none chosen', snapshot: romText, changes: {},
     cause: /^No character ROM is at hand \(the snapshot holds none, and no file gives one\)/m},
    {about: 'a raster interrupt, no saved frame', snapshot: text,
     changes: {registers: {0x12: 0xF8, 0x1A: 0x01}}, cause: /^The raster interrupt is on \(line 248\)/m},
    {about: 'a raster interrupt, the saved frame empty as VICE 3.6.1 leaves it',
     snapshot: picture, changes: {registers: raster, frame: 0},
     cause: /^Sprites on the screen: 0, 1, 2;.*\nThe raster interrupt is on \(line 272\)/m},
    {about: 'a raster interrupt and a saved frame', snapshot: picture,
     changes: {registers: raster, frame: 11},
     cause: /\nThe frame VICE saved differs from the registers in \d+ pixels that do not depend on the character ROM: changes[^\n]*\n$/},
    {about: 'a saved frame that needs the ROM the snapshot lacks', snapshot: romText,
     changes: {frame: 6},
     cause: /^The frame VICE saved differs from the registers in \d+ pixels that do not depend/m},
    {about: 'the same with a character ROM given', snapshot: romText,
     changes: {frame: 6}, options: ['--chargen', 'rom.bin'], cause: savedChanges},
  ];
  for (const {about, snapshot, changes, options = [], cause} of cases) {
    test(`${about}: lumerist-preview's comparison and notes`, async () => {
      const folder = folderWith({'shot.vsf': patchedSnapshot(snapshot, changes), 'rom.bin': rom});
      const expected = compared(path.join(folder, 'shot.vsf'), options);
      assert.match(expected.report, cause);
      const notes = runNative('lumerist-preview', [...options, 'shot.vsf', 'screen.png'], folder).errors;
      page = await openPage(browser);
      if (options.length > 0) {
        await choose(page, '#chargen-file', path.join(folder, 'rom.bin'));
        await page.waitForFunction(() => document.getElementById('chargen-status').textContent);
      }
      await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
      await shown(page);
      await assertShowsComparison(expected);
      assert.equal(await page.$eval('#picture-notes', (element) => element.textContent), notes);
    });
  }
});

describe('other ways in', () => {
  const run = natives('text.vsf', example('text.vsf'));

  test('?snapshot= loads a snapshot from the page\'s own site', async () => {
    const served = new URL('hosted/text.vsf', pageUrl).pathname;
    page = await openPage(browser, '?snapshot=hosted/text.vsf', {[served]: run.file});
    await assertShowsRuns(run);
    assert.equal(await differingPixels(page, preview(run.file)), 0);
  });

  for (const [address, served] of [['missing.vsf', null], ['http://192.0.2.1/missing.vsf', undefined]]) {
    test(`?snapshot=${address} fails as lumerist fails on a file it cannot open`, async () => {
      const missing = runNative('lumerist', ['missing.vsf'], folderWith({}));
      const pathname = new URL('missing.vsf', pageUrl).pathname;
      page = await openPage(browser, `?snapshot=${address}`, served === null ? {[pathname]: null} : {});
      await assertShowsRuns(missing);
      assert.notEqual(await page.$eval('#page-message', (message) => message.textContent), '');
      page.problems = page.problems.filter((problem) => !/status of 404/.test(problem));
    });
  }

  test('a snapshot dropped on the page is opened', async () => {
    page = await openPage(browser);
    const bytes = Array.from(fs.readFileSync(run.file));
    await page.evaluate((bytes) => {
      const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(bytes)], 'text.vsf'));
      document.querySelector('h1').dispatchEvent(
          new DragEvent('drop', {dataTransfer: dropped, bubbles: true, cancelable: true}));
    }, bytes);
    await assertShowsRuns(run);
    assert.equal(await page.$eval('#snapshot-file', (input) => input.files[0].name), 'text.vsf');
  });
});

describe('snapshots of unusual make', () => {
  test('a name with control characters is used as lumerist uses it', async () => {
    const name = 'shot\n\t\x01\x7f.vsf';
    const run = natives(name, example('text.vsf'));
    assert.equal(run.status, 0);
    page = await openPage(browser);
    await page.evaluate((name, bytes) => {
      const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(bytes)], name));
      document.querySelector('h1').dispatchEvent(
          new DragEvent('drop', {dataTransfer: dropped, bubbles: true, cancelable: true}));
    }, name, Array.from(fs.readFileSync(run.file)));
    await assertShowsRuns(run);
  });
});

describe('the page itself', () => {
  test('every control is labelled and reached with the Tab key', async () => {
    page = await openPage(browser);
    await choose(page, '#snapshot-file', example('text.vsf'));
    await page.waitForSelector('#bands-report[data-status]');
    const unlabelled = await page.$$eval('input', (inputs) =>
      inputs.filter((input) => input.labels.length === 0).map((input) => input.id));
    assert.deepEqual(unlabelled, []);
    const reached = new Set();
    for (let i = 0; i < 30; i += 1) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => document.activeElement.id ||
          document.activeElement.getAttribute('download') || document.activeElement.value));
    }
    for (const control of ['snapshot-file', 'chargen-file', 'viewer-picture', '.64c',
                           'text.vsf.band1.prg', 'text.vsf.prg', 'text.vsf.png']) {
      assert.ok(reached.has(control), `${control} is not reached`);
    }
  });

  test('its files total at most 600 KB', () => {
    const total = fs.readdirSync(pageDir).reduce(
        (sum, name) => sum + fs.statSync(path.join(pageDir, name)).size, 0);
    assert.ok(total > 0 && total <= 600 * 1000, `${total} bytes`);
  });
});

describe('export', () => {
  for (const [name, stem] of [['picture.vsf', 'picture'], ['text.vsf', 'text']]) {
    test(`${name}: the formats lumerist-export takes for it, its report and files`, async () => {
      // The formats that fit: those lumerist-export writes for this snapshot.
      const list = runNative('lumerist-export', ['--list'], folderWith({})).output;
      const fitting = list.split('\n').filter(Boolean).map((line) => line.split(' ')[0])
          .filter((extension) => runNative('lumerist-export', [name, stem + extension],
                                           folderWith({[name]: example(name)}), [name]).status === 0);
      assert.ok(fitting.length >= 2);
      const folder = folderWith({[name]: example(name)});
      const native = runNative('lumerist-export', [name, ...fitting.map((extension) => stem + extension)],
                               folder, [name]);
      assert.equal(native.status, 0, native.output);
      page = await openPage(browser);
      await choose(page, '#snapshot-file', path.join(folder, name));
      await shown(page);
      const offered = await page.$$eval('#export-formats input', (boxes) => boxes.map((box) => box.value));
      assert.deepEqual(offered, fitting);
      assert.equal(await page.$eval('#export-button', (button) => button.disabled), true);
      for (const box of await page.$$('#export-formats input')) await box.click();
      await page.click('#export-button');
      await page.waitForSelector('#export-report[data-status]');
      assert.equal(await page.$eval('#export-report', (report) => report.textContent),
                   native.output + native.errors);
      const files = await page.$$eval('#export-downloads a', (links) => Promise.all(links.map(
          async (link) => [link.download, Array.from(new Uint8Array(await (await fetch(link.href)).arrayBuffer()))])));
      assert.deepEqual(files.map(([file]) => file).sort(), Object.keys(native.files).sort());
      for (const [file, bytes] of files) {
        assert.ok(Buffer.from(bytes).equals(native.files[file]), `${file} differs from the native one`);
      }
    });
  }
});

describe('bands', () => {
  const cases = [
    // The picture on lines 16-210, a score panel below.
    {about: 'a split screen', snapshot: fs.readFileSync(example('split.vsf')),
     marks: ['band 1, lines 16 to 210', 'band 2, lines 211 to 287']},
    {about: 'a snapshot without a saved frame', snapshot: fs.readFileSync(example('text.vsf')), marks: null},
  ];
  for (const {about, snapshot, marks} of cases) {
    test(`${about}: lumerist-bands' lines, reports and files, the frame marked`, async () => {
      const folder = folderWith({'shot.vsf': snapshot});
      const native = runNative('lumerist-bands', ['shot.vsf'], folder, ['shot.vsf']);
      assert.equal(native.status, 0, native.output);
      const rule = native.output.search(/^-+$/m);
      page = await openPage(browser);
      await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
      await page.waitForSelector('#bands-report[data-status]');
      const shownBands = await page.evaluate(async () => ({
        lines: document.getElementById('bands-report').textContent,
        rips: document.getElementById('band-rips').textContent,
        notes: document.getElementById('bands-notes').textContent,
        frame: document.getElementById('bands-frame').checkVisibility() &&
            document.getElementById('bands-frame').getAttribute('aria-label'),
        files: await Promise.all([...document.querySelectorAll('#bands-downloads a')].map(async (link) =>
          [link.download, Array.from(new Uint8Array(await (await fetch(link.href)).arrayBuffer()))])),
      }));
      assert.equal(shownBands.lines, rule < 0 ? native.output : native.output.slice(0, rule));
      assert.equal(shownBands.lines + shownBands.rips, native.output);
      assert.equal(shownBands.notes, native.errors);
      assert.deepEqual(shownBands.frame ? shownBands.frame.replace(/^.*?, with /, '').split('; ') : null,
                       marks);
      assert.deepEqual(shownBands.files.map(([file]) => file).sort(), Object.keys(native.files).sort());
      for (const [file, bytes] of shownBands.files) {
        assert.ok(Buffer.from(bytes).equals(native.files[file]), `${file} differs from the native one`);
      }
    });
  }
});

describe('the workbench', () => {
  // The files a page's links offer, by name.
  const linked = (selector) => page.$$eval(selector, (links) => Promise.all(links.map(async (link) =>
    [link.download, Array.from(new Uint8Array(await (await fetch(link.href)).arrayBuffer()))])));

  test('a band chosen: lumerist, the viewer\'s picture and the sprites follow it; a card for each band',
       async () => {
    const folder = folderWith({'shot.vsf': example('split.vsf')});
    const native = runNative('lumerist', ['--band', '2', 'shot.vsf'], folder, ['shot.vsf']);
    const viewer = runNative('lumerist-preview', ['--viewer', '--band', '2', 'shot.vsf'],
                             folderWith({'shot.vsf': example('split.vsf')}), ['shot.vsf']);
    const sprites = runNative('lumerist-sprites', ['--band', '2', 'shot.vsf'],
                              folderWith({'shot.vsf': example('split.vsf')}), ['shot.vsf']);
    page = await openPage(browser);
    await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
    await page.waitForSelector('#bands-report[data-status]');
    assert.equal(await page.$eval('#band-chooser', (p) => p.hidden), false);
    const cards = await page.$$eval('.band-card', (all) => all.map((card) => ({
      heading: card.querySelector('h3').textContent, lines: card.querySelector('p').textContent,
      thumbnail: Boolean(card.querySelector('canvas')),
      files: [...card.querySelectorAll('a')].map((a) => a.download)})));
    assert.deepEqual(cards.map((card) => [card.heading, card.lines, card.thumbnail]),
                     [['Band 1', 'Lines 16 to 210: MC Bitmap', true],
                      ['Band 2', 'Lines 211 to 287: Text', true]]);
    assert.ok(cards[1].files.includes('shot.vsf.band2.prg'), cards[1].files.join());
    await page.select('#band-choice', '2');
    await page.waitForFunction(() => document.getElementById('report').textContent.includes('band2'));
    await page.click('#viewer-picture');
    const run = await shown(page);
    assert.equal(run.report, native.output);
    assert.ok(Buffer.from(run.links['shot.vsf.band2.prg']).equals(native.files['shot.vsf.band2.prg']));
    assert.ok(Buffer.from(run.links['shot.vsf.band2.viewer.png'])
        .equals(viewer.files['shot.vsf.band2.viewer.png']));
    assert.ok(Buffer.from(run.links['shot.vsf.band2.sprites.png'])
        .equals(sprites.files['shot.vsf.band2.sprites.png']));
  });

  test('"Download all" gives one zip of every file the page made, each once', async () => {
    const folder = folderWith({'shot.vsf': example('split.vsf')});
    page = await openPage(browser);
    await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
    await page.waitForSelector('#bands-report[data-status]');
    const single = new Map([...await linked('#downloads a'), ...await linked('#bands-downloads a')]);
    const zipped = await page.evaluate(() => new Promise((resolve) => {
      const click = HTMLAnchorElement.prototype.click;
      HTMLAnchorElement.prototype.click = function () {
        HTMLAnchorElement.prototype.click = click;
        fetch(this.href).then((r) => r.arrayBuffer())
            .then((b) => resolve({name: this.download, bytes: Array.from(new Uint8Array(b))}));
      };
      document.getElementById('download-all').click();
    }));
    assert.equal(zipped.name, 'shot.vsf.zip');
    const {unzipSync} = await import('fflate');
    const entries = unzipSync(new Uint8Array(zipped.bytes));
    assert.deepEqual(Object.keys(entries).sort(), [...single.keys()].sort());
    for (const [name, bytes] of Object.entries(entries)) {
      assert.ok(Buffer.from(bytes).equals(Buffer.from(single.get(name))), `${name} differs`);
    }
  });

  test('a palette file chosen draws the PNG files as lumerist-preview --palette does', async () => {
    const colours = Array.from({length: 16}, (_, i) =>
      `${(i * 16).toString(16).padStart(2, '0')} ${(255 - i * 16).toString(16)} 40\n`).join('');
    const folder = folderWith({'shot.vsf': example('picture.vsf'), 'mine.vpl': Buffer.from(colours)});
    const native = runNative('lumerist-preview', ['--palette', 'mine.vpl', 'shot.vsf'], folder,
                             ['shot.vsf', 'mine.vpl']);
    page = await openPage(browser);
    await choose(page, '#palette-file', path.join(folder, 'mine.vpl'));
    await choose(page, '#snapshot-file', path.join(folder, 'shot.vsf'));
    const run = await shown(page);
    assert.ok(Buffer.from(run.links['shot.vsf.png']).equals(native.files['shot.vsf.png']));
    assert.equal(await differingPixels(page, null, 'shot.vsf.png'), 0);
  });

  test('each report sits in a section that opens and closes', async () => {
    page = await openPage(browser);
    await choose(page, '#snapshot-file', example('split.vsf'));
    await page.waitForSelector('#bands-report[data-status]');
    const reports = ['report', 'bands-report', 'sprite-report', 'compare-report', 'export-report'];
    const inDetails = await page.evaluate((ids) => ids.map((id) =>
      document.getElementById(id).closest('details') !== null), reports);
    assert.deepEqual(inDetails, reports.map(() => true));
    await page.click('#results-section summary');
    assert.equal(await page.$eval('#report', (pre) => pre.checkVisibility()), false);
  });
});

describe('the worker', () => {
  test('a 16 MiB snapshot is shown about as fast as the same one without its extra module', async (t) => {
    const seeds = folderWith({});
    runNative(path.join('fuzz', 'make_fuzz_seeds'), [seeds], seeds);
    const plain = fs.readFileSync(path.join(seeds, 'Vice310CycleExact-multicolour.vsf'));
    const header = Buffer.alloc(22);
    header.write('PADDING', 0, 'latin1');
    header[16] = 1;
    header.writeUInt32LE(22 + 16 * 1024 * 1024, 18);
    const big = Buffer.concat([plain, header, Buffer.alloc(16 * 1024 * 1024, 0x5A)]);
    const timings = {};
    const read = {};
    for (const [label, bytes] of [['plain', plain], ['big', big], ['plain', plain], ['big', big]]) {
      const run = natives('shot.vsf', bytes);
      assert.equal(run.status, 0, run.output);
      page = await openPage(browser);
      await page.waitForNetworkIdle();
      // Counts the bytes the worker reads from files.
      const worker = page.workers()[0] ?? await new Promise((resolve) => page.once('workercreated', resolve));
      await worker.evaluate(() => {
        const readSlice = FileReaderSync.prototype.readAsArrayBuffer;
        self.bytesRead = 0;
        FileReaderSync.prototype.readAsArrayBuffer = function (blob) {
          self.bytesRead += blob.size;
          return readSlice.call(this, blob);
        };
      });
      const start = performance.now();
      await choose(page, '#snapshot-file', run.file);
      await page.waitForSelector('#report[data-status]');
      timings[label] = Math.min(timings[label] ?? Infinity, performance.now() - start);
      await assertShowsRuns(run);
      read[label] = await worker.evaluate(() => self.bytesRead);
      await page.close();
      page = null;
    }
    t.diagnostic(`shown in ${JSON.stringify(timings)} ms, ${JSON.stringify(read)} bytes read`);
    assert.ok(timings.big < 3 * timings.plain, JSON.stringify(timings));
    assert.ok(read.plain > 0 && read.big < 2 * read.plain, JSON.stringify(read));
  });
});
