// The browser's side of the Web Serial link (serial_link_web.cpp) and of port
// discovery (ports_web.cpp): the ports listed last, and for each open link its
// port's streams and the bytes that have arrived and are not yet read. The
// page may offer ports of its own (Module.extraPorts: [{port, name}]) that
// have the same open, close, readable and writable as the browser's, and may
// have asked the browser for its granted ports already (Module.grantedPorts, a
// promise of them), which the first listing then takes.
//
// A function that may suspend does all its work inside Asyncify.handleSleep:
// when the module resumes, the same call is made again and must only collect
// the result.
mergeInto(LibraryManager.library, {
  $KorvelSerial: {
    listed: [], // [{port, name}]; "web:N" names entry N
    links: {}, // open links by handle
    nextHandle: 1,
    openError: '',
    closing: [], // [port, the promise of its close] for each close under way

    // Reads the port until it ends; every chunk joins the queue at once.
    pump: async function (link) {
      try {
        for (;;) {
          const { value, done } = await link.reader.read();
          if (done) break;
          if (value && value.length) {
            link.chunks.push(value);
            link.queued += value.length;
          }
          link.arrived();
        }
      } catch (e) {
        // A port unplugged or closed under the read: the line has gone.
      }
      link.ended = true;
      link.arrived();
    },

    // OpenFault numbers, as serial_link_web.cpp reads them back.
    faultOf: function (error) {
      switch (error && error.name) {
        case 'NotFoundError': return 1;
        case 'InvalidStateError': // already open, here
        case 'NetworkError': return 3; // held by another program
        case 'SecurityError':
        case 'NotAllowedError': return 4;
        default: return 5;
      }
    },

    open: async function (name) {
      const entry = name.startsWith('web:') ? KorvelSerial.listed[Number(name.slice(4))] : undefined;
      if (!entry) {
        KorvelSerial.openError = 'No such port.';
        return -1;
      }
      const port = entry.port;
      for (const [closed, done] of KorvelSerial.closing) if (closed === port) await done;
      try {
        await port.open({ baudRate: 115200, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none' });
      } catch (error) {
        KorvelSerial.openError = String((error && error.message) || error);
        return -KorvelSerial.faultOf(error);
      }
      const link = {
        port,
        reader: port.readable.getReader(),
        writer: port.writable.getWriter(),
        chunks: [], // Uint8Arrays; the first may be partly taken
        offset: 0, // bytes taken of the first chunk
        queued: 0, // bytes in the chunks not yet taken
        ended: false, // the port has gone
        writeFailed: false, // a write failed or missed its deadline
        arrived: () => {},
      };
      const handle = KorvelSerial.nextHandle++;
      KorvelSerial.links[handle] = link;
      KorvelSerial.pump(link);
      return handle;
    },

    close: function (handle) {
      const link = KorvelSerial.links[handle];
      if (!link) return;
      delete KorvelSerial.links[handle];
      const done = (async () => {
        try { await link.reader.cancel(); } catch (e) { /* already gone */ }
        try { link.reader.releaseLock(); } catch (e) { /* already released */ }
        try { link.writer.releaseLock(); } catch (e) { /* already released */ }
        try { await link.port.close(); } catch (e) { /* unplugged */ }
        KorvelSerial.closing = KorvelSerial.closing.filter((entry) => entry[1] !== done);
      })();
      KorvelSerial.closing.push([link.port, done]);
    },
  },

  korvel_link_open__deps: ['$KorvelSerial'],
  korvel_link_open: function (port) {
    return Asyncify.handleSleep((wakeUp) => { KorvelSerial.open(UTF8ToString(port)).then(wakeUp); });
  },

  korvel_link_open_error__deps: ['$KorvelSerial'],
  korvel_link_open_error: function (into, capacity) {
    stringToUTF8(KorvelSerial.openError, into, capacity);
  },

  korvel_link_close__deps: ['$KorvelSerial'],
  korvel_link_close: function (handle) {
    KorvelSerial.close(handle);
  },

  // -2 once a write has failed (the module never got the request), else as serial_link_web.cpp says.
  korvel_link_take__deps: ['$KorvelSerial'],
  korvel_link_take: function (handle, into, capacity) {
    const link = KorvelSerial.links[handle];
    if (!link) return -1;
    if (link.writeFailed) return -2;
    let taken = 0;
    while (taken < capacity && link.chunks.length) {
      const chunk = link.chunks[0];
      const n = Math.min(capacity - taken, chunk.length - link.offset);
      HEAPU8.set(chunk.subarray(link.offset, link.offset + n), into + taken);
      taken += n;
      link.offset += n;
      if (link.offset === chunk.length) {
        link.chunks.shift();
        link.offset = 0;
      }
    }
    link.queued -= taken;
    return taken === 0 && link.ended ? -1 : taken;
  },

  // The read's deadlines: the whole read's (`totalMs`), and once a byte has
  // come (`gapStarted`: one came before the wait), the gap after each byte.
  korvel_link_wait__deps: ['$KorvelSerial'],
  korvel_link_wait: function (handle, want, totalMs, gapMs, gapStarted) {
    return Asyncify.handleSleep((wakeUp) => {
      const link = KorvelSerial.links[handle];
      const ready = () => !link || link.ended || link.writeFailed || link.queued >= want;
      if (ready()) {
        wakeUp(1); // at once: the module is not suspended
        return;
      }
      let gap = 0;
      const finish = (result) => {
        clearTimeout(total);
        clearTimeout(gap);
        link.arrived = () => {};
        wakeUp(result);
      };
      const total = setTimeout(() => finish(0), totalMs);
      const restartGap = () => {
        clearTimeout(gap);
        gap = setTimeout(() => finish(0), gapMs);
      };
      if (gapStarted) restartGap();
      link.arrived = () => (ready() ? finish(1) : restartGap());
    });
  },

  korvel_link_purge__deps: ['$KorvelSerial'],
  korvel_link_purge: function (handle) {
    const link = KorvelSerial.links[handle];
    if (!link) return;
    link.chunks = [];
    link.offset = 0;
    link.queued = 0;
  },

  // Hands the bytes to the port and returns: the exchange's read follows at
  // once and waits for the reply anyway. A write that fails, or has not gone
  // out by its deadline (`ms`), fails the link's next take.
  korvel_link_write__deps: ['$KorvelSerial'],
  korvel_link_write: function (handle, bytes, n, ms) {
    const link = KorvelSerial.links[handle];
    if (!link || link.ended || link.writeFailed) return -1;
    let pending = true;
    const fail = () => {
      if (!pending) return;
      pending = false;
      link.writeFailed = true;
      link.arrived();
    };
    const timer = setTimeout(fail, ms);
    link.writer.write(HEAPU8.slice(bytes, bytes + n)).then(() => {
      pending = false;
      clearTimeout(timer);
    }, fail);
    return 0;
  },

  // Port discovery: the ports the page may use, listed afresh; their number.
  korvel_ports_list__deps: ['$KorvelSerial'],
  korvel_ports_list: function () {
    return Asyncify.handleSleep((wakeUp) => {
      let granted = Module.grantedPorts;
      Module.grantedPorts = undefined;
      if (!granted) granted = navigator.serial ? navigator.serial.getPorts() : Promise.resolve([]);
      granted.catch(() => []).then((ports) => {
        KorvelSerial.listed = ports.map((port) => ({ port, name: '' })).concat(Module.extraPorts || []);
        wakeUp(KorvelSerial.listed.length);
      });
    });
  },

  // The name the page gave port N (empty for the browser's), and its USB
  // vendor and product ids into ids[0] and ids[1]; 0 when it has none.
  korvel_port_describe__deps: ['$KorvelSerial'],
  korvel_port_describe: function (index, into, capacity, ids) {
    const entry = KorvelSerial.listed[index];
    stringToUTF8(entry.name, into, capacity);
    const info = entry.name ? {} : entry.port.getInfo();
    if (info.usbVendorId === undefined || info.usbProductId === undefined) return 0;
    HEAP32[ids >> 2] = info.usbVendorId;
    HEAP32[(ids >> 2) + 1] = info.usbProductId;
    return 1;
  },
});
