-- key.sql: the setting onymix.key, in its two literal forms, its refusals,
-- who may read and set it, and that the forms reading it see a change.
CREATE TABLE keyed AS
SELECT i, onymix_name(i, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f') AS name,
       onymix_pseudonym(i::text, 'Female', '\x000102030405060708090a0b0c0d0e0f') AS alias
FROM generate_series(0, 199) AS i;
-- Counts the ids whose names under the setting are those of the key above.
CREATE FUNCTION pg_temp.agreeing() RETURNS bigint LANGUAGE sql AS $$
    SELECT count(*) FROM keyed WHERE onymix_name(i) = name AND onymix_pseudonym(i::text, 'Female') = alias
$$;

SHOW onymix.key;
SELECT pg_temp.agreeing();
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
SELECT pg_temp.agreeing();
SET onymix.key = '\x000102030405060708090A0B0C0D0E0F';
SELECT pg_temp.agreeing();
-- The escape form, octal escapes for every byte.
SET onymix.key = '\000\001\002\003\004\005\006\007\010\011\012\013\014\015\016\017';
SELECT pg_temp.agreeing();
RESET onymix.key;
SELECT pg_temp.agreeing();

-- The escape form as the server reads bytea: plain characters and \\.
SET onymix.key = 'abcdefghijklmno\\';
SELECT onymix_name(5) = onymix_name(5, 'Any + Surname', 'abcdefghijklmno\\'::bytea) AS backslash,
       length('abcdefghijklmno\\'::bytea) AS bytes;
SET onymix.key = 'p\101ssword1234567\176';
SELECT onymix_name(5) = onymix_name(5, 'Any + Surname', 'p\101ssword1234567\176'::bytea) AS octal;

-- Refused, and the key set before stays.
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
SELECT statement, r.* FROM unnest(ARRAY[
    $$SET onymix.key = '\x000102030405060708090a0b0c0d0e'$$, $$SET onymix.key = '\x000102030405060708090a0b0c0d0e0f10'$$,
    $$SET onymix.key = '\x000102030405060708090a0b0c0d0e0'$$, $$SET onymix.key = '\x000102030405060708090a0b0c0d0e0g'$$,
    $$SET onymix.key = '\x'$$, $$SET onymix.key = '0123456789abcde'$$, $$SET onymix.key = '0123456789abcdefg'$$,
    $$SET onymix.key = '0123456789abcde\'$$, $$SET onymix.key = '0123456789abcd\400'$$,
    $$SET onymix.key = '0123456789abcd\08'$$]) WITH ORDINALITY AS u(statement, n), refusal(statement) AS r
ORDER BY n;
SELECT pg_temp.agreeing();

-- A prepared plan reads the setting at each run, not once at planning.
SET plan_cache_mode = force_generic_plan;
PREPARE name_of_five AS SELECT onymix_name(5);
EXECUTE name_of_five;
SET onymix.key = 'abcdefghijklmnop';
EXECUTE name_of_five;
DEALLOCATE name_of_five;
RESET plan_cache_mode;

-- Other roles use the key but can neither read nor set it.
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
CREATE ROLE onymix_masker;
GRANT SELECT ON keyed TO onymix_masker;
SET ROLE onymix_masker;
SELECT count(*) FROM keyed WHERE onymix_name(i) = name;
SELECT count(*) FROM pg_settings WHERE name = 'onymix.key';
SELECT statement, r.* FROM unnest(ARRAY[
    'SHOW onymix.key', $$SELECT current_setting('onymix.key')$$, $$SET onymix.key = 'abcdefghijklmnop'$$])
    WITH ORDINALITY AS u(statement, n), refusal(statement) AS r
ORDER BY n;
RESET ROLE;
DROP OWNED BY onymix_masker;
DROP ROLE onymix_masker;
RESET onymix.key;
DROP TABLE keyed;
