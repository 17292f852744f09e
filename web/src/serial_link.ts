// One open serial port: opened at 300 baud 8N2 with RTS on and DTR off as
// the window's connect does, a reader that runs while the port is open, the
// modem lines polled, and the loss of the device noticed.

// Errors after which the port gives a new readable stream: nothing is lost,
// the reading goes on with a new reader.
const PASSING_READ_ERRORS = new Set(['BreakError', 'FramingError', 'ParityError', 'BufferOverrunError']);
// The modem lines are read this often (the lamp and the handshake).
const SIGNAL_POLL_MS = 100;

export class SerialLink {
  private port: SerialPort | null = null;
  private reader: ReadableStreamDefaultReader<Uint8Array> | null = null;
  private writer: WritableStreamDefaultWriter<Uint8Array> | null = null;
  private pollTimer = 0;

  onBytes: (bytes: Uint8Array) => void = () => {};
  onSignals: (signals: SerialInputSignals) => void = () => {};
  onReadFault: (name: string) => void = () => {};
  onLost: () => void = () => {};

  // A port fires this when its device goes (unplugged, driver gone).
  private readonly onDisconnect = () => this.lose();

  isOpen(): boolean {
    return this.port !== null;
  }

  // Opens `port`; rejects when it cannot be opened (held by another program,
  // no permission), with the port left closed.
  async open(port: SerialPort): Promise<void> {
    await port.open({ baudRate: 300, dataBits: 8, parity: 'none', stopBits: 2, flowControl: 'none' });
    try {
      await port.setSignals({ requestToSend: true, dataTerminalReady: false });
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

  // Hands one byte to the port; rejects when the device failed.
  async writeByte(byte: number): Promise<void> {
    if (!this.writer) throw new Error('closed');
    await this.writer.write(Uint8Array.of(byte));
  }

  // The lines read now.
  async readSignals(): Promise<SerialInputSignals> {
    if (!this.port) throw new Error('closed');
    return this.port.getSignals();
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
    this.onLost();
  }
}
