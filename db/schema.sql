-- Schema and initial rows of the warehouse database (SQLite).
-- Ids are given by the program (largest + 1). Date-times are text
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
CREATE INDEX ix_dictionary_parent ON tb_dictionary(parentId);

CREATE VIEW v_user AS
SELECT u.id, u.[user] AS [user], u.pw, u.usex, u.isStart, u.dictionaryId,
       COALESCE(d.uname, '') AS department
FROM tb_user u LEFT JOIN tb_dictionary d ON d.id = u.dictionaryId;

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
CREATE INDEX ix_goods_head_code ON tb_goods_head(goodsCode);
CREATE INDEX ix_goods_head_type ON tb_goods_head(goodsTypeId);

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
CREATE INDEX ix_goods_detail_head ON tb_goods_detail(headId, isDefault);
CREATE INDEX ix_goods_detail_code ON tb_goods_detail(goodsDetailCode);

-- ===================================================================
-- Partners and locations (completed by the partners subsystem)
-- ===================================================================

CREATE TABLE tb_customer (
    id           INTEGER PRIMARY KEY,
    customerCode TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    userId       INTEGER NOT NULL DEFAULT 0,
    customType   INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE tb_location (
    id       INTEGER PRIMARY KEY,
    uname    TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    parentId INTEGER NOT NULL DEFAULT 0,
    orderby  INTEGER NOT NULL DEFAULT 0,
    state    INTEGER NOT NULL DEFAULT 1,
    isLock   INTEGER NOT NULL DEFAULT 0
);

-- ===================================================================
-- Bills (completed by the inbound and outbound subsystems)
-- ===================================================================

CREATE TABLE tb_rk_head (
    id        INTEGER PRIMARY KEY,
    BillNo    TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    userId    INTEGER NOT NULL DEFAULT 0,
    accountId INTEGER NOT NULL DEFAULT 0,
    utypeId   INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_rk_detail (
    id      INTEGER PRIMARY KEY,
    goodsId INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_ck_head (
    id        INTEGER PRIMARY KEY,
    BillNo    TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    userId    INTEGER NOT NULL DEFAULT 0,
    accountId INTEGER NOT NULL DEFAULT 0,
    utypeId   INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_ck_detail (
    id      INTEGER PRIMARY KEY,
    goodsId INTEGER NOT NULL DEFAULT 0
);

-- ===================================================================
-- Schedule manager (completed by the schedule subsystem)
-- ===================================================================

CREATE TABLE tb_events (
    id           INTEGER PRIMARY KEY,
    createUserId INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tb_setting (
    id INTEGER PRIMARY KEY
);

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
