#pragma once

#include "BillDirection.h"

#include <QString>

// What tells an inbound bill from an outbound one: the direction's tables,
// columns, lists and print template (BillDirectionFacts), and above them the
// right codes and what the bill window and the reports show and say. The
// store, the bill window and the reports read them from here; everything else
// about the two kinds of bill is the same.
struct BillSetup : BillDirectionFacts {
    // The directions under the names the report setup still spells.
    static constexpr BillDirection Inbound = BillDirection::In;
    static constexpr BillDirection Outbound = BillDirection::Out;

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
        QString objectName;      // frmImport / frmExport (billWindow)
        QString title;           // 入库业务 / 出库业务
        QString word;            // import / export: names of the head panel, the type combo and the grid
        QString partnerKind;     // supplier / customer (partnerKind): the partner boxes' names
        QString billTypeKind;    // importType / exportType: the dictionary type of the bill types
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
        QString billList;        // the object name of the bill list the window opens
        QString locationCaption; // the grid's location column: 存放库位 / 取货库位
    };
    Window window;

    // What the bill list, line detail and goods sums of the direction show and say.
    struct Reports {
        QString billTypeWord; // 入库类别 / 出库类别: column captions and the type conditions
        QString partnerWord;  // 供应商名称 / 客户名称
        QString priceWord;    // the line detail's price column: 价格 / 售价
        QString listTitle;    // 入库单据 / 出库单据
        QString detailTitle;  // 入库明细 / 出库明细
        QString sumTitle;     // 入库汇总 / 出库汇总
        QString sumTemplate;  // the print tool's template of the goods sums
        QString sumMissing;   // printing goods sums that are gone
        QString sumTypeBox;   // the name of the goods sums' type box
        const char* openBill; // the bill window's slot that shows a stored bill (openBill)
        const char* newBill;  // the bill window's slot that starts a new bill (newBill)
    };
    Reports reports;

    static const BillSetup& In();
    static const BillSetup& Out();
    static const BillSetup& Of(BillDirection direction)
    {
        return direction == BillDirection::In ? In() : Out();
    }
};
