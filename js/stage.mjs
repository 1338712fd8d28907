// stage.mjs: writes the npm package's folder from js/, the built module and
// the C header: node js/stage.mjs VERSION onymix.wasm onymix.h OUT_DIR.
// VERSION is the CMake project version, the one place it is written:
// js/package.json says none, and the staged package.json gets it after the
// name. The module's bytes go into index.js as base64, so that the package
// loads without fetching a file (from a file:// page, too), and the header's
// numbers go in as the object C, so that none is copied by hand.
import { copyFileSync, mkdirSync, readFileSync, realpathSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

// js/package.json with the version after the name, where npm writes it; the
// rest in its own order. A version there would be a second place for it.
export function stagedPackage(pkg, version) {
    // npm refuses anything else, and a CMake version may have a fourth part.
    if (!/^\d+\.\d+\.\d+$/.test(version))
        throw new Error(`the version ${JSON.stringify(version)} is not MAJOR.MINOR.PATCH`);
    if (Object.hasOwn(pkg, 'version'))
        throw new Error('js/package.json must not say a version: the CMake project version is the one');
    const { name, ...rest } = pkg;
    return { name, version, ...rest };
}

// The value of an integer macro as a number, or undefined when the text is
// not one integer literal (an expression, an attribute, nothing).
function integerValue(text) {
    let value = text.trim();
    let negative = false;
    for (;;) {
        const inner = /^\((.*)\)$/s.exec(value);
        if (inner)
            value = inner[1].trim();
        else if (value.startsWith('-') && !negative)
            [value, negative] = [value.slice(1).trim(), true];
        else
            break;
    }
    const literal = /^(0[xX][0-9a-fA-F]+|0[0-7]*|[1-9][0-9]*)([uU]?)(?:l|L|ll|LL)?([uU]?)$/.exec(value);
    if (!literal)
        return undefined;
    const [, digits, unsignedBefore, unsignedAfter] = literal;
    if (unsignedBefore && unsignedAfter)
        return undefined;
    // C reads a leading 0 as octal.
    const magnitude = /^0[0-7]/.test(digits) ? BigInt(`0o${digits.slice(1)}`) : BigInt(digits);
    if (negative && (unsignedBefore || unsignedAfter) && magnitude !== 0n)
        throw new Error(`${text.trim()} is negative and unsigned: C makes it a large number`);
    const number = negative ? -magnitude : magnitude;
    if (number > BigInt(Number.MAX_SAFE_INTEGER) || number < BigInt(Number.MIN_SAFE_INTEGER))
        throw new Error(`${text.trim()} is beyond the integers a JavaScript number holds exactly`);
    return Number(number);
}

// Every `#define ONYMIX_NAME VALUE` of a header whose value is one integer
// literal (decimal, octal or hexadecimal, with C's u and l suffixes, negated
// or in parentheses), keyed NAME, in the header's order. Other macros (the
// calling convention, the export attribute, the include guard, function-like
// macros) are left out. A name defined twice, in the branches of an #if,
// must have one value.
export function integerMacros(header) {
    const text = header
        .replace(/\\\r?\n/g, ' ')
        .replace(/\/\*[\s\S]*?\*\//g, ' ')
        .replace(/\/\/.*$/gm, '');
    const macros = {};
    for (const [, name, value] of text.matchAll(/^[ \t]*#[ \t]*define[ \t]+ONYMIX_(\w+)(?:[ \t]+(.*))?$/gm)) {
        let number;
        try {
            number = integerValue(value ?? '');
        } catch (error) {
            throw new Error(`ONYMIX_${name}: ${error.message}`);
        }
        if (number === undefined)
            continue;
        if (Object.hasOwn(macros, name) && macros[name] !== number)
            throw new Error(`ONYMIX_${name} is defined as both ${macros[name]} and ${number}`);
        macros[name] = number;
    }
    return macros;
}

// The names of C.NAME that the loader uses and the header does not define as
// integers, in the order of first use.
export function missingConstants(loader, macros) {
    const used = new Set([...loader.matchAll(/\bC\.(\w+)/g)].map((match) => match[1]));
    return [...used].filter((name) => !Object.hasOwn(macros, name));
}

// index.js with each marker replaced by its text; each must be there once.
function filledIn(loader, replacements) {
    for (const [marker, text] of replacements) {
        if (loader.split(marker).length !== 2)
            throw new Error(`js/index.js must hold ${marker} exactly once`);
        loader = loader.replace(marker, () => text);
    }
    return loader;
}

function stage(version, wasmPath, headerPath, out) {
    const js = dirname(fileURLToPath(import.meta.url));
    const packaging = join(js, '..', 'packaging');

    const pkg = stagedPackage(JSON.parse(readFileSync(join(js, 'package.json'), 'utf8')), version);
    const loader = readFileSync(join(js, 'index.js'), 'utf8');
    const macros = integerMacros(readFileSync(headerPath, 'utf8'));
    const missing = missingConstants(loader, macros);
    if (missing.length > 0)
        throw new Error(`js/index.js uses ${missing.map((name) => `C.${name}`).join(', ')}, ` +
            `which ${headerPath} does not define as an integer ONYMIX_ macro`);
    const wasm = readFileSync(wasmPath).toString('base64');
    const staged = filledIn(loader, [
        ["'@ONYMIX_WASM_BASE64@'", `'${wasm}'`],
        ["'@ONYMIX_CONSTANTS@'", `Object.freeze(${JSON.stringify(macros)})`],
    ]);

    rmSync(out, { recursive: true, force: true });
    mkdirSync(out, { recursive: true });
    writeFileSync(join(out, 'index.js'), staged);
    writeFileSync(join(out, 'package.json'), `${JSON.stringify(pkg, null, 2)}\n`);
    for (const name of ['index.mjs', 'index.d.ts', 'README.md'])
        copyFileSync(join(js, name), join(out, name));
    copyFileSync(join(packaging, 'LICENSE.txt'), join(out, 'LICENSE'));
    copyFileSync(join(packaging, 'NOTICE.txt'), join(out, 'NOTICE'));
}

// Run as a command; imported (by the tests), it only defines the above. Node
// runs the file at its real path, which a folder linked in may hide.
if (process.argv[1] && realpathSync(process.argv[1]) === fileURLToPath(import.meta.url)) {
    const [version, wasmPath, headerPath, out] = process.argv.slice(2);
    if (!out) {
        console.error('usage: node js/stage.mjs VERSION onymix.wasm onymix.h OUT_DIR');
        process.exit(2);
    }
    try {
        stage(version, wasmPath, headerPath, out);
    } catch (error) {
        console.error(`stage: ${error.message}`);
        process.exit(1);
    }
}
