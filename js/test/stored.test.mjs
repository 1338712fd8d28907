// stored.test.mjs: storedText and storedBytes, the program's rules of
// stored.txt in the module: the load and save rules, UTF-16 through the
// module's UTF-8 code page, windows-1252 for 8-bit text that is not UTF-8,
// and what is refused.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';

const { storedText, storedBytes } = onymix;
const latin1 = (text) => Buffer.from(text, 'latin1');
const hex = (bytes) => Buffer.from(bytes).toString('hex');
const plain = { mark: null, charset: 'utf-8' };

test('load: non-empty lines, each followed by CR LF, from CR LF or LF', () => {
    const cases = [
        ['', ''],
        ['\r\n\r\n\n', ''],
        ['A\r\nB\r\n', 'A\r\nB\r\n'],
        ['A\r\nB', 'A\r\nB\r\n'],
        ['A\r\n\r\nB\r\n\r\n', 'A\r\nB\r\n'],
        ['A\nB\r\n\n\nC', 'A\r\nB\r\nC\r\n'],
        ['  \r\n', '  \r\n'],
        ['A\rB\r\n', 'A\rB\r\n'],
        ['AB\0C\r\n\0D\r\nE', 'AB\r\nE\r\n'],
    ];
    for (const [file, text] of cases)
        assert.deepEqual(storedText(latin1(file)), { text, encoding: plain }, JSON.stringify(file));
});

test('save: every CR dropped, every LF as CR LF, a final line end only when the box has one', () => {
    const cases = [
        ['', ''],
        ['A\nB', 'A\r\nB'],
        ['A\r\nB\r\n', 'A\r\nB\r\n'],
        ['A\n\nX\nY', 'A\r\n\r\nX\r\nY'],
        ['A\rB', 'AB'],
    ];
    for (const [box, file] of cases)
        assert.equal(hex(storedBytes(box)), hex(latin1(file)), JSON.stringify(box));
});

test('8-bit files: UTF-8 read as UTF-8, any other as windows-1252, both saved back byte for byte', () => {
    const utf8 = Buffer.from('Zoë\r\nRenée\r\n€\r\n');
    assert.deepEqual(storedText(utf8), { text: 'Zoë\r\nRenée\r\n€\r\n', encoding: plain });
    assert.equal(hex(storedBytes('Zoë\r\nRenée\r\n€\r\n')), hex(utf8));

    const cp1252 = latin1('Zo\xEB\r\n\x80 \x8A\x9F\r\n');
    const loaded = storedText(cp1252);
    assert.deepEqual(loaded, { text: 'Zoë\r\n€ ŠŸ\r\n', encoding: { mark: null, charset: 'windows-1252' } });
    assert.equal(hex(storedBytes(loaded.text.replace(/\r\n/g, '\n'), loaded.encoding)), hex(cp1252));

    // Every byte but CR, LF and NUL, which have meanings of their own.
    const all = Buffer.from([...Array(256).keys()].filter((b) => ![0, 10, 13].includes(b)));
    const every = Buffer.concat([all, latin1('\r\n')]);
    const back = storedText(every);
    assert.equal(back.encoding.charset, 'windows-1252');
    assert.equal(new Set(back.text).size, 253 + 2, 'every byte a character of its own');
    assert.equal(hex(storedBytes(back.text, back.encoding)), hex(every));
});

test('the UTF-8 mark: left out of the text, kept for the save, with 8-bit text of either charset', () => {
    const marked = latin1('\xEF\xBB\xBFZo\xC3\xAB\r\n');
    assert.deepEqual(storedText(marked), { text: 'Zoë\r\n', encoding: { mark: 'utf-8', charset: 'utf-8' } });
    assert.equal(hex(storedBytes('Zoë\r\n', { mark: 'utf-8' })), hex(marked));

    // What the program writes for a 1252 list starting "ÿþ": behind the
    // mark, so that it is not read as UTF-16.
    const bom1252 = latin1('\xEF\xBB\xBF\xFF\xFEtienne\r\n');
    const loaded = storedText(bom1252);
    assert.deepEqual(loaded, { text: 'ÿþtienne\r\n', encoding: { mark: 'utf-8', charset: 'windows-1252' } });
    assert.equal(hex(storedBytes(loaded.text, { mark: null, charset: 'windows-1252' })), hex(bom1252));

    // A second mark is text, and a text starting with one is saved marked.
    assert.equal(storedText(latin1('\xEF\xBB\xBF\xEF\xBB\xBFA')).text, '\uFEFFA\r\n');
    assert.equal(hex(storedBytes('\uFEFFA')), 'efbbbfefbbbf41');
});

