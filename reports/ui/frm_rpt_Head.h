#pragma once

#include "BillReportWindow.h"

class QComboBox;

// The bill list report (入库单据 / 出库单据): one row per bill, opened,
// deleted, audited and un-audited from the list; 新增 starts a new bill.
class frm_rpt_Head : public BillReportWindow
{
    Q_OBJECT

  public:
    explicit frm_rpt_Head(BillDirection dir, QWidget* parent = nullptr);

  protected:
    m_conditions listConditions() override;
    void fillLoadControls() override;
    void toolbarClicked(const QString& key) override;
    void menuClicked(const QString& name) override;
    void openCurrent() override;

  private:
    QComboBox* cobo_type = nullptr; // cobo_importType / cobo_exportType
};

class frm_rpt_rkHead : public frm_rpt_Head
{
    Q_OBJECT
  public:
    explicit frm_rpt_rkHead(QWidget* parent = nullptr) : frm_rpt_Head(BillDirection::In, parent) {}
};

class frm_rpt_ckHead : public frm_rpt_Head
{
    Q_OBJECT
  public:
    explicit frm_rpt_ckHead(QWidget* parent = nullptr) : frm_rpt_Head(BillDirection::Out, parent) {}
};
