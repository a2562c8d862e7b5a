#pragma once

#include "BillFaces.h"
#include "m_rk_detail.h"

// Inbound bill lines (tb_rk_detail), read through v_rk_detail.
class dal_rk_detail : public BillLineFace<m_rk_detail>
{
  public:
    dal_rk_detail() : BillLineFace(BillSetup::In()) {}
    m_DBresult insert_Temp_rk_detail(const m_conditions& ilstPara)
    {
        return m_store.insert_Temp_detail(ilstPara);
    }
};
