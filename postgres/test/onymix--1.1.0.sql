-- onymix--1.1.0.sql: the SQL functions of the onymix extension, version 1.1.0.

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

CREATE FUNCTION onymix_name(id bigint, mode text DEFAULT 'Any + Surname')
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

CREATE FUNCTION onymix_pseudonym(value text, mode text DEFAULT 'Any + Surname')
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_text'
LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION onymix_pseudonym(value text, mode text, key bytea)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_pseudonym_text'
LANGUAGE C IMMUTABLE CALLED ON NULL INPUT PARALLEL SAFE;

CREATE FUNCTION onymix_pseudonym(value bytea, mode text DEFAULT 'Any + Surname')
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

-- NULL count, mode, start or is_unique gives no rows; a NULL seed is now.
CREATE FUNCTION onymix_names(count bigint, mode text DEFAULT 'Male + Surname',
                             seed numeric DEFAULT NULL, start bigint DEFAULT 0,
                             is_unique boolean DEFAULT false)
RETURNS SETOF text
AS 'MODULE_PATHNAME', 'onymix_pg_names'
LANGUAGE C VOLATILE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_names(bigint, text, numeric, bigint, boolean) IS
'count names of the sequence of a seed (0 to 2^64 - 1, NULL for now) from name start on, or unique ones';

CREATE FUNCTION onymix_generate(mode text DEFAULT 'Male + Surname',
                                second integer DEFAULT NULL)
RETURNS text
AS 'MODULE_PATHNAME', 'onymix_pg_generate'
LANGUAGE C VOLATILE CALLED ON NULL INPUT PARALLEL SAFE;

COMMENT ON FUNCTION onymix_generate(text, integer) IS
'one name as Generate makes it at a second of the day (0 to 86399, NULL for now)';
