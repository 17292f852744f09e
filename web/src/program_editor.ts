// The program editor (RichEdit1): CodeMirror with line numbers, undo and
// search, the window's highlighting (the core's line spans), the error
// marks of the last run, and the source line lit from the listing.
import { EditorState, RangeSetBuilder, StateEffect, StateField } from '@codemirror/state';
import {
  Decoration,
  type DecorationSet,
  drawSelection,
  EditorView,
  highlightActiveLine,
  keymap,
  lineNumbers,
  ViewPlugin,
  type ViewUpdate,
} from '@codemirror/view';
import { defaultKeymap, history, historyKeymap } from '@codemirror/commands';
import { highlightSelectionMatches, search, searchKeymap } from '@codemirror/search';
import type { KmpCore } from './core';
import { languageHelp, latin1 } from './language_help';
import { NO_PLACES, placesField, type RunPlaces, setPlaces, type TextRange } from './run_places';

export type { TextRange } from './run_places';

export interface ErrorMark {
  line: number; // 0-based
  column: number; // 0-based
  length: number;
  title: string;
}

const SPAN_CLASSES = ['kmp-keyword', 'kmp-comment', 'kmp-label', 'kmp-number', 'kmp-blank'];
const spanMarks = SPAN_CLASSES.map((cls) => Decoration.mark({ class: cls }));

function highlighting(core: KmpCore) {
  const build = (view: EditorView): DecorationSet => {
    const builder = new RangeSetBuilder<Decoration>();
    for (const { from, to } of view.visibleRanges) {
      for (let pos = from; pos <= to; ) {
        const line = view.state.doc.lineAt(pos);
        // The core reads a byte a character: keywords and digits are ASCII.
        for (const span of core.lineSpans(latin1(line.text))) {
          builder.add(line.from + span.start, line.from + span.start + span.length, spanMarks[span.kind]);
        }
        pos = line.to + 1;
      }
    }
    return builder.finish();
  };
  return ViewPlugin.fromClass(
    class {
      decorations: DecorationSet;
      constructor(view: EditorView) {
        this.decorations = build(view);
      }
      update(update: ViewUpdate) {
        if (update.docChanged || update.viewportChanged) this.decorations = build(update.view);
      }
    },
    { decorations: (plugin) => plugin.decorations },
  );
}

const setMarks = StateEffect.define<DecorationSet>();
const marksField = StateField.define<DecorationSet>({
  create: () => Decoration.none,
  update: (marks, transaction) => {
    let next = marks.map(transaction.changes);
    for (const effect of transaction.effects) if (effect.is(setMarks)) next = effect.value;
    return next;
  },
  provide: (field) => EditorView.decorations.from(field),
});

const litLine = Decoration.line({ class: 'kmp-lit' });
const setLit = StateEffect.define<number | null>();
const litField = StateField.define<DecorationSet>({
  create: () => Decoration.none,
  update: (lit, transaction) => {
    let next = lit.map(transaction.changes);
    for (const effect of transaction.effects) {
      if (!effect.is(setLit)) continue;
      next = effect.value === null ? Decoration.none : Decoration.set([litLine.range(effect.value)]);
    }
    return next;
  },
  provide: (field) => EditorView.decorations.from(field),
});

export class ProgramEditor {
  readonly view: EditorView;
  onTextChange: () => void = () => {};
  onCursorLine: (line: number, position: number) => void = () => {};

