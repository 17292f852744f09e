// The places of the last compile run in the editor's state, mapped through
// every edit (a CodeMirror state field).
import { type ChangeDesc, MapMode, StateEffect, StateField } from '@codemirror/state';

// A stretch of the text, kept where it is through edits.
export interface TextRange {
  from: number;
  to: number;
}

// The places of the last run: each error's token and each listing line's
// source line (null where it has none). They move with every edit, so a
// click on a log or listing line finds its text after lines were added
// above; a stretch that was deleted is null and the click does nothing.
export interface RunPlaces {
  errors: (TextRange | null)[];
  sources: (TextRange | null)[];
}

export function mapRange(range: TextRange | null, changes: ChangeDesc): TextRange | null {
  if (!range) return null;
  if (range.from === range.to) {
    const at = changes.mapPos(range.from, 1, MapMode.TrackDel);
    return at === null ? null : { from: at, to: at };
  }
  const from = changes.mapPos(range.from, 1);
  const to = changes.mapPos(range.to, -1);
  return to > from ? { from, to } : null;
}

export const NO_PLACES: RunPlaces = { errors: [], sources: [] };
export const setPlaces = StateEffect.define<RunPlaces>();
export const placesField = StateField.define<RunPlaces>({
  create: () => NO_PLACES,
  update: (places, transaction) => {
    let next = places;
    if (transaction.docChanged) {
      const map = (range: TextRange | null) => mapRange(range, transaction.changes);
      next = { errors: places.errors.map(map), sources: places.sources.map(map) };
    }
    for (const effect of transaction.effects) if (effect.is(setPlaces)) next = effect.value;
    return next;
  },
});
