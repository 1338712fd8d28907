-- modes.sql: the cases of a mode given as text that every front-end shares
-- (tests/golden/mode-texts.txt, read by the server from the folder in
-- ONYMIX_GOLDEN), in every function that takes a mode.
\getenv golden ONYMIX_GOLDEN
-- Each case's bytes, its escapes (\\, \t, \xHH) decoded; the text they are
-- in this database, NULL when they are none (a NUL, or no UTF-8); the mode
-- the case names, -1 for none; and whether its escapes are all whole.
CREATE FUNCTION pg_temp.utf8_text(value bytea) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
    RETURN convert_from(value, 'UTF8');
EXCEPTION WHEN character_not_in_repertoire OR untranslatable_character THEN
    RETURN NULL;
END
$$;
CREATE TEMP TABLE mode_texts AS
SELECT l.n AS line, split_part(l.text, E'\t', 1) AS written, split_part(l.text, E'\t', 2)::int AS mode,
       (SELECT string_agg(CASE WHEN t[1] = '\\' THEN '\x5c'::bytea WHEN t[1] = '\t' THEN '\x09'::bytea
                               WHEN left(t[1], 2) = '\x' THEN decode(substr(t[1], 3), 'hex')
                               ELSE convert_to(t[1], 'UTF8') END, ''::bytea ORDER BY k)
        FROM regexp_matches(split_part(l.text, E'\t', 1), '\\\\|\\t|\\x[0-9a-fA-F]{2}|[^\\]', 'g')
             WITH ORDINALITY AS m(t, k)) AS bytes
FROM string_to_table(rtrim(pg_read_file(:'golden' || '/mode-texts.txt'), E'\n'), E'\n')
     WITH ORDINALITY AS l(text, n)
WHERE l.text !~ '^(#|$)';
ALTER TABLE mode_texts ADD COLUMN value text;
UPDATE mode_texts SET value = pg_temp.utf8_text(coalesce(bytes, ''));
SELECT count(*) > 100 AS cases, count(DISTINCT mode) = 8 AS every_mode_and_refusals,
       count(*) FILTER (WHERE value IS NOT NULL) > 100 AS texts,
       count(*) FILTER (WHERE regexp_replace(written, '\\\\|\\t|\\x[0-9a-fA-F]{2}', '', 'g') ~ '\\') AS broken
FROM mode_texts;

-- What a call gives for a mode: its name or names, or "refused" (22023).
CREATE FUNCTION pg_temp.taken(call text, mode text) RETURNS text LANGUAGE plpgsql AS $$
DECLARE
    got text;
BEGIN
    EXECUTE 'SELECT ' || call INTO got USING mode;
    RETURN got;
EXCEPTION WHEN invalid_parameter_value THEN
    RETURN 'refused';
END
$$;
CREATE TEMP TABLE calls (call text);
INSERT INTO calls VALUES ('onymix_name(1, $1)'), ($$onymix_name(1, $1, '\x000102030405060708090a0b0c0d0e0f')$$),
    ($$onymix_pseudonym('x', $1)$$), ($$onymix_pseudonym('x'::bytea, $1, '\x000102030405060708090a0b0c0d0e0f')$$),
    ('(SELECT string_agg(n, $$,$$) FROM onymix_names(3, $1, 7) AS n)'), ('onymix_generate($1, 9)');
-- The calls tell the modes apart by their numbers.
SELECT count(DISTINCT names) AS modes FROM (
    SELECT array_agg(pg_temp.taken(call, m::text) ORDER BY call) AS names
    FROM generate_series(0, 6) AS m, calls GROUP BY m) AS by_number;
-- Every text in every call: the calls that took a text for another mode, or
-- refused it or not against the case.
SELECT t.line, t.written, t.mode, c.call, pg_temp.taken(c.call, t.value) AS got
FROM mode_texts AS t, calls AS c
WHERE t.value IS NOT NULL
  AND pg_temp.taken(c.call, t.value) IS DISTINCT FROM
      CASE WHEN t.mode = -1 THEN 'refused' ELSE pg_temp.taken(c.call, t.mode::text) END
ORDER BY t.line, c.call;
