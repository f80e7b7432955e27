'use strict';
// Hands a snapshot to lumerist compiled to WebAssembly, which runs in a
// worker (worker.js), and shows what the commands print, draw and write.
// The worker reads the chosen file itself, only the bytes the commands
// need: nothing leaves the machine.

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
const spriteSheet = byId('sprite-sheet');
const spriteReport = byId('sprite-report');
const spriteNotes = byId('sprite-notes');
const report = byId('report');
const downloads = byId('downloads');
const downloadsHeading = byId('downloads-heading');
const sections = {picture: byId('picture-section'), compare: byId('compare-section'),
                  sprites: byId('sprites'), export: byId('export-section'),
                  bands: byId('bands-section'), results: byId('results-section')};
const comparisonCanvas = byId('comparison');
const compareSummary = byId('compare-summary');
const compareReport = byId('compare-report');
const exportFormats = byId('export-formats');
const exportButton = byId('export-button');
const exportReport = byId('export-report');
const exportDownloads = byId('export-downloads');
const bandsReport = byId('bands-report');
const bandsFrame = byId('bands-frame');
const bandsNotes = byId('bands-notes');
const bandsDownloads = byId('bands-downloads');
const bandRips = byId('band-rips');
const bandCards = byId('band-cards');
const bandChooser = byId('band-chooser');
const bandChoice = byId('band-choice');
const paletteInput = byId('palette-file');
const paletteClear = byId('palette-clear');
const paletteStatus = byId('palette-status');
const downloadAll = byId('download-all');

const WIDTH = 384;
const HEIGHT = 272;
const FIRST_LINE = 16;  // the raster line of the frame's first row
const SOURCES = ['the frame VICE saved', 'the VIC-II registers', 'the viewer program'];

function fail(message) {
  pageMessage.textContent = message;
}

// The worker, and the answers it still owes, by id.
const pending = new Map();
let asked = 0;
let worker = null;
const noProgram = 'The page could not load its program, lumerist.wasm: open it from a web server, ' +
    'not as a local file.';
try {
  worker = new Worker('worker.js');
  worker.onmessage = ({data}) => {
    const answer = pending.get(data.id);
    pending.delete(data.id);
    if (data.failed) answer.reject(new Error(noProgram));
    else if ('error' in data) answer.reject(new Error(data.error));
    else answer.resolve(data.result);
  };
  worker.onerror = (event) => {
    event.preventDefault();
    fail(noProgram);
  };
} catch (error) {
  fail(noProgram);
}

// Asks the worker to run `task`; the promise of its answer.
function ask(task, details = {}) {
  if (!worker) return Promise.reject(new Error(noProgram));
  return new Promise((resolve, reject) => {
    asked += 1;
    pending.set(asked, {resolve, reject});
    worker.postMessage({id: asked, task, ...details});
  });
}

// A name the file system takes as one file in a folder; `fallback` for
// one that cannot be.
function plainName(name, fallback) {
  const base = String(name).split('/').pop().replace(/\0/g, '');
  return base && base !== '.' && base !== '..' && base.length <= 255 ? base : fallback;
}

// The snapshot last opened: its name and a promise of its File or Blob.
let opened = null;
// What the page shows for a snapshot once it has been run.
let shown = null;
// Each open counts; a run that finds the count moved on after waiting has
// been overtaken by a newer one and stops there.
let opens = 0;
let chargens = 0;

// Files from the worker, each offered by an address of its own.
function offered(files) {
  return files.map(({name, blob}) => ({name, blob, size: blob.size, url: URL.createObjectURL(blob)}));
}

function forget(files) {
  for (const file of files) URL.revokeObjectURL(file.url);
}

function image({width, data}) {
  return new ImageData(new Uint8ClampedArray(data), width, HEIGHT);
}

function link(list, {name, url, size}) {
  const item = document.createElement('li');
  const anchor = document.createElement('a');
  anchor.href = url;
  anchor.download = name;
  anchor.textContent = name;
  const bytes = document.createElement('span');
  bytes.className = 'size';
  bytes.textContent = ` ${size} bytes`;
  item.append(anchor, bytes);
  list.append(item);
}

