// modes.test.mjs: a mode given as a string is read as every front-end reads
// it, by the shared cases of tests/golden/mode-texts.txt.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { read } from './source.mjs';

// Each case's bytes (its escapes \\, \t and \xHH decoded) and mode.
function modeTexts() {
    const escape = /\\(\\|t|x[0-9a-fA-F]{2})/g;
    return read('tests', 'golden', 'mode-texts.txt').split('\n')
        .filter((line) => line !== '' && !line.startsWith('#'))
        .map((line) => {
            const [text, mode] = line.split('\t');
            assert.match(text, /^(?:[^\\]|\\(?:\\|t|x[0-9a-fA-F]{2}))*$/, line);
            const bytes = Buffer.from(text.replace(escape, (_, e) =>
                e === '\\' ? '\\' : e === 't' ? '\t' : String.fromCharCode(parseInt(e.slice(1), 16))), 'latin1');
            return { line, bytes, mode: Number(mode) };
        });
}

test('every shared mode text names the mode of its number, or is refused', () => {
    const byNumber = [...Array(onymix.MODES.length).keys()].map((mode) =>
        [onymix.nameForId(1, { mode }), onymix.generate(mode, 0)]);
    assert.equal(new Set(byNumber.map(([name]) => name)).size, 7, 'the names tell every mode apart');
    let cases = 0;
    let refused = 0;
    for (const { line, bytes, mode } of modeTexts()) {
        // A string holds only what has UTF-8: bytes that are none are left out.
        let text;
        try {
            text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch {
            continue;
        }
        const calls = [() => onymix.nameForId(1, { mode: text }), () => onymix.generate(text, 0)];
        if (mode < 0) {
            for (const call of calls)
                assert.throws(call, { name: 'RangeError', message: /^onymix: not a mode: / }, line);
            refused++;
        } else {
            assert.deepEqual(calls.map((call) => call()), byNumber[mode], line);
        }
        cases++;
    }
    assert.ok(cases > 100 && refused > 30, `mode-texts.txt is cut short: ${cases} cases, ${refused} refused`);
});

test('a mode text longer than the buffer of every call is read whole', () => {
    const long = 1 << 21;
    assert.equal(onymix.generate(`${' '.repeat(long)}Male\t`, 0), onymix.generate(2, 0));
    assert.equal(onymix.nameForId(1, { mode: `${'0'.repeat(long)}4` }), onymix.nameForId(1, { mode: 4 }));
    assert.throws(() => onymix.generate(`${' '.repeat(long)}Male x`), RangeError);
});
