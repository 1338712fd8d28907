-- golden.sql: the names of tests/golden/, read by the server from the
-- folder in ONYMIX_GOLDEN, against the functions.
\getenv golden ONYMIX_GOLDEN
-- The lines of each file whose name matches a pattern, with the name's
-- groups and the lines' numbers; STABLE, so that the planner inlines it.
CREATE FUNCTION pg_temp.golden_lines(folder text, pattern text)
RETURNS TABLE (fields text[], line bigint, cells text[]) LANGUAGE sql STABLE AS $$
    SELECT m.fields, l.n, string_to_array(l.text, E'\t')
    FROM pg_ls_dir(folder) AS f, regexp_match(f, pattern) AS m(fields),
         string_to_table(rtrim(pg_read_file(folder || '/' || f), E'\n'), E'\n')
             WITH ORDINALITY AS l(text, n)
    WHERE m.fields IS NOT NULL
$$;

-- Names by id, for the ids up to 2^63 - 1 that bigint holds.
CREATE TABLE golden_ids AS
SELECT fields[1]::int AS mode, decode(fields[2], 'hex') AS key, cells[1]::numeric AS id, cells[2] AS name
FROM pg_temp.golden_lines(:'golden', '^ids-(\d)-([0-9a-f]{32})\.txt$');
SELECT mode, encode(key, 'hex') AS key, count(*) AS lines,
       count(*) FILTER (WHERE id > 9223372036854775807) AS beyond_bigint,
       count(*) FILTER (WHERE id <= 9223372036854775807
                          AND onymix_name(id::bigint, mode::text, key) IS DISTINCT FROM name) AS wrong
FROM golden_ids GROUP BY mode, key ORDER BY mode, key;
-- The same through the setting.
SELECT count(*) AS lines, count(*) FILTER (WHERE onymix_name(id::bigint, mode::text) IS DISTINCT FROM name) AS wrong
FROM golden_ids WHERE key = '\x00000000000000000000000000000000' AND id <= 9223372036854775807;
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
SELECT count(*) AS lines, count(*) FILTER (WHERE onymix_name(id::bigint, mode::text) IS DISTINCT FROM name) AS wrong
FROM golden_ids WHERE key = '\x000102030405060708090a0b0c0d0e0f' AND id <= 9223372036854775807;
RESET onymix.key;

-- Pseudonyms of bytes, and of those that are UTF-8 text as text.
CREATE FUNCTION pg_temp.utf8_text(value bytea) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
    RETURN convert_from(value, 'UTF8');
EXCEPTION WHEN character_not_in_repertoire OR untranslatable_character THEN
    RETURN NULL;
END
$$;
CREATE TABLE golden_pseudonyms AS
SELECT decode(fields[1], 'hex') AS key, cells[1]::int AS mode, decode(cells[2], 'hex') AS value, cells[3] AS name
FROM pg_temp.golden_lines(:'golden', '^pseudonyms-([0-9a-f]{32})\.txt$');
SELECT encode(key, 'hex') AS key, count(*) AS lines,
       count(*) FILTER (WHERE onymix_pseudonym(value, mode::text, key) IS DISTINCT FROM name) AS wrong,
       count(pg_temp.utf8_text(value)) AS texts,
       count(*) FILTER (WHERE onymix_pseudonym(pg_temp.utf8_text(value), mode::text, key) <> name) AS wrong_texts
FROM golden_pseudonyms GROUP BY key ORDER BY key;

-- Sequences at their seeds and from their starts; 2^63 is beyond bigint,
-- so that one is read from the name before it.
CREATE TABLE golden_sequences AS
SELECT fields[1]::int AS mode, fields[2]::numeric AS seed, coalesce(fields[3]::numeric, 0) AS start,
       line, cells[1] AS name
FROM pg_temp.golden_lines(:'golden', '^sequence-(\d)-(\d+)(?:-from-(\d+))?\.txt$');
WITH files AS (
    SELECT mode, seed, start, count(*) AS lines, array_agg(name ORDER BY line) AS names
    FROM golden_sequences GROUP BY mode, seed, start)
SELECT seed, start, count(*) AS modes, sum(lines) AS lines,
       count(*) FILTER (WHERE names IS DISTINCT FROM (
           SELECT (array_agg(n ORDER BY k))[1 + behind:lines + behind]
           FROM onymix_names(lines + behind, mode::text, seed, (start - behind)::bigint)
                WITH ORDINALITY AS s(n, k))) AS wrong
