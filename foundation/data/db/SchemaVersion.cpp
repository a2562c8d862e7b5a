#include "SchemaVersion.h"

#include "BillDirection.h"
#include "DbError.h"
#include "SchemaLayout.h"

#include <QSqlError>
#include <QStringList>

#include <functional>

namespace
{

// Where a bill of one direction names a row: the table and its column.
struct BillUse {
    QString table;
    QString column;
};

// The trigger that keeps a row of table while a bill of either direction
// names it (use answers where), refusing with the windows' text for subject.
QString DeleteGuard(const QString& table, const QString& subject,
                    const std::function<BillUse(const BillDirectionFacts&)>& use)
{
    QString body;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        const BillUse u = use(f);
        body += QStringLiteral("    SELECT RAISE(ABORT, '当前%1在%2表已经建账,不能删除!')\n"
                               "    WHERE EXISTS (SELECT 1 FROM %3 WHERE %4 = OLD.id);\n")
                    .arg(subject, f.billWord, u.table, u.column);
    }
    return QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_%1_refs_delete BEFORE DELETE ON %2\nBEGIN\n")
               .arg(table.mid(3), table) +
           body + QStringLiteral("END");
}

// The references of one direction's bills: a line names its bill, goods
// item and location; a bill names its partner and keeps its lines.
QStringList DirectionReferences()
{
    QStringList out;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        const QString k = f.numberKind;
        for (const QString& event : {QStringLiteral("insert"), QStringLiteral("update")})
            out << QStringLiteral(
                       "CREATE TRIGGER IF NOT EXISTS tr_%1_detail_refs_%2 BEFORE %3 ON %4\n"
                       "BEGIN\n"
                       "    SELECT RAISE(ABORT, '%5明细的单据不存在!')\n"
                       "    WHERE NEW.headId <> 0 AND NOT EXISTS (SELECT 1 FROM %6 WHERE id = NEW.headId);\n"
                       "    SELECT RAISE(ABORT, '%5明细的货品不存在!')\n"
                       "    WHERE NEW.goodsId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_goods_head WHERE id = "
                       "NEW.goodsId);\n"
                       "    SELECT RAISE(ABORT, '%5明细的库位不存在!')\n"
                       "    WHERE NEW.locationId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_location WHERE id = "
                       "NEW.locationId);\n"
                       "END")
                       .arg(k, event,
                            event == QLatin1String("insert")
                                ? QStringLiteral("INSERT")
                                : QStringLiteral("UPDATE OF headId, goodsId, locationId"),
                            f.lineTable, f.billWord, f.headTable);
        for (const QString& event : {QStringLiteral("insert"), QStringLiteral("update")})
            out << QStringLiteral(
                       "CREATE TRIGGER IF NOT EXISTS tr_%1_head_refs_%2 BEFORE %3 ON %4\n"
                       "BEGIN\n"
                       "    SELECT RAISE(ABORT, '%5单的往来单位不存在!')\n"
                       "    WHERE NEW.%6 <> 0 AND NOT EXISTS (SELECT 1 FROM tb_customer WHERE id = NEW.%6);\n"
                       "END")
                       .arg(k, event,
                            event == QLatin1String("insert") ? QStringLiteral("INSERT")
                                                             : QStringLiteral("UPDATE OF ") + f.partnerIdCol,
                            f.headTable, f.billWord, f.partnerIdCol);
        out << QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_%1_head_refs_delete BEFORE DELETE ON %2\n"
                              "BEGIN\n"
                              "    SELECT RAISE(ABORT, '%3单还有明细,不能删除!')\n"
                              "    WHERE EXISTS (SELECT 1 FROM %4 WHERE headId = OLD.id);\n"
                              "END")
                   .arg(k, f.headTable, f.billWord, f.lineTable);
    }
    return out;
}

