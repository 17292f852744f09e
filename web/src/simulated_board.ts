// A board in the page for trying a send without hardware, as the window's
// simulated board: it is a SerialPort to the page's upload code (the same
// SerialLink path as a real port), raises DSR once open, takes each byte in
// its time on the line (300 baud 8N2) and returns it. Three faults, read at
// the first byte of a send, show the board's other lines: it returns
// nothing, changes the third returned byte, or is pulled after half the frame.
export interface BoardFaults {
  noReply: boolean;
  changeByte: boolean;
  pull: boolean;
}

const FRAME_END = 0xff;
const NEW_SEND_PAUSE_MS = 1000;
const LOST = () => new DOMException('The device has been lost.', 'NetworkError');

export class SimulatedBoard extends EventTarget implements SerialPort {
  readable: ReadableStream<Uint8Array> | null = null;
  writable: WritableStream<Uint8Array> | null = null;
  private toPage: ReadableStreamDefaultController<Uint8Array> | null = null;
  private pulled = false;
  private pulling = false;
  private faults: BoardFaults = { noReply: false, changeByte: false, pull: false };
  private taken = 0; // bytes of the current send
  private pullAfter = Infinity; // bytes, with the pull fault
  private lastByteAt = -Infinity;

  constructor(
    private readonly lineByteMs: number,
    private readonly faultsNow: () => BoardFaults,
    private readonly frameLength: () => number,
  ) {
    super();
  }

  getInfo(): SerialPortInfo {
    return {};
  }

  async open(_options: SerialOptions): Promise<void> {
    this.pulled = false;
    this.pulling = false;
    this.readable = new ReadableStream({ start: (controller) => void (this.toPage = controller) });
    this.writable = new WritableStream({ write: (chunk) => this.take(chunk) });
  }

  async close(): Promise<void> {
    this.readable = null;
    this.writable = null;
    this.toPage = null;
  }

  async getSignals(): Promise<SerialInputSignals> {
    if (this.pulled) throw LOST();
    return { dataSetReady: this.readable !== null, clearToSend: true, dataCarrierDetect: false, ringIndicator: false };
  }

  async setSignals(_signals: SerialOutputSignals): Promise<void> {
    if (this.pulled) throw LOST();
  }

  // A byte is at the board once its time on the line is over; then it
  // comes back (unless told otherwise). A send begins after a frame's end
  // (255) or a pause of a second.
  private async take(chunk: Uint8Array): Promise<void> {
    // Once pulled, a byte more cannot reach the board.
    if (this.pulled || this.pulling) throw LOST();
    for (const byte of chunk) {
      const now = performance.now();
      if (now - this.lastByteAt > NEW_SEND_PAUSE_MS) this.taken = 0;
      this.lastByteAt = now;
      if (this.taken === 0) {
        this.faults = { ...this.faultsNow() };
        this.pullAfter = this.faults.pull ? Math.ceil(this.frameLength() / 2) : Infinity;
      }
      const index = this.taken;
      this.taken = byte === FRAME_END ? 0 : this.taken + 1;
      window.setTimeout(() => this.arrived(byte, index), this.lineByteMs);
      if (index + 1 >= this.pullAfter) {
        this.pulling = true;
        window.setTimeout(() => this.pull(), this.lineByteMs);
        return;
      }
    }
  }

  private arrived(byte: number, index: number): void {
    if (this.pulled || !this.toPage || this.faults.noReply) return;
    this.toPage.enqueue(Uint8Array.of(this.faults.changeByte && index === 2 ? (byte + 1) & 0xff : byte));
  }

  // Pulled out: the stream fails, the lines cannot be read, and the port
  // says so, as a real adapter does.
  private pull(): void {
    this.pulled = true;
    this.toPage?.error(LOST());
    this.toPage = null;
    this.readable = null;
    this.dispatchEvent(new Event('disconnect'));
  }
}
