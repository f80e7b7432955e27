'use strict';
// Hands a snapshot to lumerist compiled to WebAssembly (lumerist.js) and
// shows what it prints, writes and draws. The files live in the module's
// in-memory file system: nothing leaves the machine.

const byId = (id) => document.getElementById(id);
const snapshotInput = byId('snapshot-file');
const chargenInput = byId('chargen-file');
const chargenClear = byId('chargen-clear');
const chargenStatus = byId('chargen-status');
const pageMessage = byId('page-message');
const canvas = byId('screen');
const viewerBox = byId('viewer-picture');
const pictureSource = byId('picture-source');
const pictureNotes = byId('picture-notes');
const report = byId('report');
const downloads = byId('downloads');
const downloadsHeading = byId('downloads-heading');
const sections = {picture: byId('picture-section'), compare: byId('compare-section'),
                  results: byId('results-section')};
const comparisonCanvas = byId('comparison');
const compareSummary = byId('compare-summary');
const compareReport = byId('compare-report');

const SNAPSHOT_DIR = '/snapshot';  // the folder lumerist runs in
const ROM_DIR = '/rom';
const WIDTH = 384;
const HEIGHT = 272;
const COMPARISON_WIDTH = 3 * WIDTH;
const SOURCES = ['the frame VICE saved', 'the VIC-II registers', 'the viewer program'];

// Everything the module prints to standard output and to standard error
// (notes), byte by byte.
let printedBytes = [];
let noteBytes = [];
// The module, or null when it could not be loaded (the page says so).
const ready = createLumerist({
  stdout: (byte) => printedBytes.push(byte & 0xFF),
  stderr: (byte) => noteBytes.push(byte & 0xFF),
  onAbort: () => fail('The page stopped working; reload it to try again.'),
}).then((module) => {
  module.FS.mkdir(SNAPSHOT_DIR);
  module.FS.mkdir(ROM_DIR);
  return module;
}).catch(() => {
  fail('The page could not load its program, lumerist.wasm: open it from a web server, ' +
       'not as a local file.');
  return null;
});

function fail(message) {
  pageMessage.textContent = message;
}

// Calls `call` and returns its result with the text it printed and the
// notes it wrote to standard error.
function printing(call) {
  printedBytes = [];
  noteBytes = [];
  const result = call();
  const decode = (bytes) => new TextDecoder().decode(new Uint8Array(bytes));
  const text = decode(printedBytes);
  const notes = decode(noteBytes);
  printedBytes = [];
  noteBytes = [];
  return [result, text, notes];
}

function emptyFolder(module, folder) {
  for (const name of module.FS.readdir(folder)) {
    if (name !== '.' && name !== '..') module.FS.unlink(folder + '/' + name);
  }
}

// A name the file system takes as one file in a folder; `fallback` for
// one that cannot be.
function plainName(name, fallback) {
  const base = String(name).split('/').pop().replace(/\0/g, '');
  return base && base !== '.' && base !== '..' && base.length <= 255 ? base : fallback;
}

// The character ROM in use: its path in the file system, or ''.
let chargenPath = '';
// The snapshot last opened: its name and a promise of its bytes.
let opened = null;
// What the page shows for a snapshot once it has been run.
let shown = null;
// Each kind of change counts its starts; one that finds its count moved on
// after waiting has been overtaken by a newer one and stops there.
let opens = 0;
let presentations = 0;
let chargens = 0;

// The pixels the module drew last, `width` wide.
function drawnImage(module, width) {
  const start = module.ccall('lumerist_pixels', 'number', [], []);
  const pixels = module.HEAPU8.slice(start, start + width * HEIGHT * 4);
  return new ImageData(new Uint8ClampedArray(pixels.buffer), width, HEIGHT);
}

function picture(module, name, viewer) {
  const [source, , notes] = printing(() => module.ccall(
      'lumerist_draw', 'number', ['string', 'number', 'string'], [name, viewer ? 1 : 0, chargenPath]));
  if (source < 0) return null;
  return {image: drawnImage(module, WIDTH), source, notes};
}

// The screen beside the viewer's picture, as lumerist-preview --compare
// draws it, with the lines it prints before the one naming its PNG.
function comparison(module, name) {
  const [differing, text] = printing(() => module.ccall(
      'lumerist_compare', 'number', ['string', 'string'], [name, chargenPath]));
  if (differing < 0) return null;
  return {image: drawnImage(module, COMPARISON_WIDTH), differing, text};
}

