-- encoding.sql: a text's pseudonym is that of its UTF-8 bytes whatever the
-- database's encoding.
SELECT onymix_pseudonym(U&'Ren\00E9e M\00FCller', 'Female + Surname') AS utf8_name \gset
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
           = onymix_pseudonym(convert_to(U&'Ren\00E9e M\00FCller', 'LATIN1'), 'Female + Surname') AS latin1_bytes;
\c :regress_db
DROP DATABASE onymix_latin1;
