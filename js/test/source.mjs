// source.mjs: the repository files the tests compare with, from the folder
// tools/test-js.sh names in ONYMIX_SOURCE_DIR (the tests run from a copy
// beside the installed package).
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

const root = process.env.ONYMIX_SOURCE_DIR;
if (!root)
    throw new Error('ONYMIX_SOURCE_DIR must name the source tree (tools/test-js.sh sets it)');

export const read = (...path) => readFileSync(join(root, ...path), 'utf8');
export const lines = (...path) => read(...path).split('\n').filter((line) => line !== '');
