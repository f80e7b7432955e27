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
const spritesSection = byId('sprites');
const spriteSheet = byId('sprite-sheet');
const spriteReport = byId('sprite-report');
const spriteNotes = byId('sprite-notes');
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

// The files the last run of a command wrote, in the order its report
// names them, each with its bytes offered as a download.
function writtenFiles(module) {
  const count = module.ccall('lumerist_output_count', 'number', [], []);
  const files = [];
  for (let i = 0; i < count; i += 1) {
    const name = module.UTF8ToString(module.ccall('lumerist_output_name', 'number', ['number'], [i]));
    const bytes = module.FS.readFile(name);
    files.push({name, size: bytes.length, url: URL.createObjectURL(new Blob([bytes]))});
  }
  return files;
}

// The pixels the module drew last, `width` wide.
function drawnImage(module, width) {
  const start = module.ccall('lumerist_pixels', 'number', [], []);
  const pixels = module.HEAPU8.slice(start, start + width * HEIGHT * 4);
  return new ImageData(new Uint8ClampedArray(pixels.buffer), width, HEIGHT);
}

// lumerist-preview's run: its picture (for the canvas), the picture's
// source, the notes it wrote and the PNG file it wrote.
function picture(module, name, viewer) {
  const [source, , notes] = printing(() => module.ccall(
      'lumerist_preview', 'number', ['string', 'number', 'string'], [name, viewer ? 1 : 0, chargenPath]));
  if (source < 0) return null;
  const png = writtenFiles(module)[0];
  return {image: drawnImage(module, WIDTH), source, notes, png};
}

// lumerist-preview --compare's run: its picture, how many pixels differ,
// the lines it prints before the one naming its PNG, and that PNG.
function comparison(module, name) {
  const [differing, text] = printing(() => module.ccall(
      'lumerist_compare', 'number', ['string', 'string'], [name, chargenPath]));
  if (differing < 0) return null;
  const png = writtenFiles(module)[0];
  return {image: drawnImage(module, COMPARISON_WIDTH), differing, text: text.replace(/[^\n]*\n$/, ''),
          png};
}

// lumerist-sprites' run: its report, notes and files.
function sprites(module, name) {
  const [status, text, notes] = printing(() => module.ccall(
      'lumerist_sprites', 'number', ['string', 'string'], [name, chargenPath]));
  return {status, text, notes, outputs: status === 0 ? writtenFiles(module) : []};
}

// Runs lumerist, lumerist-preview (the screen and the viewer's picture) and
// lumerist-sprites on the opened snapshot.
function runLumerist(module, name, bytes) {
  emptyFolder(module, SNAPSHOT_DIR);
  module.FS.chdir(SNAPSHOT_DIR);
  // Without bytes there is no file, and lumerist says it cannot open it.
  if (bytes) module.FS.writeFile(name, bytes);
  const [status, text] = printing(() => module.ccall('lumerist_run', 'number', ['string'], [name]));
  const outputs = writtenFiles(module);
  const pictures = {screen: picture(module, name, false), viewer: picture(module, name, true)};
  const compared = comparison(module, name);
  const sprite = sprites(module, name);
  emptyFolder(module, SNAPSHOT_DIR);
  return {name, status, text, outputs, pictures, compared, sprites: sprite};
}

function forget(old) {
  if (!old) return;
  const files = [...old.outputs, ...old.sprites.outputs];
  for (const drawn of [...Object.values(old.pictures), old.compared]) if (drawn) files.push(drawn.png);
  for (const file of files) URL.revokeObjectURL(file.url);
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

// Clears what the page shows; data-status is set again once all of it is
// back in place.
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
  spritesSection.hidden = true;
  spriteSheet.removeAttribute('src');
  spriteReport.textContent = '';
  spriteNotes.textContent = '';
}

// The lines of lumerist-sprites' report that tell the sprites: the bank
// line and one line for each sprite.
function spriteLines(text) {
  return text.split('\n').filter((line) => /^Sprites? /.test(line) && !line.includes('\t'))
      .map((line) => line + '\n').join('');
}

// The check of the rip: a plain answer first, then lumerist-preview's
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
function present() {
  clearShown();
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
  const files = [...shown.outputs];
  if (drawn) files.push(drawn.png);
  if (shown.compared) files.push(shown.compared.png);
  files.push(...shown.sprites.outputs);
  for (const file of files) link(file.name, file.url, file.size);
  const sheet = shown.sprites.outputs.find((file) => file.name.endsWith('.sprites.png'));
  if (sheet) {
    spriteSheet.src = sheet.url;
    spriteSheet.alt = `The 256 sprite blocks of the video bank of ${shown.name}`;
    spriteReport.textContent = spriteLines(shown.sprites.text);
    spriteNotes.textContent = shown.sprites.notes;
    spritesSection.hidden = false;
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
  present();
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
