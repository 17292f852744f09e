// Start-up of the page: the core, the controls with the window's texts, the
// keys, drop, the unsaved-text guard and the offline worker.
import { CompileView } from './compile_view';
import { holdFocusInDialogs } from './dialogs';
import { DraftView, openDrafts } from './draft_view';
import { loadCore } from './core';
import { language, tr, widgetText } from './i18n';
import { MemoPane } from './memo_pane';
import { NewVersionNotice } from './new_version';
import { pageTexts } from './page_texts';
import { ProgramEditor } from './program_editor';
import { ProgramFiles } from './program_files';
import { ReferenceView } from './reference_view';
import { ShareView } from './share_view';
import { TimingBars } from './timing_bars';
import { UploadView } from './upload_view';

// Controls whose caption is their text in the window's Designer file.
const CAPTIONED = [
  'Label1', 'Label2', 'Label3', 'Label4', 'Label5', 'Label6', 'Label8', 'Label9', 'Label11', 'Label12',
  'Label13', 'Label15', 'Label17', 'Button1', 'Button4', 'Button5', 'Button6',
];

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

function showCaptions(texts: Record<string, string>): void {
  document.documentElement.lang = language;
  for (const id of CAPTIONED) element(id).textContent = widgetText(id);
  // The credits line names the build's version (%1 in its caption).
  element('Label15').textContent = widgetText('Label15').replace('%1', texts.version);
  element('CheckBox1Text').textContent = widgetText('CheckBox1');
  element('PageTitle').textContent = tr(texts.windowCaption);
  element('KeysHelp').textContent = tr(pageTexts.keysHelp);
  const statement = element<HTMLAnchorElement>('Statement');
  statement.textContent = tr(pageTexts.statement);
  statement.href = language === 'en' ? 'accessibility.html' : 'pristupnost.html';
  // The window's contact link: the address, a subject and the first words.
  const link = element<HTMLAnchorElement>('Label16');
  link.textContent = texts.contactAddress;
  const subject = encodeURIComponent(texts.contactSubject);
  link.href = `mailto:${texts.contactAddress}?subject=${subject}&body=${encodeURIComponent(texts.contactBody)}`;
}

async function start(): Promise<void> {
  // The drafts' storage opens while the core loads.
  const opening = openDrafts();
  const core = await loadCore();
  const texts = core.texts();
  showCaptions(texts);
  const editor = new ProgramEditor(element('RichEdit1'), core, core.exampleProgram());
  const timing = new TimingBars();
  const log = new MemoPane(element('Memo1'));
  const listing = new MemoPane(element('Memo2'));
  const compileView = new CompileView(core, editor, timing, log, listing);
  const files = new ProgramFiles(core, editor, { open: texts.programOpenFilter, save: texts.programFileFilter });
  const upload = new UploadView(core, log, () => compileView.lastRun());

  const drafts = new DraftView(core, editor, timing, files, log);
  editor.onTextChange = () => {
    core.noteProgramChange();
    files.noteChange();
    drafts.noteChange();
  };
  files.onStateChange = () => drafts.noteChange();
  editor.onCursorLine = (line, position) => {
    element('Label18').textContent = `${line}:${position}`;
    compileView.cursorMoved(line - 1);
  };
  timing.onChange = () => {
    core.noteProgramChange();
    drafts.noteChange();
  };
  files.onOpened = () => compileView.forgetMarks();
  const share = new ShareView(core, editor, timing, files, drafts, log, () => compileView.forgetMarks());
  const newVersion = new NewVersionNotice(element('NewVersion'), () => upload.isSending());
  upload.onSending = (sending) => {
    element<HTMLButtonElement>('Button1').disabled = sending;
    element<HTMLButtonElement>('Button5').disabled = sending;
    newVersion.render();
  };

  holdFocusInDialogs();
  const reference = new ReferenceView(core);
  element('Help').textContent = tr(pageTexts.help);
  element('Help').addEventListener('click', () =>
    reference.open(editor.cursorLineText(), () => element('Help').focus()),
  );
  // F1 from anywhere; the focus goes back to where it was (the editor).
  const showReference = () => {
    const from = document.activeElement instanceof HTMLElement ? document.activeElement : null;
    reference.open(editor.cursorLineText(), () => (from && from !== document.body ? from.focus() : editor.view.focus()));
  };

  const compile = () => {
    if (upload.isSending()) return;
    upload.hideSendResult();
    compileView.compile();
  };
  element('Button1').addEventListener('click', compile);
  element('Button5').addEventListener('click', () => void files.open());
  element('Button6').addEventListener('click', () => void files.saveAs());

  document.addEventListener('keydown', (event) => {
    const ctrl = event.ctrlKey || event.metaKey;
    const key = event.key.toLowerCase();
    let action: (() => void) | null = null;
    if (event.key === 'F5' || (ctrl && key === 'r')) action = compile;
    else if (event.key === 'F1') action = showReference;
    else if (ctrl && key === 'o' && !upload.isSending()) action = () => void files.open();
    else if (ctrl && key === 's') action = event.shiftKey ? () => void files.saveAs() : () => void files.save();
    else if (event.key === 'Escape' && upload.isSending()) action = () => upload.cancel();
    if (!action) return;
    event.preventDefault();
    action();
  });

  // A program file dropped anywhere on the page opens, except during a send.
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    if (event.dataTransfer) event.dataTransfer.dropEffect = upload.isSending() ? 'none' : 'copy';
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer?.files[0];
    if (file && !upload.isSending()) void files.drop(file);
  });

  // The browser's own question before a reload or close loses the text.
  window.addEventListener('beforeunload', (event) => {
    if (!files.isModified()) return;
    event.preventDefault();
    event.returnValue = '';
  });

  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    newVersion.watch(navigator.serviceWorker);
  }
  await drafts.start(opening);
  element('Starting').remove();
  document.body.dataset.ready = 'true';
  // A program link opens over the draft, which stays listed under Drafts.
  window.addEventListener('hashchange', () => void share.openFromAddress());
  await share.openFromAddress();
}

start().catch(() => {
  element('Starting').textContent = tr(pageTexts.noWebAssembly);
});
