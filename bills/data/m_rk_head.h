#pragma once

#include "BillRecords.h"

#include <QMetaType>

// The head of an inbound bill (入库单); the partner is its supplier. The
// fields the view adds come from v_rk_head; the picker answers these
// records in its bill mode.
class m_rk_head : public BillHead
{
  public:
    m_rk_head() = default;
    explicit m_rk_head(const BillHead& record) : BillHead(record) {}
};
Q_DECLARE_METATYPE(m_rk_head)
