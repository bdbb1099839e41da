-- Country codes and names; rows come from data/countries.csv at build time.
CREATE TABLE TabStatiEst (
  Sigla TEXT PRIMARY KEY COLLATE NOCASE,
  Nazione TEXT
);