// The next bill or partner number reads the month's largest serial from one
// index probe: the number's "kk-YYMM-" part, then its serial as a number
// (100000 after 99999). One index for each direction's bill heads and one
// for the partners.
QStringList SerialIndexes()
{
    const auto index = [](const QString& table, const QString& column) {
        return QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_serial ON %2(substr(%3,1,8) COLLATE NOCASE,\n"
                              "    CAST(substr(%3,9) AS INTEGER)) WHERE %3 <> ''")
            .arg(table.mid(3), table, column);
    };
    QStringList out;
    for (const BillDirection d : kBillDirections)
        out << index(BillDirectionFacts::Of(d).headTable, QStringLiteral("billNo"));
    out << index(QStringLiteral("tb_customer"), QStringLiteral("customerCode"));
    return out;
}

// The tables whose ids are taken from a sequence of their own (tb_sequence):
// the rows a kept report search holds by id, and the records windows load and
// save back. An id once given is never given to another row of the table.
const QStringList& SequencedTables()
{
    static const QStringList tables = [] {
        QStringList out;
        for (const BillDirection d : kBillDirections) {
            const BillDirectionFacts& f = BillDirectionFacts::Of(d);
            out << f.headTable << f.lineTable;
        }
        out << QStringLiteral("tb_goods_head") << QStringLiteral("tb_goods_detail")
            << QStringLiteral("tb_customer") << QStringLiteral("tb_location")
            << QStringLiteral("tb_dictionary");
        return out;
    }();
    return tables;
}

// The tables whose rows carry a change stamp (rowVersion): the records a
// window loads and saves back. A save compares the stamp it loaded with the
// stored one inside its write and raises it by one.
QStringList StampedTables()
{
    QStringList out;
    for (const BillDirection d : kBillDirections)
        out << BillDirectionFacts::Of(d).headTable;
    out << QStringLiteral("tb_goods_head") << QStringLiteral("tb_customer") << QStringLiteral("tb_location")
        << QStringLiteral("tb_dictionary");
    return out;
}

// The trigger that moves the sequence of table past the id of a row written
// by any other way than the sequence.
QString SequenceFollower(const QString& table)
{
    return QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_%1_sequence AFTER INSERT ON %2\n"
                          "BEGIN\n"
                          "    UPDATE tb_sequence SET lastId = NEW.id WHERE tableName = '%2' AND lastId < "
                          "NEW.id;\n"
                          "END")
        .arg(table.mid(3), table);
}

// A column that names a row of another table by its id.
struct NamingColumn {
    QString table;
    QString column;
};

// Every column of the layout that names a row of table by its id, stored
// rows of its own or not.
QList<NamingColumn> NamingColumns(const QString& table)
{
    QList<NamingColumn> out;
    const auto add = [&out](const QString& t, const QString& c) { out.append({t, c}); };
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        if (table == f.headTable)
            add(f.lineTable, QStringLiteral("headId"));
        if (table == QLatin1String("tb_goods_head"))
            add(f.lineTable, QStringLiteral("goodsId"));
        if (table == QLatin1String("tb_location"))
            add(f.lineTable, QStringLiteral("locationId"));
        if (table == QLatin1String("tb_customer"))
            add(f.headTable, f.partnerIdCol);
        if (table == QLatin1String("tb_dictionary")) {
            add(f.headTable, QStringLiteral("accountId"));
            add(f.headTable, QStringLiteral("utypeId"));
            add(f.lineTable, QStringLiteral("goodsTypeId"));
        }
        if (table == QLatin1String("tb_user"))
            add(f.headTable, QStringLiteral("userId"));
    }
    if (table == QLatin1String("tb_goods_head")) {
        add(QStringLiteral("tb_goods_detail"), QStringLiteral("headId"));
        add(QStringLiteral("tb_goods_input_key"), QStringLiteral("headId"));
    }
    if (table == QLatin1String("tb_goods_detail"))
        add(QStringLiteral("tb_goods_input_key"), QStringLiteral("detailId"));
    if (table == QLatin1String("tb_location")) {
        add(QStringLiteral("tb_location"), QStringLiteral("parentId"));
        add(QStringLiteral("tb_location_fun"), QStringLiteral("locationId"));
    }
    if (table == QLatin1String("tb_dictionary")) {
        add(QStringLiteral("tb_goods_head"), QStringLiteral("goodsTypeId"));
        add(QStringLiteral("tb_customer"), QStringLiteral("customType"));
        add(QStringLiteral("tb_user"), QStringLiteral("dictionaryId"));
        add(QStringLiteral("tb_dictionary"), QStringLiteral("parentId"));
        add(QStringLiteral("tb_account_fun"), QStringLiteral("accountId"));
        add(QStringLiteral("tb_account_fun"), QStringLiteral("departmentId"));
        add(QStringLiteral("tb_location_fun"), QStringLiteral("departmentId"));
        add(QStringLiteral("tb_user_group_fun"), QStringLiteral("departmentId"));
    }
    if (table == QLatin1String("tb_user")) {
        add(QStringLiteral("tb_customer"), QStringLiteral("userId"));
        add(QStringLiteral("tb_events"), QStringLiteral("createUserId"));
    }
    return out;
}

