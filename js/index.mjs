// index.mjs: the onymix package for import. It re-exports index.js, so that
// a program that both imports and requires the package has one module.
import onymix from './index.js';

export default onymix;
export const { ready, generate, names, Generator, nameForId, namesForIds, pseudonym, pseudonyms,
    maskFirstName, maskSurname, maskFullName, maskFirstNames, maskSurnames, maskFullNames, storedText,
    storedBytes, store, quitQuestion } = onymix;
// A browser has the version and the labels once the module is loaded: the
// bindings are filled in then.
export let { version, MODES } = onymix;
if (version === undefined)
    ready.then(() => ({ version, MODES } = onymix), () => {});