// Clears what the page shows for a snapshot; data-status is set again once
// all of it is back in place.
function clearShown() {
  report.removeAttribute('data-status');
  for (const section of Object.values(sections)) section.hidden = true;
  downloads.replaceChildren();
  downloadsHeading.hidden = true;
  downloadAll.hidden = true;
  canvas.getContext('2d').clearRect(0, 0, WIDTH, HEIGHT);
  canvas.setAttribute('aria-label', 'No picture');
  for (const text of [pictureSource, pictureNotes, compareSummary, compareReport, spriteReport,
                      spriteNotes]) {
    text.textContent = '';
  }
  comparisonCanvas.getContext('2d').clearRect(0, 0, comparisonCanvas.width, HEIGHT);
  comparisonCanvas.setAttribute('aria-label', 'No comparison');
  spriteSheet.removeAttribute('src');
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
  const {differing, uncompared} = compared;
  if (differing > 0) {
    compareSummary.textContent = 'The rip does not hold all of the screen: the lines below say ' +
        'why, the picture on the right where.';
  } else if (uncompared > 0) {
    compareSummary.textContent = `The rip could not be checked everywhere: ${uncompared} pixels ` +
        'show the character ROM, which the snapshot does not hold. Choose a character ROM file ' +
        'above to check them too.';
  } else {
    compareSummary.textContent = 'The rip holds the screen: the viewer program shows it pixel ' +
        'for pixel.';
  }
  compareReport.textContent = compared.text;
  comparisonCanvas.getContext('2d').putImageData(image(compared.image), 0, 0);
  comparisonCanvas.setAttribute('aria-label', `The screen of ${shown.name}, the viewer ` +
      `program's picture and their ${differing} differing pixels in white`);
  sections.compare.hidden = false;
}

// The formats lumerist-export can write for the screen shown.
function presentExport() {
  exportFormats.replaceChildren();
  for (const format of shown.formats) {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = format.extension;
    box.checked = shown.chosen.has(format.extension);
    box.addEventListener('change', () => {
      shown.chosen[box.checked ? 'add' : 'delete'](format.extension);
      exportButton.disabled = shown.chosen.size === 0;
    });
    label.append(box, ` ${format.name} (${format.extension})`);
    exportFormats.append(label);
  }
  exportButton.disabled = shown.chosen.size === 0;
  exportReport.textContent = shown.exported ? shown.exported.text + shown.exported.notes : '';
  exportDownloads.replaceChildren();
  for (const file of shown.exported ? shown.exported.outputs : []) link(exportDownloads, file);
  sections.export.hidden = shown.formats.length === 0;
}

// The bands of the frame: lumerist-bands' lines, the frame VICE saved with
// each band marked over it, the bands' rips and files.
function presentBands(bands) {
  if (!bands) return;
  const text = bands.text;
  const rule = text.search(/^-{10,}$/m);
  bandsReport.textContent = rule < 0 ? text : text.slice(0, rule);
  bandRips.textContent = rule < 0 ? '' : text.slice(rule);
  bandsNotes.textContent = bands.notes;
  bandsDownloads.replaceChildren();
  for (const file of bands.outputs) link(bandsDownloads, file);
  presentBandCards(bands);
  bandsFrame.hidden = !bands.frame;
  if (bands.frame) drawBands(bands);
  bandsReport.setAttribute('data-status', String(bands.status));
  sections.bands.hidden = false;
}

// The band chooser: the snapshot's own registers, or one of the bands a
// register set draws, where the frame has more than one band.
function offerBands(bands) {
  const drawn = bands.bands.filter((band) => band.drawn);
  const chosen = bandChoice.value;
  bandChoice.replaceChildren(new Option('the snapshot\'s own registers', '0'));
  for (const band of drawn) {
    bandChoice.append(new Option(`band ${band.number}, lines ${band.firstLine} to ` +
                                 `${band.lastLine}`, String(band.number)));
  }
  bandChoice.value = [...bandChoice.options].some((o) => o.value === chosen) ? chosen : '0';
  bandChooser.hidden = bands.bands.length < 2;
}

