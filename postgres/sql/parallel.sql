-- parallel.sql: the functions in parallel workers give what the leader
-- alone gives, the key of the setting included.
CREATE TABLE people AS
SELECT i AS id, 'person-' || i AS email FROM generate_series(0, 19999) AS i;
ANALYZE people;
SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';

-- Each id's names, folded into one number for comparing plans.
CREATE VIEW masked AS
SELECT count(*) AS people,
       count(*) FILTER (WHERE onymix_name(id) = onymix_name(id, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f')) AS keyed,
       sum(hashtext(onymix_name(id))::bigint
           + hashtext(onymix_name(id, 'Female', '\x0f0e0d0c0b0a09080706050403020100'))
           + hashtext(onymix_pseudonym(email, 'Surname')) + hashtext(onymix_pseudonym(email::bytea))
           + hashtext(onymix_generate('Any', (id % 86400)::int))
           + hashtext(onymix_mask_full_name('Mary ' || email))) AS names
FROM people;
CREATE VIEW drawn AS
SELECT count(*) AS drawn, sum(hashtext(n || k)) AS sequence
FROM onymix_names(1000, 'Male + Surname', 42) WITH ORDINALITY AS s(n, k);

SET max_parallel_workers_per_gather = 0;
SELECT names AS serial_names FROM masked \gset
SELECT sequence AS serial_sequence FROM drawn \gset

SET max_parallel_workers_per_gather = 2;
SET force_parallel_mode = on;
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET parallel_leader_participation = off;
EXPLAIN (COSTS OFF) SELECT people, keyed, names = :serial_names AS same_as_serial FROM masked;
-- The workers did the work: the leader takes no part.
CREATE FUNCTION pg_temp.workers_launched(query text) RETURNS int LANGUAGE plpgsql AS $$
DECLARE
    plan json;
BEGIN
    EXECUTE 'EXPLAIN (ANALYZE, FORMAT JSON, COSTS OFF, TIMING OFF) ' || query INTO plan;
    RETURN (SELECT max((node->>'Workers Launched')::int)
            FROM jsonb_path_query(plan::jsonb, 'strict $.**') AS node
            WHERE jsonb_typeof(node) = 'object' AND node ? 'Workers Launched');
END
$$;
SELECT pg_temp.workers_launched('SELECT * FROM masked');
SELECT people, keyed, names = :serial_names AS same_as_serial FROM masked;

-- The names of a sequence in a worker too.
EXPLAIN (COSTS OFF) SELECT drawn, sequence = :serial_sequence AS same_as_serial FROM drawn;
SELECT pg_temp.workers_launched('SELECT * FROM drawn');
SELECT drawn, sequence = :serial_sequence AS same_as_serial FROM drawn;

RESET ALL;
DROP VIEW masked, drawn;
DROP TABLE people;