// Step 5: no new row takes an id an old row still names. Every sequence
// starts above every id its table stores and every id another row names
// (a line naming a deleted goods item or location, a bill naming a deleted
// account tag, bill type or partner, a user naming a deleted department, a
// unit of a deleted goods item), so such a row keeps naming nothing rather
// than the next new row. Users and notes take their ids from sequences too.
// A sequence is never lowered or dropped: an update to a lower value, the
// delete of its row and a lower row written in its place are left undone.
QStringList NamedIdsKept()
{
    const QStringList newlySequenced{QStringLiteral("tb_user"), QStringLiteral("tb_events")};
    QStringList out;
    for (const QString& table : newlySequenced)
        out << QStringLiteral("INSERT OR IGNORE INTO tb_sequence (tableName, lastId) VALUES ('%1', 0)")
                   .arg(table);
    for (const QString& table : SequencedTables() + newlySequenced) {
        QStringList highest{QStringLiteral("lastId"),
                            QStringLiteral("COALESCE((SELECT MAX(id) FROM %1), 0)").arg(table)};
        for (const NamingColumn& c : NamingColumns(table))
            highest << QStringLiteral("COALESCE((SELECT MAX(%1) FROM %2), 0)").arg(c.column, c.table);
        out << QStringLiteral("UPDATE tb_sequence SET lastId = max(%1)\nWHERE tableName = '%2'")
                   .arg(highest.join(QStringLiteral(",\n    ")), table);
    }
    for (const QString& table : newlySequenced)
        out << SequenceFollower(table);
    out << QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_sequence_keep_update BEFORE UPDATE OF lastId ON "
                          "tb_sequence\n"
                          "WHEN NEW.lastId < OLD.lastId\n"
                          "BEGIN\n"
                          "    SELECT RAISE(IGNORE);\n"
                          "END")
        << QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS tr_sequence_keep_delete BEFORE DELETE ON tb_sequence\n"
               "BEGIN\n"
               "    SELECT RAISE(IGNORE);\n"
               "END")
        << QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS tr_sequence_keep_insert BEFORE INSERT ON tb_sequence\n"
               "WHEN EXISTS (SELECT 1 FROM tb_sequence s WHERE s.tableName = NEW.tableName AND "
               "s.lastId > NEW.lastId)\n"
               "BEGIN\n"
               "    SELECT RAISE(IGNORE);\n"
               "END");
    return out;
}

