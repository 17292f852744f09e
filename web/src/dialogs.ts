// The page's message boxes: one modal dialog, as the window's kmp::Dialogs.
import { tr } from './i18n';
import { pageTexts } from './page_texts';

export type Answer = 'yes' | 'no' | 'ok' | 'cancel';
export type Buttons = 'ok' | 'yesNo' | 'yesNoCancel';

const ANSWERS: Record<Buttons, Answer[]> = {
  ok: ['ok'],
  yesNo: ['yes', 'no'],
  yesNoCancel: ['yes', 'no', 'cancel'],
};

const CAPTIONS: Record<Answer, string> = {
  yes: pageTexts.yes,
  no: pageTexts.no,
  ok: pageTexts.ok,
  cancel: pageTexts.cancel,
};

function element<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

// Shows a form dialog modally and resolves with the value of the button
// that closed it ('' for Esc).
export function askDialog(dialog: HTMLDialogElement): Promise<string> {
  dialog.returnValue = '';
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true });
    dialog.showModal();
  });
}

// Shows `text` under `caption` and resolves with the button pressed; the
// first button has the focus, and Esc gives the last one's answer (No,
// Cancel or OK).
export function messageBox(caption: string, text: string, buttons: Buttons): Promise<Answer> {
  const dialog = element<HTMLDialogElement>('MessageBox');
  const answers = ANSWERS[buttons];
  element('MessageCaption').textContent = caption;
  element('MessageText').textContent = text;
  const row = element('MessageAnswers');
  row.replaceChildren(
    ...answers.map((answer) => {
      const button = document.createElement('button');
      button.value = answer;
      button.id = `Answer-${answer}`;
      button.textContent = tr(CAPTIONS[answer]);
      return button;
    }),
  );
  const closed = askDialog(dialog);
  (row.firstElementChild as HTMLButtonElement | null)?.focus();
  return closed.then((value) => (answers.find((answer) => answer === value) ?? answers.at(-1)) as Answer);
}

const FOCUSABLE = 'button, input, select, textarea, a[href], [tabindex]:not([tabindex="-1"])';

// Tab and Shift+Tab go round inside the open dialog: a modal dialog
// makes the page behind it inert, but Tab from its last control would leave
// for the browser's own bar.
export function holdFocusInDialogs(): void {
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'Tab') return;
    // Every dialog of the page is shown modally.
    const dialog = [...document.querySelectorAll('dialog[open]')].at(-1);
    if (!dialog) return;
    const stops = [...dialog.querySelectorAll<HTMLElement>(FOCUSABLE)].filter(
      (stop) => !stop.matches(':disabled') && stop.getClientRects().length > 0,
    );
    if (stops.length === 0) return;
    // Between the ends the browser's own step is right; at an end (or from
    // outside) the focus goes round to the other end.
    const [first, last] = event.shiftKey ? [stops.at(-1), stops[0]] : [stops[0], stops.at(-1)];
    const active = document.activeElement;
    if (active !== last && dialog.contains(active)) return;
    event.preventDefault();
    first?.focus();
  });
}
