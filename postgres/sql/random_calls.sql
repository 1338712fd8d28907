-- random_calls.sql: a few thousand calls of every function with random
-- arguments from a fixed seed (ids, modes, keys, values, counts, seeds,
-- starts and seconds: boundaries, NULLs, NULs, values of a megabyte),
-- random texts for onymix.key, and maskings of random texts under those
-- keys. Each must give what docs/postgresql.md says its arguments call for:
-- a name of the mode (or a masking), NULL (no rows), or an error with
-- SQLSTATE 22023; and the server must still be up at the end.
SELECT pg_backend_pid() AS first_backend \gset
SELECT setseed(0.1990);

CREATE FUNCTION pg_temp.pick(VARIADIC choices anycompatiblearray) RETURNS anycompatible LANGUAGE sql AS $$
    SELECT choices[1 + floor(random() * cardinality(choices))::int]
$$;
-- 0, 1, up to 40 or a megabyte of random bytes (NULs among them), or of
-- characters of every plane.
CREATE FUNCTION pg_temp.length() RETURNS int LANGUAGE sql AS $$
    SELECT pg_temp.pick(0, 1, floor(random() * 41)::int, CASE WHEN random() < 0.02 THEN 1048576 ELSE 7 END)
$$;
CREATE FUNCTION pg_temp.some_bytes() RETURNS bytea LANGUAGE sql AS $$
    SELECT decode(repeat((SELECT coalesce(string_agg(lpad(to_hex(floor(random() * 256)::int), 2, '0'), ''), '')
                          FROM generate_series(1, least(n, 64))), greatest(1, n / 64)), 'hex')
    FROM pg_temp.length() AS n
$$;
CREATE FUNCTION pg_temp.some_text() RETURNS text LANGUAGE sql AS $$
    SELECT repeat((SELECT coalesce(string_agg(chr(pg_temp.pick(32 + floor(random() * 95)::int,
                                                              160 + floor(random() * 55136)::int,
                                                              57344 + floor(random() * 1056768)::int)), ''), '')
                   FROM generate_series(1, least(n, 64))), greatest(1, n / 64))
    FROM pg_temp.length() AS n
$$;
-- The mode a text names by README.md: a label in any case with any spaces
-- and tabs around its "+", or the number with leading zeros, and spaces and
-- tabs at either end; NULL for none.
CREATE FUNCTION pg_temp.mode_number(mode text) RETURNS int LANGUAGE sql AS $$
    SELECT CASE WHEN mode ~ '^[ \t]*0*[0-6][ \t]*$' THEN btrim(mode, E' \t')::int
                ELSE array_position(ARRAY['female', 'female + surname', 'male', 'male + surname',
                                          'surname', 'any', 'any + surname'],
                                    lower(regexp_replace(btrim(mode, E' \t'),
                                                         '^([A-Za-z]+)[ \t]*\+[ \t]*([A-Za-z]+)$', '\1 + \2'))) - 1 END
$$;
-- A label in random case and spacing, a number as text, or any text.
CREATE FUNCTION pg_temp.some_mode() RETURNS text LANGUAGE sql AS $$
    SELECT CASE WHEN random() < 0.6
                THEN pg_temp.pick(''::text, '', '', '', ' ', E'\t', E'\n')
                     || replace(string_agg(CASE WHEN random() < 0.5 THEN upper(c) ELSE c END, '' ORDER BY i),
                                ' + ', pg_temp.pick(' + '::text, ' + ', '+', E'\t+  ', ' ', ' + + '))
                     || pg_temp.pick(''::text, '', '', '', '', '', '', ' ', 's', E'\t', E'\n')
                ELSE pg_temp.pick(NULL, ''::text, '0', '6', '7', '9', '06', '-1', ' 6', E'6\t', '+6',
                                  '0000000000000000000000000000005', pg_temp.some_text()) END
    FROM regexp_split_to_table(pg_temp.pick('Female'::text, 'Female + Surname', 'Male', 'Male + Surname',
                                            'Surname', 'Any', 'Any + Surname'), '')
         WITH ORDINALITY AS l(c, i)
