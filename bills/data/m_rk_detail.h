#pragma once

#include "BillRecords.h"

#include <QMetaType>

// One line of an inbound bill (入库单); the partner is the supplier, and the
// sale price stays 0. The fields the view adds come from v_rk_detail.
class m_rk_detail : public BillLine
{
  public:
    m_rk_detail() = default;
    explicit m_rk_detail(const BillLine& record) : BillLine(record) {}
};
Q_DECLARE_METATYPE(m_rk_detail)
