// stage.mjs: writes the npm package's folder from js/, the built module and
// the C header: node js/stage.mjs VERSION onymix.wasm onymix.h OUT_DIR.
// VERSION is the CMake project version, the one place it is written:
// js/package.json says none, and the staged package.json gets it after the
// name. index.js is built from the ES modules of js/src/ (see bundle()), one
// file that serves require(), import (through index.mjs) and a browser's
// <script> alike. The module's bytes go into it as base64, so that the
// package loads without fetching a file (from a file:// page, too), and the
// header's numbers go in as the object C, so that none is copied by hand.
import { copyFileSync, mkdirSync, readdirSync, readFileSync, realpathSync, rmSync, writeFileSync } from 'node:fs';
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
// number (as onymix.h writes them: 61836, 1u, 86399L, (-1)), or the name
// of another such macro, which gives its number (ONYMIX_DEFAULT_ID_MODE is
// ONYMIX_ANY_SURNAME), keyed NAME. The other macros (the calling
// convention, the export attribute, the include guard) are left out.
export function integerMacros(header) {
    const macros = {};
    const aliases = [];
    for (const [, name, number, other] of header.matchAll(
        /^#define ONYMIX_(\w+) +(?:\(?(-?\d+)[uUlL]*\)?|ONYMIX_(\w+))(?: *\/\*.*)?$/gm)) {
        if (number !== undefined)
            macros[name] = Number(number);
        else
            aliases.push([name, other]);
    }
    // A macro may name one defined after it, or one that names another.
    for (let found = true; found;) {
        found = false;
        for (const [name, other] of aliases) {
            if (!Object.hasOwn(macros, name) && Object.hasOwn(macros, other)) {
                macros[name] = macros[other];
                found = true;
            }
        }
    }
    return macros;
}

// The names of C.NAME that the loader uses and the header does not define as
// integers, in the order of first use.
export function missingConstants(source, macros) {
    const used = new Set([...source.matchAll(/\bC\.(\w+)/g)].map((match) => match[1]));
    return [...used].filter((name) => !Object.hasOwn(macros, name));
}

// What one part of js/src/ imports from the others, what it exports, and
// its code without either. A part imports only named bindings of another,
// `import { a, b } from './part.mjs';`, and exports only declarations at the
// start of a line, `export function`, `class`, `const` or `let`.
const IMPORT = /^import \{([^}]*)\} from '\.\/([\w-]+\.mjs)';\n/gm;
const EXPORT = /^export (?:function\*? ?|class |const |let )(\w+)/gm;
// Every name a part declares at the top level, exported or not.
const DECLARED = /^(?:export )?(?:async )?(?:function\*? ?|class |const |let |var )(\w+)/gm;

export function partOf(name, source) {
    const imports = [...source.matchAll(IMPORT)].map(([, names, from]) =>
        ({ from, names: names.split(',').map((each) => each.trim()).filter((each) => each !== '') }));
    const code = source.replace(IMPORT, '');
    const stray = code.split('\n').find((line) =>
        /^import\b/.test(line) || (/^export\b/.test(line) && !new RegExp(EXPORT.source).test(line)));
    if (stray !== undefined)
        throw new Error(`js/src/${name}: the staging joins only \`import { a, b } from './part.mjs';\` ` +
            `and \`export function|class|const|let\`, not: ${stray}`);
    for (const { names } of imports) {
        const odd = names.find((each) => !/^\w+$/.test(each));
        if (odd !== undefined)
            throw new Error(`js/src/${name}: import ${odd}: only names, no renaming`);
    }
    return {
        imports,
        exports: [...code.matchAll(EXPORT)].map((match) => match[1]),
        declared: [...code.matchAll(DECLARED)].map((match) => match[1]),
        code: code.replace(/^export /gm, ''),
    };
}

