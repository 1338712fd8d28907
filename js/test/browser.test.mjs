// browser.test.mjs: the package in headless Chromium from a file:// page
// with a strict Content-Security-Policy (browser/page.html).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import onymix from 'onymix';
import { lines } from './source.mjs';

const chromium = '/usr/bin/chromium';

test('in a browser: loaded once ready, same names, now since midnight UTC, no eval', (t) => {
    if (!existsSync(chromium))
        return t.skip('no Chromium (Debian package chromium)');
    const page = new URL('browser/page.html', import.meta.url);
    assert.ok(existsSync(fileURLToPath(page)));
    // The virtual time budget lets the page run its tasks before the DOM is read.
    const dom = execFileSync(chromium, ['--headless=new', '--no-sandbox', '--disable-gpu',
        '--virtual-time-budget=20000', '--dump-dom', page.href],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'], timeout: 120000 });
    const json = dom.match(/<pre id="result">(.*)<\/pre>/s)[1].replace(/&quot;/g, '"');
    const result = JSON.parse(json);
    assert.equal(result.eval, 'EvalError', 'the policy is in force');
    assert.match(result.early, /still loading; await onymix.ready first/);
    assert.equal(result.failed, undefined);
    assert.equal(result.version, onymix.version);
    assert.equal(result.generate, 'Eve');
    assert.deepEqual(result.names, lines('tests', 'golden', 'sequence-6-1.txt').slice(0, 5));
    assert.ok(result.seconds.some((s) => onymix.generate('Any + Surname', s) === result.now),
        `${result.now} is the name of none of the seconds ${result.seconds} since midnight UTC`);
});
