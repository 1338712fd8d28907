-- sequences.sql: onymix_names from a start, unique, at now and far beyond
-- what memory holds, and onymix_generate at now.
-- From a start: the rest of the same sequence, at any seed.
SELECT seed, (SELECT array_agg(n) FROM onymix_names(10, 'Any', seed, 5) AS n)
           = (SELECT (array_agg(n))[6:15] FROM onymix_names(15, 'Any', seed) AS n) AS from_start
FROM (VALUES (0::numeric), (86399), (86400), (18446744073709551615)) AS s(seed);
-- A seed written with a scale is the same whole number.
SELECT (SELECT array_agg(n) FROM onymix_names(5, 'Surname', 5.000) AS n) = (SELECT array_agg(n) FROM onymix_names(5, 'Surname', 5) AS n) AS scaled_seed;

-- Unique: the sequence with the names already made left out, up to every
-- name of the mode.
WITH plain AS (SELECT n, k FROM onymix_names(20000, 'Male', 12) WITH ORDINALITY AS p(n, k)),
     firsts AS (SELECT n, min(k) AS k FROM plain GROUP BY n),
     unique_names AS (SELECT n, k FROM onymix_names(1219, 'Male', 12, 0, true) WITH ORDINALITY AS u(n, k))
SELECT (SELECT count(*) FROM unique_names) AS made,
       (SELECT count(DISTINCT n) FROM unique_names) AS different,
       (SELECT count(*) FROM firsts) AS in_plain,
       (SELECT array_agg(n ORDER BY k) FROM firsts) = (SELECT array_agg(n ORDER BY k) FROM unique_names) AS plain_less_repeats;
SELECT count(DISTINCT n) AS different FROM onymix_names(4275, 'Female', NULL, 0, true) AS n;

-- Now: names of the mode, one Generate a full name.
SELECT count(*) AS made, bool_and(n IN (SELECT onymix_names(1219, 'Male', 0, 0, true))) AS male_names
FROM onymix_names(50, 'Male') AS n;
SELECT count(*) AS made FROM onymix_names(1000, 'Any', NULL, 1000000);
SELECT onymix_generate() ~ '^[A-Z][a-z]+ [A-Z][a-z]+$' AS full_name,
       onymix_generate('Female') IN (SELECT onymix_names(4275, 'Female', 0, 0, true)) AS female_name;

-- One name at a time: a trillion names stop at the LIMIT, as they are
-- made, with their first names those of a short run.
SELECT array_agg(n) = (SELECT array_agg(m) FROM onymix_names(3, 'Male', 5) AS m) AS streamed
FROM (SELECT onymix_names(1000000000000, 'Male', 5) AS n LIMIT 3) AS s;
-- In FROM, the server keeps the rows in a tuplestore that goes to disk.
SET work_mem = '64kB';
SELECT count(*), count(DISTINCT n) AS different FROM onymix_names(200000, 'Any + Surname', 3, 0, true) AS n;
RESET work_mem;