test('UTF-16 in both byte orders through the module\'s UTF-8, up to characters past U+FFFF', () => {
    const text = 'Zoë\r\n$ é € 😀\r\nОльга 王芳\r\n';
    const le = Buffer.from('\uFEFF' + text, 'utf16le');
    const be = Buffer.from(le).swap16();
    for (const [mark, file] of [['utf-16le', le], ['utf-16be', be]]) {
        const loaded = storedText(file);
        assert.deepEqual(loaded, { text, encoding: { mark, charset: 'utf-8' } }, mark);
        assert.equal(hex(storedBytes(text.replace(/\r/g, ''), loaded.encoding)), hex(file), mark);
    }
    assert.equal(hex(storedBytes('', { mark: 'utf-16be' })), 'feff');
    assert.equal(storedText(Buffer.from('\uFEFFA\r\n\r\nB', 'utf16le')).text, 'A\r\nB\r\n');
});

test('UTF-16 that cannot be shown is refused: half a character, half a surrogate pair', () => {
    const units = (...list) => Buffer.from(Uint16Array.from([0xFEFF, ...list]).buffer);
    const refused = [
        Buffer.concat([units(0x41), Buffer.from([0x42])]),
        units(0x41, 0xD83D),
        units(0xDE00, 0x41),
        units(0xD83D, 0x41, 0x0D, 0x0A),
    ];
    for (const file of refused)
        assert.throws(() => storedText(file), /cannot be shown/, hex(file));
});

test('a save that would lose a character is refused, naming it', () => {
    assert.throws(() => storedBytes('Zoë Ω', { charset: 'windows-1252' }), /"Ω" \(U\+03A9\) has no form in windows-1252/);
    assert.throws(() => storedBytes('😀', { charset: 'windows-1252' }), /U\+1F600/);
    assert.throws(() => storedBytes('A\0B'), /NUL \(at 1\)/);
    assert.throws(() => storedBytes('A\uD83D', { mark: 'utf-16le' }), /half a surrogate pair \(at 1\)/);
    assert.throws(() => storedBytes('\uDE00'), RangeError);
});

test('bad arguments are named', () => {
    const cases = [
        [() => storedText('A\r\n'), TypeError, '"A\\r\\n"'],
        [() => storedText([65]), TypeError, '[65]'],
        [() => storedBytes(5), TypeError, '5'],
        [() => storedBytes('A', 'utf-8'), TypeError, '"utf-8"'],
        [() => storedBytes('A', { mark: 'utf-32' }), RangeError, '"utf-32"'],
        [() => storedBytes('A', { charset: 'latin1' }), RangeError, '"latin1"'],
        [() => storedBytes('A', { marks: null }), TypeError, '"marks"'],
        [() => storedBytes('A', { mark: 'utf-16le', charset: 'windows-1252' }), RangeError, 'windows-1252'],
    ];
    for (const [call, type, shown] of cases)
        assert.throws(call, (error) => error instanceof type && error.message.includes(shown), shown);
});

test('files larger than the module\'s memory at start, and views into larger buffers', () => {
    const line = 'Maximilianus Featherstonehaugh\r\n';
    const file = Buffer.from(line.repeat(200000)); // 6.4 MB, past the 2 MB the module starts with
    const loaded = storedText(file);
    assert.equal(loaded.text.length, file.length);
    assert.equal(hex(storedBytes(loaded.text).subarray(0, 64)), hex(file.subarray(0, 64)));
    assert.equal(Buffer.from(storedBytes(loaded.text)).equals(file), true);

    const inside = new Uint8Array([0x58, 0x41, 0x0A, 0x58]);
    assert.equal(storedText(inside.subarray(1, 3)).text, 'A\r\n');
    assert.equal(storedText(inside.buffer).text, 'XA\r\nX\r\n');
});

test('Store and Quit: a line break only between names, a question only for a list', () => {
    assert.equal(onymix.store('', 'Ann'), 'Ann');
    assert.equal(onymix.store('Ann\r\nBob\r\n', 'Zoë'), 'Ann\r\nBob\r\n\r\nZoë');
    assert.equal(onymix.store('Ann', ''), 'Ann\r\n');
    assert.equal(onymix.quitQuestion('Ann'), 'Save stored names to file?');
    assert.equal(onymix.quitQuestion(''), null);
    assert.throws(() => onymix.store('Ann', 5), { name: 'TypeError', message: /a name is a string, not 5/ });
    assert.throws(() => onymix.quitQuestion(null), TypeError);
    assert.throws(() => onymix.store('A\0', 'B'), /NUL \(at 1\)/);
});
