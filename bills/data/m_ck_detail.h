#pragma once

#include "BillRecords.h"

#include <QMetaType>

// One line of an outbound bill (出库单); the partner is the customer. The
// fields the view adds come from v_ck_detail.
class m_ck_detail : public BillLine
{
  public:
    m_ck_detail() = default;
    explicit m_ck_detail(const BillLine& record) : BillLine(record) {}
};
Q_DECLARE_METATYPE(m_ck_detail)
