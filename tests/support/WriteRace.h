#pragma once

#include "TestEnv.h"
#include "sqlHelper.h"

#include <QStringList>
#include <memory>

// A test database with a second workstation on the same file.
class RaceTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        other = std::make_unique<OtherWorkstation>(appDir() + QStringLiteral("wms.db"));
    }
    void TearDown() override
    {
        other.reset();
        DbTest::TearDown();
    }

    std::unique_ptr<OtherWorkstation> other;
};

// The other workstation writes at the last moment before this connection's
// nth write transaction (from 1) begins, before it holds the write lock. A
// check made inside the transaction that writes sees the other's rows; a
// check made before it, or in a transaction of its own, does not, for one of
// the n tried. wrote() tells whether the nth transaction came at all.
class WriteBeforeTransaction
{
  public:
    WriteBeforeTransaction(OtherWorkstation& other, QStringList statements, int nth)
    {
        SetBeforeWriteTransactionHook([this, &other, statements, nth] {
            if (++m_seen != nth)
                return;
            for (const QString& sql : statements)
                other.exec(sql);
            m_wrote = true;
        });
    }
    ~WriteBeforeTransaction() { SetBeforeWriteTransactionHook({}); }
    WriteBeforeTransaction(const WriteBeforeTransaction&) = delete;
    WriteBeforeTransaction& operator=(const WriteBeforeTransaction&) = delete;

    bool wrote() const { return m_wrote; }

  private:
    int m_seen = 0;
    bool m_wrote = false;
};

// How many write transactions a race test lets the other workstation try
// before: a save takes one, a check moved out takes it from the first.
inline constexpr int kRaceTransactions = 3;
