-- onymix--1.1.0--1.2.0.sql: ALTER EXTENSION onymix UPDATE from 1.1.0 to
-- 1.2.0. The functions of 1.1.0 stay as they were: a mode's text is read by
-- the library's one reading now, which accepts more ('male+surname', '03')
-- and refuses nothing that 1.1.0 took, and onymix_names gives what it gave.
-- The maskings are new, declared as onymix--1.2.0.sql declares them, and so
-- is onymix_names' last argument, weighted.
\echo Use "ALTER EXTENSION onymix UPDATE TO '1.2.0'" to load this file. \quit

-- onymix_names with weighted last. The function of 1.1.0 goes first: beside
-- the new one, a call that leaves weighted out would match both.
DROP FUNCTION onymix_names(bigint, text, numeric, bigint, boolean);

CREATE FUNCTION onymix_names(count bigint, mode text DEFAULT 'Male + Surname',
                             seed numeric DEFAULT NULL, start bigint DEFAULT 0,
                             is_unique boolean DEFAULT false, weighted boolean DEFAULT false)
RETURNS SETOF text
AS 'MODULE_PATHNAME', 'onymix_pg_names'
LANGUAGE C VOLATILE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_names(bigint, text, numeric, bigint, boolean, boolean) IS
'count names of the sequence of a seed (0 to 2^64 - 1, NULL for now) from name start on, unique ones, or weighted by the 1990 census';

-- Maskings of real names: the same name gives the same fake wherever it
-- stands, a first name keeps its sex and a surname its family. They need a
-- secret key: an empty onymix.key and the key of 16 zero bytes are refused,
-- since under a known key the public lists would undo them. A key given as
-- an argument is in the statement's text, which the server's log and
-- pg_stat_statements may keep; the setting keeps it out of both.
CREATE FUNCTION onymix_mask_first_name(value text)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_first_name'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_mask_first_name(value text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_first_name'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

CREATE FUNCTION onymix_mask_surname(value text)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_surname'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_mask_surname(value text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_surname'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

CREATE FUNCTION onymix_mask_full_name(value text)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_full_name'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_mask_full_name(value text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_mask_full_name'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_mask_first_name(text) IS
'a fake first name of the same sex for a real one, under the key of onymix.key';
COMMENT ON FUNCTION onymix_mask_first_name(text, bytea) IS
'a fake first name of the same sex for a real one, under a secret 16-byte key';
COMMENT ON FUNCTION onymix_mask_surname(text) IS
'a fake surname for a real one, under the key of onymix.key';
COMMENT ON FUNCTION onymix_mask_surname(text, bytea) IS
'a fake surname for a real one, under a secret 16-byte key';
COMMENT ON FUNCTION onymix_mask_full_name(text) IS
'a fake full name for a real one, taken apart into given names and a surname, under the key of onymix.key';
COMMENT ON FUNCTION onymix_mask_full_name(text, bytea) IS
'a fake full name for a real one, taken apart into given names and a surname, under a secret 16-byte key';
