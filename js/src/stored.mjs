// stored.mjs: stored.txt, Store and Quit, by the program's own rules in
// the library (onymix.h): this only converts between JavaScript's strings
// and the library's UTF-8, and names what the library refuses.
import { C } from './constants.mjs';
import { halfSurrogate, show } from './arguments.mjs';
import { buffer, cString, encoder, loaded, memory, wasm, withCopy } from './module.mjs';

// The marks and charsets, by their numbers in onymix.h.
const MARKS = { [C.MARK_NONE]: null, [C.MARK_UTF8]: 'utf-8', [C.MARK_UTF16LE]: 'utf-16le',
    [C.MARK_UTF16BE]: 'utf-16be' };
const CHARSETS = { [C.CHARSET_UTF8]: 'utf-8', [C.CHARSET_WINDOWS_1252]: 'windows-1252' };
const numberOf = (names, name) => Number(Object.keys(names).find((key) => names[key] === name));
// A mark inside the text is a character of it, not to be dropped.
const utf8 = new TextDecoder('utf-8', { ignoreBOM: true });

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

export function storedText(bytes) {
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

export function storedBytes(text, encoding) {
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

export function store(list, name) {
    loaded();
    // Both checked before either is copied in, so that a bad name leaks no list.
    const [listBytes, nameBytes] = [utf8Of(list, 'a list'), utf8Of(name, 'a name')];
    const joined = withCopy(listBytes, (listAt) =>
        withCopy(nameBytes, (nameAt) => wasm.onymix_store(listAt, nameAt)));
    if (joined === 0)
        throw new Error('onymix: not enough memory in the module for the list');
    return takeText(joined, memory().indexOf(0, joined) - joined);
}

export function quitQuestion(list) {
    loaded();
    const question = withCopy(utf8Of(list, 'a list'), (input) => wasm.onymix_quit_question(input));
    return question === 0 ? null : cString(question);
}
