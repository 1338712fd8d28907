-- onymix--@VERSION@.sql: the SQL functions of the onymix extension, version
-- @VERSION@, which the Makefile writes from onymix.sql with the project's version
-- and the default modes of onymix.h.

\echo Use "CREATE EXTENSION onymix" to load this file. \quit

-- Names by id and pseudonyms come in two forms each, because a function
-- must be declared by what its result can depend on:
--   * with a key argument, the name depends on the arguments alone, so the
--     form is IMMUTABLE: it may be used in index expressions and generated
--     columns, and folded by the planner. A NULL key is an error there, not
--     a call for the setting, which would make the result depend on it.
--   * without one, the key is the setting onymix.key (superusers alone read
--     and set it, so masking rules need not carry the secret in their text);
--     a setting may change between statements, so that form is STABLE.
-- onymix_names and onymix_generate read the clock when the seed or second is
-- NULL, so they are VOLATILE even when it is given. Every function is
-- PARALLEL SAFE: none keeps state between calls or writes anything, and
-- parallel workers receive the session's onymix.key.

CREATE FUNCTION onymix_name(id bigint, mode text DEFAULT '@DEFAULT_ID_MODE@')
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_name'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_name(id bigint, mode text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_name'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_name(bigint, text) IS
'the name of an id from 0 on, under the key of onymix.key';
COMMENT ON FUNCTION onymix_name(bigint, text, bytea) IS
'the name of an id from 0 on, under a 16-byte key';

CREATE FUNCTION onymix_pseudonym(value text, mode text DEFAULT '@DEFAULT_ID_MODE@')
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_text'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_pseudonym(value text, mode text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_text'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

CREATE FUNCTION onymix_pseudonym(value bytea, mode text DEFAULT '@DEFAULT_ID_MODE@')
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_bytea'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_pseudonym(value bytea, mode text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_bytea'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_pseudonym(text, text) IS
'a name for a text (its UTF-8 bytes), under the key of onymix.key';
COMMENT ON FUNCTION onymix_pseudonym(text, text, bytea) IS
'a name for a text (its UTF-8 bytes), under a 16-byte key';
COMMENT ON FUNCTION onymix_pseudonym(bytea, text) IS
'a name for bytes, under the key of onymix.key';
COMMENT ON FUNCTION onymix_pseudonym(bytea, text, bytea) IS
'a name for bytes, under a 16-byte key';

-- NULL count, mode, start, is_unique or weighted gives no rows; a NULL seed
-- is now. weighted draws each name as often as the 1990 census found it.
CREATE FUNCTION onymix_names(count bigint, mode text DEFAULT '@DEFAULT_SEQUENCE_MODE@',
                             seed numeric DEFAULT NULL, start bigint DEFAULT 0,
                             is_unique boolean DEFAULT false, weighted boolean DEFAULT false)
RETURNS SETOF text
AS 'MODULE_PATHNAME', 'onymix_pg_names'
LANGUAGE C VOLATILE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_names(bigint, text, numeric, bigint, boolean, boolean) IS
'count names of the sequence of a seed (0 to 2^64 - 1, NULL for now) from name start on, unique ones, or weighted by the 1990 census';

CREATE FUNCTION onymix_generate(mode text DEFAULT '@DEFAULT_SEQUENCE_MODE@',
                                second integer DEFAULT NULL)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_generate'
LANGUAGE C VOLATILE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_generate(text, integer) IS
'one name as Generate makes it at a second of the day (0 to 86399, NULL for now)';

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
