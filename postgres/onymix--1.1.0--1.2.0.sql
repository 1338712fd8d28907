-- onymix--1.1.0--1.2.0.sql: ALTER EXTENSION onymix UPDATE from 1.1.0 to
-- 1.2.0. The functions of 1.1.0 stay as they were: a mode's text is read by
-- the library's one reading now, which accepts more ('male+surname', '03')
-- and refuses nothing that 1.1.0 took.
\echo Use "ALTER EXTENSION onymix UPDATE TO '1.2.0'" to load this file. \quit
