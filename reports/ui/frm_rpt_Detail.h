#pragma once

#include "BillReportWindow.h"

class QComboBox;
class QLineEdit;

// The line detail report (入库明细 / 出库明细): one row per bill line with its
// bill's head; the bill of a line is opened or deleted from the row menu.
class frm_rpt_Detail : public BillReportWindow
{
    Q_OBJECT

  public:
    explicit frm_rpt_Detail(BillDirection dir, QWidget* parent = nullptr);

  protected:
    m_conditions listConditions() override;
    void fillLoadControls() override;
    void toolbarClicked(const QString& key) override;
    void menuClicked(const QString& name) override;
    void openCurrent() override;

  private:
    QComboBox* cobo_type = nullptr; // cobo_importType / cobo_exportType
    QLineEdit* txt_goodsCode = nullptr;
};

class frm_rpt_rkDetail : public frm_rpt_Detail
{
    Q_OBJECT
  public:
    explicit frm_rpt_rkDetail(QWidget* parent = nullptr) : frm_rpt_Detail(BillDirection::In, parent) {}
};

class frm_rpt_ckDetail : public frm_rpt_Detail
{
    Q_OBJECT
  public:
    explicit frm_rpt_ckDetail(QWidget* parent = nullptr) : frm_rpt_Detail(BillDirection::Out, parent) {}
};
