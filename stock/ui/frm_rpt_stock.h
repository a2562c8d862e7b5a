#pragma once

#include "ReportFrame.h"

// The stock balance report (库存总账): per goods item with a default unit,
// the pieces, weights and default units that audited bills of the picked
// account tags brought in and took out, and the balance; searched by goods
// type, keyword and a zero-balance switch, paged, sorted by a header click,
// exported and printed.
class frm_rpt_stock : public ReportFrame
{
    Q_OBJECT

  public:
    explicit frm_rpt_stock(QWidget* parent = nullptr);

    // The field a grid column shows ("" for 序号 and 选中).
    QString GetColName(int int_Col) const;

  protected:
    ReportFill fillConditions() override;
    m_conditions listConditions() override;
    void fillLoadControls() override;
    void printReport() override;
    void setUpHeader() override;
};
