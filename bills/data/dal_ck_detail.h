#pragma once

#include "BillFaces.h"
#include "m_ck_detail.h"

// Outbound bill lines (tb_ck_detail), read through v_ck_detail.
class dal_ck_detail : public BillLineFace<m_ck_detail>
{
  public:
    dal_ck_detail() : BillLineFace(BillSetup::Out()) {}
    m_DBresult insert_Temp_ck_detail(const m_conditions& ilstPara)
    {
        return m_store.insert_Temp_detail(ilstPara);
    }
};
