// module.mjs: the WebAssembly module of libonymix: its bytes, carried
// inside the package; its instance, ready at once in Node and in the
// background in a browser; and its memory, through views taken afresh
// after it grows, and blocks of it that are allocated and given back.
import { BUFFER_SIZE, C, LARGEST_BLOCK } from './constants.mjs';
import { clock, inNode } from './host.mjs';

// The module's bytes, written in by js/stage.mjs when the package is
// made: nothing is fetched, so a page opened from file:// can load it,
// under a Content-Security-Policy that allows no more than
// 'wasm-unsafe-eval'.
const wasmBase64 = '@ONYMIX_WASM_BASE64@';

export let wasm = null;
// The buffer of every call's arguments and results (constants.mjs), and the
// 16 bytes of a key.
export let buffer = 0;
export let keySlot = 0;
// The library's version and the mode labels in mode order, once loaded.
export let version;
export let MODES;
let loadError = null;
// Set while a bulk call has its arguments and chunks in the buffer and
// key slot and reads the caller's array element by element: a getter or
// proxy of that array calling the package then would overwrite them, or
// grow the memory under a view in use.
let busy = false;
let heap = null;
let heapBuffer = null;
let words = null;

const imports = {
    env: {
        onymix_clock_ms: clock,
        // The memory's old ArrayBuffer is detached when it grows.
        emscripten_notify_memory_growth() {
            heap = heapBuffer = words = null;
        },
    },
};

function wasmBytes() {
    if (inNode)
        return Buffer.from(wasmBase64, 'base64');
    const text = atob(wasmBase64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++)
        bytes[i] = text.charCodeAt(i);
    return bytes;
}

export function memory() {
    if (heap === null)
        heap = new Uint8Array(wasm.memory.buffer);
    return heap;
}

// The memory as 32-bit words (pointers, sizes, entries) and, in Node, as
// a Buffer, whose write() is the quickest way in for UTF-8.
export function memoryWords() {
    if (words === null)
        words = new Int32Array(wasm.memory.buffer);
    return words;
}

export function memoryBuffer() {
    if (heapBuffer === null)
        heapBuffer = Buffer.from(wasm.memory.buffer);
    return heapBuffer;
}

// The library writes ASCII only, so Latin-1 reads it: Node's Buffer does
// that as a plain copy, faster than a TextDecoder, which checks UTF-8.
const decoder = new TextDecoder();
export const encoder = new TextEncoder();

export function text(pointer, length) {
    if (inNode)
        return Buffer.from(wasm.memory.buffer, pointer, length).toString('latin1');
    return decoder.decode(memory().subarray(pointer, pointer + length));
}

export function cString(pointer) {
    const bytes = memory();
    let end = pointer;
    while (bytes[end] !== 0)
        end++;
    return text(pointer, end - pointer);
}

function start(instance) {
    wasm = instance.exports;
    wasm._initialize();
    buffer = wasm.malloc(BUFFER_SIZE);
    keySlot = wasm.malloc(C.KEY_SIZE);
    if (buffer === 0 || keySlot === 0)
        throw new Error('onymix: no memory for the buffers');
    version = cString(wasm.onymix_version());
    const modes = [];
    for (let mode = 0; mode < C.MODE_COUNT; mode++)
        modes.push(cString(wasm.onymix_mode_label(mode)));
    MODES = Object.freeze(modes);
}

// Node compiles and instantiates at once, so require() and import give a
// module ready to call. Browsers may refuse to compile a module of this
// size synchronously on the main thread, so there it is done in the
// background.
function instantiate() {
    if (inNode) {
        start(new WebAssembly.Instance(new WebAssembly.Module(wasmBytes()), imports));
        return Promise.resolve();
    }
    return WebAssembly.instantiate(wasmBytes(), imports).then(
        (result) => start(result.instance),
        (error) => {
            loadError = error;
            throw error;
        });
}

export const ready = instantiate();

// Every call starts here: the module must be there, and no other call under way.
export function loaded() {
    if (busy)
        throw new Error('onymix: called from inside another onymix call (by a getter or proxy ' +
            'of its arguments), whose data in the module it would overwrite');
    if (wasm !== null)
        return;
    if (loadError !== null)
        throw new Error(`onymix: the WebAssembly module did not load: ${loadError}`);
    throw new Error('onymix: the WebAssembly module is still loading; await onymix.ready first');
}

// A bulk call holds the module from enter() to leave(), which a finally
// makes sure of: loaded() refuses every call in between.
export function enter() {
    loaded();
    busy = true;
}

export function leave() {
    busy = false;
}

export function refused() {
    return new Error('onymix: the library refused arguments the package let through');
}

export function allocate(size) {
    if (size > LARGEST_BLOCK)
        throw new RangeError(`onymix: ${size} bytes do not fit in the module's memory, ` +
            `which holds 2 GiB at most`);
    const pointer = wasm.malloc(size);
    if (pointer === 0)
        throw new Error('onymix: not enough memory in the module');
    return pointer;
}

// The bytes copied into the module, NUL-terminated; the caller frees them.
function copyIn(bytes) {
    const pointer = allocate(bytes.length + 1);
    memory().set(bytes, pointer);
    memory()[pointer + bytes.length] = 0;
    return pointer;
}

// What the library makes of bytes copied in, the copy freed however it goes.
export function withCopy(bytes, use) {
    const input = copyIn(bytes);
    try {
        return use(input);
    } finally {
        wasm.free(input);
    }
}
