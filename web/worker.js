'use strict';
// Runs the commands compiled to WebAssembly (lumerist.js) for the page, away
// from its thread. The snapshot and the character ROM are the page's own
// File or Blob, mounted with WORKERFS: each read of a command takes only the
// bytes it asks for. The commands run in an in-memory folder, where a link
// names the snapshot as the page does and their outputs land; the page gets
// back what they printed, drew and wrote.
importScripts('lumerist.js');

const RUN_DIR = '/run';  // the commands' current folder
const SNAPSHOT_DIR = '/snapshot';
const ROM_DIR = '/rom';
const PALETTE_DIR = '/palette';
const HEIGHT = 272;

// What the module prints to standard output and to standard error, byte by
// byte, while a command runs.
let printedBytes = [];
let noteBytes = [];
const ready = createLumerist({
  stdout: (byte) => printedBytes.push(byte & 0xFF),
  stderr: (byte) => noteBytes.push(byte & 0xFF),
}).then((module) => {
  for (const folder of [RUN_DIR, SNAPSHOT_DIR, ROM_DIR, PALETTE_DIR]) module.FS.mkdir(folder);
  module.FS.chdir(RUN_DIR);
  return module;
});

// Calls the entry point `name` with string or number arguments: its
// result, the text it printed and the notes it wrote.
function call(module, name, returns, ...args) {
  printedBytes = [];
  noteBytes = [];
  const types = args.map((arg) => (typeof arg === 'number' ? 'number' : 'string'));
  const result = module.ccall(name, returns, types, args);
  const decode = (bytes) => new TextDecoder().decode(new Uint8Array(bytes));
  return {result, text: decode(printedBytes), notes: decode(noteBytes)};
}

// Empties the run folder but for the link named `kept`.
function emptyRunFolder(module, kept = null) {
  for (const name of module.FS.readdir(RUN_DIR)) {
    if (name !== '.' && name !== '..' && name !== kept) module.FS.unlink(`${RUN_DIR}/${name}`);
  }
}

// Mounts `blob` alone in `folder` as `name`; none leaves the folder empty.
const mounted = new Set();
function mount(module, folder, name, blob) {
  if (mounted.delete(folder)) module.FS.unmount(folder);
  if (!blob) return;
  module.FS.mount(module.FS.filesystems.WORKERFS, {blobs: [{name, data: blob}]}, folder);
  mounted.add(folder);
}

// The files the last run wrote, in the order its report names them.
function writtenFiles(module) {
  const count = module.ccall('lumerist_output_count', 'number', [], []);
  const files = [];
  for (let i = 0; i < count; i += 1) {
    const name = module.UTF8ToString(module.ccall('lumerist_output_name', 'number', ['number'], [i]));
    files.push({name, blob: new Blob([module.FS.readFile(name)])});
  }
  return files;
}

// The buffers of the answer being made, handed over rather than copied.
let transfers = [];

// The pixels the last run drew (RGBA, 272 rows), or null.
function pixels(module) {
  const count = module.ccall('lumerist_pixel_count', 'number', [], []);
  if (count === 0) return null;
  const start = module.ccall('lumerist_pixels', 'number', [], []);
  const data = module.HEAPU8.slice(start, start + count * 4).buffer;
  transfers.push(data);
  return {width: count / HEIGHT, data};
}

// The snapshot opened last: its name in the run folder.
let snapshot = '';
// The palette file chosen, as the commands name it ('' for VICE's colours).
let palette = '';

