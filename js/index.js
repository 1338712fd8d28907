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
    // Arguments and results go through one buffer in the module's memory
    // (JavaScript runs one call at a time, so one is enough), a bulk call's
    // in chunks of it. malloc aligns it for 64-bit numbers.
    const BUFFER_SIZE = 1 << 20;
    const MAX_COUNT = 2 ** 32 - 1; // the longest array
    // The module's memory grows to 2 GiB at most: a larger block can never
    // be had, and its size would wrap around in the 32-bit size_t of malloc.
    const LARGEST_BLOCK = 2 ** 31 - 1;
    const LARGEST_U64 = 2n ** 64n - 1n;
    // Above this length V8 makes an array made to size a dictionary, slow to
    // fill; a longer result grows as it is filled instead.
    const LONGEST_PREPARED_ARRAY = 1 << 25;

    const inNode =
        typeof process === 'object' && process !== null && typeof process.versions === 'object' &&
        process.versions !== null && typeof process.versions.node === 'string';

    // "Now", in milliseconds, for platform/web.cpp. In Node the system's
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
    let heapBuffer = null;
    let words = null;
    let buffer = 0;
    let keySlot = 0;
    let loadError = null;
    // Set while a bulk call has its arguments and chunks in the buffer and
    // key slot and reads the caller's array element by element: a getter or
    // proxy of that array calling the package then would overwrite them, or
    // grow the memory under a view in use.
    let busy = false;
    const imports = {
        env: {
            onymix_clock_ms: inNode ? nodeClock() : browserClock,
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

    function memory() {
        if (heap === null)
            heap = new Uint8Array(wasm.memory.buffer);
        return heap;
    }

    // The memory as 32-bit words (pointers, sizes, entries) and, in Node, as
    // a Buffer, whose write() is the quickest way in for UTF-8.
    function memoryWords() {
        if (words === null)
            words = new Int32Array(wasm.memory.buffer);
        return words;
    }

    function memoryBuffer() {
        if (heapBuffer === null)
            heapBuffer = Buffer.from(wasm.memory.buffer);
        return heapBuffer;
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
        nameForId,
        namesForIds,
        pseudonym,
        pseudonyms,
        storedText,
        storedBytes,
        store,
        quitQuestion,
    };

    function start(instance) {
        wasm = instance.exports;
        wasm._initialize();
        buffer = wasm.malloc(BUFFER_SIZE);
        keySlot = wasm.malloc(C.KEY_SIZE);
        if (buffer === 0 || keySlot === 0)
            throw new Error('onymix: no memory for the buffers');
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
        if (busy)
            throw new Error('onymix: called from inside another onymix call (by a getter or proxy ' +
                'of its arguments), whose data in the module it would overwrite');
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
        } else if (ArrayBuffer.isView(value)) {
            // Not its elements, as JSON would give them, but what it is.
            shown = `${value.constructor.name}(${value.length ?? value.byteLength})`;
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

    // What a typed array is, by the engine's own getters: a subclass may
    // say another length than its elements have, and the elements are what
    // is copied into the module.
    const typedArrayGetter = (name) =>
        Object.getOwnPropertyDescriptor(Object.getPrototypeOf(Uint8Array.prototype), name).get;
    const typedArrayKind = typedArrayGetter(Symbol.toStringTag); // undefined for anything else
    const typedArrayBuffer = typedArrayGetter('buffer');
    const typedArrayOffset = typedArrayGetter('byteOffset');
    const typedArrayLength = typedArrayGetter('length');

    // value (a Type, or a subclass of it) as a plain Type over the same
    // elements; one with none may have a detached buffer, which no view takes.
    function plainView(value, Type) {
        const length = typedArrayLength.call(value);
        return length === 0 ? new Type(0)
            : new Type(typedArrayBuffer.call(value), typedArrayOffset.call(value), length);
    }
    const isBytes = (value) => typedArrayKind.call(value) === 'Uint8Array';

    // The length of an array the caller gives: an array's own is always
    // right, but a proxy may say anything.
    function listLength(list, what) {
        const length = list.length;
        if (!Number.isInteger(length) || length < 0 || length > MAX_COUNT)
            throw new RangeError(`onymix: ${what} says its length is ${show(length)}`);
        return length;
    }

    function modeOf(value, fallback = C.MALE_SURNAME) {
        if (value === undefined)
            return fallback;
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

    // One of the header's 64-bit numbers (an id, a seed, a place in a
    // sequence) as the BigInt the module takes: a whole number up to
    // 2^53 - 1, the largest a number holds exactly, or a BigInt.
    function u64Of(value, what) {
        if (typeof value === 'bigint') {
            if (value >= 0n && value <= LARGEST_U64)
                return value;
        } else if (typeof value === 'number') {
            if (Number.isSafeInteger(value) && value >= 0)
                return BigInt(value);
        } else {
            throw new TypeError(`onymix: ${what} must be a number or a BigInt, not ${show(value)}`);
        }
        throw new RangeError(`onymix: ${what} must be a whole number from 0 to 2^53 - 1 or a ` +
            `BigInt from 0n to 2n ** 64n - 1n, not ${show(value)}`);
    }

    function optionsOf(options, allowed) {
        if (options === undefined)
            return {};
        if (typeof options !== 'object' || options === null || Array.isArray(options))
            throw new TypeError(`onymix: options must be an object, not ${show(options)}`);
        for (const key of Object.keys(options)) {
            if (!allowed.includes(key))
                throw new TypeError(`onymix: no option ${show(key)} (the options are ` +
                    `${allowed.slice(0, -1).join(', ')} and ${allowed[allowed.length - 1]})`);
        }
        return options;
    }

    // The options of a sequence; seed and start as BigInts, null when left
    // out (a seed of "now", no seek).
    function sequenceOptionsOf(options) {
        const { mode, seed, unique, start } = optionsOf(options, ['mode', 'seed', 'unique', 'start']);
        if (unique !== undefined && typeof unique !== 'boolean')
            throw new TypeError(`onymix: unique must be true or false, not ${show(unique)}`);
        return {
            mode: modeOf(mode),
            seed: seed === undefined ? null : u64Of(seed, 'seed'),
            unique: !!unique,
            start: start === undefined ? null : u64Of(start, 'start'),
        };
    }

    function open({ mode, seed, unique, start }) {
        const flags = unique ? C.UNIQUE : 0;
        const generator = seed === null ? wasm.onymix_open(mode, C.NOW, flags)
            : wasm.onymix_open_seed(mode, seed, flags);
        if (generator === 0)
            throw new Error('onymix: not enough memory for a generator');
        if (start !== null && wasm.onymix_seek(generator, start) !== 0) {
            wasm.onymix_close(generator);
            // The only generators the library cannot seek are unique ones.
            throw new TypeError(`onymix: start (${start}) and unique do not go together: a ` +
                'unique sequence leaves repeats out, so its names have no places to start from');
        }
        return generator;
    }

    function refused() {
        return new Error('onymix: the library refused arguments the package let through');
    }

    function generate(mode, second) {
        loaded();
        const number = modeOf(mode);
        const at = secondOf(second, 'second');
        const length = wasm.onymix_generate(number, at, buffer, BUFFER_SIZE);
        if (length < 0)
            throw refused();
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

    // What the library makes of text copied in, the copy freed however it goes.
    function withCopy(bytes, use) {
        const input = copyIn(bytes);
        try {
            return use(input);
        } finally {
            wasm.free(input);
        }
    }

    function storedText(bytes) {
        loaded();
        const data = bytesOf(bytes);
        const status = withCopy(data, (input) =>
            wasm.onymix_stored_text(input, data.length, buffer, buffer + 4, buffer + 8, buffer + 12));
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
        const status = withCopy(body, (input) => wasm.onymix_stored_bytes(input, numberOf(MARKS, mark),
            numberOf(CHARSETS, charset), buffer, buffer + 4, buffer + 8));
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
        // Both checked before either is copied in, so that a bad name leaks no list.
        const [listBytes, nameBytes] = [utf8Of(list, 'a list'), utf8Of(name, 'a name')];
        const joined = withCopy(listBytes, (listAt) =>
            withCopy(nameBytes, (nameAt) => wasm.onymix_store(listAt, nameAt)));
        if (joined === 0)
            throw new Error('onymix: not enough memory in the module for the list');
        return takeText(joined, memory().indexOf(0, joined) - joined);
    }

    function quitQuestion(list) {
        loaded();
        const question = withCopy(utf8Of(list, 'a list'), (input) => wasm.onymix_quit_question(input));
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

    // Names come from the library as entries of its name table (onymix.h),
    // and each entry's text is decoded once: a name of one part is the
    // table's own string, however often it is made, and a full name is one
    // concatenation, the first name's string with its space kept too.
    let entryTexts = null;
    let spacedFirstNames = null;

    // The entries are decoded as one text, from the lowest entry's place to
    // the end of the highest's, and cut up: one decoding in place of tens
    // of thousands, whatever the order of the table in memory.
    function nameTable() {
        if (entryTexts !== null)
            return;
        const places = new Int32Array(C.ENTRY_COUNT), ends = new Int32Array(C.ENTRY_COUNT);
        const bytes = memory();
        let low = Infinity, high = 0;
        for (let i = 0; i < C.ENTRY_COUNT; i++) {
            let end = places[i] = wasm.onymix_entry(i);
            while (bytes[end] !== 0)
                end++;
            ends[i] = end;
            low = Math.min(low, places[i]);
            high = Math.max(high, end);
        }
        const span = text(low, high - low);
        entryTexts = new Array(C.ENTRY_COUNT);
        for (let i = 0; i < C.ENTRY_COUNT; i++)
            entryTexts[i] = span.slice(places[i] - low, ends[i] - low);
        spacedFirstNames = entryTexts.slice(0, C.FIRST_SURNAME_ENTRY).map((first) => `${first} `);
    }

    const nameOf = (first, surname) => first < 0 ? entryTexts[surname]
        : surname < 0 ? entryTexts[first] : spacedFirstNames[first] + entryTexts[surname];

    // count names made in chunks: draw(made, most) leaves the entries of at
    // most `most` names at entriesAt and says how many; fewer than count
    // only when a unique generator runs out.
    function collect(count, most, entriesAt, draw) {
        loaded();
        nameTable();
        const result = count <= LONGEST_PREPARED_ARRAY ? new Array(count) : [];
        let made = 0;
        busy = true;
        try {
            while (made < count) {
                const n = draw(made, Math.min(count - made, most));
                if (n < 0)
                    throw refused();
                if (n === 0)
                    break;
                const entries = memoryWords(), texts = entryTexts, spaced = spacedFirstNames;
                for (let i = entriesAt >> 2, end = i + 2 * n; i < end; i += 2) {
                    const first = entries[i], surname = entries[i + 1];
                    result[made++] = first < 0 ? texts[surname] : surname < 0 ? texts[first]
                        : spaced[first] + texts[surname];
                }
            }
        } finally {
            busy = false;
        }
        result.length = made;
        return result;
    }

    const ENTRIES_AT_ONCE = BUFFER_SIZE / 8;

    function sequence(generator, count) {
        return collect(count, ENTRIES_AT_ONCE, buffer,
            (made, most) => wasm.onymix_next_entries(generator, buffer, most));
    }

    // Records share their strings with the names; the table lists the male
    // first names first, then the female ones.
    function records(generator, count) {
        nameTable();
        const result = [];
        while (result.length < count) {
            const drawn = wasm.onymix_next_entries(generator, buffer,
                Math.min(count - result.length, ENTRIES_AT_ONCE));
            if (drawn < 0)
                throw refused();
            if (drawn === 0)
                break;
            const entries = memoryWords();
            for (let i = buffer >> 2, end = i + 2 * drawn; i < end; i += 2) {
                const first = entries[i], surname = entries[i + 1];
                result.push({
                    name: nameOf(first, surname),
                    firstName: first < 0 ? null : entryTexts[first],
                    surname: surname < 0 ? null : entryTexts[surname],
                    sex: first < 0 ? null : first < C.FIRST_FEMALE_ENTRY ? 'male' : 'female',
                });
            }
        }
        return result;
    }

    function names(count, options) {
        loaded();
        const n = countOf(count);
        const settings = sequenceOptionsOf(options);
        const generator = open(settings);
        try {
            checkLeft(generator, n, settings.mode);
            return sequence(generator, n);
        } finally {
            wasm.onymix_close(generator);
        }
    }

    // Names by id and pseudonyms: a copy of the key, null for none (the
    // library's zero key), so that one call has one key whatever is done to
    // the caller's bytes meanwhile.
    function keyOf(value) {
        if (value === undefined)
            return null;
        if (!isBytes(value))
            throw new TypeError(`onymix: a key is a Uint8Array of ${C.KEY_SIZE} bytes, not ${show(value)}`);
        const key = plainView(value, Uint8Array);
        if (key.length !== C.KEY_SIZE)
            throw new RangeError(`onymix: a key is ${C.KEY_SIZE} bytes, not ${key.length}`);
        return key.slice();
    }

    // The key in the module's key slot, written at each call of the library
    // that takes it, or 0 for none.
    function keyIn(key) {
        if (key === null)
            return 0;
        memory().set(key, keySlot);
        return keySlot;
    }

    // By default these name from the largest set of names.
    function keyedOptionsOf(options) {
        const { mode, key } = optionsOf(options, ['mode', 'key']);
        const number = modeOf(mode, C.ANY_SURNAME);
        return { mode: number, key: keyOf(key) };
    }

    // A chunk of ids: the ids as 64-bit numbers, then their entries.
    const IDS_AT_ONCE = BUFFER_SIZE / 16;
    const idEntriesAt = () => buffer + 8 * IDS_AT_ONCE;

    function idsFrom(from, count, mode, key) {
        if (count > 0 && from + BigInt(count) - 1n > LARGEST_U64)
            throw new RangeError(`onymix: ${count} ids from ${from} on pass 2n ** 64n - 1n`);
        return collect(count, IDS_AT_ONCE, idEntriesAt(), (made, most) =>
            wasm.onymix_entries_for_ids(mode, keyIn(key), from + BigInt(made), 0, most, idEntriesAt()));
    }

    function idsOfArray(ids, mode, key) {
        const count = listLength(ids, 'the array of ids');
        return collect(count, IDS_AT_ONCE, idEntriesAt(), (made, most) => {
            const words = memoryWords();
            let big = null;
            for (let i = 0, at = buffer >> 2; i < most; i++, at += 2) {
                const id = ids[made + i];
                // Whole numbers go in as two 32-bit halves, with no BigInt made.
                if (typeof id === 'number' && Number.isSafeInteger(id) && id >= 0) {
                    words[at] = id % 4294967296;
                    words[at + 1] = id / 4294967296;
                } else {
                    big ??= new BigUint64Array(wasm.memory.buffer, buffer, most);
                    big[i] = u64Of(id, `ids[${made + i}]`);
                }
            }
            return wasm.onymix_entries_for_ids(mode, keyIn(key), 0n, buffer, most, idEntriesAt());
        });
    }

    function idsOfTyped(ids, mode, key) {
        const plain = plainView(ids, BigUint64Array);
        return collect(plain.length, IDS_AT_ONCE, idEntriesAt(), (made, most) => {
            new BigUint64Array(wasm.memory.buffer, buffer, most).set(plain.subarray(made, made + most));
            return wasm.onymix_entries_for_ids(mode, keyIn(key), 0n, buffer, most, idEntriesAt());
        });
    }

    function runOf(run) {
        for (const key of Object.keys(run)) {
            if (key !== 'from' && key !== 'count')
                throw new TypeError(`onymix: no field ${show(key)} in a run of ids (the fields are from and count)`);
        }
        return [run.from === undefined ? 0n : u64Of(run.from, 'from'), countOf(run.count)];
    }

    function nameForId(id, options) {
        loaded();
        const first = u64Of(id, 'an id');
        const { mode, key } = keyedOptionsOf(options);
        return idsFrom(first, 1, mode, key)[0];
    }

    function namesForIds(ids, options) {
        loaded();
        const typed = typedArrayKind.call(ids) === 'BigUint64Array';
        const listed = Array.isArray(ids) || typed;
        if (!listed && (typeof ids !== 'object' || ids === null || ArrayBuffer.isView(ids)))
            throw new TypeError('onymix: ids are an array of numbers and BigInts, a BigUint64Array ' +
                `or a run { from, count }, not ${show(ids)}`);
        const run = listed ? null : runOf(ids);
        const { mode, key } = keyedOptionsOf(options);
        if (run !== null)
            return idsFrom(...run, mode, key);
        return typed ? idsOfTyped(ids, mode, key) : idsOfArray(ids, mode, key);
    }

    // A chunk of values: their pointers, their lengths, their entries, then
    // their bytes. A value larger than the room for bytes goes alone, in
    // memory of its own.
    const VALUES_AT_ONCE = 8192;
    const valueLengthsAt = () => buffer + 4 * VALUES_AT_ONCE;
    const valueEntriesAt = () => buffer + 8 * VALUES_AT_ONCE;
    const valueBytesAt = () => buffer + 16 * VALUES_AT_ONCE;
    const wellFormed = typeof ''.isWellFormed === 'function' ? (text) => text.isWellFormed()
        : (text) => !halfSurrogate.test(text);

    // A value as it is copied in: a string with UTF-8, or a plain Uint8Array.
    function valueOf(value, what, index) {
        if (typeof value === 'string') {
            if (!wellFormed(value))
                throw new RangeError(`onymix: ${what(index)} holds half a surrogate pair ` +
                    `(at ${value.search(halfSurrogate)}), which has no UTF-8`);
            return value;
        }
        if (isBytes(value))
            return plainView(value, Uint8Array);
        throw new TypeError(`onymix: ${what(index)} must be a string or a Uint8Array, not ${show(value)}`);
    }

    // The most bytes a value can take: UTF-8 needs at most 3 bytes for each
    // UTF-16 unit of a string.
    const valueBound = (value) => typeof value === 'string' ? 3 * value.length : value.length;

    // Copies value in at `at`, with room bytes there, and says how many it took.
    function putValue(value, at, room) {
        if (typeof value !== 'string') {
            memory().set(value, at);
            return value.length;
        }
        if (inNode)
            return memoryBuffer().write(value, at, room, 'utf8');
        return encoder.encodeInto(value, memory().subarray(at, at + room)).written;
    }

    function valuesOf(values, what, mode, key) {
        const count = listLength(values, 'the array of values');
        return collect(count, VALUES_AT_ONCE, valueEntriesAt(), (made, most) => {
            const end = buffer + BUFFER_SIZE;
            let at = valueBytesAt();
            let alone = 0;
            try {
                let n = 0;
                for (; n < most; n++) {
                    const value = valueOf(values[made + n], what, made + n);
                    const bound = valueBound(value);
                    const apart = at + bound > end;
                    if (apart && n > 0)
                        break;
                    if (apart)
                        alone = allocate(Math.max(bound, 1));
                    const place = apart ? alone : at;
                    const length = putValue(value, place, apart ? bound : end - at);
                    const words = memoryWords();
                    words[(buffer >> 2) + n] = place;
                    words[(valueLengthsAt() >> 2) + n] = length;
                    if (!apart)
                        at += length;
                }
                return wasm.onymix_entries_for_pseudonyms(mode, keyIn(key), buffer, valueLengthsAt(), n,
                    valueEntriesAt());
            } finally {
                if (alone !== 0)
                    wasm.free(alone);
            }
        });
    }

    const oneValue = () => 'a value';

    function pseudonym(value, options) {
        loaded();
        valueOf(value, oneValue);
        const { mode, key } = keyedOptionsOf(options);
        return valuesOf([value], oneValue, mode, key)[0];
    }

    function pseudonyms(values, options) {
        loaded();
        if (!Array.isArray(values))
            throw new TypeError(`onymix: values are an array of strings and Uint8Arrays, not ${show(values)}`);
        const { mode, key } = keyedOptionsOf(options);
        return valuesOf(values, (index) => `values[${index}]`, mode, key);
    }

    // A generator that is dropped without close() is given back when it is
    // collected.
    const collected = new FinalizationRegistry((generator) => wasm.onymix_close(generator));

    class Generator {
        #generator;
        #mode;

        constructor(options) {
            loaded();
            const settings = sequenceOptionsOf(options);
            this.#generator = open(settings);
            this.#mode = settings.mode;
            collected.register(this, this.#generator, this);
        }

        #open() {
            loaded();
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
            return sequence(...this.#bulk(count));
        }

        records(count) {
            return records(...this.#bulk(count));
        }

        * [Symbol.iterator]() {
            for (;;) {
                // None once a unique generator has made every name.
                const [name] = sequence(this.#open(), 1);
                if (name === undefined)
                    return;
                yield name;
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
