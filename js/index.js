// index.js: the onymix package, the WebAssembly build of libonymix
// (include/onymix.h) with a thin binding: it checks and converts the
// arguments, calls the C functions and throws with the bad value in the
// message. One file serves CommonJS and a browser's <script> (the global
// `onymix`); index.mjs re-exports it for import.
(function (root, factory) {
    if (typeof module === 'object' && module !== null && module.exports)
        module.exports = factory();
    else
        root.onymix = factory();
})(globalThis, function () {
    'use strict';

    // The module's bytes, written in by js/stage.mjs when the package is
    // made: nothing is fetched, so a page opened from file:// can load it,
    // under a Content-Security-Policy that allows no more than
    // 'wasm-unsafe-eval'.
    const wasmBase64 = '@ONYMIX_WASM_BASE64@';

    // The integer macros of include/onymix.h without their ONYMIX_ prefix
    // (C.NOW is ONYMIX_NOW), a frozen object written in by js/stage.mjs from
    // the header itself, so that no number of it is copied here.
    const C = '@ONYMIX_CONSTANTS@';
    // Labels are far shorter; a longer text is no mode and is not copied in.
    const LABEL_MAX = 64;
    // Output goes through one buffer in the module's memory (JavaScript runs
    // one call at a time, so one is enough). Above 128 KiB each decoded
    // chunk is a large object, which the young generation's collector never
    // copies, and the names are small slices of it.
    const BUFFER_SIZE = 1 << 20;
    const MAX_COUNT = 2 ** 32 - 1; // the longest array
    // Above this length V8 makes an array made to size a dictionary, slow to
    // fill; a longer result grows as it is filled instead.
    const LONGEST_PREPARED_ARRAY = 1 << 25;

    const inNode =
        typeof process === 'object' && process !== null && typeof process.versions === 'object' &&
        process.versions !== null && typeof process.versions.node === 'string';

    // "Now", in milliseconds, for lib/clock_web.cpp. In Node the system's
    // uptime. process.hrtime counts it to the nanosecond on Linux (where it
    // is the clock onymix-cli reads), macOS and Windows, but Node promises
    // only "an arbitrary time in the past"; os.uptime() is the promised
    // uptime, in whole seconds on some systems. So hrtime is taken as it is
    // when it agrees with os.uptime() (a second of truncation and a little
    // slack apart) and is otherwise moved onto os.uptime().
    function nodeClock() {
        const hrtimeMs = () => {
            const [seconds, nanoseconds] = process.hrtime();
            return seconds * 1000 + nanoseconds / 1e6;
        };
        const lead = hrtimeMs() - require('os').uptime() * 1000;
        const offset = Math.abs(lead) < 2000 ? 0 : -lead;
        return () => hrtimeMs() + offset;
    }
    // A browser has no uptime: the milliseconds since midnight UTC, so that
    // "now" goes through the same 86,400 seconds a day.
    const browserClock = () => Date.now() % 86400000;

    let wasm = null;
    let heap = null;
    let buffer = 0;
    let loadError = null;
    const imports = {
        env: {
            onymix_clock_ms: inNode ? nodeClock() : browserClock,
            // The memory's old ArrayBuffer is detached when it grows.
            emscripten_notify_memory_growth() {
                heap = null;
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

    function memory() {
        if (heap === null)
            heap = new Uint8Array(wasm.memory.buffer);
        return heap;
    }

    // The library writes ASCII only, so Latin-1 reads it: Node's Buffer does
    // that as a plain copy, faster than a TextDecoder, which checks UTF-8.
    const decoder = new TextDecoder();
    const encoder = new TextEncoder();

    function text(pointer, length) {
        if (inNode)
            return Buffer.from(wasm.memory.buffer, pointer, length).toString('latin1');
        return decoder.decode(memory().subarray(pointer, pointer + length));
    }

    function cString(pointer) {
        const bytes = memory();
        let end = pointer;
        while (bytes[end] !== 0)
            end++;
        return text(pointer, end - pointer);
    }

    const api = {
        version: undefined,
        MODES: undefined,
        ready: undefined,
        generate,
        names,
        Generator: undefined,
        storedText,
        storedBytes,
        store,
        quitQuestion,
    };

    function start(instance) {
        wasm = instance.exports;
        wasm._initialize();
        buffer = wasm.malloc(BUFFER_SIZE);
        if (buffer === 0)
            throw new Error('onymix: no memory for the output buffer');
        api.version = cString(wasm.onymix_version());
        const modes = [];
        for (let mode = 0; mode < C.MODE_COUNT; mode++)
            modes.push(cString(wasm.onymix_mode_label(mode)));
        api.MODES = Object.freeze(modes);
    }

    // Node compiles and instantiates at once, so require() and import give a
    // module ready to call. Browsers may refuse to compile a module of this
    // size synchronously on the main thread, so there it is done in the
    // background.
    if (inNode) {
        start(new WebAssembly.Instance(new WebAssembly.Module(wasmBytes()), imports));
        api.ready = Promise.resolve();
    } else {
        api.ready = WebAssembly.instantiate(wasmBytes(), imports).then(
            (result) => start(result.instance),
            (error) => {
                loadError = error;
                throw error;
            });
    }

    function loaded() {
        if (wasm !== null)
            return;
        if (loadError !== null)
            throw new Error(`onymix: the WebAssembly module did not load: ${loadError}`);
        throw new Error('onymix: the WebAssembly module is still loading; await onymix.ready first');
    }

    // A bad value as the message shows it: texts quoted, long ones cut.
    function show(value) {
        let shown;
        if (typeof value === 'string') {
            shown = JSON.stringify(value);
        } else if (typeof value === 'bigint') {
            shown = `${value}n`;
        } else if (typeof value === 'function') {
            shown = `function ${value.name || '(anonymous)'}`;
        } else if (typeof value === 'object' && value !== null) {
            try {
                shown = JSON.stringify(value);
            } catch {
                // A cycle or a BigInt inside.
            }
            if (shown === undefined)
                shown = Object.prototype.toString.call(value);
        } else {
            shown = String(value);
        }
        return shown.length > 60 ? `${shown.slice(0, 57)}...` : shown;
    }

    function modeOf(value) {
        if (value === undefined)
            return C.MALE_SURNAME;
        let mode = -1;
        if (typeof value === 'number') {
            if (Number.isInteger(value) && value >= 0 && value < C.MODE_COUNT)
                mode = value;
        } else if (typeof value === 'string') {
            // A NUL would end the label early for the C function.
            if (value.length <= LABEL_MAX && !value.includes('\0')) {
                const { written } = encoder.encodeInto(
                    value, memory().subarray(buffer, buffer + BUFFER_SIZE - 1));
                memory()[buffer + written] = 0;
                mode = wasm.onymix_mode_from_label(buffer);
            }
        } else {
            throw new TypeError(`onymix: a mode is a label or a number, not ${show(value)}`);
        }
        if (mode < 0)
            throw new RangeError(`onymix: not a mode: ${show(value)} (a mode is one of ` +
                `onymix.MODES, in any case, or its number, 0 to ${C.MODE_COUNT - 1})`);
        return mode;
    }

    function secondOf(value, what) {
        if (value === undefined)
            return C.NOW;
        if (typeof value !== 'number')
            throw new TypeError(`onymix: ${what} must be a number, not ${show(value)}`);
        if (!Number.isInteger(value) || value < 0 || value > C.LAST_SECOND)
            throw new RangeError(
                `onymix: ${what} must be a whole second from 0 to ${C.LAST_SECOND}, not ${show(value)}`);
        return value;
    }

    function countOf(value) {
        if (typeof value !== 'number')
            throw new TypeError(`onymix: count must be a number, not ${show(value)}`);
        if (!Number.isInteger(value) || value < 0 || value > MAX_COUNT)
            throw new RangeError(
                `onymix: count must be a whole number from 0 to ${MAX_COUNT}, not ${show(value)}`);
        return value;
    }

    const optionNames = ['mode', 'seed', 'unique'];

    function optionsOf(options) {
        if (options === undefined)
            options = {};
        if (typeof options !== 'object' || options === null || Array.isArray(options))
            throw new TypeError(`onymix: options must be an object, not ${show(options)}`);
        for (const key of Object.keys(options)) {
            if (!optionNames.includes(key))
                throw new TypeError(
                    `onymix: no option ${show(key)} (the options are mode, seed and unique)`);
        }
        const { unique } = options;
        if (unique !== undefined && typeof unique !== 'boolean')
            throw new TypeError(`onymix: unique must be true or false, not ${show(unique)}`);
        return { mode: modeOf(options.mode), seed: secondOf(options.seed, 'seed'), unique: !!unique };
    }

    function open({ mode, seed, unique }) {
        const generator = wasm.onymix_open(mode, seed, unique ? C.UNIQUE : 0);
        if (generator === 0)
            throw new Error('onymix: not enough memory for a generator');
        return generator;
    }

    // The next count lines of a generator in a format, without their LFs,
    // through the bulk call.
    function lines(generator, count, format) {
        // Made to size, the array is a large object too; grown by push, it
        // would be copied by every collection while it grows.
        const result = count <= LONGEST_PREPARED_ARRAY ? new Array(count) : [];
        const lengthAt = buffer + BUFFER_SIZE - 4;
        let made = 0;
        while (made < count) {
            const written = wasm.onymix_write(generator, format,
                Math.min(count - made, 0x7fffffff), buffer, BUFFER_SIZE - 4, lengthAt);
            // 0 only when a unique generator has made every name, which the
            // callers rule out beforehand.
            if (written <= 0)
                break;
            const length = new DataView(wasm.memory.buffer).getUint32(lengthAt, true);
            const chunk = text(buffer, length);
            let start = 0;
            for (let i = 0; i < written; i++) {
                const end = chunk.indexOf('\n', start);
                result[made++] = chunk.slice(start, end);
                start = end + 1;
            }
        }
        result.length = made;
        return result;
    }

    function generate(mode, second) {
        loaded();
        const number = modeOf(mode);
        const at = secondOf(second, 'second');
        const length = wasm.onymix_generate(number, at, buffer, BUFFER_SIZE);
        return text(buffer, length);
    }

    // stored.txt, Store and Quit, by the program's own rules in the library
    // (onymix.h): this only converts between JavaScript's strings and the
    // library's UTF-8, and names what the library refuses.

    // The marks and charsets, by their numbers in onymix.h.
    const MARKS = { [C.MARK_NONE]: null, [C.MARK_UTF8]: 'utf-8', [C.MARK_UTF16LE]: 'utf-16le',
        [C.MARK_UTF16BE]: 'utf-16be' };
    const CHARSETS = { [C.CHARSET_UTF8]: 'utf-8', [C.CHARSET_WINDOWS_1252]: 'windows-1252' };
    const numberOf = (names, name) => Number(Object.keys(names).find((key) => names[key] === name));
    // A mark inside the text is a character of it, not to be dropped.
    const utf8 = new TextDecoder('utf-8', { ignoreBOM: true });
    const halfSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/;

    function allocate(size) {
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

    // The 32-bit numbers the library stored at out parameters in the buffer.
    function outs(count) {
        return Array.from({ length: count },
            (_, i) => new DataView(wasm.memory.buffer).getUint32(buffer + 4 * i, true));
    }

    function bytesOf(value) {
        if (value instanceof ArrayBuffer)
            return new Uint8Array(value);
        if (ArrayBuffer.isView(value))
            return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
        throw new TypeError(`onymix: a file's bytes are a Uint8Array or an ArrayBuffer, not ${show(value)}`);
    }

    function encodingOf(value) {
        if (value === undefined)
            return { mark: null, charset: 'utf-8' };
        if (typeof value !== 'object' || value === null || Array.isArray(value))
            throw new TypeError(`onymix: an encoding is an object { mark, charset }, not ${show(value)}`);
        for (const key of Object.keys(value)) {
            if (key !== 'mark' && key !== 'charset')
                throw new TypeError(`onymix: no encoding field ${show(key)} (the fields are mark and charset)`);
        }
        const mark = value.mark === undefined ? null : value.mark;
        const charset = value.charset === undefined ? 'utf-8' : value.charset;
        if (!Object.values(MARKS).includes(mark))
            throw new RangeError(`onymix: not a mark: ${show(mark)} (null, 'utf-8', 'utf-16le' or 'utf-16be')`);
        if (!Object.values(CHARSETS).includes(charset))
            throw new RangeError(`onymix: not a charset: ${show(charset)} ('utf-8' or 'windows-1252')`);
        if (mark !== null && mark.startsWith('utf-16') && charset !== 'utf-8')
            throw new RangeError(`onymix: a ${mark} file holds Unicode, not ${charset}`);
        return { mark, charset };
    }

    // A string as UTF-8 for the library, which takes a NUL as its end; half
    // a surrogate pair has no UTF-8 form at all.
    function utf8Of(text, what) {
        if (typeof text !== 'string')
            throw new TypeError(`onymix: ${what} is a string, not ${show(text)}`);
        if (text.includes('\0'))
            throw new RangeError(`onymix: ${what} cannot hold NUL (at ${text.indexOf('\0')})`);
        const half = text.search(halfSurrogate);
        if (half >= 0)
            throw new RangeError(`onymix: ${what} holds half a surrogate pair (at ${half})`);
        return encoder.encode(text);
    }

    // The UTF-8 text the library handed out at pointer, given back to it.
    function takeText(pointer, length) {
        const decoded = utf8.decode(memory().subarray(pointer, pointer + length));
        wasm.onymix_free(pointer);
        return decoded;
    }

    function storedText(bytes) {
        loaded();
        const data = bytesOf(bytes);
        const input = copyIn(data);
        const status = wasm.onymix_stored_text(input, data.length, buffer, buffer + 4, buffer + 8,
            buffer + 12);
        wasm.free(input);
        const [text, length, mark, charset] = outs(4);
        if (status === C.UNSHOWABLE)
            throw new RangeError('onymix: the file holds characters that cannot be shown ' +
                '(UTF-16 with half a surrogate pair, or ending in half a character)');
        if (status !== 0)
            throw new Error('onymix: not enough memory in the module for the stored text');
        return { text: takeText(text, length), encoding: { mark: MARKS[mark], charset: CHARSETS[charset] } };
    }

    function storedBytes(text, encoding) {
        loaded();
        const body = utf8Of(text, 'a stored text');
        const { mark, charset } = encodingOf(encoding);
        const input = copyIn(body);
        const status = wasm.onymix_stored_bytes(input, numberOf(MARKS, mark), numberOf(CHARSETS, charset),
            buffer, buffer + 4, buffer + 8);
        wasm.free(input);
        const [file, size, badAt] = outs(3);
        if (status === C.UNSAVABLE) {
            const character = String.fromCodePoint(text.codePointAt(utf8.decode(body.subarray(0, badAt)).length));
            throw new RangeError(`onymix: ${show(character)} (U+${character.codePointAt(0).toString(16)
                .toUpperCase().padStart(4, '0')}) has no form in ${charset}`);
        }
        if (status !== 0)
            throw new Error('onymix: not enough memory in the module for the file');
        const out = memory().slice(file, file + size);
        wasm.onymix_free(file);
        return out;
    }

    function store(list, name) {
        loaded();
        const input = [copyIn(utf8Of(list, 'a list')), copyIn(utf8Of(name, 'a name'))];
        const joined = wasm.onymix_store(...input);
        input.forEach((pointer) => wasm.free(pointer));
        if (joined === 0)
            throw new Error('onymix: not enough memory in the module for the list');
        return takeText(joined, memory().indexOf(0, joined) - joined);
    }

    function quitQuestion(list) {
        loaded();
        const input = copyIn(utf8Of(list, 'a list'));
        const question = wasm.onymix_quit_question(input);
        wasm.free(input);
        return question === 0 ? null : cString(question);
    }

    // A unique generator refuses, before any work, a count beyond what it
    // has left (onymix_left is -1 for one that never runs out).
    function checkLeft(generator, count, mode) {
        const left = wasm.onymix_left(generator);
        if (left >= 0 && count > left)
            throw new RangeError(`onymix: ${count} unique names asked for, but ${api.MODES[mode]} ` +
                `has only ${left}${left < wasm.onymix_distinct_names(mode) ? ' left' : ''}`);
    }

    // The parts of records are the library's own table texts, decoded once
    // each: by their place in the module's memory.
    const partTexts = new Map();
    function part(pointer) {
        if (pointer === 0)
            return null;
        let decoded = partTexts.get(pointer);
        if (decoded === undefined) {
            decoded = cString(pointer);
            partTexts.set(pointer, decoded);
        }
        return decoded;
    }

    // The next count names of a generator as records, through the library's
    // records in bulk: each onymix_name is three pointers (first name,
    // surname, sex) of the module's 32-bit memory.
    const RECORD_WORDS = 3;
    const RECORDS_AT_ONCE = Math.floor(BUFFER_SIZE / (4 * RECORD_WORDS));
    function records(generator, count) {
        const result = [];
        while (result.length < count) {
            const drawn = wasm.onymix_next_names(generator, buffer,
                Math.min(count - result.length, RECORDS_AT_ONCE));
            if (drawn <= 0)
                break;
            const words = new Uint32Array(wasm.memory.buffer, buffer, drawn * RECORD_WORDS);
            for (let i = 0; i < words.length; i += RECORD_WORDS) {
                const firstName = part(words[i]), surname = part(words[i + 1]);
                const name = firstName === null ? surname
                    : surname === null ? firstName : `${firstName} ${surname}`;
                result.push({ name, firstName, surname, sex: part(words[i + 2]) });
            }
        }
        return result;
    }

    function names(count, options) {
        loaded();
        const n = countOf(count);
        const settings = optionsOf(options);
        const generator = open(settings);
        try {
            checkLeft(generator, n, settings.mode);
            return lines(generator, n, C.TEXT);
        } finally {
            wasm.onymix_close(generator);
        }
    }

    // A generator that is dropped without close() is given back when it is
    // collected.
    const collected = new FinalizationRegistry((generator) => wasm.onymix_close(generator));

    class Generator {
        #generator;
        #mode;

        constructor(options) {
            loaded();
            const settings = optionsOf(options);
            this.#generator = open(settings);
            this.#mode = settings.mode;
            collected.register(this, this.#generator, this);
        }

        #open() {
            if (this.#generator === 0)
                throw new TypeError('onymix: this Generator is closed');
            return this.#generator;
        }

        // The generator and count of a bulk call, checked.
        #bulk(count) {
            const generator = this.#open();
            const n = countOf(count);
            checkLeft(generator, n, this.#mode);
            return [generator, n];
        }

        take(count) {
            return lines(...this.#bulk(count), C.TEXT);
        }

        records(count) {
            return records(...this.#bulk(count));
        }

        * [Symbol.iterator]() {
            for (;;) {
                const length = wasm.onymix_next(this.#open(), buffer, BUFFER_SIZE);
                if (length <= 0)
                    return;
                yield text(buffer, length);
            }
        }

        close() {
            if (this.#generator === 0)
                return;
            collected.unregister(this);
            wasm.onymix_close(this.#generator);
            this.#generator = 0;
        }
    }

    api.Generator = Generator;
    return api;
});