const tasks = {
  // Takes a character ROM image (a File), or none, for every later run.
  chargen(module, {name, file}) {
    mount(module, ROM_DIR, name, file);
    module.FS.chdir(ROM_DIR);
    const used = call(module, 'lumerist_use_chargen', 'number', file ? name : '');
    module.FS.chdir(RUN_DIR);
    if (!used.result) mount(module, ROM_DIR, name, null);
    return {usable: used.result === 1, refusal: used.text.trim()};
  },

  // Opens a snapshot (a File or Blob; none for one that could not be had,
  // which the commands then cannot open) and runs lumerist, lumerist-preview
  // (the screen, the viewer's picture, the check) and lumerist-sprites.
  palette(module, {name, file}) {
    mount(module, PALETTE_DIR, name, file);
    palette = file ? `${PALETTE_DIR}/${name}` : '';
    return true;
  },

  open(module, {name, file, band}) {
    emptyRunFolder(module);
    module.ccall('lumerist_choose', null, ['number', 'string'], [band || 0, palette]);
    mount(module, SNAPSHOT_DIR, name, file);
    snapshot = name;
    if (file) module.FS.symlink(`${SNAPSHOT_DIR}/${name}`, `${RUN_DIR}/${name}`);
    const lumerist = call(module, 'lumerist_run', 'number', name);
    const opened = {status: lumerist.result, text: lumerist.text, outputs: writtenFiles(module)};
    if (opened.status !== 0) return opened;
    const picture = (viewer) => {
      const run = call(module, 'lumerist_preview', 'number', name, viewer ? 1 : 0);
      if (run.result < 0) return null;
      return {source: run.result, notes: run.notes, image: pixels(module), png: writtenFiles(module)[0]};
    };
    opened.pictures = {screen: picture(false), viewer: picture(true)};
    const check = call(module, 'lumerist_compare', 'number', name);
    opened.compared = check.result < 0 ? null : {
      differing: check.result, uncompared: module.ccall('lumerist_uncompared', 'number', [], []),
      text: check.text.replace(/[^\n]*\n$/, ''), image: pixels(module), png: writtenFiles(module)[0],
    };
    const sprites = call(module, 'lumerist_sprites', 'number', name);
    opened.sprites = {status: sprites.result, text: sprites.text, notes: sprites.notes,
                      outputs: sprites.result === 0 ? writtenFiles(module) : []};
    opened.formats = call(module, 'lumerist_export_formats', 'string', name).result
        .split('\n').filter(Boolean).map((line) => {
          const [extension, formatName] = line.split('\t');
          return {extension, name: formatName};
        });
    return opened;
  },

  // lumerist-export on the snapshot opened last, a file for each extension.
  export(module, {extensions}) {
    const run = call(module, 'lumerist_export', 'number', snapshot, extensions.join(' '));
    return {status: run.result, text: run.text, notes: run.notes,
            outputs: run.result === 0 ? writtenFiles(module) : []};
  },

  // lumerist-bands on the snapshot opened last.
  bands(module, {band}) {
    module.ccall('lumerist_choose', null, ['number', 'string'], [0, palette]);
    const run = call(module, 'lumerist_bands', 'number', snapshot);
    const marks = module.UTF8ToString(module.ccall('lumerist_bands_found', 'number', [], []));
    const found = {status: run.result, text: run.text, notes: run.notes,
                   outputs: run.result === 0 ? writtenFiles(module) : [], frame: pixels(module),
                   bands: marks.split('\n').filter(Boolean).map((line) => {
                     const [number, firstLine, lastLine, drawn] = line.split(' ').map(Number);
                     return {number, firstLine, lastLine, drawn: drawn === 1};
                   })};
    // Each drawn band's rip as its viewer program shows it, for its card.
    for (const mark of found.bands) {
      if (!mark.drawn || found.bands.length < 2) continue;
      module.ccall('lumerist_choose', null, ['number', 'string'], [mark.number, palette]);
      const viewer = call(module, 'lumerist_preview', 'number', snapshot, 1);
      if (viewer.result >= 0) mark.thumbnail = pixels(module);
      for (const name of module.FS.readdir(RUN_DIR)) {
        if (name.endsWith('.viewer.png')) module.FS.unlink(`${RUN_DIR}/${name}`);
      }
    }
    module.ccall('lumerist_choose', null, ['number', 'string'], [band || 0, palette]);
    return found;
  },
};

// Each message names a task and carries an id that the answer repeats; the
// tasks run one at a time, in the order they came.
let queue = Promise.resolve();
self.onmessage = ({data}) => {
  queue = queue.then(() => ready).then((module) => {
    transfers = [];
    let answer;
    try {
      answer = {id: data.id, result: tasks[data.task](module, data)};
    } catch (error) {
      answer = {id: data.id, error: String(error.message || error)};
    }
    // The outputs now live in the answer's Blobs.
    emptyRunFolder(module, snapshot);
    self.postMessage(answer, transfers);
  }, () => self.postMessage({id: data.id, failed: true}));
};
