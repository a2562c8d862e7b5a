#pragma once

#include <QString>

// What tells an inbound bill from an outbound one in the store: tables,
// views, print work tables, the partner columns and the price the amount is
// taken from. Everything else about the two kinds of bill is the same.
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

    static const BillSetup& In();
    static const BillSetup& Out();
    static const BillSetup& Of(Kind kind) { return kind == Inbound ? In() : Out(); }
};