// One card for each band a register set draws: its number, lines and mode,
// its rip as the viewer program shows it, its files, and a button that
// makes the page rip it.
function presentBandCards(bands) {
  bandCards.replaceChildren();
  if (bands.bands.length < 2) return;
  const lines = bands.text.split('\n');
  for (const band of bands.bands.filter((b) => b.drawn)) {
    const card = document.createElement('article');
    card.className = 'band-card';
    const heading = document.createElement('h3');
    heading.textContent = `Band ${band.number}`;
    const line = lines.find((l) => l.startsWith(`Band ${band.number}: lines`)) || '';
    const mode = (line.match(/^Band \d+: lines [^:]*: ([^,]*?) in Bank/) || [])[1] || '';
    const what = document.createElement('p');
    what.textContent = `Lines ${band.firstLine} to ${band.lastLine}${mode ? ': ' + mode : ''}`;
    card.append(heading, what);
    if (band.thumbnail) {
      const thumbnail = document.createElement('canvas');
      thumbnail.width = WIDTH;
      thumbnail.height = HEIGHT;
      thumbnail.getContext('2d').putImageData(image(band.thumbnail), 0, 0);
      thumbnail.setAttribute('role', 'img');
      thumbnail.setAttribute('aria-label', `Band ${band.number}'s rip as its viewer program shows it`);
      card.append(thumbnail);
    }
    const files = document.createElement('ul');
    files.setAttribute('aria-label', `Files of band ${band.number}`);
    for (const file of bands.outputs.filter((f) => f.name.includes(`.band${band.number}.`))) {
      link(files, file);
    }
    const choose = document.createElement('button');
    choose.type = 'button';
    choose.textContent = `Rip band ${band.number}`;
    choose.addEventListener('click', () => {
      bandChoice.value = String(band.number);
      reopen();
    });
    card.append(files, choose);
    bandCards.append(card);
  }
}

// The frame at twice its size, and over it each band's extent (raster line
// L is row L - 16) and its number: a solid frame where a register set draws
// the band, a dashed one where the display is off.
function drawBands({frame, bands}) {
  const scale = bandsFrame.width / WIDTH;
  const source = document.createElement('canvas');
  source.width = WIDTH;
  source.height = HEIGHT;
  source.getContext('2d').putImageData(image(frame), 0, 0);
  const context = bandsFrame.getContext('2d');
  context.imageSmoothingEnabled = false;
  context.drawImage(source, 0, 0, bandsFrame.width, bandsFrame.height);
  context.lineWidth = 2;
  context.font = 'bold 14px sans-serif';
  context.textBaseline = 'top';
  const labels = [];
  for (const band of bands) {
    const top = Math.max(band.firstLine - FIRST_LINE, 0);
    const bottom = Math.min(band.lastLine - FIRST_LINE + 1, HEIGHT);
    labels.push(`band ${band.number}, lines ${band.firstLine} to ${band.lastLine}`);
    if (bottom <= top) continue;
    context.setLineDash(band.drawn ? [] : [6, 4]);
    context.strokeStyle = '#ff0';
    context.strokeRect(1, top * scale + 1, bandsFrame.width - 2, (bottom - top) * scale - 2);
    const label = String(band.number);
    context.fillStyle = '#ff0';
    context.fillRect(2, top * scale + 2, context.measureText(label).width + 8, 18);
    context.fillStyle = '#000';
    context.fillText(label, 6, top * scale + 4);
  }
  bandsFrame.setAttribute('aria-label', `The frame VICE saved in ${shown.name}, with ` +
      `${labels.join('; ')}`);
}

