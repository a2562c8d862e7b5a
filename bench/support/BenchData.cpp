#include "BenchData.h"

#include "DbCreator.h"
#include "DbError.h"
#include "SchemaVersion.h"
#include "ToPinyin.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QStringList>
#include <cstdio>
#include <vector>

namespace
{

const QStringList& brands()
{
    static const QStringList list = {
        QStringLiteral("可口"), QStringLiteral("百事"),   QStringLiteral("康师傅"), QStringLiteral("统一"),
        QStringLiteral("农夫"), QStringLiteral("娃哈哈"), QStringLiteral("雀巢"),   QStringLiteral("伊利"),
        QStringLiteral("蒙牛"), QStringLiteral("光明"),   QStringLiteral("青岛"),   QStringLiteral("燕京"),
    };
    return list;
}

const QStringList& products()
{
    static const QStringList list = {
        QStringLiteral("可乐"), QStringLiteral("雪碧"),   QStringLiteral("矿泉水"), QStringLiteral("绿茶"),
        QStringLiteral("红茶"), QStringLiteral("果汁"),   QStringLiteral("牛奶"),   QStringLiteral("酸奶"),
        QStringLiteral("咖啡"), QStringLiteral("方便面"), QStringLiteral("啤酒"),   QStringLiteral("饼干"),
        QStringLiteral("薯片"), QStringLiteral("巧克力"), QStringLiteral("面包"),   QStringLiteral("香肠"),
    };
    return list;
}

const QStringList& unitNames()
{
    static const QStringList list = {QStringLiteral("瓶"), QStringLiteral("盒"), QStringLiteral("箱"),
                                     QStringLiteral("件"), QStringLiteral("托")};
    return list;
}

int scalarInt(const QString& sql)
{
    const RecordSetPtr rs = ExecuteSql(sql);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

} // namespace

BenchData::BenchData() : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid())
        throw DbError(QStringLiteral("no temporary folder"));
    const QString error = CreateFreshDatabase(folder() + QStringLiteral("wms.db"));
    if (!error.isEmpty())
        throw DbError(error);
    Use();
}

BenchData::BenchData(const QString& copyOf) : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid() || !QFile::copy(copyOf, folder() + QStringLiteral("wms.db")))
        throw DbError(QStringLiteral("cannot copy ") + copyOf);
    Use();
}

BenchData::~BenchData()
{
    CloseConn();
    SetAppPathOverride({});
}

namespace
{
// The databases of the benchmarks go before the application does (the
// connection must go first).
void DropAtExit(std::unique_ptr<BenchData>& slot)
{
    static std::vector<std::unique_ptr<BenchData>*> kept;
    if (kept.empty())
        qAddPostRoutine([] {
            for (std::unique_ptr<BenchData>* s : kept)
                s->reset();
        });
    kept.push_back(&slot);
}
} // namespace

BenchData& BenchData::Once(std::unique_ptr<BenchData>& slot, const std::function<void(BenchData&)>& build)
{
    if (!slot) {
        DropAtExit(slot);
        slot = std::make_unique<BenchData>();
        build(*slot);
    }
    return *slot;
}

QString BenchData::KeptFolder()
{
    const QString set = qEnvironmentVariable("WMS_BENCH_DATA");
    return QDir(set.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data")
                              : set)
               .absolutePath() +
           QLatin1Char('/');
}

BenchData& BenchData::Kept(std::unique_ptr<BenchData>& slot, const QString& name,
                           const std::function<void(BenchData&)>& build)
{
    if (slot)
        return *slot;
    // The schema's version is part of the name: a file made for another
    // layout is made again.
    const QString kept = KeptFolder() + name + QStringLiteral("-s%1.db").arg(kSchemaVersion);
    QElapsedTimer clock;
    clock.start();
    if (QFile::exists(kept)) {
        DropAtExit(slot);
        slot.reset(new BenchData(kept));
        std::fprintf(stderr, "bench data %s: copied in %.1f s\n", qPrintable(name), clock.elapsed() / 1000.0);
        return *slot;
    }
    try {
        Once(slot, build);
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench data %s: %s\n", qPrintable(name), qPrintable(e.message()));
        throw;
    }
    BenchData& made = *slot;
    CloseConn();
    QDir().mkpath(KeptFolder());
    const QString part = kept + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(made.folder() + QStringLiteral("wms.db"), part) || !QFile::rename(part, kept))
        std::fprintf(stderr, "bench data %s: could not keep %s\n", qPrintable(name), qPrintable(kept));
    made.Use();
    std::fprintf(stderr, "bench data %s: made in %.1f s, kept as %s\n", qPrintable(name),
                 clock.elapsed() / 1000.0, qPrintable(QDir::toNativeSeparators(kept)));
    return made;
}

void BenchData::Use()
{
    CloseConn();
    SetAppPathOverride(m_dir->path());
    SetEndProgramOnMissingDb(false);
    OpenConn();
}

void BenchData::UseIfElsewhere()
{
    if (!IsConnOpen() || QDir(GetAppPath()) != QDir(m_dir->path()))
        Use();
}

QString BenchData::folder() const
{
    return m_dir->path() + QStringLiteral("/");
}

