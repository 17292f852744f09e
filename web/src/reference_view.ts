// The language reference over the editor (F1 or Help): the core's Markdown
// rendered once, opened at the section of the statement on the cursor's
// line, whose heading is marked current and has the focus. Escape or the
// close button gives the focus back to what opened it.
import { marked } from 'marked';
import type { KmpCore } from './core';
import { language, tr } from './i18n';
import { latin1 } from './language_help';
import { pageTexts } from './page_texts';

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

export class ReferenceView {
  private readonly dialog = element<HTMLDialogElement>('Reference');
  private readonly text = element('ReferenceText');
  private giveFocusBack: () => void = () => {};

  constructor(private readonly core: KmpCore) {
    const close = element('ReferenceClose');
    close.textContent = tr(pageTexts.close);
    close.addEventListener('click', () => this.dialog.close());
    this.dialog.addEventListener('close', () => this.giveFocusBack());
  }

  // Opens at the statement of `line` (the cursor's line of the editor).
  open(line: string, giveFocusBack: () => void): void {
    const english = language === 'en';
    if (!this.text.firstChild) {
      // The project's own reference: trusted Markdown, no user text.
      this.text.innerHTML = marked.parse(this.core.referenceMarkdown(english), { async: false }) as string;
      this.text.querySelector('h1')?.setAttribute('id', 'ReferenceTitle');
    }
    this.giveFocusBack = giveFocusBack;
    const section = this.core.referenceSection(this.core.statementKeyword(latin1(line)), english);
    let current: HTMLElement | null = null;
    for (const heading of this.text.querySelectorAll<HTMLElement>('h3')) {
      heading.removeAttribute('aria-current');
      heading.tabIndex = -1;
      if (!current && section && heading.textContent?.trim() === section) current = heading;
    }
    if (!this.dialog.open) this.dialog.showModal();
    if (current) {
      current.setAttribute('aria-current', 'true');
      current.focus();
      current.scrollIntoView({ block: 'start' });
    } else {
      this.text.scrollTop = 0;
      element('ReferenceClose').focus();
    }
  }
}
