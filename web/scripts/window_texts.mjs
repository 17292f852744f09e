// The window's own texts for the page, read from where they live: captions,
// labels and track bar ranges from the window's Designer file, English from
// the project's translation catalogue.
import { readFileSync } from 'node:fs';

const ENTITIES = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'" };

function decodeXml(text) {
  return text.replace(/&(#x[0-9a-f]+|#\d+|\w+);/gi, (whole, name) => {
    if (name[0] === '#') {
      const hex = name[1] === 'x' || name[1] === 'X';
      return String.fromCodePoint(parseInt(name.slice(hex ? 2 : 1), hex ? 16 : 10));
    }
    return ENTITIES[name] ?? whole;
  });
}

const KEPT = new Set(['text', 'toolTip', 'minimum', 'maximum', 'value', 'pageStep', 'singleStep']);

// { WIDGET: { text, toolTip, minimum, ... } } of every named widget.
export function widgetTexts(uiPath) {
  const ui = readFileSync(uiPath, 'utf8');
  const token =
    /<widget\b[^>]*\bname="([^"]+)"[^>]*>|<\/widget>|<property name="([^"]+)">\s*<(string|number|bool)\b[^>]*>([^<]*)<\/\3>/g;
  const open = [];
  const widgets = {};
  for (const match of ui.matchAll(token)) {
    if (match[1]) {
      open.push(match[1]);
      widgets[match[1]] = {};
    } else if (match[0] === '</widget>') {
      open.pop();
    } else if (open.length > 0 && KEPT.has(match[2])) {
      const value = decodeXml(match[4]);
      widgets[open.at(-1)][match[2]] = match[3] === 'number' ? Number(value) : value;
    }
  }
  return widgets;
}

// A PO string's pieces joined, its escapes read.
function poString(pieces) {
  return pieces
    .map((piece) => piece.slice(1, -1))
    .join('')
    .replace(/\\(.)/g, (_, c) => ({ n: '\n', t: '\t' })[c] ?? c);
}

// { msgid: msgstr } of a PO catalogue, without the header and empty entries.
export function catalogue(poPath) {
  const entries = {};
  const entry = /^msgid\s+((?:"(?:[^"\\]|\\.)*"\s*)+)msgstr\s+((?:"(?:[^"\\]|\\.)*"\s*)+)/gm;
  const strings = /"(?:[^"\\]|\\.)*"/g;
  for (const match of readFileSync(poPath, 'utf8').matchAll(entry)) {
    const id = poString(match[1].match(strings));
    const translation = poString(match[2].match(strings));
    if (id && translation) entries[id] = translation;
  }
  return entries;
}
