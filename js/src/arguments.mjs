// arguments.mjs: the checks of the arguments every call shares: numbers
// that must be whole and in range, options objects, typed arrays read by
// their own elements, strings that must have UTF-8; and how a bad value is
// shown in the message of what is thrown.
import { C, LARGEST_U64, MAX_COUNT } from './constants.mjs';

// A bad value as the message shows it: texts quoted, long ones cut.
export function show(value) {
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
export const typedArrayKind = typedArrayGetter(Symbol.toStringTag); // undefined for anything else
const typedArrayBuffer = typedArrayGetter('buffer');
const typedArrayOffset = typedArrayGetter('byteOffset');
const typedArrayLength = typedArrayGetter('length');

// value (a Type, or a subclass of it) as a plain Type over the same
// elements; one with none may have a detached buffer, which no view takes.
export function plainView(value, Type) {
    const length = typedArrayLength.call(value);
    return length === 0 ? new Type(0)
        : new Type(typedArrayBuffer.call(value), typedArrayOffset.call(value), length);
}
export const isBytes = (value) => typedArrayKind.call(value) === 'Uint8Array';

// The length of an array the caller gives: an array's own is always
// right, but a proxy may say anything.
export function listLength(list, what) {
    const length = list.length;
    if (!Number.isInteger(length) || length < 0 || length > MAX_COUNT)
        throw new RangeError(`onymix: ${what} says its length is ${show(length)}`);
    return length;
}

export function secondOf(value, what) {
    if (value === undefined)
        return C.NOW;
    if (typeof value !== 'number')
        throw new TypeError(`onymix: ${what} must be a number, not ${show(value)}`);
    if (!Number.isInteger(value) || value < 0 || value > C.LAST_SECOND)
        throw new RangeError(
            `onymix: ${what} must be a whole second from 0 to ${C.LAST_SECOND}, not ${show(value)}`);
    return value;
}

export function countOf(value) {
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
export function u64Of(value, what) {
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

export function optionsOf(options, allowed) {
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

// Half a surrogate pair, which has no UTF-8.
export const halfSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/;
export const wellFormed = typeof ''.isWellFormed === 'function' ? (text) => text.isWellFormed()
    : (text) => !halfSurrogate.test(text);
