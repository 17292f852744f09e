// The port controls: Button2 connects and disconnects, the lamps show the
// open line (ComLed1) and DSR (ComLed2), Button4 sends the frame and Button7
// (or Esc) cancels it. The frame goes out in step with the line
// (paced_writer.ts), also from a hidden tab.
import type { KmpCore, WriteEnd } from './core';
import { messageBox } from './dialogs';
import { tr, widgetText } from './i18n';
import type { MemoPane } from './memo_pane';
import { pageTexts } from './page_texts';
import { type PacedSend, writePaced } from './paced_writer';
import { SerialLink } from './serial_link';
import { SimulatedBoard } from './simulated_board';

// How often the progress is redrawn.
const PROGRESS_MS = 100;
// The window's write time limit: 10 s and 10 s a byte.
const writeLimitMs = (total: number) => 10000 + 10000 * total;

const sleep = (ms: number) => new Promise<void>((resolve) => setTimeout(resolve, ms));

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

type PortKind = 'serial' | 'simulated';

// Real ports need Web Serial, which only some browsers have, and only on a
// secure page; the reason why, or '' where they are offered.
function noRealPortsReason(): string {
  if (!window.isSecureContext) return pageTexts.notSecure;
  return navigator.serial ? '' : pageTexts.noSerial;
}

function checked(id: string): boolean {
  return element<HTMLInputElement>(id).checked;
}

function portName(port: SerialPort): string {
  if (port instanceof SimulatedBoard) return tr(pageTexts.simulatedBoard);
  const { usbVendorId, usbProductId } = port.getInfo();
  if (usbVendorId === undefined) return tr(pageTexts.unnamedPort);
  const hex = (id = 0) => id.toString(16).padStart(4, '0');
  return `USB ${hex(usbVendorId)}:${hex(usbProductId)}`;
}

export class UploadView {
  private readonly link = new SerialLink();
  private readonly board: SimulatedBoard;
  // What Button2 connects to: the last choice, or the simulated board
  // where real ports cannot be had.
  private kind: PortKind = noRealPortsReason() ? 'simulated' : 'serial';
  private reasonLogged = false;
  private name = '';
  private dsrOn = false;
  private connecting = false;
  private dsrTimer = 0;
  private send: PacedSend | null = null;
  // The send that the bar shows: the running one, or the last until the
  // next compile.
  private lastProgress: PacedSend | null = null;
  private progressTimer = 0;
  // The returned bytes of the last send, until they are checked.
  private echo: { frame: Uint8Array; returned: number[] } | null = null;
  private quietTimer = 0;

  private readonly texts: Record<string, string>;

  // Called with true while a send runs (the window greys compile and open).
  onSending: (sending: boolean) => void = () => {};

  constructor(
    private readonly core: KmpCore,
    private readonly log: MemoPane,
    private readonly image: () => Uint8Array | null,
  ) {
    const texts = core.texts();
    this.texts = texts;
    element('ComLed1').title = tr(texts.lineOpenLampTip);
    element('ComLed2').title = tr(texts.boardReadyLampTip);
    element('Button2').textContent = tr(texts.connectCaption);
    element('Button2').addEventListener('click', () => void this.button2Click());
    element('Button4').addEventListener('click', () => void this.button4Click());
    element('Button7').textContent = widgetText('Button7');
    element('Button7').addEventListener('click', () => this.cancel());
    element('ChoosePort').textContent = tr(pageTexts.choosePort);
    element('ChoosePort').addEventListener('click', () => void this.choosePortClick());
    element('PortChoiceCaption').textContent = tr(pageTexts.portChoiceCaption);
    element('ChooseSerialPort').textContent = tr(pageTexts.serialPortChoice);
    element('ChooseSimulatedBoard').textContent = tr(pageTexts.simulatedBoard);
    element('ChooseCancel').textContent = tr(pageTexts.cancel);
    for (const [id, text] of [
      ['SimNoReply', pageTexts.simNoReply],
      ['SimChangeByte', pageTexts.simChangeByte],
      ['SimPull', pageTexts.simPull],
    ]) {
      element(`${id}Text`).textContent = tr(text);
    }
    this.board = new SimulatedBoard(
      core.lineByteMs,
      () => ({ noReply: checked('SimNoReply'), changeByte: checked('SimChangeByte'), pull: checked('SimPull') }),
      () => {
        const image = this.image();
        return image ? core.uploadFrame(image).length : 0;
      },
    );
    this.link.onBytes = (bytes) => this.takeReturnedBytes(bytes);
    this.link.onSignals = (signals) => this.showDsr(signals.dataSetReady);
    this.link.onReadFault = (name) => this.log.appendLine(pageTexts.readFault + name);
    this.link.onLost = () => this.lineLost();
  }

