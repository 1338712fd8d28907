-- upgrade.sql: a database owner who is not a superuser creates the
-- extension (it is trusted) at 1.1.0, as that version shipped, updates it
-- with ALTER EXTENSION onymix UPDATE, and has what a new install of the
-- current version has; the key setting stays out of that owner's reach.

-- Each function of the extension in this database: its arguments, result,
-- volatility, strictness, parallel safety and comment, one a line.
\set functions 'SELECT (SELECT string_agg(format(''%s %s %s %s %s %s'', p.oid::regprocedure, pg_get_function_result(p.oid), p.provolatile, p.proisstrict, p.proparallel, obj_description(p.oid, ''pg_proc'')), E''\n'' ORDER BY p.oid::regprocedure::text) FROM pg_proc AS p JOIN pg_depend AS d ON d.classid = ''pg_proc''::regclass AND d.objid = p.oid JOIN pg_extension AS e ON d.refclassid = ''pg_extension''::regclass AND d.refobjid = e.oid WHERE e.extname = ''onymix'')'
SELECT extversion AS current_version FROM pg_extension WHERE extname = 'onymix' \gset
:functions AS fresh \gset
\set regress_db :DBNAME

CREATE ROLE onymix_owner LOGIN;
CREATE DATABASE onymix_owned OWNER onymix_owner TEMPLATE template0;
\c onymix_owned onymix_owner
SELECT rolsuper FROM pg_roles WHERE rolname = current_user;
CREATE EXTENSION onymix VERSION '1.1.0';
SELECT count(*) AS functions_of_1_1_0 FROM pg_proc WHERE proname LIKE 'onymix%';
ALTER EXTENSION onymix UPDATE;
SELECT extversion = :'current_version' AS updated, extowner::regrole FROM pg_extension WHERE extname = 'onymix';
:functions AS updated \gset
-- What one has and the other has not: nothing either way.
SELECT 'only updated' AS side, f FROM unnest(string_to_array(:'updated', E'\n')) AS f
EXCEPT SELECT 'only updated', unnest(string_to_array(:'fresh', E'\n'))
UNION ALL
(SELECT 'only fresh', f FROM unnest(string_to_array(:'fresh', E'\n')) AS f
 EXCEPT SELECT 'only fresh', unnest(string_to_array(:'updated', E'\n')));
SELECT :'updated' = :'fresh' AS same_functions;

-- The updated functions work; the owner masks with a key of their own but
-- may neither read nor set onymix.key, so the form that reads it refuses.
SELECT onymix_mask_full_name('Mary Smith', '\x000102030405060708090a0b0c0d0e0f') AS masked,
       onymix_name(0, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f') AS named;
-- onymix_names takes weighted, and a call of 1.1.0's arguments is not
-- ambiguous.
SELECT (SELECT string_agg(n, ', ') FROM onymix_names(3, 'Any + Surname', 1, weighted => true) AS n) AS weighted,
       (SELECT string_agg(n, ', ') FROM onymix_names(2, 'Male', 0, 0, false) AS n) AS even;
CREATE FUNCTION pg_temp.refusal(statement text, OUT code text, OUT message text)
LANGUAGE plpgsql AS $$
BEGIN
    EXECUTE statement;
    code := 'none';
EXCEPTION WHEN OTHERS THEN
    GET STACKED DIAGNOSTICS code = RETURNED_SQLSTATE, message = MESSAGE_TEXT;
END
$$;
SELECT statement, r.* FROM unnest(ARRAY[
    'SHOW onymix.key', $$SET onymix.key = '\x0f0e0d0c0b0a09080706050403020100'$$,
    $$SELECT onymix_mask_surname('Smith')$$]) WITH ORDINALITY AS u(statement, n),
    pg_temp.refusal(statement) AS r
ORDER BY n;

-- A new install by the same owner is the current version.
DROP EXTENSION onymix;
CREATE EXTENSION onymix;
SELECT extversion = :'current_version' AS current FROM pg_extension WHERE extname = 'onymix';
:functions AS created \gset
SELECT :'created' = :'fresh' AS same_functions;

\c :regress_db postgres
DROP DATABASE onymix_owned;
DROP ROLE onymix_owner;
