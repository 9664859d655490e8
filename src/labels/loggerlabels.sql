-- The labels database: the channel table four channels to a record, from which relay
-- labels are printed. The export replaces the whole content of TblForLabel and fills the
-- columns by name; records keep the order they were added in (rowid).
-- fOrB<n> holds "B" for a back contact; a front contact leaves it NULL.
CREATE TABLE TblForLabel (
    chNo1   TEXT,
    relNam1 TEXT,
    fOrB1   TEXT,
    chNo2   TEXT,
    relNam2 TEXT,
    fOrB2   TEXT,
    chNo3   TEXT,
    relNam3 TEXT,
    fOrB3   TEXT,
    chNo4   TEXT,
    relNam4 TEXT,
    fOrB4   TEXT
);
