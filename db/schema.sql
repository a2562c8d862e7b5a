-- The base layout of the warehouse database (SQLite) and its initial rows:
-- layout version 1, as the program of that version made it. It never changes
-- but in its comments. A later layout is a numbered step that brings a file
-- up from the version before (SchemaStepStatements in
-- foundation/data/db/SchemaVersion.cpp), and a fresh database is this base
-- followed by every step, stamped with the program's version (PRAGMA
-- user_version; CreateDatabase in foundation/data/db/DbCreator.cpp): a fresh
-- file and an upgraded one take the same statements.
-- Ids are given by the program (from step 4: tb_sequence). Date-times are text
-- "yyyy-MM-dd HH:mm:ss". Flags are integers 0/1; readers treat non-zero as true.
-- Names, codes and barcodes compare without letter case (COLLATE NOCASE).

-- ===================================================================
-- Users, departments, rights
-- ===================================================================

CREATE TABLE tb_user (
    id           INTEGER PRIMARY KEY,
    [user]       TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    pw           TEXT    NOT NULL DEFAULT '',
    usex         TEXT    NOT NULL DEFAULT '男',
    isStart      INTEGER NOT NULL DEFAULT 1,
    dictionaryId INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_user_name ON tb_user([user]);

CREATE TABLE tb_dictionary (
    id          INTEGER PRIMARY KEY,
    utype       TEXT    NOT NULL DEFAULT '',
    uname       TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    parentId    INTEGER NOT NULL DEFAULT 0,
    orderBy     INTEGER NOT NULL DEFAULT 0,
    remark      TEXT,
    isstart     INTEGER NOT NULL DEFAULT 1,
    isSystemSet INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_dictionary_type ON tb_dictionary(utype, uname);
CREATE INDEX ix_dictionary_parent ON tb_dictionary(parentId, utype);

CREATE VIEW v_user AS
SELECT u.id, u.[user] AS [user], u.pw, u.usex, u.isStart, u.dictionaryId,
       COALESCE(d.uname, '') AS department
FROM tb_user u LEFT JOIN tb_dictionary d ON d.id = u.dictionaryId;

-- Dictionary items with their parent's name (Null at the top of a tree), the
-- wording of the enabled flag and the number of children.
CREATE VIEW v_dictionary AS
SELECT a.id, a.utype, a.uname, a.parentId, p.uname AS parentName, a.orderBy, a.remark,
       a.isSystemSet, a.isstart,
       CASE WHEN a.isstart <> 0 THEN '启用' ELSE '停用' END AS startName,
       (SELECT COUNT(*) FROM tb_dictionary c WHERE c.parentId = a.id) AS iCount
FROM tb_dictionary a LEFT JOIN tb_dictionary p ON p.id = a.parentId AND a.parentId <> 0;

CREATE TABLE tb_user_group_fun (
    funCode      TEXT    NOT NULL DEFAULT '',
    departmentId INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_user_group_fun ON tb_user_group_fun(departmentId);

CREATE TABLE tb_location_fun (
    locationId   INTEGER NOT NULL DEFAULT 0,
    departmentId INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_location_fun ON tb_location_fun(departmentId);
CREATE INDEX ix_location_fun_loc ON tb_location_fun(locationId);

CREATE TABLE tb_account_fun (
    accountId    INTEGER NOT NULL DEFAULT 0,
    departmentId INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_account_fun ON tb_account_fun(departmentId);
CREATE INDEX ix_account_fun_acc ON tb_account_fun(accountId);

-- The function tree of the department rights editor (type -1: hidden).
CREATE TABLE tb_sys_fun (
    id          INTEGER PRIMARY KEY,
    funCode     TEXT    NOT NULL DEFAULT '',
    displaytext TEXT    NOT NULL DEFAULT '',
    parentid    INTEGER NOT NULL DEFAULT 0,
    type        INTEGER NOT NULL DEFAULT 0,
    orderby     INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX ix_sys_fun_code ON tb_sys_fun(funCode);

-- User-group rights (kept although no window opens them).
CREATE TABLE tb_Usergrp (
    id      INTEGER PRIMARY KEY,
    uname   TEXT NOT NULL DEFAULT '',
    uremark TEXT NOT NULL DEFAULT ''
);
CREATE TABLE tb_sysmenu (
    id          INTEGER PRIMARY KEY,
    menucode    TEXT    NOT NULL DEFAULT '',
    displaytext TEXT    NOT NULL DEFAULT '',
    icon        TEXT    NOT NULL DEFAULT '',
    parentid    INTEGER NOT NULL DEFAULT 0,
    type        INTEGER NOT NULL DEFAULT 0,
    orderid     INTEGER NOT NULL DEFAULT 0,
    isstop      INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_sysuserfun (
    nodecode  TEXT    NOT NULL DEFAULT '',
    usergrpid INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_Staff (
    id      INTEGER PRIMARY KEY,
    ugrpid  INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_Messagebox (
    Code  TEXT NOT NULL DEFAULT '',
    CDESC TEXT NOT NULL DEFAULT ''
);

-- ===================================================================
-- Goods and packing units
-- ===================================================================

CREATE TABLE tb_goods_head (
    id             INTEGER PRIMARY KEY,
    goodsTypeId    INTEGER NOT NULL DEFAULT 0,
    goodsCode      TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    goodsName      TEXT    NOT NULL DEFAULT '',
    goodsDesc      TEXT    NOT NULL DEFAULT '',
    pinyin         TEXT    NOT NULL DEFAULT '',
    upqty          REAL    NOT NULL DEFAULT 0,
    downqty        REAL    NOT NULL DEFAULT 0,
    status         TEXT    NOT NULL DEFAULT '启用',
    imageUrl       TEXT    NOT NULL DEFAULT '',
    creator        TEXT    NOT NULL DEFAULT '',
    createTime     TEXT    NOT NULL DEFAULT '',
    updateLastUser TEXT    NOT NULL DEFAULT '',
    updateLastTime TEXT    NOT NULL DEFAULT ''
);
-- Bill entry looks goods up by code (case-insensitively, through the column's collation).
CREATE INDEX ix_goods_head_code ON tb_goods_head(goodsCode);
CREATE INDEX ix_goods_head_type ON tb_goods_head(goodsTypeId);

-- Packing units. rowNo has a default because the unit written together with
-- its goods item carries none. A unit without barcode may hold '' or Null.
CREATE TABLE tb_goods_detail (
    id              INTEGER PRIMARY KEY,
    headId          INTEGER NOT NULL DEFAULT 0,
    isDefault       INTEGER NOT NULL DEFAULT 0,
    rowNo           INTEGER NOT NULL DEFAULT 0,
    goodsDetailCode TEXT    COLLATE NOCASE,
    unit            TEXT    NOT NULL DEFAULT '',
    packQty         REAL    NOT NULL DEFAULT 1,
    weight          REAL    NOT NULL DEFAULT 0,
    inPrice         REAL    NOT NULL DEFAULT 0,
    salePrice       REAL    NOT NULL DEFAULT 0
);
-- Covers every unit column the views read, so that lists and keyword searches
-- walking the units of each item never visit the table itself.
CREATE INDEX ix_goods_detail_head ON tb_goods_detail(headId, isDefault, rowNo, goodsDetailCode, unit, packQty,
                                                     weight, inPrice, salePrice);
-- Barcode scans look units up by barcode (case-insensitively).
CREATE INDEX ix_goods_detail_code ON tb_goods_detail(goodsDetailCode);

CREATE VIEW v_goods_head AS
SELECT h.id, h.goodsTypeId, COALESCE(d.uname, '') AS goodsTypeName, h.goodsCode, h.goodsName,
       h.goodsDesc, h.pinyin, h.upqty, h.downqty, h.status, h.imageUrl, h.creator, h.createTime,
       h.updateLastUser, h.updateLastTime
FROM tb_goods_head h LEFT JOIN tb_dictionary d ON d.id = h.goodsTypeId;

CREATE VIEW v_goods_detail AS
SELECT g.id, g.headId, g.rowNo, h.goodsTypeId, COALESCE(d.uname, '') AS goodsTypeName, h.goodsCode,
       h.goodsName, h.goodsDesc, h.pinyin, h.status, h.upqty, h.downqty, g.isDefault,
       COALESCE(g.goodsDetailCode, '') AS goodsDetailCode, g.unit, g.packQty, g.weight, g.inPrice,
       g.salePrice
FROM tb_goods_detail g
JOIN tb_goods_head h ON h.id = g.headId
LEFT JOIN tb_dictionary d ON d.id = h.goodsTypeId;

-- Bill entry codes: one row per unit and entry code, kept by the triggers below.
-- Every unit can be entered with its item's goods code (kind 0); a unit with a
-- barcode also with that barcode (kind 1). keyText is what the keyword search
-- looks in: the entry code, name, pinyin and barcode joined without separator,
-- so the search reads one column of one narrow table instead of joining and
-- concatenating over every unit. A unit whose item does not exist has no rows.
CREATE TABLE tb_goods_input_key (
    id        INTEGER PRIMARY KEY,
    kind      INTEGER NOT NULL,
    detailId  INTEGER NOT NULL,
    headId    INTEGER NOT NULL,
    inputCode TEXT    NOT NULL COLLATE NOCASE,
    keyText   TEXT    NOT NULL
);
CREATE UNIQUE INDEX ix_goods_input_key_unit ON tb_goods_input_key(detailId, kind);
CREATE INDEX ix_goods_input_key_head ON tb_goods_input_key(headId);
-- Bill entry looks codes and barcodes up here (case-insensitively, as the column).
CREATE INDEX ix_goods_input_key_code ON tb_goods_input_key(inputCode);

CREATE TRIGGER tr_goods_detail_key_insert AFTER INSERT ON tb_goods_detail
BEGIN
    INSERT INTO tb_goods_input_key (kind, detailId, headId, inputCode, keyText)
    SELECT 0, NEW.id, h.id, COALESCE(h.goodsCode, ''),
           COALESCE(h.goodsCode, '') || COALESCE(h.goodsName, '') || COALESCE(h.pinyin, '') ||
           COALESCE(NEW.goodsDetailCode, '')
    FROM tb_goods_head h WHERE h.id = NEW.headId
    UNION ALL
    SELECT 1, NEW.id, h.id, NEW.goodsDetailCode,
           NEW.goodsDetailCode || COALESCE(h.goodsName, '') || COALESCE(h.pinyin, '') || NEW.goodsDetailCode
    FROM tb_goods_head h WHERE h.id = NEW.headId AND NEW.goodsDetailCode <> '';
END;
CREATE TRIGGER tr_goods_detail_key_delete AFTER DELETE ON tb_goods_detail
BEGIN
    DELETE FROM tb_goods_input_key WHERE detailId = OLD.id;
END;
CREATE TRIGGER tr_goods_detail_key_update AFTER UPDATE OF id, headId, goodsDetailCode ON tb_goods_detail
BEGIN
    DELETE FROM tb_goods_input_key WHERE detailId = OLD.id;
    INSERT INTO tb_goods_input_key (kind, detailId, headId, inputCode, keyText)
    SELECT 0, NEW.id, h.id, COALESCE(h.goodsCode, ''),
           COALESCE(h.goodsCode, '') || COALESCE(h.goodsName, '') || COALESCE(h.pinyin, '') ||
           COALESCE(NEW.goodsDetailCode, '')
    FROM tb_goods_head h WHERE h.id = NEW.headId
    UNION ALL
    SELECT 1, NEW.id, h.id, NEW.goodsDetailCode,
           NEW.goodsDetailCode || COALESCE(h.goodsName, '') || COALESCE(h.pinyin, '') || NEW.goodsDetailCode
    FROM tb_goods_head h WHERE h.id = NEW.headId AND NEW.goodsDetailCode <> '';
END;
-- Units may be written before their item: the item brings their rows along.
CREATE TRIGGER tr_goods_head_key_insert AFTER INSERT ON tb_goods_head
BEGIN
    INSERT INTO tb_goods_input_key (kind, detailId, headId, inputCode, keyText)
    SELECT 0, g.id, NEW.id, COALESCE(NEW.goodsCode, ''),
           COALESCE(NEW.goodsCode, '') || COALESCE(NEW.goodsName, '') || COALESCE(NEW.pinyin, '') ||
           COALESCE(g.goodsDetailCode, '')
    FROM tb_goods_detail g WHERE g.headId = NEW.id
    UNION ALL
    SELECT 1, g.id, NEW.id, g.goodsDetailCode,
           g.goodsDetailCode || COALESCE(NEW.goodsName, '') || COALESCE(NEW.pinyin, '') || g.goodsDetailCode
    FROM tb_goods_detail g WHERE g.headId = NEW.id AND g.goodsDetailCode <> '';
END;
CREATE TRIGGER tr_goods_head_key_delete AFTER DELETE ON tb_goods_head
BEGIN
    DELETE FROM tb_goods_input_key WHERE headId = OLD.id;
END;
CREATE TRIGGER tr_goods_head_key_update AFTER UPDATE OF id, goodsCode, goodsName, pinyin ON tb_goods_head
BEGIN
    DELETE FROM tb_goods_input_key WHERE headId = OLD.id;
    INSERT INTO tb_goods_input_key (kind, detailId, headId, inputCode, keyText)
    SELECT 0, g.id, NEW.id, COALESCE(NEW.goodsCode, ''),
           COALESCE(NEW.goodsCode, '') || COALESCE(NEW.goodsName, '') || COALESCE(NEW.pinyin, '') ||
           COALESCE(g.goodsDetailCode, '')
    FROM tb_goods_detail g WHERE g.headId = NEW.id
    UNION ALL
    SELECT 1, g.id, NEW.id, g.goodsDetailCode,
           g.goodsDetailCode || COALESCE(NEW.goodsName, '') || COALESCE(NEW.pinyin, '') || g.goodsDetailCode
    FROM tb_goods_detail g WHERE g.headId = NEW.id AND g.goodsDetailCode <> '';
END;

-- Bill entry: one row per unit and entry code, with keyText for the keyword
-- search. The key table goes first (CROSS JOIN fixes the order): a lookup by
-- inputGoodsCode is answered by ix_goods_input_key_code, and a keyword search
-- scans the key table alone and visits units and items only for its matches.
CREATE VIEW v_goods_detail_input AS
SELECT iif(k.kind = 0, 'goodsCode', 'barcode') AS utype, g.id, g.headId, g.rowNo, h.goodsTypeId,
       COALESCE(d.uname, '') AS goodsTypeName, h.goodsCode,
       COALESCE(g.goodsDetailCode, '') AS goodsDetailCode, k.inputCode AS inputGoodsCode, g.isDefault,
       h.goodsName, h.goodsDesc, h.pinyin, h.status, h.upqty, h.downqty, g.unit, g.packQty, g.weight,
       g.inPrice, g.salePrice, k.keyText, k.id AS keyId
FROM tb_goods_input_key k
CROSS JOIN tb_goods_detail g ON g.id = k.detailId
CROSS JOIN tb_goods_head h ON h.id = k.headId
LEFT JOIN tb_dictionary d ON d.id = h.goodsTypeId;

-- ===================================================================
-- Partners and locations (completed by the partners subsystem)
-- ===================================================================

CREATE TABLE tb_customer (
    id             INTEGER PRIMARY KEY,
    utype          INTEGER NOT NULL DEFAULT 0,
    customType     INTEGER NOT NULL DEFAULT 0,
    customerCode   TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    uname          TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    pinyin         TEXT    NOT NULL DEFAULT '',
    contact        TEXT,
    companyName    TEXT,
    taxNumber      TEXT,
    bankName       TEXT,
    bankAccount    TEXT,
    address        TEXT,
    tel            TEXT,
    email          TEXT,
    fax            TEXT,
    status         INTEGER NOT NULL DEFAULT 1,
    imageUrl       TEXT,
    creator        TEXT    NOT NULL DEFAULT '',
    createTime     TEXT    NOT NULL DEFAULT '',
    updateLastUser TEXT,
    updateLastTime TEXT,
    userId         INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ix_customer_code ON tb_customer(customerCode);
CREATE INDEX ix_customer_type ON tb_customer(customType);
CREATE INDEX ix_customer_user ON tb_customer(userId);

-- 0 supplier, 1 customer, 2 both; a category that no longer exists reads as ''.
CREATE VIEW v_customer AS
SELECT c.id, c.utype,
       CASE c.utype WHEN 0 THEN '供应商' WHEN 1 THEN '客户' WHEN 2 THEN '两者都是' ELSE '' END AS utypeName,
       c.customType, COALESCE(d.uname, '') AS customTypeName,
       c.customerCode, c.uname, c.pinyin, c.contact, c.companyName, c.taxNumber, c.bankName,
       c.bankAccount, c.address, c.tel, c.email, c.fax, c.status,
       CASE WHEN c.status = 1 THEN '启用' ELSE '禁用' END AS statusName,
       c.imageUrl, c.creator, c.createTime, c.updateLastUser, c.updateLastTime, c.userId
FROM tb_customer c LEFT JOIN tb_dictionary d ON d.id = c.customType;

CREATE TABLE tb_location (
    id           INTEGER PRIMARY KEY,
    locationCode TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    uname        TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    capacity     REAL    NOT NULL DEFAULT 0,
    parentId     INTEGER NOT NULL DEFAULT 0,
    orderby      INTEGER NOT NULL DEFAULT 0,
    isLock       INTEGER NOT NULL DEFAULT 0,
    isVirtual    INTEGER NOT NULL DEFAULT 0,
    state        INTEGER NOT NULL DEFAULT 1,
    remark       TEXT
);
CREATE INDEX ix_location_parent ON tb_location(parentId);
CREATE INDEX ix_location_code ON tb_location(locationCode);

CREATE VIEW v_location AS
SELECT a.id, a.locationCode, a.uname, a.capacity, a.parentId,
       p.locationCode AS parentlocationCode, p.uname AS parentName, a.orderby,
       a.isLock, CASE WHEN a.isLock = 1 THEN '锁定' ELSE '未锁定' END AS lockName,
       a.isVirtual, CASE WHEN a.isVirtual = 1 THEN '虚拟库位' ELSE '实体库位' END AS VirtualName,
       a.state, CASE WHEN a.state = 1 THEN '启用' ELSE '禁用' END AS stateName,
       a.remark,
       (SELECT COUNT(*) FROM tb_location c WHERE c.parentId = a.id) AS iCount
FROM tb_location a LEFT JOIN tb_location p ON p.id = a.parentId AND a.parentId <> 0;

-- One row: the FROM of the goods code check's literal selects.
CREATE VIEW v_sys_goodsCode AS SELECT 1 AS id;

-- ===================================================================
-- Bills (completed by the inbound and outbound subsystems)
-- ===================================================================

CREATE TABLE tb_rk_head (
    id             INTEGER PRIMARY KEY,
    accountId      INTEGER NOT NULL DEFAULT 0,
    billNo         TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    ubillNo        TEXT,
    utypeId        INTEGER NOT NULL DEFAULT 0,
    supplierId     INTEGER NOT NULL DEFAULT 0,
    supplierName   TEXT    NOT NULL DEFAULT '',
    remark         TEXT,
    ispass         INTEGER NOT NULL DEFAULT 0,
    creator        TEXT    NOT NULL DEFAULT '',
    createTime     TEXT    NOT NULL DEFAULT '',
    updateLastUser TEXT,
    updateLastTime TEXT,
    userId         INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX ix_rk_head_billno ON tb_rk_head(billNo) WHERE billNo <> '';
CREATE INDEX ix_rk_head_supplier ON tb_rk_head(supplierId);
CREATE INDEX ix_rk_head_account ON tb_rk_head(accountId);
CREATE INDEX ix_rk_head_type ON tb_rk_head(utypeId);
CREATE INDEX ix_rk_head_user ON tb_rk_head(userId);
-- Every report filters the heads by date and lists them in date order.
CREATE INDEX ix_rk_head_time ON tb_rk_head(createTime, id);

CREATE TABLE tb_rk_detail (
    id              INTEGER PRIMARY KEY,
    headId          INTEGER NOT NULL DEFAULT 0,
    rowNo           INTEGER NOT NULL DEFAULT 0,
    goodsTypeId     INTEGER NOT NULL DEFAULT 0,
    goodsTypeName   TEXT    NOT NULL DEFAULT '',
    goodsId         INTEGER NOT NULL DEFAULT 0,
    goodsCode       TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    goodsDetailCode TEXT    COLLATE NOCASE,
    goodsName       TEXT    NOT NULL DEFAULT '',
    goodsDesc       TEXT,
    unit            TEXT,
    inPrice         REAL    NOT NULL DEFAULT 0,
    packQty         REAL    NOT NULL DEFAULT 0,
    weight          REAL    NOT NULL DEFAULT 0,
    qty             REAL    NOT NULL DEFAULT 0,
    locationId      INTEGER NOT NULL DEFAULT 0,
    lotNo           TEXT,
    remark          TEXT
);
CREATE INDEX ix_rk_detail_head ON tb_rk_detail(headId);
CREATE INDEX ix_rk_detail_goods ON tb_rk_detail(goodsId);
CREATE INDEX ix_rk_detail_code ON tb_rk_detail(goodsCode, headId, id);
CREATE INDEX ix_rk_detail_location ON tb_rk_detail(locationId);

CREATE TABLE tb_ck_head (
    id             INTEGER PRIMARY KEY,
    accountId      INTEGER NOT NULL DEFAULT 0,
    billNo         TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    ubillNo        TEXT,
    utypeId        INTEGER NOT NULL DEFAULT 0,
    customerId     INTEGER NOT NULL DEFAULT 0,
    customerName   TEXT    NOT NULL DEFAULT '',
    remark         TEXT,
    ispass         INTEGER NOT NULL DEFAULT 0,
    creator        TEXT    NOT NULL DEFAULT '',
    createTime     TEXT    NOT NULL DEFAULT '',
    updateLastUser TEXT,
    updateLastTime TEXT,
    userId         INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX ix_ck_head_billno ON tb_ck_head(billNo) WHERE billNo <> '';
CREATE INDEX ix_ck_head_customer ON tb_ck_head(customerId);
CREATE INDEX ix_ck_head_account ON tb_ck_head(accountId);
CREATE INDEX ix_ck_head_type ON tb_ck_head(utypeId);
CREATE INDEX ix_ck_head_user ON tb_ck_head(userId);
CREATE INDEX ix_ck_head_time ON tb_ck_head(createTime, id);

CREATE TABLE tb_ck_detail (
    id              INTEGER PRIMARY KEY,
    headId          INTEGER NOT NULL DEFAULT 0,
    rowNo           INTEGER NOT NULL DEFAULT 0,
    goodsTypeId     INTEGER NOT NULL DEFAULT 0,
    goodsTypeName   TEXT    NOT NULL DEFAULT '',
    goodsId         INTEGER NOT NULL DEFAULT 0,
    goodsCode       TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    goodsDetailCode TEXT    COLLATE NOCASE,
    goodsName       TEXT    NOT NULL DEFAULT '',
    goodsDesc       TEXT,
    unit            TEXT,
    inPrice         REAL    NOT NULL DEFAULT 0,
    salePrice       REAL    NOT NULL DEFAULT 0,
    packQty         REAL    NOT NULL DEFAULT 0,
    weight          REAL    NOT NULL DEFAULT 0,
    qty             REAL    NOT NULL DEFAULT 0,
    locationId      INTEGER NOT NULL DEFAULT 0,
    lotNo           TEXT,
    remark          TEXT
);
CREATE INDEX ix_ck_detail_head ON tb_ck_detail(headId);
CREATE INDEX ix_ck_detail_goods ON tb_ck_detail(goodsId);
CREATE INDEX ix_ck_detail_code ON tb_ck_detail(goodsCode, headId, id);
CREATE INDEX ix_ck_detail_location ON tb_ck_detail(locationId);

-- Bill heads with their display columns. The amount is text "#0.0#": at least
-- one and at most two decimals (12 -> 12.0, 2.25 -> 2.25), never "-0.0"; a bill
-- without lines shows 1单0项 and 0.0. Step 3 makes the bill views anew: their
-- amounts follow the bill rule of the program.
CREATE VIEW v_rk_head AS
SELECT a.id, a.accountId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.accountId), '') AS accountName,
       a.billNo, a.ubillNo, a.utypeId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.utypeId), '') AS utype,
       a.supplierId, a.ispass,
       CASE WHEN a.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,
       a.supplierName, a.remark, a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId,
       '1单' || (SELECT COUNT(*) FROM tb_rk_detail l WHERE l.headId = a.id) || '项' AS totalItemRow,
       (SELECT COUNT(*) FROM tb_rk_detail l WHERE l.headId = a.id) AS rowsCount,
       (SELECT SUM(l.qty) FROM tb_rk_detail l WHERE l.headId = a.id) AS totalQty,
       (SELECT CASE WHEN s.amount = 0 THEN '0.0'
                    WHEN s.amount = CAST(s.amount AS INTEGER)
                    THEN CAST(CAST(s.amount AS INTEGER) AS TEXT) || '.0'
                    ELSE CAST(s.amount AS TEXT) END
        FROM (SELECT ROUND(COALESCE(SUM(l.qty * l.inPrice), 0), 2) AS amount
              FROM tb_rk_detail l WHERE l.headId = a.id) s) AS totalAmount
FROM tb_rk_head a;

CREATE VIEW v_ck_head AS
SELECT a.id, a.accountId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.accountId), '') AS accountName,
       a.billNo, a.ubillNo, a.utypeId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.utypeId), '') AS utype,
       a.customerId, a.ispass,
       CASE WHEN a.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,
       a.customerName, a.remark, a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId,
       '1单' || (SELECT COUNT(*) FROM tb_ck_detail l WHERE l.headId = a.id) || '项' AS totalItemRow,
       (SELECT COUNT(*) FROM tb_ck_detail l WHERE l.headId = a.id) AS rowsCount,
       (SELECT SUM(l.qty) FROM tb_ck_detail l WHERE l.headId = a.id) AS totalQty,
       (SELECT CASE WHEN s.amount = 0 THEN '0.0'
                    WHEN s.amount = CAST(s.amount AS INTEGER)
                    THEN CAST(CAST(s.amount AS INTEGER) AS TEXT) || '.0'
                    ELSE CAST(s.amount AS TEXT) END
        FROM (SELECT ROUND(COALESCE(SUM(l.qty * l.salePrice), 0), 2) AS amount
              FROM tb_ck_detail l WHERE l.headId = a.id) s) AS totalAmount
FROM tb_ck_head a;

-- Bill lines with their head's columns. A line without a head never shows; the
-- quantity in default units is 0 for goods without a usable default unit.
CREATE VIEW v_rk_detail AS
SELECT l.id, l.headId, h.accountId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.accountId), '') AS accountName,
       h.ispass, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,
       h.billNo, h.ubillNo, h.utypeId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.utypeId), '') AS utype,
       h.supplierId, h.supplierName, h.userId,
       l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId, l.goodsCode, l.goodsDetailCode, l.goodsName,
       l.goodsDesc, l.unit, l.inPrice, l.packQty, l.weight, l.qty,
       l.packQty * l.qty AS totalQty,
       COALESCE(l.packQty * l.qty / (SELECT NULLIF(g.packQty, 0) FROM tb_goods_detail g
                                     WHERE g.headId = l.goodsId AND g.isDefault = 1 LIMIT 1), 0) AS totalDefaultQty,
       l.weight * l.qty AS totalWeight,
       l.inPrice * l.qty AS totalAmount,
       l.locationId,
       (SELECT c.locationCode FROM tb_location c WHERE c.id = l.locationId) AS locationCode,
       l.lotNo, l.remark
FROM tb_rk_detail l INNER JOIN tb_rk_head h ON h.id = l.headId;

CREATE VIEW v_ck_detail AS
SELECT l.id, l.headId, h.accountId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.accountId), '') AS accountName,
       h.ispass, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,
       h.billNo, h.ubillNo, h.utypeId,
       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.utypeId), '') AS utype,
       h.customerId, h.customerName, h.userId,
       l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId, l.goodsCode, l.goodsDetailCode, l.goodsName,
       l.goodsDesc, l.unit, l.inPrice, l.salePrice, l.packQty, l.weight, l.qty,
       l.packQty * l.qty AS totalQty,
       COALESCE(l.packQty * l.qty / (SELECT NULLIF(g.packQty, 0) FROM tb_goods_detail g
                                     WHERE g.headId = l.goodsId AND g.isDefault = 1 LIMIT 1), 0) AS totalDefaultQty,
       l.weight * l.qty AS totalWeight,
       l.salePrice * l.qty AS totalAmount,
       l.locationId,
       (SELECT c.locationCode FROM tb_location c WHERE c.id = l.locationId) AS locationCode,
       l.lotNo, l.remark
