// The page in Debian's Chromium, and the native tools it is compared with.
// LUMERIST_PAGE_URL is where a static server serves the page's folder,
// LUMERIST_PAGE_DIR (default: build-web/web in the source tree);
// LUMERIST_BUILD is the native build (default: build).

import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

export const sourceDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const nativeBuild = process.env.LUMERIST_BUILD || path.join(sourceDir, 'build');
export const pageDir = process.env.LUMERIST_PAGE_DIR || path.join(sourceDir, 'build-web', 'web');
export const pageUrl = process.env.LUMERIST_PAGE_URL;
if (!pageUrl) throw new Error('LUMERIST_PAGE_URL must name the served page, e.g. http://127.0.0.1:8000/');

// Temporary folders, removed when the tests end.
const folders = [];
function temporaryFolder(prefix) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), prefix));
  folders.push(folder);
  return folder;
}
process.on('exit', () => {
  for (const folder of folders) fs.rmSync(folder, {recursive: true, force: true});
});

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: temporaryFolder('lumerist-chromium-'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A fresh folder holding copies of `files` ({name: Buffer or source path}).
export function folderWith(files) {
  const folder = temporaryFolder('lumerist-web-');
  for (const [name, content] of Object.entries(files)) {
    const bytes = Buffer.isBuffer(content) ? content : fs.readFileSync(content);
    fs.writeFileSync(path.join(folder, name), bytes);
  }
  return folder;
}

// Runs a native tool in `folder`: its status, standard output and error,
// and the files it left there besides `inputs`. Like the page, it finds no
// character ROM in VICE's folders; `env` adds to its environment.
const noRoms = temporaryFolder('lumerist-no-roms-');
export function runNative(tool, args, folder, inputs = [], env = {}) {
  const environment = {...process.env, XDG_DATA_HOME: noRoms, XDG_DATA_DIRS: noRoms, ...env};
  if (!('LUMERIST_CHARGEN' in env)) delete environment.LUMERIST_CHARGEN;
  const result = spawnSync(path.join(nativeBuild, tool), args, {cwd: folder, env: environment});
  const files = {};
  for (const name of fs.readdirSync(folder)) {
    if (!inputs.includes(name)) files[name] = fs.readFileSync(path.join(folder, name));
  }
  return {status: result.status, output: result.stdout.toString(), errors: result.stderr.toString(),
          files};
}

// Files put into the served folder for a test, removed when the tests end.
const hosted = [];
process.on('exit', () => {
  for (const file of hosted) fs.rmSync(file, {recursive: true, force: true});
});

// A page that fails its test on any error and any request off its own
// site. `serve` maps paths on the page's site to files put there for the
// page to fetch (hosted snapshots); null, to none. Requests are watched,
// not intercepted: Chromium holds a worker's intercepted requests.
export async function openPage(browser, query = '', serve = {}) {
  for (const [pathname, file] of Object.entries(serve)) {
    const served = path.join(pageDir, ...pathname.split('/'));
    fs.rmSync(served, {force: true});
    if (file === null) continue;
    const folder = fs.mkdirSync(path.dirname(served), {recursive: true});
    fs.copyFileSync(file, served);
    hosted.push(folder || served);
  }
  const page = await browser.newPage();
  const origin = new URL(pageUrl).origin;
  page.problems = [];
  page.on('pageerror', (error) => page.problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') page.problems.push(message.text());
  });
  page.on('request', (request) => {
    const url = new URL(request.url());
    if (url.protocol !== 'blob:' && url.protocol !== 'data:' && url.origin !== origin) {
      page.problems.push(`request to ${url}`);
    }
  });
  await page.goto(new URL(query, pageUrl).href);
  return page;
}

// Waits until the page has shown a run and returns what it shows.
export async function shown(page) {
  await page.waitForSelector('#report[data-status]');
  return page.evaluate(async () => {
    const links = {};
    for (const link of document.querySelectorAll('#downloads a[download]')) {
      const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
      links[link.download] = Array.from(bytes);
    }
    const report = document.getElementById('report');
    return {status: Number(report.dataset.status), report: report.textContent, links};
  });
}

export async function choose(page, selector, file) {
  const input = await page.$(selector);
  await input.uploadFile(file);
}

// A copy of a VICE 3.x snapshot (one with a module directory) with some
// VIC-II registers ($D000 + key) changed and, with `frame` set, the frame
// VICE saved filled with that byte: 0 empties it, as VICE 3.6.1 leaves it.
export function patchedSnapshot(bytes, {registers = {}, frame} = {}) {
  const file = Buffer.from(bytes);
  const cycleExact = file.toString('latin1', 21, 26) === 'C64SC';
  const modules = {};
  for (let at = 58, size = 22; size >= 22 && at + 22 <= file.length; at += size) {
    modules[file.toString('latin1', at, at + 16).replace(/\0+$/, '')] = at;
    size = file.readUInt32LE(at + 18);
  }
  const vic = modules['VIC-IISC'] ?? modules['VIC-II'];
  for (const [n, value] of Object.entries(registers)) {
    file[vic + (cycleExact ? 23 : 1141) + Number(n)] = value;
  }
  if (frame !== undefined) {
    const width = cycleExact ? 384 : 504;
    const start = vic + (cycleExact ? 2081 : 1259) + 12 + 2 * width;
    file.fill(frame, start, start + width * 312);
  }
  return file;
}

// How many pixels of the canvas `selector` differ from the PNG file at
// `png`; with `link`, compares the PNG the page offers under that name
// instead.
export function differingPixels(page, png, link = null, selector = '#screen') {
  const data = link ? null : fs.readFileSync(png).toString('base64');
  return page.evaluate(async (data, link, selector) => {
    const image = new Image();
    image.src = link ? document.querySelector(`a[download="${link}"]`).href
                     : `data:image/png;base64,${data}`;
    await image.decode();
    const screen = document.querySelector(selector);
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    if (image.width !== screen.width || image.height !== screen.height) return -1;
    const expected = context.getImageData(0, 0, image.width, image.height).data;
    const actual = screen.getContext('2d').getImageData(0, 0, screen.width, screen.height).data;
    let differing = 0;
    for (let i = 0; i < actual.length; i += 4) {
      if (actual[i] !== expected[i] || actual[i + 1] !== expected[i + 1] ||
          actual[i + 2] !== expected[i + 2] || actual[i + 3] !== expected[i + 3]) {
        differing += 1;
      }
    }
    return differing;
  }, data, link, selector);
}

