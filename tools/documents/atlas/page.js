// The atlas page's script: reads the records the page carries, draws the
// structures in view, filters them and marks what changed. Everything it
// knows of the format comes from the model brxtool writes into the page.
'use strict';
(() => {
  // Every card has the same height, so that the list can place any card
  // without drawing the ones before it. 65,535 cards stay below the tallest
  // element browsers lay out (about 17.8 million pixels in Firefox).
  const CARD_HEIGHT = 248;
  const DRAWING_WIDTH = 440;
  const DRAWING_HEIGHT = 196;
  const LARGEST_CELL = 12;
  const SMALLEST_CELL = 2;
  const TILE_GAP = 2;
  const HISTOGRAM_BARS = 32;

  const $ = (id) => document.getElementById(id);
  const model = JSON.parse($('atlas-model').textContent);
  // The records stay the base64 text they came as: reading a byte from it
  // costs a few character look-ups, where decoding a large file's text first
  // would hold up the first drawing. They come in pieces, an element each;
  // when this script runs the browser has read the first, from which it
  // draws the first structures, and it reads the rest once the page is in
  // (finish, below).
  const recordPieces = () =>
    [...document.getElementsByClassName('atlas-records')].map((piece) => piece.textContent);
  let recordTexts = recordPieces();
  const changeNumbers = JSON.parse($('atlas-changes').textContent);
  const SIXTETS = new Uint8Array(128);
  [...'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/'].forEach(
    (c, k) => { SIXTETS[c.charCodeAt(0)] = k; });
  function byteAt(p) {
    const character = Math.floor(p / 3) * 4;
    const piece = Math.floor(character / model.recordChunkCharacters);
    const text = recordTexts[piece];
    const group = character - piece * model.recordChunkCharacters;
    const sixtet = (k) => SIXTETS[text.charCodeAt(group + k)];
    switch (p % 3) {
      case 0: return (sixtet(0) << 2) | (sixtet(1) >> 4);
      case 1: return ((sixtet(1) & 15) << 4) | (sixtet(2) >> 2);
      default: return ((sixtet(2) & 3) << 6) | sixtet(3);
    }
  }

  function element(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  }

  const tileFields = new Map(model.tileFields.map((field) => [field.name, field]));
  const fieldOfRole = (list, role) => list.find((field) => field.role === role);
  const tilesField = fieldOfRole(model.structureFields, 'tiles');
  const flagsField = fieldOfRole(model.structureFields, 'flags');
  const shapeField = fieldOfRole(model.tileFields, 'shape');
  const shownFields = model.structureFields.filter(
    (field) => field.role === 'integer' && !field.rewrittenOnSave);
  const tileDetailFields = model.tileFields.filter((field) => field.role === 'integer');
  const xField = tileFields.get(model.placement.x);
  const yField = tileFields.get(model.placement.y);
  const tileFlagsField = tileFields.get(model.tileFlags.field);
  const cellByteOfName = new Map(model.shape.cells.map(([byte, name]) => [name, byte]));

  function read(at, field) {
    let value = 0;
    for (let k = field.bytes - 1; k >= 0; --k) value = value * 256 + byteAt(at + field.offset + k);
    const bits = 8 * field.bytes;
    return field.signed && value >= 2 ** (bits - 1) ? value - 2 ** bits : value;
  }

  // Where each structure's records start, for the structures whose records
  // have all arrived.
  const count = model.count;
  const starts = new Float64Array(count + 1);
  let indexed = 0;
  let tileTotal = 0;
  function index(arrived) {
    while (indexed < count) {
      const at = starts[indexed];
      if (at + model.structureRecordSize > arrived) break;
      const tiles = read(at, tilesField);
      const end = at + model.structureRecordSize + tiles * model.tileRecordSize;
      if (end > arrived) break;
      tileTotal += tiles;
      starts[++indexed] = end;
    }
  }
  const tileCount = (i) => read(starts[i], tilesField);
  const tileAt = (i, j) => starts[i] + model.structureRecordSize + j * model.tileRecordSize;
  const numberOf = (i) => model.first + i;

  // What changed, by structure: from the differences brxtool diff found.
  const changes = new Map();
  function changesOf(i) {
    let entry = changes.get(i);
    if (!entry) {
      entry = {added: false, fields: new Map(), flags: null, tiles: new Map(), removedTiles: []};
      changes.set(i, entry);
    }
    return entry;
  }
  function tileChangesOf(entry, j) {
    let tile = entry.tiles.get(j);
    if (!tile) {
      tile = {added: false, fields: new Map(), cells: new Map()};
      entry.tiles.set(j, tile);
    }
    return tile;
  }
  for (let k = 0; k + 6 <= changeNumbers.length; k += 6) {
    const kind = changeNumbers[k], structure = changeNumbers[k + 1], tile = changeNumbers[k + 2];
    const fieldCode = changeNumbers[k + 3], a = changeNumbers[k + 4], b = changeNumbers[k + 5];
    const entry = changesOf(structure - model.first);
    const kindName = model.changeKinds[kind];
    const field = model.changeFields[fieldCode];
    if (kindName === 'flags') {
      entry.flags = {added: a, removed: b};
    } else if (kindName === 'added' || kindName === 'removed') {
      if (tile < 0) entry.added = kindName === 'added';
      else if (kindName === 'added') tileChangesOf(entry, tile).added = true;
      else entry.removedTiles.push(tile);
    } else if (tile < 0) {
      entry.fields.set(field, a);
    } else if (cellByteOfName.has(field)) {
      tileChangesOf(entry, tile).cells.set(cellByteOfName.get(field), a);
    } else {
      tileChangesOf(entry, tile).fields.set(field, a);
    }
  }
  const comparing = model.comparedWith !== undefined;

  // The top: name, counts, comparison, histograms, legend.
  const plural = (n, word) => `${n.toLocaleString('en')} ${word}${n === 1 ? '' : 's'}`;
  $('title').textContent = model.name;
  $('counts').textContent = 'Reading the file…';
  if (comparing) {
    const summary = $('compare-summary');
    summary.hidden = false;
    let text = `Compared with ${model.comparedWith}: ${plural(model.changedStructures, 'structure')} changed`;
    if (model.removedStructures > 0) {
      const from = model.fileStructures;
      text += `; ${plural(model.removedStructures, 'structure')} removed at the end ` +
        `(${from}${model.removedStructures > 1 ? ` to ${from + model.removedStructures - 1}` : ''})`;
    }
    summary.textContent = text + '.';
    $('changes-only-switch').hidden = false;
  }

  function drawHistograms() {
    const box = $('histograms');
    for (const field of shownFields) {
      const span = field.max - field.min + 1;
      const counts = new Uint32Array(span);
      for (let i = 0; i < count; ++i) ++counts[read(starts[i], field) - field.min];
      const width = Math.ceil(span / HISTOGRAM_BARS);
      const bars = new Uint32Array(Math.ceil(span / width));
      counts.forEach((n, v) => { bars[Math.floor(v / width)] += n; });
      const highest = Math.max(1, ...bars);
      const panel = element('div', 'histogram');
      panel.dataset.field = field.name;
      const name = element('div', 'name', field.name);
      name.title = field.label;
      panel.append(name);
      const row = element('div', 'bars');
      bars.forEach((n, b) => {
        const low = field.min + b * width;
        const high = Math.min(field.max, low + width - 1);
        const bar = element('button', 'bar');
        bar.type = 'button';
        bar.style.height = n ? `${Math.max(2, Math.round(40 * n / highest))}px` : '0';
        bar.title = `${field.name} ${low} to ${high}: ${plural(n, 'structure')}`;
        bar.addEventListener('click', () => setQuery(`${field.name}>=${low} ${field.name}<=${high}`));
        row.append(bar);
      });
      panel.append(row);
      panel.append(element('div', 'range', count ? statistics(counts, field.min) : 'no structures'));
      box.append(panel);
    }
  }

  function statistics(counts, min) {
    let lowest = -1, highest = -1, median = 0, seen = 0;
    const middle = Math.floor((count - 1) / 2);
    counts.forEach((n, v) => {
      if (!n) return;
      if (lowest < 0) lowest = v;
      highest = v;
      if (seen <= middle && middle < seen + n) median = v;
      seen += n;
    });
    return `min ${lowest + min} · median ${median + min} · max ${highest + min}`;
  }

  function drawLegend() {
    const legend = $('legend');
    legend.append(element('span', 'scale-label', 'Shape cells: 0 blank'));
    legend.append(element('span', 'scale'));
    legend.append(element('span', 'scale-label', '255 darkest'));
    const mark = (className, text) => {
      const item = element('span', 'legend-item');
      item.append(element('span', `sample tile ${className}`), text);
      legend.append(item);
    };
    mark('base', 'base tile (offset 0, 0)');
    model.tileFlags.labels.forEach((label, bit) => mark(TILE_FLAG_CLASSES[bit], label));
    if (comparing) {
      mark('changed-sample', 'changed cell');
      mark('added', 'added tile');
    }
  }
  const TILE_FLAG_CLASSES = ['roof', 'passable'];

  // Finding: numbers, flag labels and field comparisons, all of which must hold.
  const OPERATORS = {
    '<=': (a, b) => a <= b, '>=': (a, b) => a >= b, '!=': (a, b) => a !== b,
    '=': (a, b) => a === b, '<': (a, b) => a < b, '>': (a, b) => a > b,
  };
  const comparable = new Map(model.structureFields
    .filter((field) => field.role === 'integer' || field.role === 'tiles')
    .map((field) => [field.name.toLowerCase(), field]));
  const flagBits = new Map(model.flagLabels.map((label, bit) => [label.toLowerCase(), bit]));
  const longestLabel = Math.max(...model.flagLabels.map((label) => label.split(' ').length));

  function words(query) {
    const found = [];
    const pattern = /"([^"]*)"?|(\S+)/g;
    let match;
    while ((match = pattern.exec(query)) !== null) {
      found.push({text: match[1] !== undefined ? match[1] : match[2], quoted: match[1] !== undefined});
    }
    return found;
  }

  function parseQuery(query) {
    const tests = [];
    const problems = [];
    const given = words(query);
    for (let k = 0; k < given.length;) {
      const word = given[k].text;
      const number = /^#?(\d+)$/.exec(word);
      const comparison = /^([A-Za-z]+)(<=|>=|!=|=|<|>)(-?\d+)$/.exec(word);
      if (number && !given[k].quoted) {
        const wanted = Number(number[1]);
        tests.push((i) => numberOf(i) === wanted);
        ++k;
        continue;
      }
      if (comparison && !given[k].quoted) {
        const field = comparable.get(comparison[1].toLowerCase());
        if (!field) {
          problems.push(`no field is called “${comparison[1]}”`);
        } else {
          const compare = OPERATORS[comparison[2]];
          const value = Number(comparison[3]);
          tests.push((i) => compare(read(starts[i], field), value));
        }
        ++k;
        continue;
      }
      // A flag label, perhaps of several words: the longest that is one.
      let taken = 0;
      for (let n = given[k].quoted ? 1 : Math.min(longestLabel, given.length - k); n >= 1; --n) {
        const label = given.slice(k, k + n).map((w) => w.text).join(' ').toLowerCase();
        if (flagBits.has(label) && given.slice(k + 1, k + n).every((w) => !w.quoted)) {
          const bit = flagBits.get(label);
          tests.push((i) => ((read(starts[i], flagsField) >>> bit) & 1) === 1);
          taken = n;
          break;
        }
      }
      if (taken === 0) {
        problems.push(`“${word}” is not a structure number, a flag label or a comparison such as Armour>50`);
        taken = 1;
      }
      k += taken;
    }
    return {tests, problems};
  }

  let matches = new Int32Array(0);
  let target = -1;
  const list = $('list');
  const shown = new Map();

  function filter() {
    const {tests, problems} = parseQuery($('find').value);
    $('find-problem').textContent = problems.length ? `Not understood: ${problems.join('; ')}.` : '';
    const onlyChanged = $('changes-only').checked;
    const kept = new Int32Array(count);
    let n = 0;
    for (let i = 0; i < count; ++i) {
      if (onlyChanged && !changes.has(i)) continue;
      if (problems.length === 0 && !tests.every((test) => test(i))) continue;
      kept[n++] = i;
    }
    matches = kept.subarray(0, n);
    const filtered = onlyChanged || (tests.length > 0 && problems.length === 0);
    $('find-count').textContent = filtered ? `${plural(n, 'structure')} of ${count.toLocaleString('en')} match` :
      plural(count, 'structure');
    list.style.height = `${matches.length * CARD_HEIGHT}px`;
    for (const card of shown.values()) card.remove();
    shown.clear();
    render();
  }

  function setQuery(text) {
    $('find').value = text;
    filter();
    window.scrollTo(0, listTop() - stickyHeight());
  }

  const listTop = () => list.getBoundingClientRect().top + window.scrollY;
  const stickyHeight = () => $('find-bar').getBoundingClientRect().height;

  function render() {
    const top = list.getBoundingClientRect().top;
    const from = Math.max(0, Math.floor(-top / CARD_HEIGHT) - 1);
    const to = Math.min(matches.length, Math.ceil((window.innerHeight - top) / CARD_HEIGHT) + 1);
    for (const [k, card] of shown) {
      if (k < from || k >= to) {
        card.remove();
        shown.delete(k);
      }
    }
    for (let k = from; k < to; ++k) {
      if (shown.has(k)) continue;
      const card = drawStructure(matches[k]);
      card.style.top = `${k * CARD_HEIGHT}px`;
      list.append(card);
      const drawing = card.querySelector('.drawing');
      if (drawing) drawing.revealSelected();
      shown.set(k, card);
    }
  }

  // One structure's card.
  function drawStructure(i) {
    const at = starts[i];
    const entry = changes.get(i);
    const card = element('article', 'structure');
    card.dataset.structure = numberOf(i);
    if (i === target) card.classList.add('target');
    const heading = element('h2');
    const link = element('a', '', `Structure ${numberOf(i)}`);
    link.href = `#${numberOf(i)}`;
    heading.append(link, element('span', 'note', plural(tileCount(i), 'tile')));
    if (entry && entry.added) heading.append(element('span', 'mark added', 'added'));
    card.append(heading);

    const facts = element('div', 'facts');
    const fieldList = element('dl', 'fields');
    for (const field of shownFields) {
      fieldList.append(fieldItem(field, read(at, field), entry && entry.fields));
    }
    facts.append(fieldList, drawFlags(read(at, flagsField), entry && entry.flags));
    const details = element('div', 'tile-details');
    facts.append(details);
    card.append(facts);

    const tiles = tileCount(i);
    if (tiles === 0) {
      card.append(element('p', 'no-tiles', 'No tiles.'));
      details.append(element('p', 'note', 'This structure has no tiles.'));
    } else {
      card.append(drawTiles(i, entry, details));
    }
    if (tiles === 0 && entry) details.append(removedTiles(entry));
    return card;
  }

  function fieldItem(field, value, changedFields, shownValue) {
    const item = element('div', 'field');
    item.dataset.field = field.name;
    item.title = field.label;
    const value_ = element('dd');
    value_.append(element('span', 'value', shownValue !== undefined ? shownValue : String(value)));
    if (changedFields && changedFields.has(field.name)) {
      item.classList.add('changed');
      value_.append(element('span', 'old', `was ${changedFields.get(field.name)}`));
    }
    item.append(element('dt', '', field.name), value_);
    return item;
  }

  function drawFlags(word, flagChanges) {
    const flags = element('ul', 'flags');
    flags.title = flagsField.name;
    model.flagLabels.forEach((label, bit) => {
      const mask = 2 ** bit;
      const set = ((word >>> bit) & 1) === 1;
      if (flagChanges && (flagChanges.added & mask)) flags.append(element('li', 'flag added', `+${label}`));
      else if (set) flags.append(element('li', 'flag', label));
      else if (flagChanges && (flagChanges.removed & mask)) flags.append(element('li', 'flag removed', label));
    });
    if (!flags.children.length) flags.append(element('li', 'none', 'no flags'));
    return flags;
  }

  function tileFlagsText(value) {
    const labels = model.tileFlags.labels.filter((label, bit) => (value >> bit) & 1);
    return labels.length ? `${value} (${labels.join(', ')})` : String(value);
  }

  function drawTiles(i, entry, details) {
    const tiles = tileCount(i);
    let minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (let j = 0; j < tiles; ++j) {
      const x = read(tileAt(i, j), xField), y = read(tileAt(i, j), yField);
      if (j === 0 || x < minX) minX = x;
      if (j === 0 || x > maxX) maxX = x;
      if (j === 0 || y < minY) minY = y;
      if (j === 0 || y > maxY) maxY = y;
    }
    const side = model.shape.side;
    const columns = maxX - minX + 1, rows = maxY - minY + 1;
    const fit = Math.min(DRAWING_WIDTH / columns, DRAWING_HEIGHT / rows) - TILE_GAP;
    const cell = Math.max(SMALLEST_CELL, Math.min(LARGEST_CELL, Math.floor(fit / side)));
    const gap = cell >= 5 ? 1 : 0;
    const step = side * cell + (side - 1) * gap + TILE_GAP;
    const drawing = element('div', 'drawing');
    const plane = element('div', 'plane');
    plane.style.width = `${columns * step}px`;
    plane.style.height = `${rows * step}px`;
    const tileElements = [];
    let selected = -1;
    // Brings a tile into the middle of the drawing (once it is in the page).
    const reveal = (j) => {
      const tile = tileElements[j];
      drawing.scrollLeft = tile.offsetLeft - (drawing.clientWidth - tile.offsetWidth) / 2;
      drawing.scrollTop = tile.offsetTop - (drawing.clientHeight - tile.offsetHeight) / 2;
    };
    const select = (j, scroll) => {
      if (selected >= 0) tileElements[selected].classList.remove('selected');
      selected = j;
      tileElements[j].classList.add('selected');
      if (scroll) reveal(j);
      showTile(i, j, tiles, entry, details, select);
    };
    let base = -1;
    for (let j = 0; j < tiles; ++j) {
      const at = tileAt(i, j);
      const x = read(at, xField), y = read(at, yField);
      const tileChanges = entry && entry.tiles.get(j);
      const tile = element('div', 'tile');
      tile.dataset.tile = j;
      tile.style.left = `${(x - minX) * step}px`;
      tile.style.top = `${(y - minY) * step}px`;
      tile.style.gridTemplateColumns = `repeat(${side}, ${cell}px)`;
      tile.style.gridAutoRows = `${cell}px`;
      tile.style.gap = `${gap}px`;
      if (x === 0 && y === 0) tile.classList.add('base');
      const flags = read(at, tileFlagsField);
      TILE_FLAG_CLASSES.forEach((name, bit) => { if ((flags >> bit) & 1) tile.classList.add(name); });
      if (tileChanges && tileChanges.added) tile.classList.add('added');
      if (tileChanges && (tileChanges.cells.size || tileChanges.fields.size)) tile.classList.add('changed');
      for (const [byte, name] of model.shape.cells) {
        const value = byteAt(at + shapeField.offset + byte);
        const shade = 255 - value;
        const square = element('div', 'cell');
        square.style.backgroundColor = `rgb(${shade}, ${shade}, ${shade})`;
        square.title = `${name} = ${value}`;
        if (tileChanges && tileChanges.cells.has(byte)) {
          square.classList.add('changed');
          square.title += ` (was ${tileChanges.cells.get(byte)})`;
        }
        tile.append(square);
      }
      tile.addEventListener('mouseenter', () => select(j));
      tile.addEventListener('click', () => select(j));
      plane.append(tile);
      tileElements.push(tile);
      if (x === 0 && y === 0 && base < 0) base = j;
    }
    drawing.append(plane);
    // The details open on the first changed tile, else on the base tile.
    const changed = entry ? [...entry.tiles.keys()].sort((a, b) => a - b) : [];
    select(changed.length ? changed[0] : Math.max(base, 0));
    drawing.revealSelected = () => reveal(selected);
    return drawing;
  }

  function showTile(i, j, tiles, entry, details, select) {
    const at = tileAt(i, j);
    const tileChanges = entry && entry.tiles.get(j);
    details.replaceChildren();
    const head = element('div', 'tile-head');
    const step = (by, text) => {
      const button = element('button', 'step', text);
      button.type = 'button';
      button.disabled = j + by < 0 || j + by >= tiles;
      button.addEventListener('click', () => select(j + by, true));
      return button;
    };
    const x = read(at, xField), y = read(at, yField);
    let name = `Tile ${j} of ${tiles}`;
    if (x === 0 && y === 0) name += ' · base tile';
    head.append(step(-1, '◀'), element('span', 'tile-name', name), step(1, '▶'));
    if (tileChanges && tileChanges.added) head.append(element('span', 'mark added', 'added'));
    details.append(head);
    const fieldList = element('dl', 'fields');
    for (const field of tileDetailFields) {
      const value = read(at, field);
      const text = field === tileFlagsField ? tileFlagsText(value) : undefined;
      fieldList.append(fieldItem(field, value, tileChanges && tileChanges.fields, text));
    }
    details.append(fieldList);
    if (entry) details.append(removedTiles(entry));
  }

  function removedTiles(entry) {
    const note = element('p', 'mark removed');
    if (entry.removedTiles.length) {
      note.textContent = `Removed: ${entry.removedTiles.map((k) => `tile ${k}`).join(', ')}`;
    }
    return note;
  }

  // Each structure has its own address: #12.
  function follow() {
    const wanted = /^#(\d+)$/.exec(window.location.hash);
    if (!wanted) return;
    const number = Number(wanted[1]);
    const i = number - model.first;
    if (i < 0 || i >= count) {
      $('find-problem').textContent = count ?
        `Structure ${number} is not on this page, which holds structures ${numberOf(0)} to ${numberOf(count - 1)}.` :
        `Structure ${number} is not on this page, which holds none.`;
      return;
    }
    let k = position(i);
    if (k < 0) {
      $('find').value = '';
      $('changes-only').checked = false;
      filter();
      k = position(i);
    }
    target = i;
    for (const card of list.querySelectorAll('.structure.target')) card.classList.remove('target');
    window.scrollTo(0, listTop() + k * CARD_HEIGHT - stickyHeight() - 8);
    render();
    const card = shown.get(k);
    if (card) card.classList.add('target');
  }

  function position(i) {
    let low = 0, high = matches.length - 1;
    while (low <= high) {
      const middle = (low + high) >> 1;
      if (matches[middle] === i) return middle;
      if (matches[middle] < i) low = middle + 1;
      else high = middle - 1;
    }
    return -1;
  }

  let pending = false;
  const renderSoon = () => {
    if (pending) return;
    pending = true;
    window.requestAnimationFrame(() => {
      pending = false;
      render();
    });
  };

  function showCounts() {
    let text = `${plural(count, 'structure')}, ${plural(tileTotal, 'tile')}`;
    const all = model.fileStructures.toLocaleString('en');
    if (count < model.fileStructures) {
      text += count === 0 ? ` (of ${all})` : ` (structures ${numberOf(0)} to ${numberOf(count - 1)} of ${all})`;
    }
    $('counts').textContent = text;
  }

  // The first structures, drawn from the first part of the records while the
  // rest is still loading; finding waits for the rest.
  drawLegend();
  index(recordTexts.length ? recordTexts[0].length / 4 * 3 : 0);
  matches = Int32Array.from({length: indexed}, (_, i) => i);
  list.style.height = `${indexed * CARD_HEIGHT}px`;
  $('find').disabled = true;
  render();
  if (indexed > 0) performance.mark('atlas-first-drawn');

  function finish() {
    recordTexts = recordPieces();
    index(Infinity);
    showCounts();
    drawHistograms();
    $('find').disabled = false;
    $('find').addEventListener('input', filter);
    $('changes-only').addEventListener('change', filter);
    window.addEventListener('hashchange', follow);
    filter();
    follow();
    performance.mark('atlas-all-drawn');
  }
  window.addEventListener('scroll', renderSoon, {passive: true});
  window.addEventListener('resize', renderSoon);
  document.addEventListener('DOMContentLoaded', finish);
})();
