// Which port a connect opens, and what a connect that fails says: the
// simulated board where real ports cannot be had; for Button2 the port
// opened last or the only one this page was allowed before; else the
// browser's chooser. Each cause of a failure has its own words.
import type { KmpCore } from './core';
import { askDialog, messageBox } from './dialogs';
import { tr } from './i18n';
import type { MemoPane } from './memo_pane';
import { pageTexts } from './page_texts';
import type { SimulatedBoard } from './simulated_board';

export type PortKind = 'serial' | 'simulated';

function element<T extends HTMLElement = HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

// Real ports need Web Serial, which only some browsers have, and only on a
// secure page; the reason why, or '' where they are offered.
function noRealPortsReason(): string {
  if (!window.isSecureContext) return pageTexts.notSecure;
  return navigator.serial ? '' : pageTexts.noSerial;
}

export class PortChooser {
  // What Button2 connects to: the last choice, or the simulated board
  // where real ports cannot be had.
  private kind: PortKind = noRealPortsReason() ? 'simulated' : 'serial';
  private reasonLogged = false;
  // The real port opened last: Button2 opens it again while the browser
  // lists it (an adapter plugged back in after a loss).
  private lastPort: SerialPort | null = null;

  constructor(
    private readonly core: KmpCore,
    private readonly log: MemoPane,
    private readonly board: SimulatedBoard,
  ) {
    element('PortChoiceCaption').textContent = tr(pageTexts.portChoiceCaption);
    element('ChooseSerialPort').textContent = tr(pageTexts.serialPortChoice);
    element('ChooseSimulatedBoard').textContent = tr(pageTexts.simulatedBoard);
    element('ChooseCancel').textContent = tr(pageTexts.cancel);
  }

  // The dialog of ChoosePort: a real port (the chooser) or the simulated
  // board; null when cancelled.
  async askKind(): Promise<PortKind | null> {
    const dialog = element<HTMLDialogElement>('PortChoice');
    element<HTMLButtonElement>('ChooseSerialPort').disabled = noRealPortsReason() !== '';
    const chosen = await askDialog(dialog);
    return chosen === 'serial' || chosen === 'simulated' ? chosen : null;
  }

  // The port to open, or null when none was chosen (said in the log or a box).
  async portFor(choose: boolean, kind: PortKind | null): Promise<SerialPort | null> {
    const reason = noRealPortsReason();
    if (reason && !this.reasonLogged) {
      this.reasonLogged = true;
      this.log.appendLine(reason);
    }
    if (kind) this.kind = kind;
    if (this.kind === 'simulated' || reason) return this.board;
    const serial = navigator.serial!;
    if (!choose) {
      const granted = await serial.getPorts().catch(() => [] as SerialPort[]);
      if (this.lastPort && granted.includes(this.lastPort)) return this.lastPort;
      if (granted.length === 1) return granted[0];
    }
    try {
      return await serial.requestPort();
    } catch (error) {
      await this.sayNoPort(error);
      return null;
    }
  }

  // The port is open: a real adapter is named in the log.
  opened(port: SerialPort): void {
    this.kind = port === this.board ? 'simulated' : 'serial';
    if (port === this.board) {
      this.log.appendLine(pageTexts.simulatedNote);
      return;
    }
    this.lastPort = port;
    const { usbVendorId, usbProductId } = port.getInfo();
    if (usbVendorId !== undefined) this.log.appendLine(this.core.adapterLine(usbVendorId, usbProductId ?? 0));
  }

  // The open was refused: in use, or on Linux perhaps no right to the device.
  async sayOpenRefused(name: string): Promise<void> {
    const texts = this.core.texts();
    await messageBox(tr(texts.errorCaption), tr(texts.cannotConnectText) + name + tr(texts.cannotConnectTextEnd), 'ok');
    // On Linux the same refusal comes from a port in use and from a missing
    // right to the device.
    if (/Linux/.test(navigator.userAgent) && !/CrOS|Android/.test(navigator.userAgent)) {
      this.log.appendLine(pageTexts.permissionIf + this.core.noPermissionHint(pageTexts.linuxDevices, 'dialout'));
    }
  }

  // A chooser closed without a port is no error: the log says what to
  // check. A policy that forbids serial ports gets a box.
  private async sayNoPort(error: unknown): Promise<void> {
    if ((error as Error)?.name === 'SecurityError') {
      await messageBox(tr(this.core.texts().errorCaption), tr(pageTexts.serialBlocked), 'ok');
      return;
    }
    this.log.appendLine(pageTexts.noPortChosen);
    this.log.appendLine(pageTexts.noPortHint);
  }
}