// Shows `shown` with the picture the checkbox picks.
function present() {
  clearShown();
  report.textContent = shown.text;
  sections.results.hidden = false;
  const drawn = shown.status === 0 ? shown.pictures[viewerBox.checked ? 'viewer' : 'screen'] : null;
  if (drawn) {
    sections.picture.hidden = false;
    canvas.getContext('2d').putImageData(image(drawn.image), 0, 0);
    const from = SOURCES[drawn.source];
    canvas.setAttribute('aria-label', `The screen of ${shown.name}, drawn from ${from}`);
    pictureSource.textContent = `Drawn from ${from}.`;
    pictureNotes.textContent = drawn.notes;
  }
  const files = [...shown.outputs];
  if (shown.status === 0) {
    if (shown.compared) presentComparison(shown.compared);
    if (drawn) files.push(drawn.png);
    if (shown.compared) files.push(shown.compared.png);
    files.push(...shown.sprites.outputs);
    const sheet = shown.sprites.outputs.find((file) => file.name.endsWith('.sprites.png'));
    if (sheet) {
      spriteSheet.src = sheet.url;
      spriteSheet.alt = `The 256 sprite blocks of the video bank of ${shown.name}`;
      spriteReport.textContent = spriteLines(shown.sprites.text);
      spriteNotes.textContent = shown.sprites.notes;
      sections.sprites.hidden = false;
    }
    presentExport();
    presentBands(shown.bands);
  }
  for (const file of files) link(downloads, file);
  shown.offers = files;
  downloadsHeading.hidden = files.length === 0;
  downloadAll.hidden = files.length === 0;
  report.setAttribute('data-status', String(shown.status));
}

// Every address `run` offers, for forgetting them.
function filesOf(run) {
  if (!run) return [];
  const files = [...run.outputs];
  if (run.status !== 0) return files;
  for (const drawn of [run.pictures.screen, run.pictures.viewer, run.compared]) {
    if (drawn) files.push(drawn.png);
  }
  files.push(...run.sprites.outputs);
  if (run.exported) files.push(...run.exported.outputs);
  if (run.bands) files.push(...run.bands.outputs);
  return files;
}

// The worker's answer for a snapshot, its files offered.
function received(run) {
  run.outputs = offered(run.outputs);
  if (run.status !== 0) return run;
  for (const drawn of [run.pictures.screen, run.pictures.viewer, run.compared]) {
    if (drawn) [drawn.png] = offered([drawn.png]);
  }
  run.sprites.outputs = offered(run.sprites.outputs);
  return run;
}

// Opens a snapshot: `file` is a promise of its File or Blob.
async function open(name, file) {
  const current = ++opens;
  opened = {name, file};
  clearShown();
  report.textContent = '';
  pageMessage.textContent = '';
  let contents = null;
  let problem = '';
  try {
    contents = await file;
  } catch (error) {
    problem = `Can't read ${name}: ${error.message}`;
    fail(problem);
  }
  let run;
  try {
    run = received(await ask('open', {name, file: contents, band: Number(bandChoice.value)}));
  } catch (error) {
    if (current === opens) fail(`The page failed on ${name}: ${error.message}`);
    return;
  }
  if (current !== opens) {
    forget(filesOf(run));
    return;
  }
  forget(filesOf(shown));
  shown = {...run, name, open: current, chosen: new Set()};
  // lumerist's refusal, where the page's own messages are.
  if (run.status !== 0) fail([problem, run.text.trim()].filter(Boolean).join('\n'));
  present();
  if (run.status !== 0) return;
  let bands = null;
  try {
    bands = await ask('bands', {band: Number(bandChoice.value)});
  } catch (error) {
    if (current === opens) fail(`The page failed on the bands of ${name}: ${error.message}`);
  }
  if (!bands) return;
  bands.outputs = offered(bands.outputs);
  if (current !== opens) {
    forget(bands.outputs);
    return;
  }
  shown.bands = bands;
  offerBands(bands);
  presentBands(bands);
}

// Runs the snapshot shown again, with the band and colours chosen now.
function reopen() {
  if (opened) open(opened.name, opened.file);
}

