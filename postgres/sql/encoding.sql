-- encoding.sql: a text's pseudonym is that of its UTF-8 bytes whatever the
-- database's encoding.
SELECT onymix_pseudonym(U&'Ren\00E9e M\00FCller', 'Female + Surname') AS utf8_name \gset
-- A masking too is that of the UTF-8, capitals, accents and signs alike.
SELECT onymix_mask_full_name(U&'M\00DCLLER \00D7 REN\00C9E', '\x000102030405060708090a0b0c0d0e0f') AS utf8_masking \gset
SELECT :'utf8_masking' AS utf8_masking;
\set regress_db :DBNAME
CREATE DATABASE onymix_latin1 ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
\c onymix_latin1
SET client_encoding = 'UTF8';
CREATE EXTENSION onymix;
SELECT current_setting('server_encoding') AS encoding,
       onymix_pseudonym(U&'Ren\00E9e M\00FCller', 'Female + Surname') = :'utf8_name' AS as_in_utf8,
       onymix_pseudonym(U&'Ren\00E9e M\00FCller', 'Female + Surname')
           = onymix_pseudonym('\x52656ec3a965204dc3bc6c6c6572'::bytea, 'Female + Surname') AS utf8_bytes,
       onymix_pseudonym(U&'Ren\00E9e M\00FCller', 'Female + Surname')
           = onymix_pseudonym(convert_to(U&'Ren\00E9e M\00FCller', 'LATIN1'), 'Female + Surname') AS latin1_bytes,
       onymix_mask_full_name(U&'M\00DCLLER \00D7 REN\00C9E', '\x000102030405060708090a0b0c0d0e0f') = :'utf8_masking' AS masking;
\c :regress_db
DROP DATABASE onymix_latin1;

-- In an SQL_ASCII database a text holds any bytes but NUL: random ones give
-- the name of their bytes when they are UTF-8, and are refused as no UTF-8
-- (22021) when they are not.
CREATE DATABASE onymix_sql_ascii ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
\c onymix_sql_ascii
CREATE EXTENSION onymix;
SELECT setseed(0.5);
CREATE FUNCTION pg_temp.is_utf8(bytes bytea) RETURNS boolean LANGUAGE plpgsql AS $$
BEGIN
    RETURN convert_from(bytes, 'UTF8') IS NOT NULL;
EXCEPTION WHEN character_not_in_repertoire THEN
    RETURN false;
END
$$;
CREATE FUNCTION pg_temp.outcome(bytes bytea) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
    RETURN CASE WHEN onymix_pseudonym(convert_from(bytes, 'SQL_ASCII')) = onymix_pseudonym(bytes)
                THEN 'name of its bytes' ELSE 'another name' END;
EXCEPTION WHEN OTHERS THEN
    RETURN SQLSTATE;
END
$$;
SELECT pg_temp.is_utf8(bytes) AS utf8, pg_temp.outcome(bytes) AS outcome
FROM (SELECT decode(string_agg(lpad(to_hex(1 + floor(random() * 255)::int), 2, '0'), ''), 'hex')
      FROM generate_series(1, 300) AS t, generate_series(1, 1 + t % 12) GROUP BY t) AS r(bytes)
GROUP BY 1, 2 ORDER BY 1, 2;
\c :regress_db
DROP DATABASE onymix_sql_ascii;
