-- refusals.sql: every bad value at every function, each refused with its
-- error or answered with NULL, and the server still up at the end.

SELECT pg_backend_pid() AS first_backend \gset

-- NULL in, NULL out; a key given as NULL is refused, not read from the
-- setting.
SELECT onymix_name(NULL) IS NULL AS a, onymix_name(1, NULL) IS NULL AS b,
       onymix_name(NULL, 'Male', '\x00000000000000000000000000000000') IS NULL AS c,
       onymix_name(1, NULL, '\x00000000000000000000000000000000') IS NULL AS d;
SELECT onymix_pseudonym(NULL::text) IS NULL AS a, onymix_pseudonym('x', NULL) IS NULL AS b,
       onymix_pseudonym(NULL::bytea, 'Male', '\x00000000000000000000000000000000') IS NULL AS c,
       onymix_pseudonym('x'::bytea, NULL, '\x00000000000000000000000000000000') IS NULL AS d;
SELECT onymix_generate(NULL) IS NULL AS a, onymix_generate(NULL, 5) IS NULL AS b;
SELECT count(*) FROM onymix_names(NULL);
SELECT count(*) FROM onymix_names(5, NULL);
SELECT count(*) FROM onymix_names(5, 'Male', 0, NULL);
SELECT count(*) FROM onymix_names(5, 'Male', 0, 0, NULL);
SELECT count(*) FROM onymix_names(5, 'Male', 0, 0, false, NULL);
-- Every refusal, shown at the end by its SQLSTATE and message, and the
-- hints and details once each, with how many refusals carry them.
CREATE TEMP TABLE refusals (number serial, statement text, code text, message text, hint text);
CREATE PROCEDURE pg_temp.refuse(statements text[]) LANGUAGE sql AS $$
    INSERT INTO refusals (statement, code, message, hint)
    SELECT s, r.* FROM unnest(statements) WITH ORDINALITY AS u(s, n), refusal(s) AS r ORDER BY n
$$;

-- A key given as NULL.
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_name(1, 'Male', NULL)$$, $$SELECT onymix_name(NULL, NULL, NULL)$$,
    $$SELECT onymix_pseudonym('x', 'Male', NULL)$$, $$SELECT onymix_pseudonym('x'::bytea, 'Male', NULL)$$]);

-- Modes (every shared mode text in every function is modes.sql's): the
-- message of each function, of a long text and of one beyond ASCII.
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_name(1, '7')$$, $$SELECT onymix_name(1, '+6')$$, $$SELECT onymix_name(1, '0x6')$$,
    $$SELECT onymix_name(1, repeat('Male', 250000))$$, $$SELECT onymix_name(1, U&'M\00E4le')$$,
    $$SELECT onymix_pseudonym('x', 'nobody')$$,
    $$SELECT onymix_pseudonym('x'::bytea, '9', '\x00000000000000000000000000000000')$$,
    $$SELECT * FROM onymix_names(1, 'Surnames')$$, $$SELECT onymix_generate('Anyone')$$,
    $$SELECT onymix_generate('', 0)$$]);

-- Keys of every wrong length.
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_name(1, 'Male', '')$$, $$SELECT onymix_name(1, 'Male', '\x000102030405060708090a0b0c0d0e')$$,
    $$SELECT onymix_name(1, 'Male', '\x000102030405060708090a0b0c0d0e0f10')$$,
    $$SELECT onymix_pseudonym('x', 'Male', 'short')$$,
    $$SELECT onymix_pseudonym('x'::bytea, 'Male', decode(repeat('00', 1000000), 'hex'))$$]);

-- Ids below 0; the largest bigint is an id like any other.
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_name(-1)$$,
    $$SELECT onymix_name(-9223372036854775808, 'Surname', '\x00000000000000000000000000000000')$$]);
SELECT onymix_name(9223372036854775807, 'Surname') IS NOT NULL AS largest;

-- Values of any size and bytes.
SELECT length(onymix_pseudonym(repeat('x', 50000000))) > 0 AS huge_text,
       length(onymix_pseudonym(decode(repeat('ff00', 1000000), 'hex'), 'Surname')) > 0 AS huge_bytes,
       onymix_pseudonym('\x00'::bytea) <> onymix_pseudonym('\x0000'::bytea) AS zero_bytes;

