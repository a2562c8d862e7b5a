#pragma once

#include "BillFaces.h"
#include "m_rk_detail.h"
#include "m_rk_head.h"

// Inbound bill heads (tb_rk_head), written with their lines.
class dal_rk_head : public BillHeadFace<m_rk_head, m_rk_detail>
{
  public:
    dal_rk_head() : BillHeadFace(BillSetup::In()) {}
    m_DBresult insert_Temp_rk_head(const m_conditions& ilstPara)
    {
        return m_store.insert_Temp_head(ilstPara);
    }
};