// The parts (file name: source) joined into the body of one function, as a
// bundler joins ES modules into one scope: each part after those it
// imports, from `entry` on, without its import lines and the word export.
// Returns the body and the names the entry exports. Refused: an import of
// a part that is not there or of a name it does not export, parts that
// import each other in a circle, a part no other imports, and two parts
// declaring one name, which one scope cannot hold.
export function bundle(parts, entry) {
    const parsed = Object.fromEntries(Object.entries(parts).map(([name, source]) => [name, partOf(name, source)]));
    const order = [];
    const visiting = new Set();
    const visit = (name, importer) => {
        if (order.includes(name))
            return;
        if (!Object.hasOwn(parsed, name))
            throw new Error(`${importer ? `js/src/${importer} imports` : 'the entry is'} ./${name}, ` +
                'which js/src/ does not hold');
        if (visiting.has(name))
            throw new Error(`js/src/${name} and js/src/${importer} import each other, in a circle`);
        visiting.add(name);
        for (const { from, names } of parsed[name].imports) {
            visit(from, name);
            const missing = names.filter((each) => !parsed[from].exports.includes(each));
            if (missing.length > 0)
                throw new Error(`js/src/${name} imports ${missing.join(', ')}, which js/src/${from} does not export`);
        }
        order.push(name);
    };
    visit(entry, null);
    const unused = Object.keys(parsed).filter((name) => !order.includes(name));
    if (unused.length > 0)
        throw new Error(`no part imports ${unused.map((name) => `js/src/${name}`).join(', ')}`);
    const owners = new Map();
    for (const name of order) {
        for (const declared of parsed[name].declared) {
            if (owners.has(declared))
                throw new Error(`js/src/${owners.get(declared)} and js/src/${name} both declare ${declared}`);
            owners.set(declared, name);
        }
    }
    return { body: order.map((name) => parsed[name].code).join('\n'), exports: parsed[entry].exports };
}

// The parts of js/src/, by file name.
export function readParts(js) {
    const folder = join(js, 'src');
    return Object.fromEntries(readdirSync(folder).filter((name) => name.endsWith('.mjs')).sort()
        .map((name) => [name, readFileSync(join(folder, name), 'utf8')]));
}

// index.js before its markers are filled in: the parts in the one function
// that CommonJS and a browser's <script> both call.
export function loader(parts) {
    const { body, exports } = bundle(parts, 'onymix.mjs');
    if (exports.length !== 1)
        throw new Error('js/src/onymix.mjs must export one thing, the package\'s object');
    return `// index.js: the onymix package, the WebAssembly build of libonymix
// (include/onymix.h) with a thin binding: it checks and converts the
// arguments, calls the C functions and throws with the bad value in the
// message. One file serves CommonJS and a browser's <script> (the global
// \`onymix\`); index.mjs re-exports it for import. Made by js/stage.mjs from
// the ES modules of js/src/, each below under its own opening comment.
(function (root, factory) {
    if (typeof module === 'object' && module !== null && module.exports)
        module.exports = factory();
    else
        root.onymix = factory();
})(globalThis, function () {
'use strict';

${body}
return ${exports[0]};
});
`;
}

// index.js with each marker replaced by its text; each must be there once.
function filledIn(source, replacements) {
    for (const [marker, text] of replacements) {
        if (source.split(marker).length !== 2)
            throw new Error(`js/src/ must hold ${marker} exactly once`);
        source = source.replace(marker, () => text);
    }
    return source;
}

function stage(version, wasmPath, headerPath, out) {
    const js = dirname(fileURLToPath(import.meta.url));
    const packaging = join(js, '..', 'packaging');

    const pkg = stagedPackage(JSON.parse(readFileSync(join(js, 'package.json'), 'utf8')), version);
    const source = loader(readParts(js));
    const macros = integerMacros(readFileSync(headerPath, 'utf8'));
    const missing = missingConstants(source, macros);
    if (missing.length > 0)
        throw new Error(`js/src/ uses ${missing.map((name) => `C.${name}`).join(', ')}, ` +
            `which ${headerPath} does not define as an integer ONYMIX_ macro`);
    const wasm = readFileSync(wasmPath).toString('base64');
    const staged = filledIn(source, [
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
