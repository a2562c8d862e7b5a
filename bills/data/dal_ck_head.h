#pragma once

#include "BillFaces.h"
#include "m_ck_detail.h"
#include "m_ck_head.h"

// Outbound bill heads (tb_ck_head), written with their lines.
class dal_ck_head : public BillHeadFace<m_ck_head, m_ck_detail>
{
  public:
    dal_ck_head() : BillHeadFace(BillSetup::Out()) {}
    m_DBresult insert_Temp_ck_head(const m_conditions& ilstPara)
    {
        return m_store.insert_Temp_head(ilstPara);
    }
};