FROM files, LATERAL (SELECT (start > 9223372036854775807)::int) AS b(behind)
GROUP BY seed, start ORDER BY seed, start;

-- Weighted sequences at their seeds and from their starts, and their last
-- ten names reached by a start of their own.
WITH files AS (
    SELECT fields[1]::int AS mode, fields[2]::numeric AS seed, coalesce(fields[3]::bigint, 0) AS start,
           count(*) AS lines, array_agg(cells[1] ORDER BY line) AS names
    FROM pg_temp.golden_lines(:'golden', '^weighted-(\d)-(\d+)(?:-from-(\d+))?\.txt$')
    GROUP BY 1, 2, 3)
SELECT seed, start, count(*) AS modes, sum(lines) AS lines,
       count(*) FILTER (WHERE names IS DISTINCT FROM (
           SELECT array_agg(n ORDER BY k)
           FROM onymix_names(lines, mode::text, seed, start, weighted => true) WITH ORDINALITY AS s(n, k))) AS wrong,
       count(*) FILTER (WHERE names[991:1000] IS DISTINCT FROM (
           SELECT array_agg(n ORDER BY k)
           FROM onymix_names(10, mode::text, seed, start + 990, false, true) WITH ORDINALITY AS s(n, k))) AS wrong_from_990
FROM files GROUP BY seed, start ORDER BY seed, start;

-- One Generate at a second.
SELECT count(*) AS lines, count(DISTINCT cells[1]) AS modes,
       count(*) FILTER (WHERE onymix_generate(cells[1], cells[2]::int) IS DISTINCT FROM cells[3]) AS wrong
FROM pg_temp.golden_lines(:'golden', '^generate\.txt$');

-- Maskings under their key, the form with a key and the one reading the
-- setting. The files' escapes (\\, \t, \n, \r, \xHH) are read into bytes;
-- values that are no UTF-8 text (a NUL, broken UTF-8) are none of a text.
CREATE FUNCTION pg_temp.unescaped(field text) RETURNS bytea LANGUAGE sql IMMUTABLE AS $$
    SELECT coalesce(string_agg(CASE WHEN t[1] ~ '^\\x' THEN decode(substr(t[1], 3), 'hex')
                                    WHEN t[1] ~ '^\\' THEN convert_to(translate(substr(t[1], 2), 'tnr', E'\t\n\r'), 'UTF8')
                                    ELSE convert_to(t[1], 'UTF8') END, ''::bytea ORDER BY n), '')
    FROM regexp_matches(field, '\\x[0-9a-f]{2}|\\.|[^\\]+', 'g') WITH ORDINALITY AS m(t, n)
$$;
CREATE TABLE golden_masks AS
SELECT fields[1] AS kind, decode(fields[2], 'hex') AS key, line,
       pg_temp.utf8_text(pg_temp.unescaped(cells[1])) AS value, pg_temp.utf8_text(pg_temp.unescaped(cells[2])) AS masked
FROM pg_temp.golden_lines(:'golden', '^mask-(first|surname|full)-([0-9a-f]{32})\.txt$');
CREATE FUNCTION pg_temp.masking(kind text, value text, key bytea) RETURNS text LANGUAGE sql AS $$
    SELECT CASE kind WHEN 'first' THEN onymix_mask_first_name(value, key)
                     WHEN 'surname' THEN onymix_mask_surname(value, key)
                     ELSE onymix_mask_full_name(value, key) END
$$;
CREATE FUNCTION pg_temp.masking(kind text, value text) RETURNS text LANGUAGE sql AS $$
    SELECT CASE kind WHEN 'first' THEN onymix_mask_first_name(value)
                     WHEN 'surname' THEN onymix_mask_surname(value)
                     ELSE onymix_mask_full_name(value) END
$$;
SELECT kind, encode(key, 'hex') AS key, count(*) AS lines, count(value) AS texts,
       count(*) FILTER (WHERE value IS NOT NULL AND masked IS NULL) AS masked_not_text,
       count(*) FILTER (WHERE pg_temp.masking(kind, value, key) IS DISTINCT FROM masked) AS wrong
FROM golden_masks WHERE value IS NOT NULL GROUP BY kind, key ORDER BY kind, key;
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
SELECT count(*) AS texts, count(*) FILTER (WHERE pg_temp.masking(kind, value) IS DISTINCT FROM masked) AS wrong
FROM golden_masks WHERE value IS NOT NULL AND key = '\x000102030405060708090a0b0c0d0e0f';
RESET onymix.key;

DROP TABLE golden_ids, golden_pseudonyms, golden_sequences, golden_masks;
