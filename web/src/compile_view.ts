// Button1: the compile run, its log (Memo1) and listing (Memo2), the error
// marks, and the way between an error line or a listing line and the text.
import type { CompileRun, ErrorPlace, KmpCore } from './core';
import { messageBox } from './dialogs';
import { language, tr } from './i18n';
import type { MemoPane } from './memo_pane';
import type { ProgramEditor } from './program_editor';
import type { TimingBars } from './timing_bars';

// The tooltip of a mark: the message without its " : ", then the hint.
function markTitle(place: ErrorPlace): string {
  const message = place.message.replace(/^ : /, '');
  return place.hint ? `${message}\n${place.hint}` : message;
}

export class CompileView {
  private run: CompileRun | null = null;

  constructor(
    private readonly core: KmpCore,
    private readonly editor: ProgramEditor,
    private readonly timing: TimingBars,
    private readonly log: MemoPane,
    private readonly listing: MemoPane,
  ) {
    log.onLineChosen = (line) => this.showErrorOfLogLine(line);
    listing.onLineChosen = (line) => this.showSourceOfListingLine(line);
  }

  lastRun(): CompileRun | null {
    return this.run;
  }

  // The whole run as the window's Button1 does it.
  compile(): void {
    const [period, delay, prescaler] = this.timing.values();
    const time = new Date().toLocaleTimeString(language === 'en' ? 'en-GB' : 'sk-SK');
    const run = this.core.compile(this.editor.text(), period, delay, prescaler, time);
    this.run = run;
    this.log.setLines(run.log.lines, run.log.color);
    this.listing.setLines(run.listing.lines, run.listing.color);
    const places = run.failedStatement ? [...run.errors, run.failedStatement] : run.errors;
    this.editor.markErrors(places.map((place) => ({ ...place, title: markTitle(place) })));
    this.lightListingOf(this.editor.cursorLine());
    // A program too long for the image goes to the general error display.
    if (run.failure) void messageBox(tr(this.core.texts().applicationTitle), run.failure, 'ok');
  }

  forgetMarks(): void {
    this.editor.markErrors([]);
  }

  private showErrorOfLogLine(line: number): void {
    const place = this.run?.errors.find((error) => error.logLine === line);
    if (place) this.editor.select(place.line, place.column, place.length);
  }

  private showSourceOfListingLine(line: number): void {
    const source = this.run?.listingSourceLines[line] ?? -1;
    if (source < 0) return;
    this.editor.light(source);
    this.listing.light(this.listingLinesOf(source));
  }

  // The cursor is on `sourceLine` (0-based): its listing lines light up.
  cursorMoved(sourceLine: number): void {
    this.lightListingOf(sourceLine);
  }

  private lightListingOf(sourceLine: number): void {
    this.listing.light(this.listingLinesOf(sourceLine));
  }

  private listingLinesOf(sourceLine: number): number[] {
    const lines: number[] = [];
    this.run?.listingSourceLines.forEach((source, index) => {
      if (source === sourceLine) lines.push(index);
    });
    return lines;
  }
}