  // The nonce that the page's policy gives the editor's own style sheet
  // (the editor writes its styles into a <style> element, which a policy
  // without 'unsafe-inline' blocks otherwise); '' where there is none.
  private static styleNonce(): string {
    const policy = document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.getAttribute('content') ?? '';
    return /'nonce-([^']+)'/.exec(policy)?.[1] ?? '';
  }

  constructor(parent: HTMLElement, core: KmpCore, text: string) {
    this.view = new EditorView({
      parent,
      state: EditorState.create({
        doc: text,
        extensions: [
          EditorView.cspNonce.of(ProgramEditor.styleNonce()),
          lineNumbers(),
          history(),
          drawSelection(),
          highlightActiveLine(),
          highlightSelectionMatches(),
          search({ top: true }),
          keymap.of([...defaultKeymap, ...historyKeymap, ...searchKeymap]),
          highlighting(core),
          languageHelp(core),
          marksField,
          litField,
          placesField,
          // Named by its heading; an explicit tab stop, so that the
          // scrolled text counts as reachable by keyboard.
          EditorView.contentAttributes.of({ 'aria-labelledby': 'Label1', tabindex: '0' }),
          EditorView.updateListener.of((update) => {
            if (update.docChanged) this.onTextChange();
            if (update.docChanged || update.selectionSet) this.reportCursor();
          }),
        ],
      }),
    });
  }

  text(): string {
    return this.view.state.doc.toString();
  }

  // The whole text replaced in one step, which one undo takes back.
  replaceText(text: string): void {
    this.view.dispatch({
      changes: { from: 0, to: this.view.state.doc.length, insert: text },
      selection: { anchor: 0 },
      effects: [setMarks.of(Decoration.none), setLit.of(null), setPlaces.of(NO_PLACES)],
      scrollIntoView: true,
    });
  }

  // Marks each place with its text as tooltip; an empty place marks the
  // character before it, or the line when it has none.
  markErrors(marks: readonly ErrorMark[]): void {
    const doc = this.view.state.doc;
    const ranges = [];
    for (const mark of marks) {
      if (mark.line >= doc.lines) continue;
      const line = doc.line(mark.line + 1);
      let from = line.from + Math.min(mark.column, line.length);
      let to = Math.min(from + Math.max(mark.length, 1), line.to);
      if (to === from && from > line.from) from -= 1;
      if (to === from) to = from;
      const attributes = { class: 'kmp-error', title: mark.title };
      ranges.push(
        to > from ? Decoration.mark({ attributes }).range(from, to) : Decoration.line({ attributes }).range(line.from),
      );
    }
    this.view.dispatch({ effects: setMarks.of(Decoration.set(ranges, true)) });
  }

  // Keeps the places of a run: error tokens and the source line of each
  // listing line (0-based, -1 for none).
  setRunPlaces(errors: readonly { line: number; column: number; length: number }[], sourceLines: readonly number[]): void {
    const doc = this.view.state.doc;
    const lineRange = (line: number): TextRange | null => {
      if (line < 0 || line >= doc.lines) return null;
      const { from, to } = doc.line(line + 1);
      return { from, to };
    };
    const places: RunPlaces = {
      errors: errors.map(({ line, column, length }) => {
        const range = lineRange(line);
        if (!range) return null;
        const from = range.from + Math.min(column, range.to - range.from);
        return { from, to: Math.min(from + length, range.to) };
      }),
      sources: sourceLines.map(lineRange),
    };
    this.view.dispatch({ effects: setPlaces.of(places) });
  }

  // Where the error with this index of the run is now.
  errorPlace(index: number): TextRange | null {
    return this.view.state.field(placesField).errors[index] ?? null;
  }

  // The source line (0-based) of a listing line now, or null.
  sourceLineOfListing(listingLine: number): number | null {
    const range = this.view.state.field(placesField).sources[listingLine];
    return range ? this.view.state.doc.lineAt(range.from).number - 1 : null;
  }

  // The listing lines whose source is this line (0-based) now.
  listingLinesOf(line: number): number[] {
    const doc = this.view.state.doc;
    const lines: number[] = [];
    this.view.state.field(placesField).sources.forEach((range, index) => {
      if (range && doc.lineAt(range.from).number - 1 === line) lines.push(index);
    });
    return lines;
  }

  // Selects a stretch of the text and shows it.
  select(range: TextRange): void {
    this.view.dispatch({ selection: { anchor: range.from, head: range.to }, scrollIntoView: true });
    this.view.focus();
  }

  // Lights a line (0-based) and scrolls it into view; the cursor stays.
  light(line: number | null): void {
    const doc = this.view.state.doc;
    if (line === null || line >= doc.lines) {
      this.view.dispatch({ effects: setLit.of(null) });
      return;
    }
    const from = doc.line(line + 1).from;
    this.view.dispatch({ effects: [setLit.of(from), EditorView.scrollIntoView(from, { y: 'nearest' })] });
  }

  // The text of the cursor's line.
  cursorLineText(): string {
    const state = this.view.state;
    return state.doc.lineAt(state.selection.main.head).text;
  }

  cursorLine(): number {
    const state = this.view.state;
    return state.doc.lineAt(state.selection.main.head).number - 1;
  }

  private reportCursor(): void {
    const state = this.view.state;
    const head = state.selection.main.head;
    const line = state.doc.lineAt(head);
    this.onCursorLine(line.number, head - line.from + 1);
  }
}
