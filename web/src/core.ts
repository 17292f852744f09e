// The project's C++ as the page calls it (web/core, WebAssembly).
import createKmpCore from 'kmp-core';

export interface ErrorPlace {
  line: number; // 0-based
  column: number; // 0-based, in characters
  length: number;
  printedLine: number;
  printedPosition: number;
  number: number;
  message: string;
  logLine: number; // 0-based line of the log that reports it
  hint: string;
  tooltip: string; // the mark's tooltip: the message, then the hint
}

export interface PaneLines {
  lines: string[];
  color: number; // 24-bit, red in the lowest byte
}

export interface CompileRun {
  ok: boolean;
  log: PaneLines;
  listing: PaneLines;
  listingSourceLines: number[];
  errors: ErrorPlace[];
  failure: string; // a program too long for the image: the error display's text
  failedStatement: ErrorPlace | null;
  image: Uint8Array;
}

export interface LineSettings {
  open: SerialOptions;
  signals: SerialOutputSignals;
}

// The returned bytes of a send against its frame (an embind object: one a
// view, kept for the page's life).
export interface EchoCheck {
  start(frame: Uint8Array): void;
  // True once the frame's length has come back.
  take(bytes: Uint8Array): boolean;
  line(): string;
}

export type WriteEnd = 'completed' | 'timedOut' | 'cancelled' | 'failed';

export interface LineSpan {
  start: number;
  length: number;
  kind: number; // Keyword, Comment, Label, Number, ExtraBlank
}

export interface KmpCore {
  compile(text: string, period: number, delay: number, prescaler: number, timeText: string): CompileRun;
  compileState(): { programChanged: boolean };
  noteProgramChange(): void;
  openedText(bytes: Uint8Array): string;
  programFileBytes(text: string): Uint8Array;
  // The link fragment (without '#') of a program and its values (period,
  // delay, prescaler), and the way back.
  programLink(text: string, period: number, delay: number, prescaler: number): string;
  readProgramLink(link: string): { ok: true; text: string; values: number[] } | { ok: false; message: string };
  isProgramLink(link: string): boolean;
  exampleProgram(): string;
  uploadFrame(image: Uint8Array): Uint8Array;
  returnedByteLines(bytes: Uint8Array): string[];
  sendEndLine(written: number, total: number, end: WriteEnd, handshake: boolean): string;
  progressText(written: number, total: number, running: boolean, heldMs: number): string;
  // The sentence said at a compile's end (untranslated, %1 the count).
  compileAnnouncement(ok: boolean, errorCount: number): string;
  EchoCheck: new () => EchoCheck;
  lineSettings(): LineSettings;
  writeLimitMs(total: number): number;
  // The general error display's text for a file that could not be read or
  // written; `reason` is 'tooLarge' or the browser's error name.
  openFailureText(name: string, reason: string): string;
  saveFailureText(name: string, reason: string): string;
  dsrOffLine(portName: string, ms: number): string;
  noPermissionHint(device: string, group: string): string;
  adapterLine(vendorId: number, productId: number): string;
  lineSpans(latin1Line: string): LineSpan[];
  // The name after PROGRAM, in a byte a character as lineSpans.
  programName(latin1Text: string): string;
  texts(): Record<string, string>;
  // The language's help; lines go in a byte a character (as lineSpans).
  referenceMarkdown(english: boolean): string;
  referenceSection(keyword: string, english: boolean): string;
  keywordForm(keyword: string, english: boolean): string;
  keywordAt(latin1Line: string, column: number): string;
  statementKeyword(latin1Line: string): string;
  statementTemplates(): string[];
  offeredTemplates(latin1Before: string, asked: boolean): { typed: string; templates: string[] };
  firstTemplateValue(template: string): { start: number; length: number };
  maxProgramFileBytes: number;
  dsrWaitMs: number;
  replyQuietMs: number;
  lineByteMs: number;
}

export function loadCore(): Promise<KmpCore> {
  return createKmpCore() as Promise<KmpCore>;
}
