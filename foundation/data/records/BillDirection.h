#pragma once

#include <QString>

// The two directions of a bill: inbound (入库) and outbound (出库).
enum class BillDirection { In, Out };

inline constexpr BillDirection kBillDirections[] = {BillDirection::In, BillDirection::Out};

// What tells the two directions apart below the bills' own layer: the tables
// and views, the bill number series, the partner and price columns, the
// picker lists, the bill window and its print template. Each fact is written
// once, here; the bills' setup (BillSetup) builds on this record.
struct BillDirectionFacts {
    BillDirection direction = BillDirection::In;
    QString billWord;       // 入库 / 出库: the word the messages name the bills by
    QString numberKind;     // "rk" / "ck": the bill number's prefix (GetNewBillNo)
    QString headTable;      // tb_rk_head
    QString lineTable;      // tb_rk_detail
    QString headView;       // v_rk_head
    QString lineView;       // v_rk_detail
    QString headTemp;       // temp_rk_head: the print work tables
    QString lineTemp;       // temp_rk_detail
    QString partnerIdCol;   // supplierId / customerId
    QString partnerNameCol; // supplierName / customerName
    QString priceCol;       // the price of the amount: inPrice / salePrice
    bool hasSalePrice = false;
    QString sumWord;       // Import / Export: the goods sums' columns are total<Word>Qty ...
    QString partnerKind;   // supplier / customer: the picker's partner list
    QString goodsList;     // inputGoods / inputGoodsForExport: the picker's goods list, priced by priceCol
    QString billList;      // rk_bill / ck_bill: the picker's bill list
    QString billWindow;    // frmImport / frmExport: the bill window's object name
    const char* newBill;   // Import_Add / Export_Add: the bill window's slot that starts a bill for a partner
    const char* openBill;  // GetRK_Infor / GetCK_Infor: its slot that shows a stored bill
    QString printTemplate; // qv_import_bill / qv_export_bill: the print tool's template and bill code
    QString sumTemplate;   // qv_rpt_rkSum / qv_rpt_ckSum: the same of the goods sums report

    static const BillDirectionFacts& Of(BillDirection direction);
};