// The children no tree shows go to the top of their tree: first those whose
// parent is gone (or, in the dictionary, of another kind: a tree shows an
// item under a parent of its own kind only), then, of each loop of parents
// that nothing above reaches, its smallest id. What hangs below them comes
// along. A file without such rows is left as it is.
QStringList TopLevelForUnshown()
{
    return {
        QStringLiteral("UPDATE tb_location SET parentId = 0\n"
                       "WHERE parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_location p WHERE p.id = "
                       "tb_location.parentId)"),
        QStringLiteral(
            "UPDATE tb_location SET parentId = 0 WHERE id IN (\n"
            "    WITH RECURSIVE shown(id) AS (\n"
            "        SELECT id FROM tb_location WHERE parentId = 0\n"
            "        UNION SELECT c.id FROM tb_location c JOIN shown s ON c.parentId = s.id),\n"
            "    up(start, node, depth) AS (\n"
            "        SELECT id, parentId, 1 FROM tb_location WHERE id NOT IN (SELECT id FROM shown)\n"
            "        UNION ALL SELECT u.start, l.parentId, u.depth + 1 FROM up u JOIN tb_location l ON "
            "l.id = u.node\n"
            "        WHERE u.depth <= (SELECT COUNT(*) FROM tb_location))\n"
            "    SELECT start FROM up GROUP BY start HAVING MAX(node = start) = 1 AND MIN(node) >= "
            "start)"),
        QStringLiteral("UPDATE tb_dictionary SET parentId = 0\n"
                       "WHERE parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary p WHERE p.id = "
                       "tb_dictionary.parentId AND p.utype = tb_dictionary.utype)"),
        QStringLiteral(
            "UPDATE tb_dictionary SET parentId = 0 WHERE id IN (\n"
            "    WITH RECURSIVE shown(id, utype) AS (\n"
            "        SELECT id, utype FROM tb_dictionary WHERE parentId = 0\n"
            "        UNION SELECT c.id, c.utype FROM tb_dictionary c JOIN shown s ON c.parentId = s.id "
            "AND c.utype = s.utype),\n"
            "    up(start, node, depth) AS (\n"
            "        SELECT id, parentId, 1 FROM tb_dictionary WHERE id NOT IN (SELECT id FROM shown)\n"
            "        UNION ALL SELECT u.start, d.parentId, u.depth + 1 FROM up u JOIN tb_dictionary d ON "
            "d.id = u.node\n"
            "        WHERE u.depth <= (SELECT COUNT(*) FROM tb_dictionary))\n"
            "    SELECT start FROM up GROUP BY start HAVING MAX(node = start) = 1 AND MIN(node) >= "
            "start)"),
    };
}

// Step 4: rows keep who they are. Ids from sequences kept in the file,
// started above every id the file holds; change stamps; a bill head's account
// tag and bill type and a packing unit's goods item declared like the other
// references; and the children an older file left under a deleted parent
// (or under a parent of another kind, or in a loop of parents) moved to the
// top of their tree, where the windows show them.
QStringList KeptIdentity()
{
    QStringList out;
    out << QStringLiteral("CREATE TABLE tb_sequence (\n"
                          "    tableName TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,\n"
                          "    lastId    INTEGER NOT NULL DEFAULT 0\n"
                          ")");
    for (const QString& table : StampedTables())
        out << QStringLiteral("ALTER TABLE %1 ADD COLUMN rowVersion INTEGER NOT NULL DEFAULT 0").arg(table);
    QStringList starts;
    for (const QString& table : SequencedTables())
        starts << QStringLiteral("SELECT '%1', COALESCE(MAX(id), 0) FROM %1").arg(table);
    out << QStringLiteral("INSERT INTO tb_sequence (tableName, lastId)\n") +
               starts.join(QStringLiteral("\nUNION ALL "));
    // A row written by any other way (another program, an import) moves its
    // table's sequence past its id too.
    for (const QString& table : SequencedTables())
        out << SequenceFollower(table);
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        for (const QString& event : {QStringLiteral("insert"), QStringLiteral("update")})
            out << QStringLiteral(
                       "CREATE TRIGGER IF NOT EXISTS tr_%1_head_dict_refs_%2 BEFORE %3 ON %4\n"
                       "BEGIN\n"
                       "    SELECT RAISE(ABORT, '%5单的账目标识不存在!')\n"
                       "    WHERE NEW.accountId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id = "
                       "NEW.accountId);\n"
                       "    SELECT RAISE(ABORT, '%5单的%5类别不存在!')\n"
                       "    WHERE NEW.utypeId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id = "
                       "NEW.utypeId);\n"
                       "END")
                       .arg(f.numberKind, event,
                            event == QLatin1String("insert") ? QStringLiteral("INSERT")
                                                             : QStringLiteral("UPDATE OF accountId, utypeId"),
                            f.headTable, f.billWord);
    }
    QStringList billUses;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        billUses << QStringLiteral("    SELECT RAISE(ABORT, '当前账目标识在%1表已经建账,不能删除!')\n"
                                   "    WHERE EXISTS (SELECT 1 FROM %2 WHERE accountId = OLD.id);\n"
                                   "    SELECT RAISE(ABORT, '当前%1类别在%1表已经建账,不能删除!')\n"
                                   "    WHERE EXISTS (SELECT 1 FROM %2 WHERE utypeId = OLD.id);\n")
                        .arg(f.billWord, f.headTable);
    }
    out << QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_dictionary_bill_refs_delete BEFORE DELETE ON "
                          "tb_dictionary\n"
                          "BEGIN\n") +
               billUses.join(QString()) + QStringLiteral("END");
    for (const QString& event : {QStringLiteral("insert"), QStringLiteral("update")})
        out << QStringLiteral(
                   "CREATE TRIGGER IF NOT EXISTS tr_goods_detail_refs_%1 BEFORE %2 ON tb_goods_detail\n"
                   "BEGIN\n"
                   "    SELECT RAISE(ABORT, '包装单位的货品不存在!')\n"
                   "    WHERE NEW.headId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_goods_head WHERE id = "
                   "NEW.headId);\n"
                   "END")
                   .arg(event, event == QLatin1String("insert") ? QStringLiteral("INSERT")
                                                                : QStringLiteral("UPDATE OF headId"));
    out << QStringLiteral(
        "CREATE TRIGGER IF NOT EXISTS tr_goods_head_units_delete BEFORE DELETE ON tb_goods_head\n"
        "BEGIN\n"
        "    SELECT RAISE(ABORT, '当前货品还有包装单位,不能删除!')\n"
        "    WHERE EXISTS (SELECT 1 FROM tb_goods_detail WHERE headId = OLD.id);\n"
        "END");
    out << TopLevelForUnshown();
    return out;
}

