#pragma once

#include "ReportFrame.h"

class QFrame;
class QLineEdit;
class QTreeWidget;

// The goods sum report (入库汇总 / 出库汇总): per goods item with a default
// unit, the pieces, weight and default units that audited bills of the
// chosen account tags brought in or took out; printed through the print tool.
class frm_rpt_Sum : public ReportFrame
{
    Q_OBJECT

  public:
    explicit frm_rpt_Sum(BillDirection dir, QWidget* parent = nullptr);

    BillDirection direction() const { return m_dir; }

  protected:
    ReportFill fillConditions() override;
    m_conditions listConditions() override;
    void fillLoadControls() override;
    void printReport() override;
    void setUpHeader() override;

  private:
    void chooseType();

    BillDirection m_dir;
    QLineEdit* txt_type = nullptr; // txt_importType / txt_ExportType; Tag: the type's id
    QFrame* pic_Box_Type = nullptr;
    QTreeWidget* tv_Type = nullptr;
};

class frm_rpt_rkSum : public frm_rpt_Sum
{
    Q_OBJECT
  public:
    explicit frm_rpt_rkSum(QWidget* parent = nullptr) : frm_rpt_Sum(BillDirection::In, parent) {}
};

class frm_rpt_ckSum : public frm_rpt_Sum
{
    Q_OBJECT
  public:
    explicit frm_rpt_ckSum(QWidget* parent = nullptr) : frm_rpt_Sum(BillDirection::Out, parent) {}
};