FROM tb_ck_detail l INNER JOIN tb_ck_head h ON h.id = l.headId;

-- ===================================================================
-- Schedule manager (completed by the schedule subsystem)
-- ===================================================================

CREATE TABLE tb_events (
    id           INTEGER PRIMARY KEY,
    eventContent TEXT,
    createTime   TEXT,
    createUserId INTEGER NOT NULL DEFAULT 0,
    flgType      TEXT,
    isStart      INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ix_events_time ON tb_events (createTime, id);
CREATE TABLE tb_setting (
    id       INTEGER PRIMARY KEY,
    setKey   TEXT COLLATE NOCASE,
    setValue TEXT
);
CREATE UNIQUE INDEX ix_setting_key ON tb_setting (setKey);

-- ===================================================================
-- Initial rows
-- ===================================================================

INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, remark, isstart, isSystemSet) VALUES
    (1, 'department',  '系统管理', 0, 0, '', 1, 1),
    (2, 'accountType', '默认账套', 0, 0, '', 1, 1),
    (3, 'importType',  '采购入库', 0, 0, '', 1, 1),
    (4, 'exportType',  '销售出库', 0, 0, '', 1, 1);

-- admin / 740
INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES
    (1, 'admin', 'cf9246bb0d40eb4d', '男', 1, 1);

