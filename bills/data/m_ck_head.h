#pragma once

#include "BillRecords.h"

#include <QMetaType>

// The head of an outbound bill (出库单); the partner is its customer. The
// fields the view adds come from v_ck_head; the picker answers these
// records in its bill mode.
class m_ck_head : public BillHead
{
  public:
    m_ck_head() = default;
    explicit m_ck_head(const BillHead& record) : BillHead(record) {}
};
Q_DECLARE_METATYPE(m_ck_head)
