// Injected into the page before its own script (page.addInitScript): a
// navigator.serial whose one port forwards to a board in Node through the
// functions that the test exposes (kmpBoardOpen, kmpBoardWrite,
// kmpBoardSignals, kmpBoardSetSignals, kmpBoardClose). The test drives the
// port from Node with window.kmpStandIn, whose `chooser` makes the chooser
// throw as Chrome does ('NotFoundError' when closed, 'SecurityError' under a
// policy) and whose `plugged` takes the adapter out of getPorts().
(() => {
  class StandInPort extends EventTarget {
    constructor() {
      super();
      this.readable = null;
      this.writable = null;
      this.controller = null;
    }

    getInfo() {
      return window.kmpStandIn.info;
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
  // Like Chrome: a port that the user chose once stays granted to the page.
  let granted = false;
  serial.requestPort = async () => {
    window.kmpStandIn.chooserOpened += 1;
    const refusal = window.kmpStandIn.chooser;
    if (refusal === 'NotFoundError') throw new DOMException('No port selected by the user.', refusal);
    if (refusal) throw new DOMException('Access to the feature "serial" is disallowed by permissions policy.', refusal);
    granted = true;
    return port;
  };
  serial.getPorts = async () => (granted && window.kmpStandIn.plugged ? [port] : []);
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });

  window.kmpStandIn = {
    chooser: '',
    chooserOpened: 0,
    plugged: true,
    info: { usbVendorId: 0x1a86, usbProductId: 0x7523 },
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
