// stage.mjs: writes the npm package's folder from js/ and the built module:
// node js/stage.mjs VERSION onymix.wasm OUT_DIR. VERSION is the CMake
// project version, the one place it is written; package.json must say the
// same. The module's bytes go into index.js as base64, so that the package
// loads without fetching a file (from a file:// page, too).
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [version, wasmPath, out] = process.argv.slice(2);
if (!out) {
    console.error('usage: node js/stage.mjs VERSION onymix.wasm OUT_DIR');
    process.exit(2);
}
const js = dirname(fileURLToPath(import.meta.url));
const packaging = join(js, '..', 'packaging');

const pkg = JSON.parse(readFileSync(join(js, 'package.json'), 'utf8'));
if (pkg.version !== version) {
    console.error(`stage: js/package.json has version ${pkg.version}, the project ${version}`);
    process.exit(1);
}

const marker = "'@ONYMIX_WASM_BASE64@'";
const loader = readFileSync(join(js, 'index.js'), 'utf8');
if (loader.split(marker).length !== 2) {
    console.error(`stage: js/index.js must hold ${marker} exactly once`);
    process.exit(1);
}
const wasm = readFileSync(wasmPath).toString('base64');

rmSync(out, { recursive: true, force: true });
mkdirSync(out, { recursive: true });
writeFileSync(join(out, 'index.js'), loader.replace(marker, () => `'${wasm}'`));
for (const name of ['package.json', 'index.mjs', 'index.d.ts', 'README.md'])
    copyFileSync(join(js, name), join(out, name));
copyFileSync(join(packaging, 'LICENSE.txt'), join(out, 'LICENSE'));
copyFileSync(join(packaging, 'NOTICE.txt'), join(out, 'NOTICE'));
