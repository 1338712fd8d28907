// records.test.mjs: records are the names of the text, in parts.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

const lists = {
    female: new Set(lines('names', 'data', 'female.txt')),
    male: new Set(lines('names', 'data', 'male.txt')),
};

test('records have the name of the text and its parts in every mode', () => {
    for (let mode = 0; mode < 7; mode++) {
        const label = onymix.MODES[mode];
        const generator = new onymix.Generator({ mode, seed: 1 });
        const records = generator.records(1000);
        generator.close();
        assert.deepEqual(records.map((r) => r.name), lines('tests', 'golden', `sequence-${mode}-1.txt`));
        const sexes = new Set();
        for (const record of records) {
            const { name, firstName, surname, sex } = record;
            assert.deepEqual(Object.keys(record), ['name', 'firstName', 'surname', 'sex']);
            assert.equal(firstName === null, label === 'Surname', name);
            assert.equal(surname === null, !label.includes('Surname'), name);
            assert.equal(name, [firstName, surname].filter((part) => part !== null).join(' '));
            if (firstName === null)
                assert.equal(sex, null, name);
            else
                assert.ok(lists[sex].has(firstName), `${name}: ${firstName} is no ${sex} name`);
            sexes.add(sex);
        }
        const expected = { Female: ['female'], Male: ['male'], Any: ['female', 'male'] }[
            label.split(' ')[0]] ?? [null];
        assert.deepEqual([...sexes].sort(), expected, label);
    }
});