// The bill views of both directions: the heads with their display columns,
// the lines with their head's columns. The amounts follow the bill rule of
// the program (line_amount, bill_amount: NumberSql.h), so that a bill's
// amount reads the same in the window, the lists, the views and the prints.
QStringList BillViews()
{
    QStringList out;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        out << QStringLiteral("DROP VIEW IF EXISTS %1").arg(f.headView)
            << QStringLiteral(
                   "CREATE VIEW %1 AS\n"
                   "SELECT a.id, a.accountId,\n"
                   "       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.accountId), '') AS "
                   "accountName,\n"
                   "       a.billNo, a.ubillNo, a.utypeId,\n"
                   "       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = a.utypeId), '') AS "
                   "utype,\n"
                   "       a.%2, a.ispass,\n"
                   "       CASE WHEN a.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,\n"
                   "       a.%3, a.remark, a.creator, a.createTime, a.updateLastUser, a.updateLastTime, "
                   "a.userId,\n"
                   "       '1单' || (SELECT COUNT(*) FROM %4 l WHERE l.headId = a.id) || '项' AS "
                   "totalItemRow,\n"
                   "       (SELECT COUNT(*) FROM %4 l WHERE l.headId = a.id) AS rowsCount,\n"
                   "       (SELECT SUM(l.qty) FROM %4 l WHERE l.headId = a.id) AS totalQty,\n"
                   "       (SELECT bill_amount(l.qty, l.%5) FROM %4 l WHERE l.headId = a.id) AS totalAmount\n"
                   "FROM %6 a")
                   .arg(f.headView, f.partnerIdCol, f.partnerNameCol, f.lineTable, f.priceCol, f.headTable);
    }
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& f = BillDirectionFacts::Of(d);
        out << QStringLiteral("DROP VIEW IF EXISTS %1").arg(f.lineView)
            << QStringLiteral(
                   "CREATE VIEW %1 AS\n"
                   "SELECT l.id, l.headId, h.accountId,\n"
                   "       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.accountId), '') AS "
                   "accountName,\n"
                   "       h.ispass, CASE WHEN h.ispass = 0 THEN '未审核' ELSE '已审核' END AS passName,\n"
                   "       h.billNo, h.ubillNo, h.utypeId,\n"
                   "       COALESCE((SELECT d.uname FROM tb_dictionary d WHERE d.id = h.utypeId), '') AS "
                   "utype,\n"
                   "       h.%2, h.%3, h.userId,\n"
                   "       l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId, l.goodsCode, "
                   "l.goodsDetailCode, "
                   "l.goodsName,\n"
                   "       l.goodsDesc, l.unit, l.inPrice, %4l.packQty, l.weight, l.qty,\n"
                   "       l.packQty * l.qty AS totalQty,\n"
                   "       COALESCE(l.packQty * l.qty / (SELECT NULLIF(g.packQty, 0) FROM tb_goods_detail g\n"
                   "                                     WHERE g.headId = l.goodsId AND g.isDefault = 1 "
                   "LIMIT 1), "
                   "0) AS totalDefaultQty,\n"
                   "       l.weight * l.qty AS totalWeight,\n"
                   "       line_amount(l.qty, l.%5) AS totalAmount,\n"
                   "       l.locationId,\n"
                   "       (SELECT c.locationCode FROM tb_location c WHERE c.id = l.locationId) AS "
                   "locationCode,\n"
                   "       l.lotNo, l.remark\n"
                   "FROM %6 l INNER JOIN %7 h ON h.id = l.headId")
                   .arg(f.lineView, f.partnerIdCol, f.partnerNameCol,
                        f.hasSalePrice ? QStringLiteral("l.salePrice, ") : QString(), f.priceCol, f.lineTable,
                        f.headTable);
    }
    return out;
}

