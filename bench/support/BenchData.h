#pragma once

#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>
#include <memory>

// A database for the benchmarks: made fresh from the schema in a temporary
// program folder and filled fast (each filler runs in one transaction with
// prepared inserts). Fillers continue the ids already in the tables, so they
// can be called one after another (goods, then partners, then bills...).
class BenchData
{
  public:
    BenchData();
    ~BenchData();
    BenchData(const BenchData&) = delete;
    BenchData& operator=(const BenchData&) = delete;

    // The database of a benchmark kept in slot: made by build on the first
    // call, answered as it is after that, and dropped before the application
    // ends (the connection must go first).
    static BenchData& Once(std::unique_ptr<BenchData>& slot, const std::function<void(BenchData&)>& build);
    // The same for a database kept between runs: the first run makes it with
    // build and keeps a copy as <name>.db in the bench data folder; later
    // runs work on a copy of that file. Change the name when build changes.
    static BenchData& Kept(std::unique_ptr<BenchData>& slot, const QString& name,
                           const std::function<void(BenchData&)>& build);
    // WMS_BENCH_DATA, or bench-data/ beside the build's bin/ folder.
    static QString KeptFolder();

    // Makes this database the one the shared connection works on.
    void Use();
    // The same, unless the connection works on it already.
    void UseIfElsewhere();
    QString folder() const;

    struct GoodsPlan {
        int goodsCount = 0;
        int unitsPerGoods = 4; // the first one is the default unit
        bool barcodes = true;  // every unit gets a barcode
        int disabledEvery = 0; // every n-th item is "禁用" (0: none)
        int goodsTypes = 20;   // goods types made on first use
    };
    // Adds goods items with their packing units; answers the first goods id.
    int AddGoods(const GoodsPlan& setup);

    // The names the fillers give, so that benchmarks can address rows.
    static QString GoodsCode(int goodsId);           // "G0000042"
    static QString Barcode(int goodsId, int unitNo); // 13 digits, unitNo from 1
    static QString GoodsName(int goodsId);           // brand + product + size
    int goodsCount() const;
    int unitCount() const;

    // Runs fill inside one write transaction; throws on failure.
    void Fill(const std::function<void()>& fill);
    // max(id)+1 of a table.
    int NextId(const QString& table);
    // Partners 1..partners and location 1 ("A-01"), the rows generated bills
    // name (the database refuses a bill or line that names nothing). Call
    // inside Fill.
    void AddBillReferences(int partners);

    // A prepared insert ("insert into t (a,b) values (?,?)") run once per row.
    class Inserter
    {
      public:
        explicit Inserter(const QString& sql);
        void Row(const QVariantList& values);

      private:
        QSqlQuery m_query;
    };

  private:
    explicit BenchData(const QString& copyOf);
    int ensureGoodsTypes(int count);
    std::unique_ptr<QTemporaryDir> m_dir;
};
