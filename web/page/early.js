// What the page starts before anything else, as soon as this small script has
// arrived (page.js, which waits for its other modules first, takes it from
// here): the ports the browser has granted the page, whose first answer can
// take a while; the controller's WebAssembly, compiled as it arrives; and its
// loader.
export const granted = navigator.serial ? navigator.serial.getPorts() : Promise.resolve([]);
export const compiled = WebAssembly.compileStreaming(fetch('korvel.wasm'));
export const loader = import('./korvel.js');
