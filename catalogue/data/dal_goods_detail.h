#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "check_GoodsCode.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_goods_detail.h"
#include "m_recordSet.h"

#include <QList>
#include <QString>

// Data class of the packing units (tb_goods_detail) and of bill entry by goods
// code or barcode.
//
// Every change keeps the rule that a goods item has exactly one default unit
// (stock and sums count an item through it): a change that would break it is
// refused and leaves everything as it was. Every change of a unit raises its
// goods item's change stamp (tb_goods_head.rowVersion).
class dal_goods_detail
{
  public:
    // Throws DbError on failure, kNoDefaultUnitText when the item would not be
    // left with exactly one default unit (nothing is written then).
    void Add(const m_goods_detail& obj_Model);
    // Bill entry: the enabled units whose goods code or barcode is the typed
    // text (compared without letter case), restricted to one unit when goodsId
    // is above 0. irowsCount tells how many matched; inputGoodsCode echoes the
    // text as typed. An empty record (id 0, irowsCount 0) when nothing matched.
    m_goods_detail GetModelForInput(const QString& inputGoodsCode, int goodsId = 0);
    // Bill entry by search conditions over v_goods_detail_input (the picker and
    // the bill windows' keyword count); no status filter of its own, no order.
    // The keys: Id, HeadId, Status, Keyword (code, name, pinyin, barcode) and
    // ShortKeyword (the same without the barcode).
    m_recordSet GetListForInputAndCondition(const m_conditions& ilstPara);
    m_recordSet GetListForInputAndCondition(const m_conditions& ilstPara, const SelectList& columns);
    m_goods_detail GetModel(int int_Id);
    // The item's default unit; id 0 when it has none.
    m_goods_detail GetModelForDefault(int int_headId);
    // Units over v_goods_detail: the default unit first, then by row number.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const SelectList& columns);
    // The unit grid's rows of one goods item (a mark column, id, isDefault
    // twice, barcode, unit, packQty, weight, inPrice, salePrice).
    m_recordSet GetUnitRows(int headId);
    // Removes one unit and raises its item's change stamp. The default unit is
    // refused ("默认包装单位,不能删除!").
    m_DBresult Delete(int int_Id);
    // The same from a window holding the item as it was read with
    // goodsVersion: an item changed since (its unit gone with it, too) is
    // refused with kRecordChangedText; on success goodsVersion is the new stamp.
    m_DBresult Delete(int int_Id, int& goodsVersion);
    // Throws "当前记录不存在!" when the unit is gone, kNoDefaultUnitText when
    // the item (or the one the unit leaves) would not keep exactly one default unit.
    void Update(const m_goods_detail& obj_Model);
    // Makes int_Id the default unit of goods item int_headId; a unit of another
    // item is refused and nothing changes.
    m_DBresult Update_Default(int int_Id, int int_headId);
    // The same from a window holding the item as it was read with
    // goodsVersion: an item changed since is refused with kRecordChangedText
    // and nothing changes; on success goodsVersion is the new stamp.
    m_DBresult Update_Default(int int_Id, int int_headId, int& goodsVersion);
    // Replaces every unit of the goods item by the given ones, in order: each
    // entry's key is "prefix|insert statement", its value the unit record. The
    // new list must hold exactly one default unit.
    m_DBresult Batch_Update(int int_headId, const KeyValue& ilstSqlAndModel);

    // Replaces every unit of goods item headId by units, in order, with new ids
    // (written back on success). newBarcodes are the barcodes of units not yet
    // stored, storedBarcodes the stored units' ids with their barcodes as
    // entered (check_GoodsCode counts a changed one only). Inside one
    // transaction: the item must still exist ("当前货品信息不存在!") and be as
    // it was read with goodsVersion (kRecordChangedText), the barcodes must
    // occur nowhere else (check_GoodsCode's message) and exactly one unit must
    // be the default; otherwise nothing is written. On success goodsVersion is
    // the item's new stamp.
    m_DBresult SaveUnits(int headId, int& goodsVersion, QList<m_goods_detail>& units,
                         const QStringList& newBarcodes, const QList<GoodsBarcode>& storedBarcodes);

    // For writers inside a transaction: throws unless the goods item is left
    // with units and exactly one default unit.
    static void RequireOneDefaultUnit(int headId);
    // The unit's fields as statement values (@id, @headId, @rowNo, ...).
    static ParamMap UnitParams(const m_goods_detail& m);

    // Keyword fields of v_goods_detail_input for a "like" condition, joined so
    // that an empty column never hides a row: with the barcode (the picker) and
    // without it (the bill windows' count of near matches).
    static const QString kInputKeywordField;
    static const QString kInputKeywordFieldShort;

    static const QString kNoDefaultUnitText;
    static const QString kNoUnitText;

  private:
    static const SearchFields& searchFields();
    static m_DBresult deleteUnit(int int_Id, int* goodsVersion);
    static m_DBresult setDefault(int int_Id, int int_headId, int* goodsVersion);
};
