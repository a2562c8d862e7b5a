#pragma once

#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_goods_detail.h"
#include "m_goods_head.h"
#include "m_recordSet.h"

#include <QSet>

// Data class of the goods items (tb_goods_head). An item is written together
// with its default packing unit, in one transaction.
class dal_goods_head
{
  public:
    // The caller sets obj_ModelDetail.headId to the item's id and isDefault to 1.
    m_DBresult Add(const m_goods_head& obj_Model, const m_goods_detail& obj_ModelDetail);
    // The item with its change stamp; an empty record (id 0) when there is no such item.
    m_goods_head GetModel(int int_Id);
    // The keys a goods search answers: Id, Code, GoodsType (an id list) and
    // Keyword (code, name and pinyin initials).
    // Goods rows over v_goods_head, no order: with isExportExcel the nine
    // columns of the goods export, otherwise every column but imageUrl.
    RecordSetPtr GetDataTable(const m_conditions& ilstPara, bool isExportExcel = false);
    // columns, when not blank, is the whole select clause.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const SelectList& columns);
    // The goods list's rows (a mark column, id, status, code, name, spec,
    // category, stock limits, creator, creation day).
    m_recordSet GetListRows(const m_conditions& ilstPara);
    // Removes the item with all its packing units, in one transaction with the
    // checks that no inbound or outbound line names it. A refusing check
    // answers a failed result with its text ("当前货品在入库表已经建账,不能删除!",
    // "当前货品在出库表已经建账,不能删除!") and int_Count its count; an item gone
    // already fails with kGoodsMissingText and int_Count 0.
    m_DBresult Delete(int int_Id);
    // Rewrites the item (its creator and creation time stay as stored) and its
    // default unit, and raises the item's change stamp. When that unit row is
    // gone, the item's default unit is rewritten instead, or written anew when
    // the item has none. An item that no longer exists is a failure
    // ("当前货品信息不存在!"), and so is one changed since it was read with
    // obj_Model.rowVersion (kRecordChangedText).
    m_DBresult Update(const m_goods_head& obj_Model, const m_goods_detail& obj_ModelDetail);

    // Stores an item with its default unit as the goods window saves it: a new
    // item (goods.id 0) takes its ids, a stored one is rewritten. The checks
    // that guard the write run inside its transaction, so two workstations can
    // never both pass them: the stored item must still exist
    // (kGoodsMissingText) and be as it was read (goods.rowVersion, else
    // kRecordChangedText), its goods type must be stored
    // (kGoodsTypeMissingText), its code must be free ("货品编码[..]存在,请重新输入!")
    // and the codes and barcodes it adds must occur nowhere else
    // (check_GoodsCode's message). The records take the written ids on success.
    m_DBresult Save(m_goods_head& goods, m_goods_detail& defaultUnit);
    // Whether a failed save's text is one of the refusals of its checks (shown
    // as the window's own warning) rather than a database error.
    static bool IsSaveRefusal(const QString& text);
    // The message when another item holds the code; empty when it is free.
    static QString CodeTakenText(int id, const QString& code);
    // The values a save of item id (0: a new one) with this code and default
    // barcode adds to the codes and barcodes of the catalogue: letter case
    // alone is no change. *missing tells a stored item that is gone.
    static QStringList AddedCodes(int id, const QString& code, const QString& barcode,
                                  bool* missing = nullptr);

    // Whether a goods item with that id is stored (0 names none).
    static bool Exists(int int_Id);
    // Whether every id names a stored goods item (0 names none).
    static bool AllExist(const QSet<int>& ids);

    static const QString kGoodsMissingText;
    // The refusal of a goods item whose type is not stored: the goods
    // window's own text for an item without type.
    static const QString kGoodsTypeMissingText;
};
