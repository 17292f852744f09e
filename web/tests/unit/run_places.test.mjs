// The run's places through edits: a token keeps its text when lines are
// inserted above or text is typed around it, and is gone once deleted.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { loadPageCode } from './load_ts.mjs';

const { EditorState, placesField, setPlaces } = await loadPageCode(
  "export { EditorState } from '@codemirror/state'; export { placesField, setPlaces } from './run_places';",
);

const TEXT = 'PROGRAM p:\nVYSTUP(1,0,0) CAS 5\nKONIEC\n';
const token = (text, word) => ({ from: text.indexOf(word), to: text.indexOf(word) + word.length });
const sourceLine = (text, line) => {
  const lines = text.split('\n');
  const from = lines.slice(0, line).join('\n').length + (line > 0 ? 1 : 0);
  return { from, to: from + lines[line].length };
};

function stateWithPlaces() {
  const state = EditorState.create({ doc: TEXT, extensions: [placesField] });
  return state.update({
    effects: setPlaces.of({ errors: [token(TEXT, 'CAS'), { from: 31, to: 31 }], sources: [sourceLine(TEXT, 1), null] }),
  }).state;
}

const text = (state, range) => (range ? state.sliceDoc(range.from, range.to) : null);

const EDITS = [
  { name: 'two lines inserted above', changes: { from: 0, insert: '\n\n' }, cas: 'CAS', line: 'VYSTUP(1,0,0) CAS 5', empty: true },
  { name: 'text typed right before the token', changes: { from: TEXT.indexOf('CAS'), insert: 'X' }, cas: 'CAS', line: 'VYSTUP(1,0,0) XCAS 5', empty: true },
  { name: 'text typed right after the token', changes: { from: TEXT.indexOf('CAS') + 3, insert: 'Y' }, cas: 'CAS', line: 'VYSTUP(1,0,0) CASY 5', empty: true },
  { name: 'the token deleted', changes: { from: TEXT.indexOf('CAS'), to: TEXT.indexOf('CAS') + 3 }, cas: null, line: 'VYSTUP(1,0,0)  5', empty: true },
  { name: 'the line deleted', changes: sourceLine(TEXT, 1), cas: null, line: null, empty: true },
  { name: 'the whole text replaced', changes: { from: 0, to: TEXT.length, insert: 'RESET\n' }, cas: null, line: null, empty: false },
];

for (const edit of EDITS) {
  test(`run places: ${edit.name}`, () => {
    const state = stateWithPlaces().update({ changes: edit.changes }).state;
    const places = state.field(placesField);
    assert.equal(text(state, places.errors[0]), edit.cas);
    assert.equal(text(state, places.sources[0]), edit.line);
    assert.equal(places.sources[1], null);
    assert.equal(places.errors[1] !== null, edit.empty, 'an empty place lives while the text around it does');
  });
}
