// e2e_bill_saver <folder> <lines>: saves inbound bills of that many lines into
// the folder's database, one after another, until it is killed. After each
// stored bill it prints "saved <id>", so the test knows saves are under way.
#include "BillStore.h"
#include "DbError.h"
#include "m_DBresult.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: e2e_bill_saver <folder> <lines>\n");
        return 2;
    }
    SetAppPathOverride(args.at(1));
    const int lineCount = args.at(2).toInt();
    BillStore store(BillSetup::In());
    try {
        // The partner, goods item and location every bill names.
        ExecuteSql(QStringLiteral("insert or ignore into tb_dictionary (id,utype,uname) values "
                                  "(900,'goodsType','断电货品')"));
        ExecuteSql(
            QStringLiteral("insert or ignore into tb_goods_head (id,goodsTypeId,goodsCode,goodsName) values "
                           "(1,900,'G1','货品')"));
        ExecuteSql(QStringLiteral("insert or ignore into tb_location (id,locationCode,uname) values "
                                  "(1,'A-01','一号位')"));
        ExecuteSql(QStringLiteral("insert or ignore into tb_customer (id,uname) values (1,'断电供应商')"));
        for (;;) {
            BillHead head;
            head.accountId = 2;
            head.utypeId = 3;
            head.partnerId = 1;
            head.partnerName = QStringLiteral("断电供应商");
            head.creator = QStringLiteral("admin");
            head.createTime = QStringLiteral("2024-05-20");
            head.userId = 1;
            QList<BillLine> lines;
            for (int i = 1; i <= lineCount; ++i) {
                BillLine line;
                line.rowNo = i;
                line.goodsId = 1;
                line.goodsCode = QStringLiteral("G%1").arg(i);
                line.goodsName = QStringLiteral("货品%1").arg(i);
                line.unit = QStringLiteral("瓶");
                line.packQty = 1;
                line.qty = i;
                line.inPrice = 1.5;
                line.locationId = 1;
                line.remark = QString(200, QLatin1Char('x'));
                lines.append(line);
            }
            const m_DBresult r = store.Add(head, lines);
            if (!r.isResult) {
                std::fprintf(stderr, "%s\n", qPrintable(r.str_MsgBox));
                return 1;
            }
            std::printf("saved %d\n", head.id);
            std::fflush(stdout);
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}
