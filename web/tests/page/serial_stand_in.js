// Injected into the page before its own script (page.addInitScript): a
// navigator.serial whose one port forwards to a board in Node through the
// functions that the test exposes (kmpBoardOpen, kmpBoardWrite,
// kmpBoardSignals, kmpBoardSetSignals, kmpBoardClose). The test drives the
// port from Node with window.kmpStandIn.
(() => {
  class StandInPort extends EventTarget {
    constructor() {
      super();
      this.readable = null;
      this.writable = null;
      this.controller = null;
    }

    getInfo() {
      return { usbVendorId: 0x1a86, usbProductId: 0x7523 };
    }

    async open(options) {
      const refusal = await window.kmpBoardOpen(options);
      if (refusal) throw new DOMException(refusal, 'NetworkError');
      this.newReadable();
      this.writable = new WritableStream({
        write: async (chunk) => {
          if (!(await window.kmpBoardWrite(Array.from(chunk)))) throw new DOMException('The device has been lost.', 'NetworkError');
        },
      });
    }

    newReadable() {
      this.readable = new ReadableStream({ start: (controller) => (this.controller = controller) });
    }

    async getSignals() {
      const signals = await window.kmpBoardSignals();
      if (!signals) throw new DOMException('The device has been lost.', 'NetworkError');
      return signals;
    }

    async setSignals(signals) {
      await window.kmpBoardSetSignals(signals);
    }

    async close() {
      this.readable = null;
      this.writable = null;
      await window.kmpBoardClose();
    }
  }

  const port = new StandInPort();
  const serial = new EventTarget();
  serial.requestPort = async () => port;
  serial.getPorts = async () => [port];
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });

  window.kmpStandIn = {
    deliver: (bytes) => port.controller?.enqueue(new Uint8Array(bytes)),
    // A passing read error: the stream fails and the port gives a new one.
    readError: (name) => {
      const old = port.controller;
      port.newReadable();
      old.error(new DOMException('read error', name));
    },
    // The device goes: no more streams, and the port says so.
    lose: () => {
      const old = port.controller;
      port.readable = null;
      old?.error(new DOMException('The device has been lost.', 'NetworkError'));
      port.dispatchEvent(new Event('disconnect'));
    },
  };
})();