$$;
-- Whether names are names of a mode: words of letters, a full name two.
CREATE FUNCTION pg_temp.names_of(names text[], mode int) RETURNS boolean LANGUAGE sql AS $$
    SELECT bool_and(n ~ CASE WHEN mode IN (1, 3, 6) THEN '^[A-Z][a-z]* [A-Z][a-z]*$' ELSE '^[A-Z][a-z]*$' END)
    FROM unnest(names) AS n
$$;

CREATE TEMP TABLE calls (number int, fn text, call text, expected text, got text);
DO $$
DECLARE
    sizes constant bigint[] := ARRAY[4275, 4275 * 56342, 1219, 1219 * 56342, 56342, 5163, 5163 * 56342];
    fn text; arity int; expected text; got text; names text[]; shown text;
    id bigint; mode text; key bytea; value_text text; value_bytes bytea; as_text boolean;
    count bigint; seed numeric; start bigint; is_unique boolean; second int; setting text;
    key16 bytea; kind text; current_key bytea; differs boolean;
BEGIN
    FOR number IN 1..4000 LOOP
        fn := pg_temp.pick('name'::text, 'pseudonym', 'names', 'generate', 'key', 'mask');
        arity := pg_temp.pick(0, 1, 2, 3, 4, 5);
        id := pg_temp.pick(NULL, 0, 1, -1, 4274, 4275, 5163, 56341, 56342, 9223372036854775807,
                           -9223372036854775808, ((random() * 2 - 1) * 9.2e18)::bigint);
        mode := pg_temp.some_mode();
        key16 := decode(md5(random()::text), 'hex');
        key := pg_temp.pick(NULL, pg_temp.some_bytes(), pg_temp.some_bytes(), key16, key16,
                           '\x00000000000000000000000000000000');
        kind := pg_temp.pick('first_name'::text, 'surname', 'full_name');
        as_text := random() < 0.5;
        value_text := pg_temp.pick(NULL, pg_temp.some_text(), pg_temp.some_text());
        value_bytes := pg_temp.pick(NULL, pg_temp.some_bytes(), pg_temp.some_bytes());
        count := pg_temp.pick(NULL, 0, 1, -1, 1219, 1220, 4275, 4276, floor(random() * 30)::bigint,
                              9223372036854775807, -9223372036854775808);
        seed := pg_temp.pick(NULL, 0, 86399, 86400, 18446744073709551615, 18446744073709551616, -1,
                             -0.5, 0.5, 5.000, 'NaN', 'Infinity', '-Infinity', 1e100,
                             floor(random() * 18446744073709551615::numeric), random() * 1e6);
        start := pg_temp.pick(NULL, 0, 0, 1, -1, floor(random() * 1e12)::bigint,
                              9223372036854775807, -9223372036854775808);
        is_unique := pg_temp.pick(NULL, true, false, false);
        second := pg_temp.pick(NULL, -1, 0, 86399, 86400, 2147483647, -2147483648,
                               floor(random() * 200000 - 50000)::int);
        -- What docs/postgresql.md says: NULL for a NULL argument (a key given as NULL
        -- aside), 22023 for a bad one, a name otherwise.
        IF fn IN ('name', 'pseudonym') THEN
            arity := greatest(arity, 1) - (arity > 3)::int * 3;
            IF arity = 3 AND (key IS NULL OR length(key) <> 16) THEN
                expected := '22023';
            ELSIF (fn = 'name' AND id IS NULL)
                  OR (fn = 'pseudonym' AND (CASE WHEN as_text THEN value_text IS NULL ELSE value_bytes IS NULL END))
                  OR (arity > 1 AND mode IS NULL) THEN
                expected := 'null';
            ELSIF (fn = 'name' AND id < 0) OR (arity > 1 AND pg_temp.mode_number(mode) IS NULL) THEN
                expected := '22023';
            ELSE
                expected := 'name';
            END IF;
        ELSIF fn = 'names' THEN
            arity := greatest(arity, 1);
            IF count IS NULL OR (arity > 1 AND mode IS NULL) OR (arity > 3 AND start IS NULL)
               OR (arity > 4 AND is_unique IS NULL) THEN
                expected := 'null';
            ELSIF (arity > 1 AND pg_temp.mode_number(mode) IS NULL) OR count < 0
                  OR (arity > 3 AND start < 0) OR (arity > 4 AND is_unique AND start <> 0)
                  OR (arity > 2 AND seed IS NOT NULL
                      AND NOT (seed = trunc(seed) AND seed >= 0 AND seed < 18446744073709551616))
                  OR (arity > 4 AND is_unique
                      AND count > sizes[1 + coalesce(pg_temp.mode_number(mode), 3)]) THEN
                expected := '22023';
            ELSE
                expected := CASE WHEN count = 0 THEN 'null' ELSE 'name' END;
            END IF;
        ELSIF fn = 'generate' THEN
            arity := arity % 3;
            IF arity > 0 AND mode IS NULL THEN
                expected := 'null';
            ELSIF (arity > 0 AND pg_temp.mode_number(mode) IS NULL)
                  OR (arity > 1 AND (second < 0 OR second > 86399)) THEN
                expected := '22023';
            ELSE
                expected := 'name';
            END IF;
        ELSIF fn = 'mask' THEN
            -- A masking needs a secret key: none and 16 zero bytes are
            -- refused, before a NULL value is looked at.
            arity := 1 + arity % 2;
            current_key := nullif(current_setting('onymix.key', true), '')::bytea;
            IF arity = 2 AND (key IS NULL OR length(key) <> 16 OR key = '\x00000000000000000000000000000000') THEN
                expected := '22023';
            ELSIF value_text IS NULL THEN
                expected := 'null';
            ELSIF arity = 1 AND (current_key IS NULL OR current_key = '\x00000000000000000000000000000000') THEN
                expected := '22023';
            ELSE
                expected := 'name';
            END IF;
        ELSE
            -- A key text in either form, as bytea reads it, or empty for
            -- the zero key; now and then spoilt.
            setting := pg_temp.pick('\x' || encode(key16, 'hex'), '\x' || upper(encode(key16, 'hex')),
                                    encode(key16, 'escape'), '');
            IF random() < 0.4 THEN
                setting := pg_temp.pick(left(setting, -1), setting || pg_temp.pick('0'::text, 'g', '\', '\\', '\400', '\08'));
            END IF;
            BEGIN
                expected := CASE WHEN setting = '' OR length(setting::bytea) = 16 THEN 'name' ELSE '22023' END;
            EXCEPTION WHEN invalid_text_representation OR invalid_parameter_value THEN
                expected := '22023';
            END;
        END IF;

        names := NULL;
        -- The mode of the names, NULL for the function's default.
        IF fn = 'key' OR arity < 1 OR (arity < 2 AND fn <> 'generate') THEN
            mode := NULL;
        END IF;
        BEGIN
            CASE fn
            WHEN 'name' THEN
                EXECUTE format('SELECT ARRAY[onymix_name(%s)]', left('$1, $2, $3', 4 * arity - 2))
                    INTO names USING id, mode, key;
            WHEN 'pseudonym' THEN
                IF as_text THEN
                    EXECUTE format('SELECT ARRAY[onymix_pseudonym(%s)]', left('$1, $2, $3', 4 * arity - 2))
                        INTO names USING value_text, mode, key;
                ELSE
                    EXECUTE format('SELECT ARRAY[onymix_pseudonym(%s)]', left('$1, $2, $3', 4 * arity - 2))
                        INTO names USING value_bytes, mode, key;
                END IF;
            WHEN 'names' THEN
                -- In the select list one row a call, so that a count of
                -- 2^63 - 1 stops at the LIMIT.
                EXECUTE format('SELECT array_agg(n) FROM (SELECT onymix_names(%s) AS n LIMIT 20) AS s',
                               left('$1, $2, $3, $4, $5', 4 * arity - 2))
                    INTO names USING count, mode, seed, start, is_unique;
            WHEN 'generate' THEN
                EXECUTE format('SELECT ARRAY[onymix_generate(%s)]', left('$1, $2', greatest(4 * arity - 2, 0)))
                    INTO names USING mode, second;
            WHEN 'mask' THEN
                EXECUTE format('SELECT ARRAY[onymix_mask_%s(%s)]', kind, left('$1, $2', 4 * arity - 2))
                    INTO names USING value_text, key;
                -- The setting's form masks as the form given its key.
                IF arity = 1 AND names[1] IS NOT NULL THEN
                    EXECUTE format('SELECT onymix_mask_%s($1, $2) IS DISTINCT FROM $3', kind)
                        INTO differs USING value_text, current_key, names[1];
                    IF differs THEN
                        names := ARRAY['another key'];
                    END IF;
                END IF;
            ELSE
                PERFORM set_config('onymix.key', setting, false);
                names := ARRAY[onymix_name(5)];
                IF onymix_name(5) IS DISTINCT FROM onymix_name(5, 'Any + Surname',
                        CASE WHEN setting = '' THEN '\x00000000000000000000000000000000' ELSE setting::bytea END) THEN
                    names := ARRAY['another key'];
                END IF;
            END CASE;
            got := CASE WHEN names IS NULL OR names = ARRAY[NULL::text] THEN 'null'
                        WHEN fn = 'mask' AND names <> ARRAY['another key'] THEN 'name'
                        WHEN pg_temp.names_of(names, coalesce(pg_temp.mode_number(mode),
                                                              CASE fn WHEN 'names' THEN 3 WHEN 'generate' THEN 3 ELSE 6 END))
                             AND cardinality(names) = CASE WHEN fn = 'names' THEN least(count, 20) ELSE 1 END
                        THEN 'name'
                        ELSE 'wrong names: ' || left(array_to_string(names, ', '), 60) END;
        EXCEPTION WHEN OTHERS THEN
            got := SQLSTATE || ' ' || left(SQLERRM, 60);
        END;
        shown := NULL;
        IF split_part(got, ' ', 1) <> expected THEN
            shown := array_to_string((SELECT array_agg(quote_nullable(left(a, 40)))
                FROM unnest((CASE fn
                    WHEN 'name' THEN ARRAY[id::text, mode, key::text]
                    WHEN 'pseudonym' THEN ARRAY[CASE WHEN as_text THEN value_text ELSE value_bytes::text END, mode, key::text]
                    WHEN 'names' THEN ARRAY[count::text, mode, seed::text, start::text, is_unique::text]
                    WHEN 'generate' THEN ARRAY[mode, second::text]
                    WHEN 'mask' THEN ARRAY[value_text, key::text]
                    ELSE ARRAY[setting] END)[1:greatest(arity, 1)]) AS a), ', ');
        END IF;
        INSERT INTO calls VALUES (number, fn, format('%s/%s(%s)', fn, arity, shown), expected, got);
    END LOOP;
END
$$;
RESET onymix.key;
-- Every outcome came, and each as it should.
SELECT fn, count(*) > 500 AS calls, bool_or(expected = 'name') AS names, bool_or(expected = 'null') AS nulls,
       bool_or(expected = '22023') AS refusals
FROM calls GROUP BY fn ORDER BY fn;
SELECT number, call, expected, got FROM calls WHERE split_part(got, ' ', 1) <> expected ORDER BY number;

-- The same session, and a new one.
SELECT pg_backend_pid() = :first_backend AS same_backend, onymix_name(0, 'Surname') IS NOT NULL AS named;
\c
SELECT 1 AS connected;
