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

export interface SendProgress {
  percent: number;
  secondsLeft: number;
  boardNotReady: boolean;
  text: string;
}

export type WriteEnd = 'completed' | 'timedOut' | 'cancelled' | 'failed';

export interface LineSpan {
  start: number;
  length: number;
  kind: number; // Keyword, Comment, Label, Number, ExtraBlank
}

export interface KmpCore {
  compile(text: string, period: number, delay: number, prescaler: number, timeText: string): CompileRun;
  compileState(): { compiledOk: boolean; programChanged: boolean };
  noteProgramChange(): void;
  openedText(bytes: Uint8Array): string;
  programFileBytes(text: string): Uint8Array;
  exampleProgram(): string;
  uploadFrame(image: Uint8Array): Uint8Array;
  returnedByteLines(bytes: Uint8Array): { lines: string[]; endSeen: boolean };
  sendEndLine(written: number, total: number, end: WriteEnd, handshake: boolean): string;
  progress(written: number, total: number, running: boolean, heldMs: number): SendProgress;
  echoLine(frame: Uint8Array, returned: Uint8Array): string;
  dsrOffLine(portName: string, ms: number): string;
  noPermissionHint(device: string, group: string): string;
  lineSpans(latin1Line: string): LineSpan[];
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
