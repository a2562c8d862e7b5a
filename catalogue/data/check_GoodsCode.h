#pragma once

#include "m_DBresult.h"

#include <QList>
#include <QString>
#include <QStringList>

// A stored packing unit whose barcode is about to be saved: its id and the
// barcode as now entered.
struct GoodsBarcode {
    int id = 0;
    QString barcode;
};

// Goods codes and the barcodes of packing units form one set in which every
// value occurs at most once (bill entry finds a unit by either). Counts every
// stored code and non-empty barcode together with the values about to be
// written and answers which would occur more than once, letters compared
// without case: a failed result with their number in int_Count and
// "有以下条码重复:" + CR LF + each value and "," + CR LF + "请重新设置!".
//
// newValues holds the new or changed values (a stored value that stays as it
// is must not be listed: it is counted from its table). units lists stored
// units whose entered barcodes are to be counted too: a unit whose stored
// barcode equals the entered one (trimmed, without case) adds nothing. With
// nothing to add the answer is OK without a query. Database errors are thrown.
m_DBresult check_GoodsCode(const QStringList& newValues, const QList<GoodsBarcode>& units = {});
