// Open and save (Button5, Button6), by drop too: the core reads and writes
// the files; where the browser lets a page keep a file, Ctrl+S writes the
// same file again, elsewhere a save is a download. Unsaved text is never
// lost without a question.
import type { KmpCore } from './core';
import { messageBox } from './dialogs';
import { tr } from './i18n';
import type { ProgramEditor } from './program_editor';

interface WritableFile {
  write(data: Uint8Array): Promise<void>;
  close(): Promise<void>;
}
interface FileHandle {
  name: string;
  getFile(): Promise<File>;
  createWritable(): Promise<WritableFile>;
}
interface PickerType {
  description: string;
  accept: Record<string, string[]>;
}
interface FilePickers {
  showOpenFilePicker?(options: { types: PickerType[] }): Promise<FileHandle[]>;
  showSaveFilePicker?(options: { suggestedName: string; types: PickerType[] }): Promise<FileHandle>;
}
const pickers = window as unknown as FilePickers;

// The window's filter texts ("Name |*.ext|...") as picker types.
function pickerTypes(filter: string): PickerType[] {
  const parts = filter.split('|');
  const types: PickerType[] = [];
  for (let i = 0; i + 1 < parts.length; i += 2) {
    const extension = parts[i + 1].replace('*', '');
    if (extension === '.*') continue;
    types.push({ description: tr(parts[i].trim()), accept: { 'application/octet-stream': [extension] } });
  }
  return types;
}

export class ProgramFiles {
  private name = '';
  private handle: FileHandle | null = null;
  private modified = false;
  private restoredUnnamed = false;
  private readonly texts: Record<string, string>;
  onOpened: () => void = () => {};
  // Called when the file name or the saved state changes.
  onStateChange: () => void = () => {};

  constructor(
    private readonly core: KmpCore,
    private readonly editor: ProgramEditor,
    private readonly filters: { open: string; save: string },
  ) {
    this.texts = core.texts();
    // The open dialog's file types where the browser has no open picker.
    const types = pickerTypes(filters.open).flatMap((type) => Object.values(type.accept).flat());
    (document.getElementById('OpenFile') as HTMLInputElement).accept = [...types, 'text/plain', 'application/rtf'].join(',');
    this.showTitle();
  }

  isModified(): boolean {
    return this.modified;
  }

  fileName(): string {
    return this.name;
  }

  noteChange(): void {
    if (this.modified) return;
    this.modified = true;
    this.showTitle();
  }

  // A kept draft brought back: its name, no file to write again.
  restore(name: string, modified: boolean): void {
    this.name = name;
    this.handle = null;
    this.modified = modified;
    this.restoredUnnamed = !name;
    this.showTitle();
  }

  // Button5 and Ctrl+O.
  async open(): Promise<void> {
    if (!(await this.mayDropText())) return;
    if (pickers.showOpenFilePicker) {
      let handles: FileHandle[];
      try {
        handles = await pickers.showOpenFilePicker({ types: pickerTypes(this.filters.open) });
      } catch {
        return; // the user closed the picker
      }
      await this.load(await handles[0].getFile(), handles[0]);
      return;
    }
    const input = document.getElementById('OpenFile') as HTMLInputElement;
    input.value = '';
    input.onchange = () => {
      const file = input.files?.[0];
      if (file) void this.load(file, null);
    };
    input.click();
  }

  // A file dropped on the page.
  async drop(file: File): Promise<void> {
    if (await this.mayDropText()) await this.load(file, null);
  }

  // Ctrl+S: the same file again where the page holds it, else as Button6.
  async save(): Promise<boolean> {
    if (this.handle) return this.writeTo(this.handle);
    return this.saveAs();
  }

  // Button6 and Ctrl+Shift+S: a new file from the dialog, or a download.
  async saveAs(): Promise<boolean> {
    const suggestedName = this.name.replace(/\.[^.]*$/, '') + '.' + this.texts.programFileExtension;
    if (pickers.showSaveFilePicker) {
      let handle: FileHandle;
      try {
        handle = await pickers.showSaveFilePicker({ suggestedName, types: pickerTypes(this.filters.save) });
      } catch {
        return false;
      }
      return this.writeTo(handle);
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([this.core.programFileBytes(this.editor.text()) as Uint8Array<ArrayBuffer>]));
    link.download = suggestedName.startsWith('.') ? `program${suggestedName}` : suggestedName;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    this.saved(link.download, null);
    return true;
  }

  // True when the text may go: unchanged, saved now, or let go by the user.
  async mayDropText(): Promise<boolean> {
    if (!this.modified) return true;
    const texts = this.texts;
    const answer = await messageBox(tr(texts.unsavedCaption), tr(texts.unsavedText), 'yesNoCancel');
    if (answer === 'yes') return this.save();
    return answer === 'no';
  }

  private async load(file: File, handle: FileHandle | null): Promise<void> {
    // The window's limit: a larger file is no program.
    if (file.size > this.core.maxProgramFileBytes) {
      await this.sayFailure(this.core.openFailureText(file.name, 'tooLarge'));
      return;
    }
    let bytes: Uint8Array;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      await this.sayFailure(this.core.openFailureText(file.name, (error as Error)?.name ?? ''));
      return;
    }
    this.editor.replaceText(this.core.openedText(bytes));
    // Only a program file is written again by Ctrl+S, as in the window.
    this.handle = handle && this.isProgramFile(file.name) ? handle : null;
    this.name = file.name;
    this.modified = false;
    this.showTitle();
    this.onOpened();
    this.onStateChange();
  }

  private async writeTo(handle: FileHandle): Promise<boolean> {
    try {
      const writable = await handle.createWritable();
      await writable.write(this.core.programFileBytes(this.editor.text()));
      await writable.close();
    } catch (error) {
      await this.sayFailure(this.core.saveFailureText(handle.name, (error as Error)?.name ?? ''));
      return false;
    }
    this.saved(handle.name, handle);
    return true;
  }

  // A file that cannot be read or written, as the window's general error
  // display shows it.
  private sayFailure(text: string): Promise<unknown> {
    return messageBox(tr(this.texts.applicationTitle), text, 'ok');
  }

  private isProgramFile(name: string): boolean {
    return name.toLowerCase().endsWith(`.${this.texts.programFileExtension}`);
  }

  private saved(name: string, handle: FileHandle | null): void {
    this.name = name;
    this.handle = handle;
    this.modified = false;
    this.showTitle();
    this.onStateChange();
  }

  // "priklad.kmp – caption" once a file was opened or saved, with "*"
  // after the name while the text differs from the file; without a file,
  // the caption, with "*" only for a kept draft brought back unsaved.
  private showTitle(): void {
    const caption = tr(this.texts.windowCaption);
    const mark = this.modified ? '*' : '';
    document.title = this.name ? `${this.name}${mark} – ${caption}` : this.restoredUnnamed ? `${caption}${mark}` : caption;
  }
}