-- Counts, seeds and starts.
CALL pg_temp.refuse(ARRAY[
    $$SELECT count(*) FROM onymix_names(-1)$$, $$SELECT count(*) FROM onymix_names(-9223372036854775808, 'Male', 0)$$,
    $$SELECT count(*) FROM onymix_names(1220, 'Male', 0, 0, true)$$,
    $$SELECT count(*) FROM onymix_names(4276, 'Female', NULL, 0, true)$$,
    $$SELECT count(*) FROM onymix_names(9223372036854775807, 'Surname', 1, 0, true)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', -1)$$, $$SELECT count(*) FROM onymix_names(1, 'Male', -0.5)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 0.5)$$, $$SELECT count(*) FROM onymix_names(1, 'Male', 86399.999)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 18446744073709551616)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 18446744073709551615.5)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 1e100)$$, $$SELECT count(*) FROM onymix_names(1, 'Male', -1e100)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 'NaN')$$, $$SELECT count(*) FROM onymix_names(1, 'Male', 'Infinity')$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', '-Infinity')$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 10::numeric ^ 1000)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 0, -1)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 0, -9223372036854775808)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 0, 1, true)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', NULL, 1, true)$$,
    $$SELECT count(*) FROM onymix_names(1, 'Male', 0, 0, true, true)$$,
    $$SELECT count(*) FROM onymix_names(0, weighted => true, is_unique => true)$$,
    $$SELECT onymix_names(-1)$$, $$SELECT onymix_names(1220, 'Male', 0, 0, true) LIMIT 1$$]);
SELECT count(*) FROM onymix_names(0, 'Male', 0, 0, true);
SELECT count(*) FROM onymix_names(2, 'Male', 18446744073709551615, 9223372036854775807);

-- Seconds of the day only.
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_generate('Male', -1)$$, $$SELECT onymix_generate('Male', 86400)$$,
    $$SELECT onymix_generate('Male', 2147483647)$$, $$SELECT onymix_generate('Male', -2147483648)$$]);
SELECT onymix_generate('Male', 86399) IS NOT NULL AS last_second;

-- Maskings: a NULL value gives NULL; a key given as NULL, of 16 zero
-- bytes or of another length is refused, and so are an empty onymix.key and
-- one of 16 zero bytes.
SELECT onymix_mask_first_name(NULL) IS NULL AS a,
       onymix_mask_surname(NULL, '\x000102030405060708090a0b0c0d0e0f') IS NULL AS b,
       onymix_mask_full_name(NULL) IS NULL AS c;
CALL pg_temp.refuse(ARRAY[
    $$SELECT onymix_mask_first_name('Mary', NULL)$$, $$SELECT onymix_mask_surname(NULL, NULL)$$,
    $$SELECT onymix_mask_full_name('Mary Smith', '\x00000000000000000000000000000000')$$,
    $$SELECT onymix_mask_surname(NULL, '\x00000000000000000000000000000000')$$,
    $$SELECT onymix_mask_first_name('Mary', '\x000102030405060708090a0b0c0d0e')$$,
    $$SELECT onymix_mask_full_name('Mary Smith')$$]);
SET onymix.key = '\x00000000000000000000000000000000';
CALL pg_temp.refuse(ARRAY[$$SELECT onymix_mask_surname('Smith')$$]);
RESET onymix.key;
-- A masking longer than a line, and one of a value of megabytes.
SELECT onymix_mask_first_name(repeat('Mary ', 300), '\x000102030405060708090a0b0c0d0e0f')
           = repeat(onymix_mask_first_name('Mary', '\x000102030405060708090a0b0c0d0e0f') || ' ', 300) AS long,
       length(onymix_mask_full_name(repeat('Mary Ann ', 1000000) || 'Smith', '\x000102030405060708090a0b0c0d0e0f'))
           > 9000000 AS huge;

SELECT statement, code, message FROM refusals ORDER BY number;
SELECT hint, count(*) AS refusals FROM refusals GROUP BY hint ORDER BY min(number);

-- The backend that took all of the above is still the one that began.
SELECT pg_backend_pid() = :first_backend AS same_backend;
