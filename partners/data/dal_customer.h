#pragma once

#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_customer.h"
#include "m_recordSet.h"

#include <QString>

// Data class of the suppliers and customers (tb_customer, read through
// v_customer). Reads and single-row writes raise database errors (DbError) to
// the window that called them; Delete answers with its transaction's result.
class dal_customer
{
  public:
    // "a": the whole select over v_customer; "f": the column list alone
    // (with a blank before and after); anything else: "".
    QString GetSqlSearch(const QString& utype = {}) const;

    // Inserts the record as it stands, its id and code included.
    void Add(const m_customer& obj_Model);
    // A new partner: takes the id (largest + 1) and the code "ct-YYMM-nnnnn"
    // (YYMM of createTime) inside one write transaction with the insert, and
    // writes both back into obj_Model. Throws DbError when the insert fails.
    void AddNew(m_customer& obj_Model);
    // Saves the partner as its window does: a new one (id 0) through AddNew, a
    // stored one through Update, in one write transaction with the check that
    // no other partner has the name. A name taken meanwhile writes nothing and
    // answers NameTaken unless the user agreed to a second partner of that
    // name (sameNameAgreed). A category (customType) that names no customer
    // category, deleted meanwhile or 0, writes nothing and is thrown
    // (kCategoryMissingText) before the name is looked at. Database errors, a
    // stored partner gone (kMissingText) or changed since it was read
    // (kRecordChangedText) are thrown; a stored one saved takes the new stamp.
    enum class SaveOutcome { Saved, NameTaken };
    SaveOutcome Save(m_customer& obj_Model, bool sameNameAgreed);
    // Whether another partner than int_Id has the name.
    bool NameTaken(int int_Id, const QString& str_customerName);
    // The partner with its change stamp, or an empty record (id 0) when there is none.
    m_customer GetModel(int int_Id);
    // A partner of exactly that name other than int_Id, or an empty record.
    m_customer GetModelForCustomerName(int int_Id, const QString& str_customerName);
    // A partner search names Id, Name, Type (the kind), Category, Status and
    // Keyword (code, name, pinyin, contact and company).
    // The rows for the export (16 columns) or all 25 view columns, in the
    // database's order.
    RecordSetPtr GetDataTable(const m_conditions& ilstPara, bool isExportExcel = false);
    // columns: the data layer's own "select ..." without FROM; blank for every column.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const SelectList& columns);
    // The partner list's rows (a mark column, id, status, kind, category, code,
    // name, contact, phone, fax, address, company, creator, creation day).
    m_recordSet GetListRows(const m_conditions& ilstPara);
    // Refused (a failed result with the reason) while bills name the partner,
    // and when it is gone already ("当前记录不存在!").
    m_DBresult Delete(int int_Id);
    // Rewrites everything but the code, the creator, the creation time and the
    // creating user, and raises the change stamp. A partner deleted meanwhile
    // is an error ("当前往业单位信息不存在!"), and so is one changed since it
    // was read with obj_Model.rowVersion (kRecordChangedText): nothing is
    // written.
    void Update(const m_customer& obj_Model);

    // Whether a partner with that id is stored (0 names none).
    static bool Exists(int int_Id);

    static const QString kMissingText;
    static const QString kCategoryMissingText;

  private:
    static const SearchFields& searchFields();
    static m_customer readModel(const RecordSet& rs);
    m_customer readFirst(const QString& sql, const ParamMap& params);
};
