// The tests' stand-in for a browser's serial port: korvel-sim on a real
// pseudo-terminal, reached from the page over a WebSocket. The page gets a
// navigator.serial of our own (standInSerial, injected before the page's
// scripts run, never shipped) whose ports carry their bytes over the socket;
// this side copies them to and from the pseudo-terminal. Bytes from the
// module go over in packets, as a USB adapter sends them: up to 64 bytes, or
// what came within a millisecond. A hang-up of the pseudo-terminal closes the
// socket, which the port reports as a lost device.
import { spawn } from 'node:child_process';
import { constants, openSync } from 'node:fs';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { ReadStream } from 'node:tty';
import { WebSocketServer } from 'ws';
import { ROOT } from './harness.mjs';

export const SIM = process.env.KORVEL_SIM || join(ROOT, 'build', 'sim', 'korvel-sim');

// korvel-sim with `options`, logging every exchange, and a socket server for
// the page's ports. The first connection of the page's port opens the
// pseudo-terminal; closing it closes the pseudo-terminal.
export async function startSim(options = []) {
  const dir = await mkdtemp(join(tmpdir(), 'korvel-sim-'));
  const log = join(dir, 'exchanges.log');
  const sim = spawn(SIM, ['--log', log, ...options], { stdio: ['ignore', 'pipe', 'inherit'] });
  const tty = await new Promise((resolve, reject) => {
    sim.once('error', reject);
    createInterface({ input: sim.stdout }).once('line', resolve);
  });
  const server = new WebSocketServer({ host: '127.0.0.1', port: 0 });
  await new Promise((resolve) => server.once('listening', resolve));
  server.on('connection', (socket) => {
    const fd = openSync(tty, constants.O_RDWR | constants.O_NOCTTY);
    const line = new ReadStream(fd);
    let packet = [];
    let timer = null;
    const send = () => {
      clearTimeout(timer);
      timer = null;
      if (packet.length) socket.send(Buffer.concat(packet));
      packet = [];
    };
    line.on('data', (bytes) => {
      packet.push(bytes);
      if (packet.reduce((n, b) => n + b.length, 0) >= 64) send();
      else timer = timer || setTimeout(send, 1);
    });
    const hangUp = () => {
      send();
      socket.close();
    };
    line.on('end', hangUp);
    line.on('error', hangUp);
    socket.on('message', (bytes) => line.write(bytes));
    socket.on('close', () => line.destroy());
  });
  return {
    tty,
    url: `ws://127.0.0.1:${server.address().port}/`,
    // The requests korvel-sim answered, as lists of bytes.
    async requests() {
      const text = await readFile(log, 'utf8').catch(() => '');
      return text.split('\n').filter((l) => l.includes('->'))
        .map((l) => l.split('->')[0].trim().split(/\s+/).filter(Boolean).map((b) => parseInt(b, 16)));
    },
    async stop() {
      server.clients.forEach((client) => client.terminate());
      await new Promise((resolve) => server.close(resolve));
      sim.kill('SIGTERM');
      await new Promise((resolve) => (sim.exitCode !== null ? resolve() : sim.once('exit', resolve)));
      await rm(dir, { recursive: true, force: true });
    },
  };
}

// Injected into the page: two ports of one kind of USB adapter (the second
// never answers), as navigator.serial; the browser's chooser grants a third,
// which never answers either.
export function standInSerial({ url }) {
  class StandInPort {
    constructor(reachable) {
      this.reachable = reachable;
      this.readable = null;
      this.writable = null;
    }

    getInfo() { return { usbVendorId: 0x0403, usbProductId: 0x6001 }; }

    async open() {
      if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (!this.reachable) throw new DOMException('Failed to open serial port.', 'NetworkError');
      const socket = new WebSocket(url);
      socket.binaryType = 'arraybuffer';
      await new Promise((resolve, reject) => {
        socket.onopen = resolve;
        socket.onerror = () => reject(new DOMException('Failed to open serial port.', 'NetworkError'));
      });
      const lost = () => new DOMException('The device has been lost.', 'NetworkError');
      this.socket = socket;
      this.readable = new ReadableStream({
        start(controller) {
          socket.onmessage = (event) => controller.enqueue(new Uint8Array(event.data));
          socket.onclose = () => { try { controller.error(lost()); } catch (error) { /* already cancelled */ } };
        },
      });
      this.writable = new WritableStream({
        write(chunk) {
          if (socket.readyState !== WebSocket.OPEN) throw lost();
          socket.send(chunk);
        },
      });
    }

    async close() {
      if (this.socket) this.socket.close();
      this.socket = null;
      this.readable = null;
      this.writable = null;
    }
  }
  const ports = [new StandInPort(true), new StandInPort(false)];
  Object.defineProperty(navigator, 'serial', {
    value: {
      getPorts: async () => ports.slice(),
      requestPort: async () => ports[ports.push(new StandInPort(false)) - 1],
    },
  });
}
