#pragma once

#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_location.h"
#include "m_recordSet.h"

#include <QSet>
#include <QString>

// Data class of the storage locations (tb_location, read through v_location).
// Reads and single-row writes raise database errors (DbError) to the window
// that called them; Delete answers with its transaction's result.
class dal_location
{
  public:
    // Inserts the record as it stands, its id included.
    void Add(const m_location& obj_Model);
    // A new location: takes the id (largest + 1) inside one write transaction
    // with the insert and writes it back into obj_Model. Throws DbError when the
    // insert fails.
    void AddNew(m_location& obj_Model);
    // The location with its change stamp, or an empty record (id 0) when there is none.
    m_location GetModel(int int_Id);
    // A location with that code (compared without letter case, blanks kept)
    // whose id is not int_Id, or an empty record. With int_Id 0 it resolves a
    // code typed into a bill: every location counts, whatever its state, lock
    // or the user's rights.
    m_location GetModelForLocationCode(int int_Id, const QString& str_locationCode);
    // A location code typed into a bill's location box: the location of that
    // code (GetModelForLocationCode with id 0, the text as typed), or an empty
    // record (id 0) when the text is blank or no location has it. The line
    // takes a location only from a result with an id above 0.
    m_location ResolveLocationCode(const QString& typedText);
    // The children of one location (0: the top level), in the database's order.
    RecordSetPtr GetList(int parentId);
    // A search names Id, ParentId, State and Keyword (code and name as one
    // text). columns: the data layer's own "select ..." without FROM; blank
    // for every column.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const SelectList& columns);
    // Removes the location and, in the same transaction, the department rights
    // that name it, so a later location that takes its id starts without rights.
    // Refused (a failed result with the reason) while the location has children
    // or inbound or outbound lines name it, and when it is gone already
    // ("当前记录不存在!").
    m_DBresult Delete(int int_Id);
    // Rewrites everything but orderby and raises the change stamp. A location
    // deleted meanwhile is an error ("当前记录不存在!"), and so is one changed
    // since it was read with obj_Model.rowVersion (kRecordChangedText):
    // nothing is written.
    void Update(const m_location& obj_Model);

    // Saves the location as its window does: a new one (id 0) through AddNew,
    // a stored one through Update, in one write transaction with the checks,
    // in this order, that a stored one is as it was read
    // (obj_Model.rowVersion), that no other location has the code
    // (CodeTakenText) and, for a stored one, that the parent is not the
    // location itself or below it, and that a parent (id above 0) is still
    // stored. Answers the refusal (kMissingText, kRecordChangedText,
    // "库位编号[..]重复!" or the parent refusal) with nothing
    // written, or an empty text with obj_Model holding what was written, its
    // new stamp included. Database errors are thrown as DbError.
    QString Save(m_location& obj_Model);
    // "库位编号[code]重复!" when a location other than int_Id has the code
    // (letter case aside), else an empty text.
    QString CodeTakenText(int int_Id, const QString& str_locationCode);

    // The usable locations (id, locationCode) among the ids of a program-made
    // list ("3,7,0"), in their list order: the locations a department may use.
    static RecordSetPtr PermittedLocations(const QString& idList);

    // Whether a location with that id is stored (0 names none).
    static bool Exists(int int_Id);
    // Whether every id names a stored location (0 names none).
    static bool AllExist(const QSet<int>& ids);

    static const QString kColumns;
    static const QString kMissingText;
    static const QString kParentCycleText;

  private:
    static m_location readModel(const RecordSet& rs);
    m_location readFirst(const QString& sql, const ParamMap& params);
};
