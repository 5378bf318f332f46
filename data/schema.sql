-- Schema of the shipped database Adatok/ZovavaZuvi2007.mdb.
-- Column order is significant: the save run reads "select *" results by position.
-- Declared types: VARCHAR(n) is text of at most n characters, INTEGER a whole number,
-- DOUBLE a double-precision number.

-- Data-provider records, one per report key (Adosajat, Adatszolgev, Adatszolgnegyedev): the
-- unique index keeps a second one out, whatever tool writes it.
CREATE TABLE AdatlapInt (
    Adosajat          VARCHAR(8),
    Intnev            VARCHAR(80),
    Sz_megyekod       VARCHAR(2),
    Sz_telepuleskod   VARCHAR(5),
    Irsz              VARCHAR(4),
    Telepules         VARCHAR(30),
    Utca              VARCHAR(30),
    Hsz               VARCHAR(3),
    Intag             VARCHAR(4),
    Gazdfor           VARCHAR(2),
    I_ANTSZkod        VARCHAR(6),
    Toltnev           VARCHAR(30),
    Toltmail          VARCHAR(30),
    Tolttel           VARCHAR(20),
    Vezetonev         VARCHAR(30),
    Vezetomail        VARCHAR(30),
    Vezetotel         VARCHAR(20),
    Adatszolgev       INTEGER,
    Adatszolgnegyedev VARCHAR(1)
);
CREATE UNIQUE INDEX AdatlapInt_key ON AdatlapInt (Adosajat, Adatszolgev, Adatszolgnegyedev);
CREATE INDEX AdatlapInt_period ON AdatlapInt (Adatszolgev, Adatszolgnegyedev);

-- Purchase items; every row belongs to the AdatlapInt row with the same report key.
CREATE TABLE AdatlapBR (
    Adosajat         VARCHAR(8),
    Beszerzev        INTEGER,
    Beszerznegyedev  VARCHAR(1),
    Beszerzho        VARCHAR(2),
    Tetelsorszam     INTEGER,
    Termekszolg      VARCHAR(1),
    Vtszszolgkod     VARCHAR(8),
    Termitj          VARCHAR(8),
    Vtszszolg        VARCHAR(17),
    Termszolgnev     VARCHAR(80),
    Mennyisegiegyseg VARCHAR(2),
    Vasaroltmenny    INTEGER,
    Beszerzforras    VARCHAR(1),
    Felhasznter      VARCHAR(2),
    Artipus          VARCHAR(1),
    Tegysegar        DOUBLE,
    Bazisegysegar    DOUBLE
);
CREATE INDEX AdatlapBR_key ON AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, Tetelsorszam);
CREATE INDEX AdatlapBR_period ON AdatlapBR (Beszerzev, Beszerznegyedev);

-- The data-provider records to choose from in the purchase editor; id names the provider and the
-- period and differs between rows because it carries the whole report key.
CREATE VIEW View_Intezmeny AS
SELECT Adosajat || ' ' || Intnev || ' ' || Adatszolgev || '/' || Adatszolgnegyedev AS id,
       Adatszolgev,
       Adatszolgnegyedev,
       Adosajat
FROM AdatlapInt
ORDER BY Adosajat, Adatszolgev, Adatszolgnegyedev;

-- Code tables. They are read only; their contents are the files in codes/.
CREATE TABLE Torzs_KSHMEGYE (ID VARCHAR(2) PRIMARY KEY, Nev VARCHAR(50));
CREATE TABLE Torzs_KSHTELEPULES (id VARCHAR(5) PRIMARY KEY, nev VARCHAR(30), nevstr VARCHAR(80));
CREATE TABLE Torzs_IRSZ (id VARCHAR(4) PRIMARY KEY);
-- Each settlement's county and postal codes, for the period check's address warnings.
CREATE TABLE Torzs_TELEPULESIRSZ (telepules VARCHAR(5), megye VARCHAR(2), irsz VARCHAR(4),
                                  PRIMARY KEY (telepules, irsz));
CREATE TABLE Torzs_gazdfor (ID VARCHAR(2) PRIMARY KEY, NEV VARCHAR(100));
CREATE TABLE Torzs_Negyedev (ID VARCHAR(1) PRIMARY KEY, NevStr VARCHAR(50));
CREATE TABLE torzs_AH_AG (id VARCHAR(2) PRIMARY KEY, nev VARCHAR(150));
CREATE TABLE torzs_AH_AGAZAT (id VARCHAR(3) PRIMARY KEY, nev VARCHAR(150));
CREATE TABLE torzs_AH_SZAKAGAZAT (id VARCHAR(4) PRIMARY KEY, nev VARCHAR(150) UNIQUE);
CREATE TABLE Torzs_ho (ID VARCHAR(255) PRIMARY KEY, Nev VARCHAR(255), Negyedev VARCHAR(1));
CREATE TABLE Torzs_Termekszolg (ID INTEGER PRIMARY KEY, Nev VARCHAR(50), NevStr VARCHAR(50));
CREATE TABLE Torzs_Mennyisegiegyseg (ID VARCHAR(255) PRIMARY KEY, Nev VARCHAR(255), NevStr VARCHAR(255));
CREATE TABLE Torzs_Beszerzesiforras (ID VARCHAR(255) PRIMARY KEY, Nev VARCHAR(255), nevstr VARCHAR(255));
CREATE TABLE Torzs_Felhasznter (ID VARCHAR(255) PRIMARY KEY, Nev VARCHAR(255), nevstr VARCHAR(255));
CREATE TABLE Torzs_Artipus (ID VARCHAR(255) PRIMARY KEY, Nev VARCHAR(255), nevstr VARCHAR(255));
CREATE TABLE Torzs_TermekCsoport (id INTEGER PRIMARY KEY, nev VARCHAR(255), nevstr VARCHAR(255), itj VARCHAR(8), vtsz VARCHAR(17));
CREATE TABLE Torzs_SzolgaltatasCsoport (id INTEGER PRIMARY KEY, nev VARCHAR(255), nevstr VARCHAR(255), itj VARCHAR(8), szjszam VARCHAR(17));
