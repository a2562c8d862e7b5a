#pragma once

#include "PickerQuery.h"

#include "m_condition.h"
#include "m_recordSet.h"
#include "m_result.h"

#include <QDialog>
#include <QSet>
#include <QString>
#include <optional>

class FlexGrid;
class QLabel;
class QLineEdit;
class QPushButton;

// The picker (信息查找): the one dialog through which the other windows choose a
// supplier, a customer, a storage location, a goods packing unit, a dictionary
// item or a bill head. One instance serves one pick:
//
//     frm_select picker;
//     picker.utbName = QStringLiteral("location");
//     picker.isHideCheckCol = true;
//     picker.RunSearch();
//     DialogRunner::Exec(&picker);
//     if (picker.resultVal.isHasObject && !picker.resultVal.resultValue.isEmpty()) {
//         const m_location picked = picker.resultVal.resultValue.at(0).value<m_location>();
//         ...
//     }
//
// The list is searched again on every change of the keyword. 确定 (or a double
// click, or Enter in the list) answers the picked rows; closing the window
// answers nothing. Esc and Enter in the keyword box do nothing.
class frm_select : public QDialog
{
    Q_OBJECT

  public:
    explicit frm_select(QWidget* parent = nullptr);
    ~frm_select() override;

    // "supplier", "customer", "location", "inputGoods", "inputGoodsForExport",
    // "dictionary", "rk_bill" or "ck_bill".
    QString utbName;
    // True: the grid's current row is the pick; false: the rows marked in the
    // check column. Set it before the keyword or the first search.
    bool isHideCheckCol = false;
    // One extra condition of the "dictionary" mode.
    std::optional<m_condition> append_Condition;
    // The answer: m_customer, m_location, m_goods_detail, m_dictionary,
    // m_rk_head or m_ck_head records, by mode.
    m_result resultVal;

    // Runs the search of the mode and keyword and refills the list.
    void RunSearch();

    // The dialog width the last search asked for, in twips (0 before the first).
    int searchWidth() const { return m_width; }

    // Controls, named as the windows and tests know them.
    QLineEdit* utxtkeyword = nullptr;
    QLabel* Lblinfor = nullptr;
    QWidget* ProgressBar1 = nullptr;
    QPushButton* B_AllSelect = nullptr;
    QPushButton* B_SelectInput = nullptr;
    FlexGrid* vgInput = nullptr;

    // The rows read at a time: a search reads the first page, scrolling to the
    // end of the list reads the next; the label counts every match.
    static const int kPageRows;
    bool canFetchMore() const;
    void fetchMore();

  public slots:
    void B_SelectInput_Click();
    void B_AllSelect_Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

  private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void set_AllChecked(int value);
    void vgInput_Click();
    void vgInput_DblClick();
    void vgInput_KeyPress(int& keyAscii);
    void vgInput_KeyDown(int& keyCode);
    void vgInput_AfterSort();
    void utxtkeyword_Change();
    void utxtkeyword_KeyDown(int keyCode);
    // The rows of the current mode and keyword; throws DbError.
    m_recordSet search(QString& format);
    RecordSetPtr page(int offset) const;
    void fetchMoreIfNeeded();
    void vgInput_BeforeSort(int col, Qt::SortOrder order, bool& cancel);
    void markKept(int firstRow);
    QVariant recordOfRow(int row) const;
    int twips(int value) const;

    bool m_loaded = false;
    int m_width = 0; // twips
    // The running search: its text, its order and how far it has been read.
    PickerQuery m_query;
    int m_fetched = 0;
    int m_total = 0;
    int m_sortCol = -1; // grid column the list is sorted by, -1 none
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_refilling = false;
    QSet<QString> m_marked; // ids of rows marked before a sort
};
