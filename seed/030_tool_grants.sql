-- What the tool needs of its users: the dictionary (the logon reads V$VERSION, V$PARAMETER and the
-- ALL_ views), granted to the application schemas and to the demo administrator.
GRANT SELECT ANY DICTIONARY TO kade;
GRANT SELECT ANY DICTIONARY TO zozuro;
GRANT SELECT ANY DICTIONARY TO nuvo_util;
GRANT SELECT ANY DICTIONARY TO ana;
