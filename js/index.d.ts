// index.d.ts: the types of the onymix package, for require() and import alike.

declare namespace onymix {
    /** The labels of the seven modes, in mode order. */
    type ModeLabel =
        | 'Female'
        | 'Female + Surname'
        | 'Male'
        | 'Male + Surname'
        | 'Surname'
        | 'Any'
        | 'Any + Surname';

    /** A mode's number: its place in MODES. */
    type ModeNumber = 0 | 1 | 2 | 3 | 4 | 5 | 6;

    /**
     * A mode: its number, or a string read as every front-end reads a mode's
     * text: its label in any ASCII case with any spaces or tabs around the
     * "+" ('male+surname'), or its number ('3', '03'), spaces and tabs at
     * either end dropped. The type admits the numbers and the labels in
     * three usual spellings; a string of any other (a person's input, say)
     * goes in as `text as onymix.Mode` and is checked at run time.
     */
    type Mode = ModeLabel | Lowercase<ModeLabel> | Uppercase<ModeLabel> | ModeNumber;

    /**
     * An unsigned 64-bit number: a whole number from 0 to 2^53 - 1 (the
     * largest a number holds exactly) or a BigInt from 0n to 2n ** 64n - 1n.
     */
    type U64 = number | bigint;

    interface Options {
        /** 'Male + Surname' when left out. */
        mode?: Mode;
        /**
         * The seed. Seeds 0 to 86399 are whole seconds, those of onymix-cli
         * --seed; every other 64-bit seed starts a sequence of its own.
         * Left out, "now": in Node the seconds of the system's uptime, in a
         * browser the seconds since midnight UTC.
         */
        seed?: U64;
        /** No name twice: the ordinary sequence with every repeat left out. */
        unique?: boolean;
        /**
         * Begin at name `start` of the sequence (0 for the first), reached
         * at once however far it is. Not with unique (TypeError).
         */
        start?: U64;
        /**
         * Each name as often as the 1990 census found it, as onymix-cli
         * --weighted gives them, instead of evenly. Not with unique
         * (TypeError).
         */
        weighted?: boolean;
    }

    /** How names by id and pseudonyms are made. */
    interface KeyedOptions {
        /** 'Any + Surname', the largest set of names, when left out. */
        mode?: Mode;
        /**
         * The secret: 16 bytes. Left out, 16 zero bytes: fine for test data,
         * but anyone can make the same names.
         */
        key?: Uint8Array;
    }

    /** The ids `from` (0 when left out) to `from + count - 1`. */
    interface IdRun {
        from?: U64;
        count: number;
    }

    /** A name in parts; null for a part the mode has none of. */
    interface NameRecord {
        name: string;
        firstName: string | null;
        surname: string | null;
        /** The list the first name came from. */
        sex: 'female' | 'male' | null;
    }

    /**
     * How a stored.txt is encoded. mark: the byte-order mark in front (null
     * for none). charset: how its 8-bit text is read, UTF-8 or, when it is
     * not valid UTF-8, windows-1252; always 'utf-8' for UTF-16.
     */
    interface StoredEncoding {
        mark: null | 'utf-8' | 'utf-16le' | 'utf-16be';
        charset: 'utf-8' | 'windows-1252';
    }

    /** A stored.txt as the program loads it. */
    interface StoredText {
        /** The file's non-empty lines, each followed by CR LF. */
        text: string;
        /** What a save must give storedBytes to write the file back alike. */
        encoding: StoredEncoding;
    }

    /** The library's version, '1.2.0' for this one. */
    const version: string;

    /** The labels of the modes, in mode order, as onymix-cli numbers them. */
    const MODES: readonly [
        'Female',
        'Female + Surname',
        'Male',
        'Male + Surname',
        'Surname',
        'Any',
        'Any + Surname',
    ];

    /**
     * Resolved once the module is loaded: already in Node; in a browser,
     * await it before the first call (version and MODES are set then too).
     */
    const ready: Promise<void>;

    /**
     * What one Generate of the Onymix program shows at whole second
     * `second` (0 to 86399); left out, now (in Node the system's uptime, in a
     * browser the time since midnight UTC).
     * @throws TypeError or RangeError naming a bad mode or second.
     */
    function generate(mode?: Mode, second?: number): string;

    /**
     * `count` names of the sequence of a mode and seed, from name `start`
     * on; for a seed of 0 to 86399, exactly those of onymix-cli --count
     * COUNT --mode MODE --seed SEED [--unique] [--weighted].
     * @throws RangeError, before any work, when unique names are asked for
     * beyond the mode's; TypeError or RangeError naming any bad argument.
     */
    function names(count: number, options?: Options): string[];

    /**
     * The name of an id: every id has one of its own in each mode, under
     * each key, and the ids of a block of N consecutive ids (from 0 on;
     * N is the number of names the mode can make) have different names.
     * The same in every process and every language the library is used
     * from.
     * @throws TypeError or RangeError naming a bad id, mode or key.
     */
    function nameForId(id: U64, options?: KeyedOptions): string;

