// One open serial port: opened with the core's line settings (300 baud 8N2,
// RTS on, DTR off), a reader that runs while the port is open, one poller
// of the modem lines, the frame written in step with the line, and the loss
// of the device noticed.
import type { LineSettings, WriteEnd } from './core';
import { type Clock, LOST, type PacedSend, writePaced } from './paced_writer';

// Errors after which the port gives a new readable stream: nothing is lost,
// the reading goes on with a new reader.
const PASSING_READ_ERRORS = new Set(['BreakError', 'FramingError', 'ParityError', 'BufferOverrunError']);
// The modem lines are read this often (the lamp).
const SIGNAL_POLL_MS = 100;

const realClock: Clock = {
  now: () => performance.now(),
  sleep: (ms) => new Promise<void>((resolve) => setTimeout(resolve, ms)),
};

export interface SendOptions {
  byteMs: number;
  limitMs: number;
  handshake: boolean;
}

export class SerialLink {
  private port: SerialPort | null = null;
  private reader: ReadableStreamDefaultReader<Uint8Array> | null = null;
  private writer: WritableStreamDefaultWriter<Uint8Array> | null = null;
  private pollTimer = 0;
  private sending: AbortController | null = null;

  onBytes: (bytes: Uint8Array) => void = () => {};
  onSignals: (signals: SerialInputSignals) => void = () => {};
  onReadFault: (name: string) => void = () => {};
  // The device went; a send that ran has ended first.
  onLost: () => void = () => {};

  // A port fires this when its device goes (unplugged, driver gone).
  private readonly onDisconnect = () => this.lose();

  constructor(private readonly settings: LineSettings) {}

  isOpen(): boolean {
    return this.port !== null;
  }

  // Opens `port`; rejects when it cannot be opened (held by another program,
  // no permission), with the port left closed.
  async open(port: SerialPort): Promise<void> {
    await port.open(this.settings.open);
    try {
      await port.setSignals(this.settings.signals);
    } catch (error) {
      await port.close().catch(() => {});
      throw error;
    }
    this.port = port;
    port.addEventListener('disconnect', this.onDisconnect);
    this.writer = port.writable?.getWriter() ?? null;
    void this.readWhileOpen(port);
    this.pollSignals(port);
  }

  async close(): Promise<void> {
    const port = this.port;
    if (!port) return;
    this.forget();
    await this.reader?.cancel().catch(() => {});
    this.writer?.releaseLock();
    this.writer = null;
    await port.close().catch(() => {});
  }

  // Writes `send.frame` paced by the line; a cancel aborts `controller`.
  async send(send: Omit<PacedSend, 'signal'>, controller: AbortController, options: SendOptions): Promise<WriteEnd> {
    this.sending = controller;
    try {
      return await writePaced(
        { writeByte: (byte) => this.writeByte(byte), clearToSend: () => this.clearToSend() },
        Object.assign(send, { signal: controller.signal }),
        { ...options, clock: realClock },
      );
    } finally {
      this.sending = null;
    }
  }

  private async writeByte(byte: number): Promise<void> {
    if (!this.writer) throw new Error('closed');
    await this.writer.write(Uint8Array.of(byte));
  }

  // CTS read now, before a byte: the poller's last reading may be late.
  private async clearToSend(): Promise<boolean> {
    if (!this.port) throw new Error('closed');
    return (await this.port.getSignals()).clearToSend;
  }

  private async readWhileOpen(port: SerialPort): Promise<void> {
    while (port.readable && this.port === port) {
      const reader = port.readable.getReader();
      this.reader = reader;
      try {
        for (;;) {
          const { value, done } = await reader.read();
          if (done) break;
          if (value && value.length > 0) this.onBytes(value);
        }
      } catch (error) {
        const name = (error as Error).name;
        if (PASSING_READ_ERRORS.has(name)) this.onReadFault(name);
      } finally {
        reader.releaseLock();
      }
    }
    // The port gives no more streams only when the device failed.
    if (this.port === port) this.lose();
  }

  private pollSignals(port: SerialPort): void {
    const poll = async () => {
      if (this.port !== port) return;
      try {
        const signals = await port.getSignals();
        if (this.port !== port) return;
        this.onSignals(signals);
      } catch {
        this.lose();
        return;
      }
      this.pollTimer = window.setTimeout(poll, SIGNAL_POLL_MS);
    };
    void poll();
  }

  private forget(): void {
    window.clearTimeout(this.pollTimer);
    this.port?.removeEventListener('disconnect', this.onDisconnect);
    this.port = null;
  }

  private lose(): void {
    const port = this.port;
    if (!port) return;
    this.forget();
    this.writer?.releaseLock();
    this.writer = null;
    void port.close().catch(() => {});
    // A running send ends with its count; its caller then reports the loss.
    if (this.sending) this.sending.abort(LOST);
    else this.onLost();
  }
}
