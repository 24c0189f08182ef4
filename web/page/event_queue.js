// The controller takes one event at a time, as the window's procedure takes
// one message at a time: an event that comes while a call is under way (a
// call that waits for the port is suspended, not finished) waits its turn, in
// order. The poll timer's tick, like the window's timer message, is only
// taken when nothing else waits, and ticks that pile up meanwhile count once.
export function createQueue() {
  const waiting = [];
  let tick = null; // the timer's job, when a tick is due
  let running = false;
  let settled = Promise.resolve();
  let settle = () => {};

  async function run() {
    if (running) return;
    running = true;
    settled = new Promise((resolve) => { settle = resolve; });
    while (waiting.length || tick) {
      let job = waiting.shift();
      if (!job) {
        job = tick;
        tick = null;
      }
      try {
        await job();
      } catch (error) {
        console.error(error);
      }
    }
    running = false;
    settle();
  }

  return {
    post(job) {
      waiting.push(job);
      run();
    },
    tick(job) {
      tick = job;
      run();
    },
    // Resolves once nothing runs and nothing waits.
    idle: () => settled,
  };
}