INSERT INTO tb_account_fun (accountId, departmentId) VALUES (2, 1);

-- The function tree: the menus of the main frame, each window's actions under it.
INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES
    (1, 'SysMenu', '系统菜单', 0, 0, 1),
    (2, 'customer', '往来单位', 1, 0, 1),
    (3, 'customer_save', '保存', 2, 0, 1),
    (4, 'customer_update', '修改', 2, 0, 2),
    (5, 'customer_delete', '删除', 2, 0, 3),
    (6, 'customer_export', '导出', 2, 0, 4),
    (7, 'ckmg', '仓库管理', 1, 0, 2),
    (8, 'import', '入库业务', 7, 0, 1),
    (9, 'import_save', '保存', 8, 0, 1),
    (10, 'import_update', '修改', 8, 0, 2),
    (11, 'import_delete', '删除', 8, 0, 3),
    (12, 'import_pass', '审核', 8, 0, 4),
    (13, 'import_nopass', '反审核', 8, 0, 5),
    (14, 'import_print', '打印', 8, 0, 6),
    (15, 'import_searchBill', '单据查询', 8, 0, 7),
    (16, 'export', '出库业务', 7, 0, 2),
    (17, 'export_save', '保存', 16, 0, 1),
    (18, 'export_update', '修改', 16, 0, 2),
    (19, 'export_delete', '删除', 16, 0, 3),
    (20, 'export_pass', '审核', 16, 0, 4),
    (21, 'export_nopass', '反审核', 16, 0, 5),
    (22, 'export_print', '打印', 16, 0, 6),
    (23, 'export_searchBill', '单据查询', 16, 0, 7),
    (24, 'reportCenter', '报表分析', 1, 0, 3),
    (25, 'rpt_kczz', '库存总账', 24, 0, 1),
    (26, 'rpt_kczz_print', '打印', 25, 0, 1),
    (27, 'rpt_kczz_export', '导出', 25, 0, 2),
    (28, 'rpt_kctz', '库存台账', 24, 0, 2),
    (29, 'rpt_kctz_print', '打印', 28, 0, 1),
    (30, 'rpt_kctz_export', '导出', 28, 0, 2),
    (31, 'rpt_kwjk', '库位监控', 24, 0, 3),
    (32, 'rpt_kwjk_print', '打印', 31, 0, 1),
    (33, 'rpt_kwjk_export', '导出', 31, 0, 2),
    (34, 'rpt_hpjk', '货品监控', 24, 0, 4),
    (35, 'rpt_hpjk_print', '打印', 34, 0, 1),
    (36, 'rpt_hpjk_export', '导出', 34, 0, 2),
    (37, 'rpt_fckc', '分仓库存', 24, 0, 5),
    (38, 'rpt_fckc_print', '打印', 37, 0, 1),
    (39, 'rpt_fckc_export', '导出', 37, 0, 2),
    (40, 'rpt_rkbill', '入库单据', 24, 0, 6),
    (41, 'rpt_rkbill_print', '打印', 40, 0, 1),
    (42, 'rpt_rkbill_export', '导出', 40, 0, 2),
    (43, 'rpt_rkbill_browse', '查看单据', 40, 0, 3),
    (44, 'rpt_rkbill_delete', '删除', 40, 0, 4),
    (45, 'rpt_rkbill_pass', '审核', 40, 0, 5),
    (46, 'rpt_rkbill_nopass', '反审核', 40, 0, 6),
    (47, 'rpt_rkbill_add', '新增单据', 40, 0, 7),
    (48, 'rpt_rk_detail_bill', '入库明细', 24, 0, 7),
    (49, 'rpt_rk_detail_bill_print', '打印', 48, 0, 1),
    (50, 'rpt_rk_detail_bill_export', '导出', 48, 0, 2),
    (51, 'rpt_rk_detail_bill_browse', '查看单据', 48, 0, 3),
    (52, 'rpt_rk_detail_bill_delete', '删除', 48, 0, 4),
    (53, 'rpt_rksum', '入库汇总', 24, 0, 8),
    (54, 'rpt_rksum_print', '打印', 53, 0, 1),
    (55, 'rpt_rksum_export', '导出', 53, 0, 2),
    (56, 'rpt_ckbill', '出库单据', 24, 0, 9),
    (57, 'rpt_ckbill_print', '打印', 56, 0, 1),
    (58, 'rpt_ckbill_export', '导出', 56, 0, 2),
    (59, 'rpt_ckbill_browse', '查看单据', 56, 0, 3),
    (60, 'rpt_ckbill_delete', '删除', 56, 0, 4),
    (61, 'rpt_ckbill_pass', '审核', 56, 0, 5),
    (62, 'rpt_ckbill_nopass', '反审核', 56, 0, 6),
    (63, 'rpt_ckbill_add', '新增单据', 56, 0, 7),
    (64, 'rpt_ck_detail_bill', '出库明细', 24, 0, 10),
    (65, 'rpt_ck_detail_bill_print', '打印', 64, 0, 1),
    (66, 'rpt_ck_detail_bill_export', '导出', 64, 0, 2),
    (67, 'rpt_ck_detail_bill_browse', '查看单据', 64, 0, 3),
    (68, 'rpt_ck_detail_bill_delete', '删除', 64, 0, 4),
    (69, 'rpt_cksum', '出库汇总', 24, 0, 11),
    (70, 'rpt_cksum_print', '打印', 69, 0, 1),
    (71, 'rpt_cksum_export', '导出', 69, 0, 2),
    (72, 'rcmg', '日程管理', 1, 0, 4),
    (73, 'basicInfor', '基础档案', 1, 0, 5),
    (74, 'goodsInfor', '货品信息', 73, 0, 1),
    (75, 'goodsInfor_save', '保存', 74, 0, 1),
    (76, 'goodsInfor_update', '修改', 74, 0, 2),
    (77, 'goodsInfor_delete', '删除', 74, 0, 3),
    (78, 'goodsInfor_export', '导出', 74, 0, 4),
    (79, 'locationInfor', '库位信息', 73, 0, 2),
    (80, 'locationInfor_save', '保存', 79, 0, 1),
    (81, 'locationInfor_update', '修改', 79, 0, 2),
    (82, 'locationInfor_delete', '删除', 79, 0, 3),
    (83, 'locationInfor_export', '导出', 79, 0, 4),
    (84, 'system', '系统管理', 1, 0, 6),
    (85, 'dictionary', '数据字典', 84, 0, 1),
    (86, 'dictionary_save', '保存', 85, 0, 1),
    (87, 'dictionary_update', '修改', 85, 0, 2),
    (88, 'dictionary_delete', '删除', 85, 0, 3),
    (89, 'dictionary_export', '导出', 85, 0, 4),
    (90, 'limited', '权限设置', 84, 0, 2),
    (91, 'optionset', '选项', 84, 0, 3),
    (92, 'user', '用户信息', 84, 0, 4),
    (93, 'user_save', '保存', 92, 0, 1),
    (94, 'user_update', '修改', 92, 0, 2),
    (95, 'user_delete', '删除', 92, 0, 3),
    (96, 'user_export', '导出', 92, 0, 4),
    (97, 'modifyPW', '修改密码', 84, 0, 5);

-- The department 系统管理 holds every function right.
INSERT INTO tb_user_group_fun (funCode, departmentId) SELECT funCode, 1 FROM tb_sys_fun ORDER BY id;

INSERT INTO tb_Messagebox (Code, CDESC) VALUES
    ('NotEmpty',           '不能为空!'),
    ('AskSave',            '是否保存当前记录?'),
    ('AskUpdate',          '是否保存对当前记录的修改?'),
    ('AlreadySave',        '保存成功!'),
    ('ReNotHaveNotDelete', '不存在,不能删除!'),
    ('AlreadyAccount',     '不能删除!'),
    ('AskDelete',          '是否删除当前记录?'),
    ('AlreadyDelete',      '删除成功!'),
    ('LimitedUser',        '功能受限,请与系统管理联系!');

INSERT INTO tb_setting (id, setKey, setValue) VALUES (1, 'viewType', '列表显示');
