// Button1: the compile run, its log (Memo1) and listing (Memo2), the error
// marks, and the way between an error line or a listing line and the text.
import type { CompileRun, KmpCore } from './core';
import { announce } from './announce';
import { messageBox } from './dialogs';
import { language, tr } from './i18n';
import type { MemoPane } from './memo_pane';
import type { ProgramEditor } from './program_editor';
import type { TimingBars } from './timing_bars';


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
    this.editor.markErrors(places.map((place) => ({ ...place, title: place.tooltip })));
    this.editor.setRunPlaces(run.errors, run.listingSourceLines);
    this.lightListingOf(this.editor.cursorLine());
    const count = Math.max(1, places.length);
    announce(tr(this.core.compileAnnouncement(run.ok, count)).replace('%1', String(count)));
    // A program too long for the image goes to the general error display.
    if (run.failure) void messageBox(tr(this.core.texts().applicationTitle), run.failure, 'ok');
  }

  forgetMarks(): void {
    this.editor.markErrors([]);
  }

  // The error's token where it is now; nothing when it was deleted.
  private showErrorOfLogLine(line: number): void {
    const index = this.run?.errors.findIndex((error) => error.logLine === line) ?? -1;
    const place = index < 0 ? null : this.editor.errorPlace(index);
    if (place) this.editor.select(place);
  }

  private showSourceOfListingLine(line: number): void {
    const source = this.editor.sourceLineOfListing(line);
    if (source === null) return;
    this.editor.light(source);
    this.listing.light(this.editor.listingLinesOf(source));
  }

  // The cursor is on `sourceLine` (0-based): its listing lines light up.
  cursorMoved(sourceLine: number): void {
    this.lightListingOf(sourceLine);
  }

  private lightListingOf(sourceLine: number): void {
    this.listing.light(this.editor.listingLinesOf(sourceLine));
  }
}