QString BenchData::GoodsCode(int goodsId)
{
    return QStringLiteral("G%1").arg(goodsId, 7, 10, QLatin1Char('0'));
}

QString BenchData::Barcode(int goodsId, int unitNo)
{
    return QStringLiteral("69%1%2")
        .arg(goodsId, 9, 10, QLatin1Char('0'))
        .arg(unitNo, 2, 10, QLatin1Char('0'));
}

namespace
{
// Brand and product of a goods item: 192 combinations, so a word hits about 1/12 or 1/16 of the items.
QString nameStem(int goodsId)
{
    const QStringList& b = brands();
    const QStringList& p = products();
    return b.at(goodsId % b.size()) + p.at((goodsId / b.size()) % p.size());
}
} // namespace

QString BenchData::GoodsName(int goodsId)
{
    return nameStem(goodsId) + QString::number(goodsId % 997) + QStringLiteral("ml");
}

int BenchData::goodsCount() const
{
    return scalarInt(QStringLiteral("select count(*) from tb_goods_head"));
}

int BenchData::unitCount() const
{
    return scalarInt(QStringLiteral("select count(*) from tb_goods_detail"));
}

void BenchData::Fill(const std::function<void()>& fill)
{
    const m_DBresult r = RunTrans(fill);
    if (!r.isResult)
        throw DbError(r.str_MsgBox);
}

int BenchData::NextId(const QString& table)
{
    CheckSqlName(table);
    return scalarInt(QStringLiteral("select coalesce(max(id),0)+1 from ") + table);
}

void BenchData::AddBillReferences(int partners)
{
    ExecuteSql(QStringLiteral(
        "insert or ignore into tb_location (id,locationCode,uname) values (1,'A-01','一号位')"));
    Inserter ins(
        QStringLiteral("insert or ignore into tb_customer (id,utype,customerCode,uname) values (?,2,?,?)"));
    for (int i = 1; i <= partners; ++i)
        ins.Row({i, QStringLiteral("ct-%1").arg(i), QStringLiteral("供应商%1").arg(i)});
}

BenchData::Inserter::Inserter(const QString& sql) : m_query(SharedConn())
{
    if (!m_query.prepare(sql))
        throw DbError(m_query.lastError().text());
}

void BenchData::Inserter::Row(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, values.at(i));
    if (!m_query.exec())
        throw DbError(m_query.lastError().text());
}

int BenchData::ensureGoodsTypes(int count)
{
    const int existing =
        scalarInt(QStringLiteral("select coalesce(min(id),0) from tb_dictionary where utype='goodsType'"));
    if (existing > 0 || count <= 0)
        return existing;
    const int first = NextId(QStringLiteral("tb_dictionary"));
    Inserter ins(QStringLiteral("insert into tb_dictionary (id,utype,uname,parentId,orderBy,remark,isstart,"
                                "isSystemSet) values (?,'goodsType',?,0,0,'',1,0)"));
    for (int i = 0; i < count; ++i)
        ins.Row({first + i, QStringLiteral("类别%1").arg(i + 1)});
    return first;
}

int BenchData::AddGoods(const GoodsPlan& setup)
{
    int firstGoods = 0;
    Fill([&] {
        const int firstType = ensureGoodsTypes(setup.goodsTypes);
        firstGoods = NextId(QStringLiteral("tb_goods_head"));
        int unitId = NextId(QStringLiteral("tb_goods_detail"));
        Inserter head(
            QStringLiteral("insert into tb_goods_head "
                           "(id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,"
                           "imageUrl,creator,createTime,updateLastUser,updateLastTime) values "
                           "(?,?,?,?,?,?,?,?,?,'',?,?,?,?)"));
        Inserter unit(QStringLiteral("insert into tb_goods_detail "
                                     "(id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,weight,inPrice,"
                                     "salePrice) values (?,?,?,?,?,?,?,?,?,?)"));
        QHash<QString, QString> pinyinOf;
        const QString now = GetNowStr();
        const QStringList& units = unitNames();
        for (int n = 0; n < setup.goodsCount; ++n) {
            const int id = firstGoods + n;
            const QString name = GoodsName(id);
            const QString stem = nameStem(id);
            auto py = pinyinOf.find(stem);
            if (py == pinyinOf.end())
                py = pinyinOf.insert(stem, GetPinyin(stem));
            const bool disabled = setup.disabledEvery > 0 && (n + 1) % setup.disabledEvery == 0;
            head.Row({id, firstType > 0 ? firstType + n % setup.goodsTypes : 0, GoodsCode(id), name,
                      QStringLiteral("%1ml×%2").arg(id % 997).arg(1 + id % 24), *py, 1000.0, 10.0,
                      disabled ? QStringLiteral("禁用") : QStringLiteral("启用"), QStringLiteral("admin"),
                      now, QStringLiteral("admin"), now});
            double pack = 1;
            for (int u = 1; u <= setup.unitsPerGoods; ++u) {
                unit.Row({unitId++, id, u == 1 ? 1 : 0, u, setup.barcodes ? Barcode(id, u) : QString(),
                          units.at((u - 1) % units.size()), pack, 0.5 * pack, 2.5 * pack, 3.5 * pack});
                pack *= 6;
            }
        }
    });
    return firstGoods;
}