// The statements that bring a database of version n - 1 to version n, at
// index n - 1. A fresh database takes them too, after the base layout of
// db/schema.sql (CreateDatabase, DbCreator.h), so that it holds what an
// upgraded file holds (a step's moves of rows an older file left dangling
// have nothing to move there). Step 1 meets the databases made before the
// version was kept: their layout is that of version 1 already, so the stamp is
// all they need.
const QStringList kSteps[kSchemaVersion] = {
    {}, // 1
    // 2: declared references. SQLite itself refuses a row that names a
    // goods item, location, partner, bill, parent or goods type that is
    // not stored, and the delete of a row that bill lines, bills or goods
    // still name. An id of 0 names none and is let through (the data
    // classes check where one is required). Triggers, because a foreign
    // key cannot be added to a stored table without rebuilding it, and
    // because 0 is no row.
    DirectionReferences() +
        QStringList{
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_goods_head_refs_insert BEFORE INSERT ON tb_goods_head\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '货品的类别不存在!')\n"
                "    WHERE NEW.goodsTypeId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id = "
                "NEW.goodsTypeId);\n"
                "END"),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_goods_head_refs_update BEFORE UPDATE OF goodsTypeId "
                "ON tb_goods_head\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '货品的类别不存在!')\n"
                "    WHERE NEW.goodsTypeId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id "
                "= NEW.goodsTypeId);\n"
                "END"),
            DeleteGuard(QStringLiteral("tb_goods_head"), QStringLiteral("货品"),
                        [](const BillDirectionFacts& f) {
                            return BillUse{f.lineTable, QStringLiteral("goodsId")};
                        }),
            DeleteGuard(QStringLiteral("tb_customer"), QStringLiteral("往来单位"),
                        [](const BillDirectionFacts& f) {
                            return BillUse{f.headTable, f.partnerIdCol};
                        }),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_location_refs_insert BEFORE INSERT ON tb_location\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '上级库位不存在!')\n"
                "    WHERE NEW.parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_location WHERE id = "
                "NEW.parentId);\n"
                "END"),
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_location_refs_update BEFORE UPDATE OF parentId "
                           "ON tb_location\n"
                           "BEGIN\n"
                           "    SELECT RAISE(ABORT, '上级库位不存在!')\n"
                           "    WHERE NEW.parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_location WHERE id = "
                           "NEW.parentId);\n"
                           "END"),
            DeleteGuard(QStringLiteral("tb_location"), QStringLiteral("库位"),
                        [](const BillDirectionFacts& f) {
                            return BillUse{f.lineTable, QStringLiteral("locationId")};
                        }),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_dictionary_refs_insert BEFORE INSERT ON tb_dictionary\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '上级项目不存在!')\n"
                "    WHERE NEW.parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id = "
                "NEW.parentId);\n"
                "END"),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_dictionary_refs_update BEFORE UPDATE OF parentId ON "
                "tb_dictionary\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '上级项目不存在!')\n"
                "    WHERE NEW.parentId <> 0 AND NOT EXISTS (SELECT 1 FROM tb_dictionary WHERE id = "
                "NEW.parentId);\n"
                "END"),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS tr_dictionary_refs_delete BEFORE DELETE ON tb_dictionary\n"
                "BEGIN\n"
                "    SELECT RAISE(ABORT, '当前货品类别在货品信息表已经建账,不能删除!')\n"
                "    WHERE EXISTS (SELECT 1 FROM tb_goods_head WHERE goodsTypeId = OLD.id);\n"
                "END"),
        } +
        SerialIndexes(),
    // 3: the bill views compute a bill's amount by the bill rule (each line's
    // exact product rounded once, their exact sum, then two places) instead
    // of a binary sum.
    BillViews(),
    // 4: rows keep who they are.
    KeptIdentity(),
    // 5: no new row takes an id an old row still names.
    NamedIdsKept(),
};

} // namespace

