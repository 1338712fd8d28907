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
     * A mode: its label or its number. Labels are compared without regard to
     * ASCII case at run time; the type admits the three usual spellings.
     */
    type Mode = ModeLabel | Lowercase<ModeLabel> | Uppercase<ModeLabel> | ModeNumber;

    interface Options {
        /** 'Male + Surname' when left out. */
        mode?: Mode;
        /**
         * The whole second (0 to 86399) the generator is seeded from, as
         * onymix-cli --seed; left out, "now": in Node the seconds of the
         * system's uptime, in a browser the seconds since midnight UTC.
         */
        seed?: number;
        /** No name twice: the ordinary sequence with every repeat left out. */
        unique?: boolean;
    }

    /** A name in parts; null for a part the mode has none of. */
    interface NameRecord {
        name: string;
        firstName: string | null;
        surname: string | null;
        /** The list the first name came from. */
        sex: 'female' | 'male' | null;
    }

    /** The library's version, '1.0.2' for this one. */
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
     * `count` names, exactly those of onymix-cli --count COUNT --mode MODE
     * --seed SEED [--unique].
     * @throws RangeError, before any work, when unique names are asked for
     * beyond the mode's; TypeError or RangeError naming any bad argument.
     */
    function names(count: number, options?: Options): string[];

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
