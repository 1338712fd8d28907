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

// Every `#define ONYMIX_NAME VALUE` of the header whose value is a whole
// number (as onymix.h writes them: 61836, 1u, 86399L, (-1)), keyed NAME.
// The other macros (the calling convention, the export attribute, the
// include guard) are left out.
export function integerMacros(header) {
    const macros = {};
    for (const [, name, value] of header.matchAll(
        /^#define ONYMIX_(\w+) +\(?(-?\d+)[uUlL]*\)?(?: *\/\*.*)?$/gm))
        macros[name] = Number(value);
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