const QStringList& SchemaStepStatements(int version)
{
    static const QStringList none;
    return version >= 1 && version <= kSchemaVersion ? kSteps[version - 1] : none;
}

namespace
{

QString errorText(const QSqlError& e)
{
    return SqlErrorText(e);
}

bool readVersion(QSqlQuery& q, int& version)
{
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return false;
    version = q.value(0).toInt();
    q.finish();
    return true;
}

// Tables every database of this program has held since its first version.
// A file without them is not brought up: it belongs to another program, or
// is empty.
bool readIsOurs(QSqlQuery& q, bool& ours)
{
    if (!q.exec(
            QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) IN "
                           "('tb_user', 'tb_dictionary', 'tb_setting', 'tb_goods_head', 'tb_goods_detail', "
                           "'tb_location', 'tb_customer', 'tb_rk_head', 'tb_ck_head')")) ||
        !q.next())
        return false;
    ours = q.value(0).toInt() == 9;
    q.finish();
    return true;
}

SchemaUpgrade newer(int found)
{
    SchemaUpgrade out;
    out.outcome = SchemaUpgrade::Outcome::Newer;
    out.found = found;
    out.message = QStringLiteral("数据库版本(%1)高于本程序支持的版本(%2)").arg(found).arg(kSchemaVersion);
    return out;
}

} // namespace

bool StampSchemaVersion(QSqlQuery& q, int version)
{
    return q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

SchemaUpgrade UpgradeSchema(QSqlDatabase db)
{
    SchemaUpgrade out;
    QSqlQuery q(db);
    bool ours = false;
    if (!readVersion(q, out.found) || (out.found <= kSchemaVersion && !readIsOurs(q, ours))) {
        out.outcome = SchemaUpgrade::Outcome::Unreadable;
        out.message = errorText(q.lastError());
        return out;
    }
    if (out.found > kSchemaVersion)
        return newer(out.found);
    if (!ours) {
        out.outcome = SchemaUpgrade::Outcome::Foreign;
        return out;
    }
    Layout layout;
    if (out.found == kSchemaVersion) {
        if (!ReadLayout(q, layout)) {
            out.outcome = SchemaUpgrade::Outcome::Unreadable;
            out.message = errorText(q.lastError());
            return out;
        }
        if (LayoutRepairs(layout).isEmpty())
            return out;
    }

    // Another copy of the program may be taking the same steps: the version
    // is read again under the write lock, and the steps start from there.
    const auto fail = [&] {
        out.outcome = SchemaUpgrade::Outcome::Failed;
        out.message = errorText(q.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return out;
    };
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail();
    int version = 0;
    if (!readVersion(q, version))
        return fail();
    if (version > kSchemaVersion) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return newer(version);
    }
    for (int step = version + 1; step <= kSchemaVersion; ++step) {
        for (const QString& statement : SchemaStepStatements(step)) {
            if (!q.exec(statement))
                return fail();
        }
    }
    // A file whose steps were taken by a build that said something else in
    // them gets the indexes, views and triggers a fresh file holds.
    if (!ReadLayout(q, layout))
        return fail();
    for (const QString& statement : LayoutRepairs(layout)) {
        if (!q.exec(statement))
            return fail();
    }
    if (!StampSchemaVersion(q) || !q.exec(QStringLiteral("COMMIT")))
        return fail();
    return out;
}