    /**
     * The names of ids, in one call: an array of numbers and BigInts, a
     * BigUint64Array, or a run of consecutive ids.
     * @throws TypeError or RangeError naming a bad id (by its index), mode
     * or key, or a run that passes 2n ** 64n - 1n.
     */
    function namesForIds(ids: readonly U64[] | BigUint64Array | IdRun, options?: KeyedOptions): string[];

    /**
     * The name that stands in for a value: a string (its UTF-8 bytes) or
     * bytes. The same value always has the same pseudonym under a key;
     * different values may share one.
     * @throws TypeError or RangeError naming a bad value (a string with
     * half a surrogate pair has no UTF-8), mode or key.
     */
    function pseudonym(value: string | Uint8Array, options?: KeyedOptions): string;

    /**
     * The pseudonyms of values, in one call.
     * @throws TypeError or RangeError naming a bad value by its index.
     */
    function pseudonyms(values: readonly (string | Uint8Array)[], options?: KeyedOptions): string[];

    /** What a masking needs: its secret key, 16 bytes that are not all zero. */
    interface MaskOptions {
        key: Uint8Array;
    }

    /** A masking of a string is a string; null and undefined stay. */
    type Masked<T> = T extends string ? string : T;

    /**
     * A real first name masked under a secret key: the same name always
     * gives the same fake, of the same sex, in the letter case of the
     * value; several given names ("Mary Ann", "Jean-Luc") word by word.
     * null and undefined stay as they are.
     * @throws TypeError for a missing key or a value that is no string,
     * RangeError for the zero key, a key of another length or half a
     * surrogate pair; no message shows the value or the key.
     */
    function maskFirstName<T extends string | null | undefined>(value: T, options: MaskOptions): Masked<T>;

    /** A real surname masked under a secret key: every Smith the same fake. */
    function maskSurname<T extends string | null | undefined>(value: T, options: MaskOptions): Masked<T>;

    /**
     * A real full name ("Mary Smith", "Smith, Mary", "Ludwig van
     * Beethoven", "John Smith Jr.") masked as given names and a surname.
     */
    function maskFullName<T extends string | null | undefined>(value: T, options: MaskOptions): Masked<T>;

    /**
     * The maskings of an array or any other iterable of first names, in
     * one call; null and undefined stay as they are.
     * @throws as maskFirstName, naming a bad value by its index.
     */
    function maskFirstNames<T extends string | null | undefined>(
        values: Iterable<T>, options: MaskOptions): Masked<T>[];

    /** The maskings of an array or iterable of surnames. */
    function maskSurnames<T extends string | null | undefined>(values: Iterable<T>, options: MaskOptions): T[];

    /** The maskings of an array or iterable of full names. */
    function maskFullNames<T extends string | null | undefined>(
        values: Iterable<T>, options: MaskOptions): Masked<T>[];

    /**
     * The stored text of a stored.txt's bytes, read by the Onymix program's
     * rules: the mark, UTF-16 in either byte order, CR LF or LF, empty lines
     * skipped, a NUL ending its line's text.
     * @throws RangeError for UTF-16 with half a surrogate pair or half a
     * character; TypeError for anything but bytes.
     */
    function storedText(bytes: Uint8Array | ArrayBuffer | ArrayBufferView): StoredText;

    /**
     * The bytes the Onymix program saves for a stored-names box holding
     * `text`: every CR dropped, every LF as CR LF, in `encoding` (by default
     * UTF-8 with no mark). 8-bit text that would begin like a mark is
     * written behind the UTF-8 mark, so that it reads back the same.
     * @throws RangeError for a character windows-1252 lacks, a NUL or half a
     * surrogate pair; TypeError or RangeError naming a bad encoding.
     */
    function storedBytes(text: string, encoding?: Partial<StoredEncoding>): Uint8Array;

    /**
     * The program's Store: the list with `name` appended as a new line, after
     * CR LF when the list is not empty (the name alone otherwise).
     * @throws TypeError for anything but strings; RangeError for a NUL or
     * half a surrogate pair.
     */
    function store(list: string, name: string): string;

    /**
     * The question the program's Quit asks before it saves `list`, 'Save
     * stored names to file?', or null when it asks nothing and saves
     * nothing: when the list is empty.
     * @throws TypeError for anything but a string.
     */
    function quitQuestion(list: string): string | null;

    /**
     * Names one after another from one seeding, as names() makes them. Its
     * memory in the module is given back by close() or, failing that, when
     * the generator is garbage-collected. Using a closed generator throws
     * TypeError.
     */
    class Generator implements Iterable<string> {
        constructor(options?: Options);
        /**
         * The next names; a unique generator ends when it has made every
         * name of its mode.
         */
        [Symbol.iterator](): IterableIterator<string>;
        /**
         * The next `count` names.
         * @throws RangeError when a unique generator has fewer left.
         */
        take(count: number): string[];
        /**
         * The next `count` names in parts.
         * @throws RangeError when a unique generator has fewer left.
         */
        records(count: number): NameRecord[];
        /** Gives back the generator's memory; a second call does nothing. */
        close(): void;
    }
}

export = onymix;