// The files the last lumerist run wrote, in the order its report names them.
function writtenFiles(module) {
  const count = module.ccall('lumerist_output_count', 'number', [], []);
  const names = [];
  for (let i = 0; i < count; i += 1) {
    names.push(module.UTF8ToString(module.ccall('lumerist_output_name', 'number', ['number'], [i])));
  }
  return names;
}

// Runs lumerist and draws both pictures for the opened snapshot.
function runLumerist(module, name, bytes) {
  emptyFolder(module, SNAPSHOT_DIR);
  module.FS.chdir(SNAPSHOT_DIR);
  // Without bytes there is no file, and lumerist says it cannot open it.
  if (bytes) module.FS.writeFile(name, bytes);
  const [status, text] = printing(() => module.ccall('lumerist_run', 'number', ['string'], [name]));
  const outputs = writtenFiles(module).map((output) => {
    const bytes = module.FS.readFile(output);
    return {name: output, size: bytes.length, url: URL.createObjectURL(new Blob([bytes]))};
  });
  const pictures = {screen: picture(module, name, false), viewer: picture(module, name, true)};
  const compared = comparison(module, name);
  emptyFolder(module, SNAPSHOT_DIR);
  return {name, status, text, outputs, pictures, compared, pngUrl: null};
}

function forget(old) {
  if (!old) return;
  for (const output of old.outputs) URL.revokeObjectURL(output.url);
  if (old.pngUrl) URL.revokeObjectURL(old.pngUrl);
}

function link(name, url, size) {
  const item = document.createElement('li');
  const anchor = document.createElement('a');
  anchor.href = url;
  anchor.download = name;
  anchor.textContent = name;
  const bytes = document.createElement('span');
  bytes.className = 'size';
  bytes.textContent = ` ${size} bytes`;
  item.append(anchor, bytes);
  downloads.append(item);
  downloadsHeading.hidden = false;
}

// Clears what the page shows and stops any presentation under way;
// data-status is set again once all of it is back in place.
function clearShown() {
  presentations += 1;
  report.removeAttribute('data-status');
  for (const section of Object.values(sections)) section.hidden = true;
  downloads.replaceChildren();
  downloadsHeading.hidden = true;
  canvas.getContext('2d').clearRect(0, 0, WIDTH, HEIGHT);
  canvas.setAttribute('aria-label', 'No picture');
  pictureSource.textContent = '';
  pictureNotes.textContent = '';
  comparisonCanvas.getContext('2d').clearRect(0, 0, COMPARISON_WIDTH, HEIGHT);
  comparisonCanvas.setAttribute('aria-label', 'No comparison');
  compareSummary.textContent = '';
  compareReport.textContent = '';
}

// The comparison's section: a plain answer first, then lumerist-preview's
// lines and the picture.
function presentComparison(compared) {
  compareSummary.textContent = compared.differing === 0
    ? 'The rip holds the screen: the viewer program shows it pixel for pixel.'
    : 'The rip does not hold all of the screen: the lines below say why, the picture on the ' +
        'right where.';
  compareReport.textContent = compared.text;
  comparisonCanvas.getContext('2d').putImageData(compared.image, 0, 0);
  comparisonCanvas.setAttribute('aria-label', `The screen of ${shown.name}, the viewer ` +
      `program's picture and their ${compared.differing} differing pixels in white`);
  sections.compare.hidden = false;
}

// Shows `shown` with the picture the checkbox picks.
async function present() {
  clearShown();
  const current = presentations;
  report.textContent = shown.text;
  sections.results.hidden = false;
  const drawn = shown.pictures[viewerBox.checked ? 'viewer' : 'screen'];
  if (drawn) {
    sections.picture.hidden = false;
    canvas.getContext('2d').putImageData(drawn.image, 0, 0);
    const from = SOURCES[drawn.source];
    canvas.setAttribute('aria-label', `The screen of ${shown.name}, drawn from ${from}`);
    pictureSource.textContent = `Drawn from ${from}.`;
    pictureNotes.textContent = drawn.notes;
  }
  if (shown.compared) presentComparison(shown.compared);
  for (const output of shown.outputs) link(output.name, output.url, output.size);
  if (drawn) {
    const png = await new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
    if (current !== presentations) return;
    if (shown.pngUrl) URL.revokeObjectURL(shown.pngUrl);
    shown.pngUrl = URL.createObjectURL(png);
    link(shown.name + '.png', shown.pngUrl, png.size);
  }
  report.setAttribute('data-status', String(shown.status));
}

