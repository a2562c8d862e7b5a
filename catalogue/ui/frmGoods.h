#pragma once

#include "check_GoodsCode.h"
#include "dal_dictionary.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"
#include "m_condition.h"
#include "m_dictionary.h"
#include "m_goods_detail.h"
#include "m_goods_head.h"
#include "uvg.h"

#include <QWidget>

class FlexGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The goods catalogue: the goods-type tree on the left, the goods list on the
// right above the edit panel, which holds the goods form (the item with its
// default packing unit) and the grid of all its packing units.
//
// Type nodes are keyed "key_" + the type's dictionary id; "key_0" is the root.
class frmGoods : public QWidget
{
    Q_OBJECT

  public:
    explicit frmGoods(QWidget* parent = nullptr);
    ~frmGoods() override;

    // Empties the goods form for a new item (the unit grid is left alone).
    void ClearForm();
    // The uniqueness check of goods codes and barcodes over the whole catalogue.
    m_DBresult check_GoodsCode(const QStringList& newValues, const QList<GoodsBarcode>& units = {});

    // ---- goods form ----
    void btn_GoodsAdd_Click();
    void btn_GoodsCopy_Click();
    void btn_GoodsSave_Click();
    void btn_GoodsDelete_Click();
    void utoolbar_ButtonClick(const QString& key);

    // ---- packing units ----
    void Load_GoodsDetailData();
    // Refills the unit grid from rs; without rows it shows one empty row.
    void vsGoodsDetail_init(RecordSetPtr rs = {});
    void vsGoodsDetail_Resize();
    void btn_addBarCode_Click();
    void btn_DetailDelete_Click();
    void btn_DetailSave_Click();
    void btn_setDefault_Click();

    // ---- list, search, export ----
    void btn_search_Click();
    void vsGoodsList_init(RecordSetPtr rs, int found);
    void vsGoodsList_Resize();
    // Loads the goods item of the list's current row into the form and the unit grid.
    void vsGoodsList_Click();
    void export_GoodsList();

    // ---- goods-type tree ----
    void load_GoodsTypeCombo();
    void load_GoodsTypeTree();
    void load_GoodsTypeChildNodes(QTreeWidgetItem* node);
    void refresh_Click();
    void btn_goodsTypeMg_Click();
    void addnew_type_Click();

    // A node's key ("key_12").
    static QString nodeKey(const QTreeWidgetItem* node);
    // A node's image key ("book", "open", "close").
    static QString nodeImage(const QTreeWidgetItem* node);

    QTreeWidget* typeTree() const { return tv_type; }
    QMenu* nodeMenu() const { return node_edit; }
    FlexGrid* goodsList() const { return vsGoodsList; }
    FlexGrid* unitGrid() const { return vsflg_Detail; }

    // Column indexes of the goods list.
    enum ListCol {
        lcNo,
        lcCheck,
        lcId,
        lcStatus,
        lcCode,
        lcName,
        lcDesc,
        lcType,
        lcUpqty,
        lcDownqty,
        lcCreator,
        lcCreateTime,
        lcCount
    };
    // Column indexes of the unit grid.
    enum DetailCol {
        dcNo,
        dcCheck,
        dcId,
        dcIsDefault,
        dcDefaultMark,
        dcBarcode,
        dcUnit,
        dcPackQty,
        dcWeight,
        dcInPrice,
        dcSalePrice,
        dcCount
    };

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildWindow();
    void buildToolbar();
    void buildSearchStrip();
    void buildTree();
    void buildList();
    void buildEditPanel();
    QVBoxLayout* buildUnits();
    QWidget* buildForm(QWidget* parent);
    void paintRequired();
    void cobo_status_Click();
    void paintUnitRequired();
    m_recordSet readUnits(int headId);
    void selectTypeOf(const m_goods_head& goods);
    void removeExtraTypes();
    QTreeWidgetItem* newNode(const QString& key, const QString& text, const QString& image) const;
    void setImage(QTreeWidgetItem* node, const QString& image) const;
    void addTypeNodes(QTreeWidgetItem* parent, int parentId);
    void tv_type_NodeClick(QTreeWidgetItem* node);
    void vsGoodsList_AfterSort();
    void vsflg_Detail_KeyPressEdit(int col, int& keyAscii);
    void saveGoods();
    void deleteGoods();
    void saveUnits();
    int currentId() const;
    // A failed save: its checks' refusals as the window's warning, other errors as errors.
    bool showFailure(const m_DBresult& result);
    void warn(const QString& text);
    void info(const QString& text);

    QToolBar* utoolbar = nullptr;
    QWidget* pic_title = nullptr;
    QWidget* pic_content = nullptr;
    QLineEdit* txt_KeyWord = nullptr;
    QPushButton* btn_search = nullptr;
    QPushButton* btn_GoodsDeleteList = nullptr;
    QLabel* lb_rowCount = nullptr;
    QPushButton* btn_goodsTypeMg = nullptr;
    QTreeWidget* tv_type = nullptr;
    QMenu* node_edit = nullptr;
    FlexGrid* vsGoodsList = nullptr;
    QWidget* pic_goods_detail = nullptr;
    QWidget* m_form = nullptr;

    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_goodsCode = nullptr;
    QLabel* lab_status = nullptr;
    QComboBox* cobo_status = nullptr;
    QLineEdit* txt_goodsName = nullptr;
    QLineEdit* txt_goodsDesc = nullptr;
    QComboBox* cobo_goodsTypeName = nullptr;
    QLineEdit* txt_upqty = nullptr;
    QLineEdit* txt_downqty = nullptr;
    QLineEdit* txt_unit = nullptr;
    QLineEdit* txt_goodsDetailCode = nullptr;
    QLineEdit* txt_packQty = nullptr;
    QLineEdit* txt_weight = nullptr;
    QLineEdit* txt_inPrice = nullptr;
    QLineEdit* txt_salePrice = nullptr;
    QPushButton* btn_GoodsSave = nullptr;
    QPushButton* btn_GoodsAdd = nullptr;
    QPushButton* btn_GoodsCopy = nullptr;
    QPushButton* btn_GoodsDelete = nullptr;

    QPushButton* btn_addBarCode = nullptr;
    QPushButton* btn_setDefault = nullptr;
    QPushButton* btn_DetailDelete = nullptr;
    QPushButton* btn_DetailSave = nullptr;
    FlexGrid* vsflg_Detail = nullptr;
    uvg m_uvg;

    dal_goods_head m_dalHead;
    dal_goods_detail m_dalDetail;
    dal_dictionary m_dalDictionary;
    m_goods_head m_goods;
    m_goods_detail m_defaultUnit;
    m_dictionary m_type;
    // The conditions of the last search; the export repeats it.
    m_conditions m_conditionList;
    bool m_fillingList = false;
    bool m_loadedByMove = false;
};
