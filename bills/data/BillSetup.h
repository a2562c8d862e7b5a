#pragma once

#include <QString>

// What tells an inbound bill from an outbound one: tables, views, print work
// tables, the partner columns, the price the amount is taken from, the right
// codes and what the bill window shows and says. The store, the bill window
// and the reports read them from here; everything else about the two kinds of
// bill is the same.
struct BillSetup {
    enum Kind { Inbound, Outbound };

    Kind kind = Inbound;
    QString numberKind;     // "rk" / "ck": the bill number's prefix (GetNewBillNo)
    QString headTable;      // tb_rk_head
    QString lineTable;      // tb_rk_detail
    QString headView;       // v_rk_head
    QString lineView;       // v_rk_detail
    QString headTemp;       // temp_rk_head
    QString lineTemp;       // temp_rk_detail
    QString partnerIdCol;   // supplierId / customerId
    QString partnerNameCol; // supplierName / customerName
    QString priceCol;       // the price of the amount: inPrice / salePrice
    bool hasSalePrice = false;
    QString sumWord; // Import / Export: the goods sums' columns are total<Word>Qty ...

    // The function rights of the bill window's actions, from FunCodeTable.
    struct Rights {
        QString save;   // a new bill
        QString update; // a stored bill
        QString remove; // delete
        QString pass;   // audit
        QString nopass; // un-audit
        QString print;
        QString billList; // the bill list opened from the bill window
    };
    Rights rights;

    // What the bill window names, shows and says.
    struct Window {
        QString objectName;      // frmImport / frmExport
        QString title;           // 入库业务 / 出库业务
        QString word;            // import / export: names of the head panel, the type combo and the grid
        QString partnerKind;     // supplier / customer: the partner picker's list, the partner boxes' names
        QString billTypeKind;    // importType / exportType: the dictionary type of the bill types
        QString goodsList;       // the goods picker's list (its price column follows the direction)
        QString priceBox;        // txt_inPrice / txt_salePrice
        QString partnerCaption;  // 供应商: / 客户:
        QString billNoCaption;   // 入库单号: / 出库单号:
        QString billTypeCaption; // 入库类别: / 出库类别:
        QString partnerMissing;  // the save's refusal without a partner
        QString billTypeMissing; // the save's refusal without a bill type
        QString locationMissing; // the save's refusal for a line without a location
        QString priceTooLong;    // the save's refusal for a price with too many digits
        QString headMissing;     // printing a bill whose head is gone
        QString lineMissing;     // printing a bill whose lines are gone
        QString printTemplate;   // the print tool's template
        QString billList;        // the object name of the bill list the window opens
    };
    Window window;

    static const BillSetup& In();
    static const BillSetup& Out();
    static const BillSetup& Of(Kind kind) { return kind == Inbound ? In() : Out(); }
};
