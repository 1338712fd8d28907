-- functions.sql: modes, defaults and keys of the name functions, and what
-- their declarations allow (index expressions, generated columns).
CREATE EXTENSION onymix;

-- The SQLSTATE, message and hint (or detail) of the error a statement ends
-- in, for the tests that follow: a refusal with another code fails them as
-- surely as one with another text. The code is 'none' when there is none.
CREATE FUNCTION refusal(statement text, OUT code text, OUT message text, OUT hint text)
LANGUAGE plpgsql AS $$
BEGIN
    EXECUTE statement;
    code := 'none';
EXCEPTION WHEN OTHERS THEN
    GET STACKED DIAGNOSTICS code = RETURNED_SQLSTATE, message = MESSAGE_TEXT, hint = PG_EXCEPTION_HINT;
    IF hint = '' THEN
        GET STACKED DIAGNOSTICS hint = PG_EXCEPTION_DETAIL;
    END IF;
END
$$;

-- What each function is declared to be, as docs/postgresql.md says: with a key
-- argument IMMUTABLE, reading onymix.key STABLE, reading the clock VOLATILE;
-- all PARALLEL SAFE; STRICT where every NULL gives NULL.
SELECT p.oid::regprocedure AS function, p.provolatile AS volatile, p.proparallel AS parallel,
       p.proisstrict AS strict
FROM pg_proc AS p JOIN pg_depend AS d ON d.classid = 'pg_proc'::regclass AND d.objid = p.oid
     JOIN pg_extension AS e ON d.refclassid = 'pg_extension'::regclass AND d.refobjid = e.oid
WHERE e.extname = 'onymix' ORDER BY 1::text;

-- Every mode by its label in any case and by its number: one name each.
SELECT m.number, count(DISTINCT onymix_name(4242, spelling)) AS names,
       min(onymix_name(4242, spelling)) AS name
FROM (VALUES (0, 'Female'), (1, 'Female + Surname'), (2, 'Male'), (3, 'Male + Surname'),
             (4, 'Surname'), (5, 'Any'), (6, 'Any + Surname')) AS m(number, label),
     LATERAL (VALUES (m.label), (lower(m.label)), (upper(m.label)), (m.number::text)) AS s(spelling)
GROUP BY m.number ORDER BY m.number;

-- The defaults: Any + Surname, and with no onymix.key set the 16 zero bytes.
SELECT count(*) FILTER (WHERE onymix_name(i) = onymix_name(i, 'Any + Surname')) AS default_mode,
       count(*) FILTER (WHERE onymix_name(i) = onymix_name(i, '6', '\x00000000000000000000000000000000')) AS zero_key,
       count(*) FILTER (WHERE onymix_pseudonym(i::text) = onymix_pseudonym(i::text, 'Any + Surname')) AS pseudonym_mode,
       count(*) FILTER (WHERE onymix_pseudonym(i::text::bytea) = onymix_pseudonym(i::text::bytea, 'Any + Surname')) AS bytes_mode
FROM generate_series(0, 99) AS i;
SELECT (SELECT array_agg(n) FROM onymix_names(5, seed => 7) AS n) = (SELECT array_agg(n) FROM onymix_names(5, 'Male + Surname', 7) AS n) AS names_mode,
       onymix_generate(second => 7) = onymix_generate('Male + Surname', 7) AS generate_mode;

-- A block of N consecutive ids names every name of the mode once: Female
-- has 4,275 first names, Any 5,163.
SELECT count(DISTINCT onymix_name(i, 'Female')) AS female FROM generate_series(0, 4274) AS i;
SELECT count(DISTINCT onymix_name(i, 'Any')) AS any FROM generate_series(5163, 2 * 5163 - 1) AS i;

-- Another key, other names: a few ids in a thousand may share one by chance.
SELECT count(*) FILTER (WHERE onymix_name(i, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f')
                              = onymix_name(i, 'Any + Surname', '\x00000000000000000000000000000000')) < 5 AS keys_differ
FROM generate_series(0, 999) AS i;

-- A text is its UTF-8 bytes.
SELECT onymix_pseudonym(U&'Zo\00EB') = onymix_pseudonym('\x5a6fc3ab'::bytea) AS text_is_utf8,
       onymix_pseudonym('') = onymix_pseudonym(''::bytea) AS empty;

-- Immutable with a key, so it may index and fill columns; the forms that
-- read onymix.key may not.
CREATE TABLE customers (id bigint, email text,
    alias text GENERATED ALWAYS AS (onymix_pseudonym(email, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f')) STORED);
CREATE INDEX customers_name ON customers (onymix_name(id, 'Male + Surname', '\x000102030405060708090a0b0c0d0e0f'));
SELECT statement, r.* FROM unnest(ARRAY[$$CREATE INDEX ON customers (onymix_name(id, 'Male + Surname'))$$,
                                         'CREATE INDEX ON customers (onymix_pseudonym(email))']) AS statement,
     refusal(statement) AS r;
INSERT INTO customers (id, email) SELECT i, 'customer-' || i || '@example.com' FROM generate_series(1, 2000) AS i;
SELECT alias = onymix_pseudonym('customer-42@example.com', 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f') AS alias_filled
FROM customers WHERE id = 42;
-- The index finds the one id of a name, which the planner works out once.
SET enable_seqscan = off;
EXPLAIN (COSTS OFF) SELECT id FROM customers
WHERE onymix_name(id, 'Male + Surname', '\x000102030405060708090a0b0c0d0e0f')
    = onymix_name(17, 'Male + Surname', '\x000102030405060708090a0b0c0d0e0f');
SELECT array_agg(id) AS ids FROM customers
WHERE onymix_name(id, 'Male + Surname', '\x000102030405060708090a0b0c0d0e0f')
    = onymix_name(17, 'Male + Surname', '\x000102030405060708090a0b0c0d0e0f');
RESET enable_seqscan;
DROP TABLE customers;
