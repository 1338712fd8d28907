// name_table.mjs: names as the library gives them, entries of its name
// table (onymix.h), made into strings. Each entry's text is decoded once:
// a name of one part is the table's own string, however often it is made,
// and a full name is one concatenation, the first name's string with its
// space kept too.
import { C } from './constants.mjs';
import { enter, leave, memory, memoryWords, refused, text, wasm } from './module.mjs';

// Above this length V8 makes an array made to size a dictionary, slow to
// fill; a longer result grows as it is filled instead.
const LONGEST_PREPARED_ARRAY = 1 << 25;

let entryTexts = null;
let spacedFirstNames = null;

// The entries are decoded as one text, from the lowest entry's place to
// the end of the highest's, and cut up: one decoding in place of tens
// of thousands, whatever the order of the table in memory.
export function nameTable() {
    if (entryTexts !== null)
        return;
    const places = new Int32Array(C.ENTRY_COUNT), ends = new Int32Array(C.ENTRY_COUNT);
    const bytes = memory();
    let low = Infinity, high = 0;
    for (let i = 0; i < C.ENTRY_COUNT; i++) {
        let end = places[i] = wasm.onymix_entry(i);
        while (bytes[end] !== 0)
            end++;
        ends[i] = end;
        low = Math.min(low, places[i]);
        high = Math.max(high, end);
    }
    const span = text(low, high - low);
    entryTexts = new Array(C.ENTRY_COUNT);
    for (let i = 0; i < C.ENTRY_COUNT; i++)
        entryTexts[i] = span.slice(places[i] - low, ends[i] - low);
    spacedFirstNames = entryTexts.slice(0, C.FIRST_SURNAME_ENTRY).map((first) => `${first} `);
}

// A name in parts, sharing its strings with the names; the table lists the
// male first names first, then the female ones.
export function recordOf(first, surname) {
    return {
        name: first < 0 ? entryTexts[surname]
            : surname < 0 ? entryTexts[first] : spacedFirstNames[first] + entryTexts[surname],
        firstName: first < 0 ? null : entryTexts[first],
        surname: surname < 0 ? null : entryTexts[surname],
        sex: first < 0 ? null : first < C.FIRST_FEMALE_ENTRY ? 'male' : 'female',
    };
}

// count names made in chunks: draw(made, most) leaves the entries of at
// most `most` names at entriesAt and says how many; fewer than count
// only when a unique generator runs out. No other call may come in
// meanwhile, from a getter of the caller's arguments that draw reads.
export function collect(count, most, entriesAt, draw) {
    enter();
    try {
        nameTable();
        const result = count <= LONGEST_PREPARED_ARRAY ? new Array(count) : [];
        let made = 0;
        while (made < count) {
            const n = draw(made, Math.min(count - made, most));
            if (n < 0)
                throw refused();
            if (n === 0)
                break;
            const entries = memoryWords(), texts = entryTexts, spaced = spacedFirstNames;
            for (let i = entriesAt >> 2, end = i + 2 * n; i < end; i += 2) {
                const first = entries[i], surname = entries[i + 1];
                result[made++] = first < 0 ? texts[surname] : surname < 0 ? texts[first]
                    : spaced[first] + texts[surname];
            }
        }
        result.length = made;
        return result;
    } finally {
        leave();
    }
}
