// The page's virtual module as a serial port, with the same open, close,
// readable and writable as the browser's own ports: what the configurator
// writes goes to the module (virtual_module.wasm), and its replies come back
// at the line rate of 115200 baud, 10 bits a byte, in packets of up to 64
// bytes as a USB adapter hands them on, each when its last byte is through.
// The module starts when the port is first opened, so every load of the page
// finds it in its factory state, and a page that never uses it never loads it.

const BYTE_MS = 10 / 115.2;
const PACKET = 64;

function createVirtualPort() {
  let module = null; // the module's promise, from the first open on
  let started = 0;
  const written = []; // every write the module received, for whoever looks (tests)
  let output = null; // the readable side's controller while open
  let sending = []; // replies going out: {bytes, start, sent}
  let lineFree = 0; // when the line has sent everything so far
  let timer = 0;

  function stop() {
    clearTimeout(timer);
    timer = 0;
    sending = [];
    output = null;
  }

  // Hands over the packets whose time on the line is over.
  function deliver() {
    timer = 0;
    if (!output) return;
    const now = performance.now();
    while (sending.length) {
      const reply = sending[0];
      const through = Math.min(reply.bytes.length, Math.floor((now - reply.start) / BYTE_MS));
      const end = through === reply.bytes.length ? through : reply.sent + Math.floor((through - reply.sent) / PACKET) * PACKET;
      if (end > reply.sent) output.enqueue(reply.bytes.slice(reply.sent, end));
      reply.sent = end;
      if (end < reply.bytes.length) {
        const next = Math.min(reply.bytes.length, end + PACKET);
        timer = setTimeout(deliver, next * BYTE_MS - (now - reply.start));
        return;
      }
      sending.shift();
    }
  }

  async function receive(chunk) {
    const answer = await module;
    written.push(Array.from(chunk));
    const n = answer.ccall('virtual_module_receive', 'number', ['array', 'number', 'number'],
      [chunk, chunk.length, performance.now() - started]);
    if (!n || !output) return;
    const at = answer._virtual_module_replies();
    const start = Math.max(performance.now(), lineFree);
    lineFree = start + n * BYTE_MS;
    sending.push({ bytes: answer.HEAPU8.slice(at, at + n), start, sent: 0 });
    if (!timer) deliver();
  }

  const port = {
    readable: null,
    writable: null,
    written,
    getInfo: () => ({}),
    async open() {
      if (port.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (!module) {
        module = import('./virtual_module.js').then((loader) => loader.default());
        started = performance.now();
      }
      await module;
      port.readable = new ReadableStream({ start(controller) { output = controller; }, cancel: stop });
      port.writable = new WritableStream({ write: receive });
      lineFree = 0;
    },
    async close() {
      stop();
      port.readable = null;
      port.writable = null;
    },
  };
  return port;
}

export const virtualPort = createVirtualPort();