  isSending(): boolean {
    return this.send !== null;
  }

  cancel(): void {
    if (this.send) this.send.cancel = true;
  }

  // The bar of a finished send goes at the next compile.
  hideSendResult(): void {
    if (!this.send) element('SendState').hidden = true;
  }

  private async button2Click(): Promise<void> {
    if (this.send || this.connecting) return;
    if (this.link.isOpen()) {
      await this.link.close();
      this.showClosedState();
      return;
    }
    await this.connectOnce(this.kind);
  }

  // ChoosePort: the browser's chooser or the simulated board, asked in a
  // dialog; where real ports cannot be had, only the board is offered.
  private async choosePortClick(): Promise<void> {
    if (this.send || this.connecting || this.link.isOpen()) return;
    const dialog = element<HTMLDialogElement>('PortChoice');
    element<HTMLButtonElement>('ChooseSerialPort').disabled = noRealPortsReason() !== '';
    dialog.returnValue = '';
    const chosen = await new Promise<string>((resolve) => {
      dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true });
      dialog.showModal();
    });
    element('ChoosePort').focus();
    if (chosen === 'serial' || chosen === 'simulated') await this.connectOnce(chosen);
  }

  // A second click while the chooser or the open is pending does nothing.
  private async connectOnce(kind: PortKind): Promise<void> {
    if (this.connecting) return;
    this.connecting = true;
    try {
      await this.connect(kind);
    } finally {
      this.connecting = false;
    }
  }

  private async connect(kind: PortKind): Promise<void> {
    const texts = this.texts;
    const reason = noRealPortsReason();
    if (reason && !this.reasonLogged) {
      this.reasonLogged = true;
      this.log.appendLine(reason);
    }
    let port: SerialPort;
    if (kind === 'simulated' || reason) {
      port = this.board;
    } else {
      try {
        port = await navigator.serial!.requestPort();
      } catch {
        return; // no port chosen
      }
    }
    this.kind = port === this.board ? 'simulated' : 'serial';
    this.name = portName(port);
    try {
      await this.link.open(port);
    } catch {
      await messageBox(
        tr(texts.errorCaption),
        tr(texts.cannotConnectText) + this.name + tr(texts.cannotConnectTextEnd),
        'ok',
      );
      // On Linux the same refusal comes from a port in use and from a
      // missing right to the device.
      if (/Linux/.test(navigator.userAgent) && !/CrOS|Android/.test(navigator.userAgent)) {
        this.log.appendLine(pageTexts.permissionIf + this.core.noPermissionHint(pageTexts.linuxDevices, 'dialout'));
      }
      return;
    }
    element('Button2').textContent = tr(texts.disconnectCaption);
    element<HTMLInputElement>('CheckBox1').disabled = true;
    element<HTMLButtonElement>('ChoosePort').disabled = true;
    element('ComLed1').classList.add('on');
    if (port === this.board) {
      element('SimFaults').hidden = false;
      this.log.appendLine(pageTexts.simulatedNote);
    }
    this.dsrTimer = window.setTimeout(() => {
      if (this.link.isOpen() && !this.dsrOn) this.log.appendLine(this.core.dsrOffLine(this.name, this.core.dsrWaitMs));
    }, this.core.dsrWaitMs);
  }

  private showDsr(on: boolean): void {
    this.dsrOn = on;
    element('ComLed2').classList.toggle('on', on);
    if (!this.send) element<HTMLButtonElement>('Button4').disabled = !on;
  }

  private showClosedState(): void {
    window.clearTimeout(this.dsrTimer);
    this.endEchoWait();
    this.dsrOn = false;
    element('Button2').textContent = tr(this.texts.connectCaption);
    element<HTMLInputElement>('CheckBox1').disabled = false;
    element<HTMLButtonElement>('ChoosePort').disabled = false;
    element('SimFaults').hidden = true;
    element('ComLed1').classList.remove('on');
    element('ComLed2').classList.remove('on');
    element<HTMLButtonElement>('Button4').disabled = true;
    if (!this.send) element('SendState').hidden = true;
  }

  private lineLost(): void {
    if (this.send) {
      // The send ends first, with its count; then the line's loss.
      this.send.lost = true;
      return;
    }
    const texts = this.texts;
    this.log.appendLine(texts.lineLostPrefix + this.name + texts.lineLostEnd);
    this.showClosedState();
  }

  private async button4Click(): Promise<void> {
    if (this.send) return;
    const texts = this.texts;
    const state = this.core.compileState();
    if (state.programChanged && (await messageBox(tr(texts.changedCaption), tr(texts.changedText), 'yesNo')) !== 'yes')
      return;
    if (!state.compiledOk) {
      await messageBox(tr(texts.notCompiledCaption), tr(texts.notCompiledText), 'ok');
      return;
    }
    const image = this.image();
    if (image && this.link.isOpen()) await this.sendFrame(this.core.uploadFrame(image));
  }

  private async sendFrame(frame: Uint8Array): Promise<void> {
    window.clearTimeout(this.quietTimer);
    this.echo = { frame, returned: [] };
    const send: PacedSend = { frame, written: 0, heldSince: 0, cancel: false, lost: false };
    this.showSending(send);
    this.log.appendLine(this.texts.sendingLine);
    const end = await this.writeFrame(send);
    const handshake = element<HTMLInputElement>('CheckBox1').checked;
    const line = this.core.sendEndLine(send.written, frame.length, end, handshake);
    this.showSending(null);
    if (line) this.log.appendLine(line);
    // Only a frame that went out whole is checked; its bytes may still come.
    if (end !== 'completed') this.echo = null;
    if (this.echo) this.quietTimer = window.setTimeout(() => this.endEcho(), this.core.replyQuietMs);
    if (send.lost) this.lineLost();
  }

  // With the handshake no byte goes while CTS is off.
  private writeFrame(send: PacedSend): Promise<WriteEnd> {
    const link = this.link;
    return writePaced(
      { writeByte: (byte) => link.writeByte(byte), clearToSend: async () => (await link.readSignals()).clearToSend },
      send,
      {
        byteMs: this.core.lineByteMs,
        limitMs: writeLimitMs(send.frame.length),
        handshake: element<HTMLInputElement>('CheckBox1').checked,
        clock: { now: () => performance.now(), sleep },
      },
    );
  }

  private showSending(send: PacedSend | null): void {
    this.send = send;
    const on = send !== null;
    element<HTMLButtonElement>('Button2').disabled = on;
    element<HTMLButtonElement>('Button4').disabled = on || !this.dsrOn || !this.link.isOpen();
    element('Button7').hidden = !on;
    window.clearInterval(this.progressTimer);
    if (send) {
      element('SendState').hidden = false;
      this.lastProgress = send;
      this.progressTimer = window.setInterval(() => this.showProgress(), PROGRESS_MS);
    }
    this.showProgress();
    this.onSending(on);
  }

  private showProgress(): void {
    const send = this.lastProgress;
    if (!send) return;
    const running = this.send === send;
    const heldMs = running && send.heldSince > 0 ? performance.now() - send.heldSince : 0;
    const progress = this.core.progress(send.written, send.frame.length, running, Math.round(heldMs));
    const bar = element<HTMLProgressElement>('ProgressBar1');
    bar.max = Math.max(send.frame.length, 1);
    bar.value = send.written;
    element('ProgressText').textContent = progress.text;
  }

  private takeReturnedBytes(bytes: Uint8Array): void {
    for (const line of this.core.returnedByteLines(bytes).lines) this.log.appendLine(line);
    const echo = this.echo;
    if (!echo) return;
    for (const byte of bytes) if (echo.returned.length < echo.frame.length) echo.returned.push(byte);
    if (echo.returned.length >= echo.frame.length) {
      this.endEcho();
    } else if (!this.send) {
      // The quiet is counted from the last byte.
      window.clearTimeout(this.quietTimer);
      this.quietTimer = window.setTimeout(() => this.endEcho(), this.core.replyQuietMs);
    }
  }

  // The returned bytes of the send have ended: one line compares them with
  // the frame, or says that none came back.
  private endEcho(): void {
    const echo = this.echo;
    this.endEchoWait();
    if (echo) this.log.appendLine(this.core.echoLine(echo.frame, Uint8Array.from(echo.returned)));
  }

  private endEchoWait(): void {
    window.clearTimeout(this.quietTimer);
    this.echo = null;
  }
}