// Every file the page offers for the snapshot shown, each once.
function everyFile() {
  const files = new Map();
  const offers = [...shown.offers, ...(shown.exported ? shown.exported.outputs : []),
                  ...(shown.bands ? shown.bands.outputs : [])];
  for (const file of offers) files.set(file.name, file);
  return [...files.values()];
}

// One zip archive of every file, made by fflate.
async function downloadEverything() {
  const files = everyFile();
  if (!shown || files.length === 0) return;
  const entries = {};
  for (const file of files) entries[file.name] = new Uint8Array(await file.blob.arrayBuffer());
  const zip = new Blob([fflate.zipSync(entries, {level: 6})], {type: 'application/zip'});
  const anchor = document.createElement('a');
  anchor.href = URL.createObjectURL(zip);
  anchor.download = `${shown.name}.zip`;
  document.body.append(anchor);
  anchor.click();
  anchor.remove();
  setTimeout(() => URL.revokeObjectURL(anchor.href), 60000);
}

// Takes a VICE palette file, or none, and runs the opened snapshot again.
async function usePalette(file) {
  const name = file ? plainName(file.name, 'colours.vpl') : '';
  try {
    await ask('palette', {name, file});
  } catch (error) {
    fail(error.message);
    return;
  }
  paletteStatus.textContent = file ? `Drawing in the colours of ${name}.` : '';
  paletteClear.hidden = !file;
  reopen();
}

// lumerist-export on the snapshot shown, in the formats chosen.
async function exportChosen() {
  const current = opens;
  const extensions = [...shown.chosen];
  exportReport.textContent = '';
  exportDownloads.replaceChildren();
  let run;
  try {
    run = await ask('export', {extensions});
  } catch (error) {
    if (current === opens) fail(`The page failed on ${shown.name}: ${error.message}`);
    return;
  }
  run.outputs = offered(run.outputs);
  if (current !== opens) {
    forget(run.outputs);
    return;
  }
  if (shown.exported) forget(shown.exported.outputs);
  shown.exported = run;
  pageMessage.textContent = run.status === 0 ? '' : run.text.trim();
  exportReport.textContent = run.text + run.notes;
  for (const file of run.outputs) link(exportDownloads, file);
  exportReport.setAttribute('data-status', String(run.status));
}

// A snapshot newly chosen is ripped with its own registers first.
function forgetBand() {
  bandChoice.value = '0';
  bandChooser.hidden = true;
}

function openFile(file) {
  forgetBand();
  open(plainName(file.name, 'snapshot.vsf'), Promise.resolve(file));
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
  let file;
  if (!url || url.origin !== location.origin) {
    file = Promise.reject(new Error('snapshots are loaded from this page\'s own site only'));
  } else {
    file = fetch(url, {mode: 'same-origin', credentials: 'same-origin'}).then((response) => {
      if (!response.ok) throw new Error(`the server answered ${response.status} ${response.statusText}`);
      return response.blob();
    });
  }
  forgetBand();
  open(name, file);
}

// Takes a character ROM image, or none, and runs the opened snapshot again.
async function useChargen(file) {
  const current = ++chargens;
  chargenStatus.textContent = '';
  const name = file ? plainName(file.name, 'chargen.bin') : '';
  let answer;
  try {
    answer = await ask('chargen', {name, file});
  } catch (error) {
    fail(error.message);
    return;
  }
  if (current !== chargens) return;
  if (file && answer.usable) {
    chargenStatus.textContent = `Using ${name} where the VIC-II sees the character ROM, ` +
        'unless the snapshot holds a ROM of its own.';
  } else if (file) {
    chargenInput.value = '';
    chargenStatus.textContent = answer.refusal;
  }
  chargenClear.hidden = !(file && answer.usable);
  if (opened) open(opened.name, opened.file);
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
exportButton.addEventListener('click', exportChosen);
bandChoice.addEventListener('change', reopen);
downloadAll.addEventListener('click', downloadEverything);
paletteInput.addEventListener('change', () => usePalette(paletteInput.files[0] || null));
paletteClear.addEventListener('click', () => {
  paletteInput.value = '';
  usePalette(null);
  paletteInput.focus();
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
