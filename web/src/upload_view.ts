// The port controls: Button2 connects and disconnects, the lamps show the
// open line (ComLed1) and DSR (ComLed2), Button4 sends the frame and Button7
// (or Esc) cancels it. The connection is SerialLink's; this view keeps one
// state of the run and renders it in one place.
import type { EchoCheck, KmpCore, WriteEnd } from './core';
import { announce } from './announce';
import { messageBox } from './dialogs';
import { tr, widgetText } from './i18n';
import type { MemoPane } from './memo_pane';
import { pageTexts } from './page_texts';
import { LOST, type PacedSend } from './paced_writer';
import { PortChooser } from './port_chooser';
import { SerialLink } from './serial_link';
import { SimulatedBoard } from './simulated_board';

// How often the progress is redrawn.
const PROGRESS_MS = 100;

type LinkState = 'closed' | 'connecting' | 'open' | 'sending';

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
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
  private readonly link: SerialLink;
  private readonly chooser: PortChooser;
  private readonly echo: EchoCheck;
  private readonly texts: Record<string, string>;
  private state: LinkState = 'closed';
  private dsrOn = false;
  private onBoard = false; // the open port is the simulated board
  private name = '';
  private dsrTimer = 0;
  private send: (PacedSend & { controller: AbortController }) | null = null;
  // The send that the bar shows: the running one, or the last until the
  // next compile.
  private shownSend: PacedSend | null = null;
  private progressTimer = 0;
  // The returned bytes of the last send are being checked.
  private echoPending = false;
  private quietTimer = 0;

  // Called with true while a send runs (the window greys compile and open).
  onSending: (sending: boolean) => void = () => {};

  constructor(
    private readonly core: KmpCore,
    private readonly log: MemoPane,
    // The last compile run: its image, when it succeeded.
    private readonly compiled: () => { ok: boolean; image: Uint8Array } | null,
  ) {
    this.texts = core.texts();
    this.echo = new core.EchoCheck();
    this.link = new SerialLink(core.lineSettings());
    const board = new SimulatedBoard(
      core.lineByteMs,
      () => ({ noReply: checked('SimNoReply'), changeByte: checked('SimChangeByte'), pull: checked('SimPull') }),
      () => {
        const run = this.compiled();
        return run?.ok ? core.uploadFrame(run.image).length : 0;
      },
    );
    this.chooser = new PortChooser(core, log, board);
    this.showTexts();
    element('Button2').addEventListener('click', () => void this.button2Click());
    element('Button4').addEventListener('click', () => void this.button4Click());
    element('Button7').addEventListener('click', () => this.cancel());
    element('ChoosePort').addEventListener('click', () => void this.choosePortClick());
    this.link.onBytes = (bytes) => this.takeReturnedBytes(bytes);
    this.link.onSignals = (signals) => this.showDsr(signals.dataSetReady);
    this.link.onReadFault = (name) => this.log.appendLine(pageTexts.readFault + name);
    this.link.onLost = () => this.lineLost();
    this.render();
  }

  isSending(): boolean {
    return this.state === 'sending';
  }

  cancel(): void {
    this.send?.controller.abort();
  }

  // The bar of a finished send goes at the next compile.
  hideSendResult(): void {
    if (this.state !== 'sending') this.shownSend = null;
    this.render();
  }

  private showTexts(): void {
    const texts = this.texts;
    element('ComLed1').title = tr(texts.lineOpenLampTip);
    element('ComLed2').title = tr(texts.boardReadyLampTip);
    element('Button7').textContent = widgetText('Button7');
    element('ChoosePort').textContent = tr(pageTexts.choosePort);
    const simTexts: [string, string][] = [
      ['SimNoReply', pageTexts.simNoReply],
      ['SimChangeByte', pageTexts.simChangeByte],
      ['SimPull', pageTexts.simPull],
    ];
    for (const [id, text] of simTexts) element(`${id}Text`).textContent = tr(text);
  }

  // The one place where the state shows: every control of the port.
  private render(): void {
    const { state } = this;
    const open = state === 'open' || state === 'sending';
    const button2 = element<HTMLButtonElement>('Button2');
    button2.textContent = tr(open ? this.texts.disconnectCaption : this.texts.connectCaption);
    button2.disabled = state === 'sending' || state === 'connecting';
    element<HTMLInputElement>('CheckBox1').disabled = state !== 'closed';
    element<HTMLButtonElement>('ChoosePort').disabled = state !== 'closed';
    element('ComLed1').classList.toggle('on', open);
    element('ComLed2').classList.toggle('on', open && this.dsrOn);
    // A lamp's name says its state; its tooltip stays the window's.
    element('ComLed1').setAttribute('aria-label', tr(open ? this.texts.lineOpenLampTip : this.texts.lineClosedLampName));
    element('ComLed2').setAttribute(
      'aria-label',
      tr(open && this.dsrOn ? this.texts.boardReadyLampTip : this.texts.boardNotReadyLampName),
    );
    element<HTMLButtonElement>('Button4').disabled = state !== 'open' || !this.dsrOn;
    element('Button7').hidden = state !== 'sending';
    element('SimFaults').hidden = !(open && this.onBoard);
    element('SendState').hidden = this.shownSend === null;
    this.showProgress();
  }

  private setState(state: LinkState): void {
    const wasSending = this.state === 'sending';
    this.state = state;
    this.render();
    if (wasSending !== (state === 'sending')) this.onSending(state === 'sending');
  }

  private async button2Click(): Promise<void> {
    if (this.state === 'open') {
      await this.link.close();
      this.showClosedState();
    } else if (this.state === 'closed') {
      await this.connect(false, null);
    }
  }

  // ChoosePort: the browser's chooser or the simulated board, asked in a
  // dialog; where real ports cannot be had, only the board is offered.
  private async choosePortClick(): Promise<void> {
    if (this.state !== 'closed') return;
    const kind = await this.chooser.askKind();
    element('ChoosePort').focus();
    if (kind) await this.connect(true, kind);
  }

  // A second click while the chooser or the open is pending does nothing.
  private async connect(choose: boolean, kind: 'serial' | 'simulated' | null): Promise<void> {
    this.setState('connecting');
    const port = await this.chooser.portFor(choose, kind);
    if (!port) {
      this.setState('closed');
      return;
    }
    this.name = portName(port);
    try {
      await this.link.open(port);
    } catch {
      this.setState('closed');
      await this.chooser.sayOpenRefused(this.name);
      return;
    }
    this.onBoard = port instanceof SimulatedBoard;
    this.chooser.opened(port);
    this.setState('open');
    this.dsrTimer = window.setTimeout(() => {
      if (this.link.isOpen() && !this.dsrOn) this.log.appendLine(this.core.dsrOffLine(this.name, this.core.dsrWaitMs));
    }, this.core.dsrWaitMs);
  }

  private showDsr(on: boolean): void {
    if (this.dsrOn === on) return;
    this.dsrOn = on;
    this.render();
  }

  private showClosedState(): void {
    window.clearTimeout(this.dsrTimer);
    this.endEchoWait();
    this.dsrOn = false;
    this.onBoard = false;
    this.shownSend = null;
    this.setState('closed');
  }

  private lineLost(): void {
    const texts = this.texts;
    this.log.appendLine(texts.lineLostPrefix + this.name + texts.lineLostEnd);
    this.showClosedState();
  }

  private async button4Click(): Promise<void> {
    if (this.state !== 'open') return;
    const texts = this.texts;
    if (
      this.core.compileState().programChanged &&
      (await messageBox(tr(texts.changedCaption), tr(texts.changedText), 'yesNo')) !== 'yes'
    )
      return;
    const run = this.compiled();
    if (!run?.ok) {
      await messageBox(tr(texts.notCompiledCaption), tr(texts.notCompiledText), 'ok');
      return;
    }
    if (this.state === 'open') await this.sendFrame(this.core.uploadFrame(run.image));
  }

  private async sendFrame(frame: Uint8Array): Promise<void> {
    window.clearTimeout(this.quietTimer);
    this.echo.start(frame);
    this.echoPending = true;
    const controller = new AbortController();
    const send = { frame, written: 0, heldSince: 0, signal: controller.signal, controller };
    this.send = send;
    this.shownSend = send;
    this.setState('sending');
    this.progressTimer = window.setInterval(() => this.showProgress(), PROGRESS_MS);
    this.log.appendLine(this.texts.sendingLine);
    const handshake = checked('CheckBox1');
    const end: WriteEnd = await this.link.send(send, controller, {
      byteMs: this.core.lineByteMs,
      limitMs: this.core.writeLimitMs(frame.length),
      handshake,
    });
    window.clearInterval(this.progressTimer);
    this.send = null;
    // The bar's last count, also where a loss hides it next.
    this.showProgress();
    const line = this.core.sendEndLine(send.written, frame.length, end, handshake);
    if (line) this.log.appendLine(line);
    announce(line || tr(this.core.texts().sendDone).replace('%1', this.core.progressText(send.written, frame.length, false, 0)));
    // Only a frame that went out whole is checked; its bytes may still come.
    if (end !== 'completed') this.echoPending = false;
    if (this.echoPending) this.quietTimer = window.setTimeout(() => this.endEcho(), this.core.replyQuietMs);
    if (controller.signal.reason === LOST) this.lineLost();
    else this.setState(this.link.isOpen() ? 'open' : 'closed');
  }

  private showProgress(): void {
    const send = this.shownSend;
    if (!send) return;
    const running = this.send === send;
    const heldMs = running && send.heldSince > 0 ? performance.now() - send.heldSince : 0;
    const bar = element<HTMLProgressElement>('ProgressBar1');
    bar.max = Math.max(send.frame.length, 1);
    bar.value = send.written;
    const text = this.core.progressText(send.written, send.frame.length, running, Math.round(heldMs));
    element('ProgressText').textContent = text;
    bar.setAttribute('aria-valuetext', text);
  }

  private takeReturnedBytes(bytes: Uint8Array): void {
    for (const line of this.core.returnedByteLines(bytes)) this.log.appendLine(line);
    if (!this.echoPending) return;
    if (this.echo.take(bytes)) {
      this.endEcho();
    } else if (this.state !== 'sending') {
      // The quiet is counted from the last byte.
      window.clearTimeout(this.quietTimer);
      this.quietTimer = window.setTimeout(() => this.endEcho(), this.core.replyQuietMs);
    }
  }

  // The returned bytes of the send have ended: one line compares them with
  // the frame, or says that none came back.
  private endEcho(): void {
    const pending = this.echoPending;
    this.endEchoWait();
    if (pending) this.log.appendLine(this.echo.line());
  }

  private endEchoWait(): void {
    window.clearTimeout(this.quietTimer);
    this.echoPending = false;
  }
}
