// onymix.mjs: the package's one object, the calls of every other part
// under the names the README gives them. js/stage.mjs builds index.js from
// this part and those it imports.
import { MODES, ready, version } from './module.mjs';
import { generate, names } from './sequences.mjs';
import { Generator } from './generator.mjs';
import { nameForId, namesForIds } from './ids.mjs';
import { pseudonym, pseudonyms } from './pseudonyms.mjs';
import { maskFirstName, maskFirstNames, maskFullName, maskFullNames, maskSurname,
    maskSurnames } from './masks.mjs';
import { quitQuestion, store, storedBytes, storedText } from './stored.mjs';

export const onymix = {
    version,
    MODES,
    ready,
    generate,
    names,
    Generator,
    nameForId,
    namesForIds,
    pseudonym,
    pseudonyms,
    maskFirstName,
    maskSurname,
    maskFullName,
    maskFirstNames,
    maskSurnames,
    maskFullNames,
    storedText,
    storedBytes,
    store,
    quitQuestion,
};

// A browser has the version and the labels once the module is loaded,
// before anything else waiting for it hears so.
if (version === undefined)
    ready.then(() => Object.assign(onymix, { version, MODES }), () => {});