// Opens a snapshot: `bytes` is a promise of its contents.
async function open(name, bytes) {
  const current = ++opens;
  opened = {name, bytes};
  clearShown();
  report.textContent = '';
  pageMessage.textContent = '';
  let contents = null;
  let problem = '';
  try {
    contents = await bytes;
  } catch (error) {
    problem = `Can't read ${name}: ${error.message}`;
    fail(problem);
  }
  const module = await ready;
  if (current !== opens || !module) return;
  forget(shown);
  shown = null;
  try {
    shown = runLumerist(module, name, contents);
  } catch (error) {
    fail(`The page failed on ${name}: ${error.message || error}`);
    return;
  }
  // lumerist's refusal, where the page's own messages are.
  if (shown.status !== 0) fail([problem, shown.text.trim()].filter(Boolean).join('\n'));
  shown.open = current;
  await present();
}

function openFile(file) {
  open(plainName(file.name, 'snapshot.vsf'), file.arrayBuffer().then((data) => new Uint8Array(data)));
}

// ?snapshot=URL: a snapshot on this page's own site.
function openAddress(address) {
  let url = null;
  let name = 'snapshot.vsf';
  try {
    url = new URL(address, location.href);
    name = plainName(decodeURIComponent(url.pathname.split('/').pop()), name);
  } catch (error) {
    url = null;
  }
  let bytes;
  if (!url || url.origin !== location.origin) {
    bytes = Promise.reject(new Error('snapshots are loaded from this page\'s own site only'));
  } else {
    bytes = fetch(url, {mode: 'same-origin', credentials: 'same-origin'}).then((response) => {
      if (!response.ok) throw new Error(`the server answered ${response.status} ${response.statusText}`);
      return response.arrayBuffer();
    }).then((data) => new Uint8Array(data));
  }
  open(name, bytes);
}

// Takes a character ROM image, or none, and draws the opened snapshot again.
async function useChargen(file) {
  const current = ++chargens;
  chargenStatus.textContent = '';
  let contents = null;
  if (file) contents = await file.arrayBuffer().then((data) => new Uint8Array(data), () => null);
  const module = await ready;
  if (current !== chargens || !module) return;
  emptyFolder(module, ROM_DIR);
  chargenPath = '';
  if (file) {
    const name = plainName(file.name, 'chargen.bin');
    module.FS.chdir(ROM_DIR);
    if (contents) module.FS.writeFile(name, contents);
    const [usable, refusal] = printing(
        () => module.ccall('lumerist_chargen_usable', 'number', ['string'], [name]));
    if (usable) {
      chargenPath = ROM_DIR + '/' + name;
      chargenStatus.textContent = `Using ${name} where the VIC-II sees the character ROM, ` +
          'unless the snapshot holds a ROM of its own.';
    } else {
      emptyFolder(module, ROM_DIR);
      chargenInput.value = '';
      chargenStatus.textContent = refusal.trim();
    }
  }
  chargenClear.hidden = chargenPath === '';
  if (opened) open(opened.name, opened.bytes);
}

snapshotInput.addEventListener('change', () => {
  if (snapshotInput.files.length > 0) openFile(snapshotInput.files[0]);
});
chargenInput.addEventListener('change', () => useChargen(chargenInput.files[0] || null));
chargenClear.addEventListener('click', () => {
  chargenInput.value = '';
  useChargen(null);
  chargenInput.focus();
});
// A snapshot being opened shows the picture the box then picks.
viewerBox.addEventListener('change', () => {
  if (shown && shown.open === opens) present();
});

// A file dropped anywhere is the snapshot; dropped on the ROM's chooser,
// the character ROM.
const carriesFiles = (event) => event.dataTransfer && event.dataTransfer.types.includes('Files');
document.addEventListener('dragover', (event) => {
  if (!carriesFiles(event)) return;
  event.preventDefault();
  document.body.classList.add('dropping');
});
document.addEventListener('dragleave', (event) => {
  if (!event.relatedTarget) document.body.classList.remove('dropping');
});
document.addEventListener('drop', (event) => {
  document.body.classList.remove('dropping');
  if (!carriesFiles(event)) return;
  event.preventDefault();
  const file = event.dataTransfer.files[0];
  if (!file) return;
  const input = event.target === chargenInput ? chargenInput : snapshotInput;
  const chosen = new DataTransfer();
  chosen.items.add(file);
  input.files = chosen.files;
  if (input === chargenInput) {
    useChargen(file);
  } else {
    openFile(file);
  }
});

const address = new URLSearchParams(location.search).get('snapshot');
if (address) openAddress(address);
