// The tab's work kept as a draft: written within a second of each change,
// brought back when the page opens again, and the drafts of closed tabs
// listed by the Drafts control.
import type { KmpCore } from './core';
import { type Draft, DraftStore } from './draft_store';
import { askDialog } from './dialogs';
import { language, tr } from './i18n';
import { latin1 } from './language_help';
import type { MemoPane } from './memo_pane';
import { pageTexts } from './page_texts';
import type { ProgramEditor } from './program_editor';
import type { ProgramFiles } from './program_files';
import type { TimingBars } from './timing_bars';

// A change is written this long after it, so typing writes once a pause.
const SAVE_DELAY_MS = 300;
// How long the page waits for the storage at start.
const START_LIMIT_MS = 3000;

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

function clock(time: number): string {
  return new Date(time).toLocaleTimeString('sk-SK', { hour: '2-digit', minute: '2-digit' });
}

// Opens this tab's store (see DraftStore.start). A storage that does not
// answer in time is no reason for the page not to start: it goes on
// without drafts.
export function openDrafts(): Promise<{ store: DraftStore; draft: Draft | null }> {
  const late = new Promise<never>((_, reject) =>
    setTimeout(() => reject(new DOMException('no answer', 'TimeoutError')), START_LIMIT_MS),
  );
  const opening = DraftStore.start();
  opening.catch(() => {});
  return Promise.race([opening, late]);
}

export class DraftView {
  private store: DraftStore | null = null;
  private saveTimer = 0;
  private refusalSaid = false;
  // Nothing is written before the first change: an untouched example is no
  // work to keep.
  private changed = false;
  private restoring = false;

  constructor(
    private readonly core: KmpCore,
    private readonly editor: ProgramEditor,
    private readonly timing: TimingBars,
    private readonly files: ProgramFiles,
    private readonly log: MemoPane,
  ) {
    element('Drafts').textContent = tr(pageTexts.drafts);
    element('DraftListCaption').textContent = tr(pageTexts.drafts);
    element('NoDrafts').textContent = tr(pageTexts.noDrafts);
    element('DraftCancel').textContent = tr(pageTexts.cancel);
    element('Drafts').addEventListener('click', () => void this.listClick());
    // A tab being closed or hidden writes at once, not after the delay.
    const now = () => {
      if (this.saveTimer) this.saveNow();
    };
    window.addEventListener('pagehide', now);
    document.addEventListener('visibilitychange', () => document.hidden && now());
  }

  // Takes the store of openDrafts and brings back the tab's draft.
  async start(opening: ReturnType<typeof openDrafts>): Promise<void> {
    try {
      const { store, draft } = await opening;
      this.store = store;
      if (draft) this.restore(draft);
    } catch (error) {
      this.sayRefused(error);
    }
  }

  // Before the tab's text is replaced by a program that came by a link: the
  // work in the tab stays a draft of its own, listed under Drafts.
  keepAside(): void {
    if (!this.store || !this.changed) return;
    this.saveNow();
    this.store.detach();
    this.changed = false;
  }

  // Called on every change of the text, the values, the file name or the
  // saved state.
  noteChange(): void {
    if (this.restoring) return;
    this.changed = true;
    if (!this.store || this.saveTimer) return;
    this.saveTimer = window.setTimeout(() => this.saveNow(), SAVE_DELAY_MS);
  }

  private saveNow(): void {
    window.clearTimeout(this.saveTimer);
    this.saveTimer = 0;
    if (!this.store || !this.changed) return;
    const draft = {
      text: this.editor.text(),
      values: this.timing.values(),
      name: this.files.fileName(),
      modified: this.files.isModified(),
      time: Date.now(),
    };
    this.store.save(draft).catch((error: unknown) => this.sayRefused(error));
  }

  // Said once; the page goes on without drafts being kept.
  private sayRefused(error: unknown): void {
    if (this.refusalSaid) return;
    this.refusalSaid = true;
    const reason = error instanceof Error ? `${error.name}: ${error.message}` : String(error);
    this.log.appendLine(pageTexts.draftRefused + reason);
  }

  // The draft's time stays: bringing it back is no change of its own.
  private restore(draft: Draft): void {
    this.restoring = true;
    try {
      this.editor.replaceText(draft.text);
    } finally {
      this.restoring = false;
    }
    this.timing.setValues(draft.values);
    this.files.restore(draft.name, draft.modified);
    this.changed = true;
    if (draft.modified) this.log.appendLine(pageTexts.draftRestored.replace('%1', clock(draft.time)));
  }

  // The program's name from its PROGRAM line, as the core reads it; the
  // core reads a byte a character, so the name's letters are cut from the
  // text itself.
  private programName(text: string): string {
    const head = text.slice(0, 4096);
    const name = this.core.programName(latin1(head));
    if (!name) return '';
    const at = latin1(head).indexOf(name);
    return at < 0 ? name : head.substr(at, name.length);
  }

  // Drafts: the closed tabs' drafts, newest first; the one chosen replaces
  // the text after the unsaved question.
  private async listClick(): Promise<void> {
    let drafts: Draft[] = [];
    try {
      drafts = this.store ? await this.store.others() : [];
    } catch (error) {
      this.sayRefused(error);
    }
    const dialog = element<HTMLDialogElement>('DraftList');
    const when = (time: number) =>
      new Date(time).toLocaleString(language === 'en' ? 'en-GB' : 'sk-SK', { dateStyle: 'short', timeStyle: 'short' });
    element('DraftEntries').replaceChildren(
      ...drafts.map((draft, index) => {
        const button = document.createElement('button');
        button.value = String(index);
        const name = this.programName(draft.text) || draft.name || tr(pageTexts.unnamedProgram);
        button.textContent = `${name} – ${when(draft.time)}`;
        return button;
      }),
    );
    element('NoDrafts').hidden = drafts.length > 0;
    const chosen = await askDialog(dialog);
    element('Drafts').focus();
    const draft = drafts[Number(chosen)];
    if (chosen === '' || !draft || !(await this.files.mayDropText())) return;
    await this.store?.take(draft).catch((error: unknown) => this.sayRefused(error));
    this.restore(draft);
    this.saveNow();
  }
}
