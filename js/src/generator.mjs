// generator.mjs: the Generator class, a sequence's names one call after
// another, over a generator of the library that it gives back at close()
// or, when dropped without it, once it is garbage-collected.
import { countOf } from './arguments.mjs';
import { loaded, wasm } from './module.mjs';
import { checkLeft, open, records, sequence, sequenceOptionsOf } from './sequences.mjs';

const collected = new FinalizationRegistry((generator) => wasm.onymix_close(generator));

export class Generator {
    #generator;
    #mode;

    constructor(options) {
        loaded();
        const settings = sequenceOptionsOf(options);
        this.#generator = open(settings);
        this.#mode = settings.mode;
        collected.register(this, this.#generator, this);
    }

    #open() {
        loaded();
        if (this.#generator === 0)
            throw new TypeError('onymix: this Generator is closed');
        return this.#generator;
    }

    // The generator and count of a bulk call, checked.
    #bulk(count) {
        const generator = this.#open();
        const n = countOf(count);
        checkLeft(generator, n, this.#mode);
        return [generator, n];
    }

    take(count) {
        return sequence(...this.#bulk(count));
    }

    records(count) {
        return records(...this.#bulk(count));
    }

    * [Symbol.iterator]() {
        for (;;) {
            // None once a unique generator has made every name.
            const [name] = sequence(this.#open(), 1);
            if (name === undefined)
                return;
            yield name;
        }
    }

    close() {
        if (this.#generator === 0)
            return;
        collected.unregister(this);
        wasm.onymix_close(this.#generator);
        this.#generator = 0;
    }
}
