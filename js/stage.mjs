// stage.mjs: writes the npm package's folder from js/ and the built module:
// node js/stage.mjs VERSION onymix.wasm OUT_DIR. VERSION is the CMake
// project version, the one place it is written: js/package.json says none,
// and the staged package.json gets it after the name. The module's bytes go
// into index.js as base64, so that the package loads without fetching a
// file (from a file:// page, too).
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

function stage(version, wasmPath, out) {
    const js = dirname(fileURLToPath(import.meta.url));
    const packaging = join(js, '..', 'packaging');

    const pkg = stagedPackage(JSON.parse(readFileSync(join(js, 'package.json'), 'utf8')), version);

    const marker = "'@ONYMIX_WASM_BASE64@'";
    const loader = readFileSync(join(js, 'index.js'), 'utf8');
    if (loader.split(marker).length !== 2)
        throw new Error(`js/index.js must hold ${marker} exactly once`);
    const wasm = readFileSync(wasmPath).toString('base64');

    rmSync(out, { recursive: true, force: true });
    mkdirSync(out, { recursive: true });
    writeFileSync(join(out, 'index.js'), loader.replace(marker, () => `'${wasm}'`));
    writeFileSync(join(out, 'package.json'), `${JSON.stringify(pkg, null, 2)}\n`);
    for (const name of ['index.mjs', 'index.d.ts', 'README.md'])
        copyFileSync(join(js, name), join(out, name));
    copyFileSync(join(packaging, 'LICENSE.txt'), join(out, 'LICENSE'));
    copyFileSync(join(packaging, 'NOTICE.txt'), join(out, 'NOTICE'));
}

// Run as a command; imported (by the tests), it only defines the above. Node
// runs the file at its real path, which a folder linked in may hide.
if (process.argv[1] && realpathSync(process.argv[1]) === fileURLToPath(import.meta.url)) {
    const [version, wasmPath, out] = process.argv.slice(2);
    if (!out) {
        console.error('usage: node js/stage.mjs VERSION onymix.wasm OUT_DIR');
        process.exit(2);
    }
    try {
        stage(version, wasmPath, out);
    } catch (error) {
        console.error(`stage: ${error.message}`);
        process.exit(1);
    }
}
