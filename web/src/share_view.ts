// Share ("Zdieľať…"): the program and the bars' values as a link and a QR
// code of it, and a link opened into the page. The fragment's format and
// its checks are the core's; a link is only ever read as data.
import qrcode from 'qrcode-generator';
import type { KmpCore } from './core';
import { askDialog } from './dialogs';
import type { DraftView } from './draft_view';
import { tr } from './i18n';
import type { MemoPane } from './memo_pane';
import { pageTexts } from './page_texts';
import type { ProgramEditor } from './program_editor';
import type { ProgramFiles } from './program_files';
import type { TimingBars } from './timing_bars';

// Pixels a module, and the quiet zone of four modules a reader needs.
const MODULE_PX = 4;
const QUIET_MODULES = 4;

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

// The QR code of `text` at the best error correction it fits in (M, else
// L), or null where even version 40 at L cannot hold it.
export function qrCodeOf(text: string): ReturnType<typeof qrcode> | null {
  for (const level of ['M', 'L'] as const) {
    try {
      const code = qrcode(0, level);
      code.addData(text, 'Byte');
      code.make();
      return code;
    } catch {
      // too long for this level: the library throws a string
    }
  }
  return null;
}

function draw(canvas: HTMLCanvasElement, code: NonNullable<ReturnType<typeof qrCodeOf>>): void {
  const modules = code.getModuleCount();
  const size = (modules + 2 * QUIET_MODULES) * MODULE_PX;
  canvas.width = size;
  canvas.height = size;
  const context = canvas.getContext('2d');
  if (!context) return;
  context.fillStyle = '#fff';
  context.fillRect(0, 0, size, size);
  context.fillStyle = '#000';
  for (let row = 0; row < modules; row += 1) {
    for (let column = 0; column < modules; column += 1) {
      if (!code.isDark(row, column)) continue;
      context.fillRect((column + QUIET_MODULES) * MODULE_PX, (row + QUIET_MODULES) * MODULE_PX, MODULE_PX, MODULE_PX);
    }
  }
}

export class ShareView {
  constructor(
    private readonly core: KmpCore,
    private readonly editor: ProgramEditor,
    private readonly timing: TimingBars,
    private readonly files: ProgramFiles,
    private readonly drafts: DraftView,
    private readonly log: MemoPane,
    private readonly forgetMarks: () => void,
  ) {
    element('Share').textContent = tr(pageTexts.share);
    element('ShareCaption').textContent = tr(pageTexts.shareCaption);
    element('ShareLinkLabel').textContent = tr(pageTexts.shareLinkLabel);
    element('ShareCopy').textContent = tr(pageTexts.copyLink);
    element('ShareClose').textContent = tr(pageTexts.close);
    element('ShareCode').setAttribute('aria-label', tr(pageTexts.qrCodeName));
    element('Share').addEventListener('click', () => void this.show());
    element('ShareCopy').addEventListener('click', () => void this.copy());
  }

  // The page's address with the program's fragment.
  link(): string {
    const [period, delay, prescaler] = this.timing.values();
    const fragment = this.core.programLink(this.editor.text(), period, delay, prescaler);
    return `${location.origin}${location.pathname}${location.search}#${fragment}`;
  }

  private async show(): Promise<void> {
    // A page from disk has no address that another computer could open.
    const served = /^https?:$/.test(location.protocol);
    const link = served ? this.link() : '';
    const code = served ? qrCodeOf(link) : null;
    element<HTMLInputElement>('ShareLink').value = link;
    element('ShareLinkRow').hidden = !served;
    element('ShareCopied').textContent = '';
    element('ShareCode').hidden = !code;
    if (code) draw(element<HTMLCanvasElement>('ShareCode'), code);
    const note = !served ? pageTexts.noAddressToShare : code ? '' : pageTexts.tooLongForCode;
    element('ShareNote').textContent = tr(note);
    element('ShareNote').hidden = !note;
    const closed = askDialog(element<HTMLDialogElement>('ShareDialog'));
    (served ? element('ShareCopy') : element('ShareClose')).focus();
    await closed;
    element('Share').focus();
  }

  private async copy(): Promise<void> {
    const field = element<HTMLInputElement>('ShareLink');
    try {
      await navigator.clipboard.writeText(field.value);
      element('ShareCopied').textContent = tr(pageTexts.linkCopied);
    } catch {
      // A browser or policy without clipboard access: the link is selected
      // for Ctrl+C instead.
      field.select();
      element('ShareCopied').textContent = tr(pageTexts.copyRefused);
    }
  }

  // Opens the program of the address's fragment, if it carries one. The
  // fragment then leaves the address, so a reload brings back the draft
  // rather than the link's program over the work done since.
  async openFromAddress(): Promise<void> {
    const link = location.hash;
    if (!this.core.isProgramLink(link)) return;
    try {
      history.replaceState(history.state, '', `${location.pathname}${location.search}`);
    } catch {
      // a page from disk may refuse; the link is then read again on reload
    }
    const reading = this.core.readProgramLink(link);
    if (!reading.ok) {
      this.log.appendLine(reading.message);
      return;
    }
    if (!(await this.files.mayDropText())) return;
    this.drafts.keepAside();
    this.editor.replaceText(reading.text);
    this.timing.setValues(reading.values);
    this.timing.onChange();
    this.files.restore('', true);
    this.forgetMarks();
  }
}
