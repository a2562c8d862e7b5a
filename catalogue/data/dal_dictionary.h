#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_dictionary.h"
#include "m_recordSet.h"

#include <QString>

// Data class of tb_dictionary: every window reaches the dictionary items through it.
class dal_dictionary
{
  public:
    // The caller fills every field, the id included.
    void Add(const m_dictionary& obj_Model);
    // The item with its change stamp; an empty record (id 0) when there is no such item.
    m_dictionary GetModel(int int_Id);
    // By type and name (the name compares without letter case); id 0 when missing.
    m_dictionary GetModelForName(const QString& str_Type, const QString& str_Name);
    // The children of one parent within one type (parentId 0: the top level).
    RecordSetPtr GetList(const QString& str_Type, int parentId);
    // A search over v_dictionary (keys Id, Name, Type, Started); columns, when
    // not blank, is the whole select clause.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const SelectList& columns);
    // Removes the item and, in the same transaction, the rights of a department
    // with that id and the account-tag rights that name it. Refused (failed
    // result with the reason) for a system item, an item with children, and an
    // item that bills, goods, users or partners still use; a gone item is
    // "当前记录不存在!".
    m_DBresult Delete(int int_Id);
    // Changes type, name, parent, remark and the enabled flag and raises the
    // change stamp; never orderBy or isSystemSet. Throws "当前记录不存在!" when
    // the item is gone, kRecordChangedText when it was changed since it was
    // read with obj_Model.rowVersion.
    void Update(const m_dictionary& obj_Model);

    // Saves the item as its window does: a new one (id 0) under the next free
    // id, a stored one rewritten as Update does, in one write transaction with the
    // checks that it is no system item (SystemItemText), that it is as it was
    // read (kRecordChangedText), that no other item of
    // its type has the name (NameTakenText) and, for a stored one, that the
    // parent is not the item itself or below it (kParentCycleText), and that a
    // parent (id above 0) is a stored item of the same type (kParentCycleText
    // too). Answers
    // the refusal with nothing written, or an empty text with obj_Model
    // holding what was written. Database errors (a stored item gone:
    // "当前记录不存在!") are thrown as DbError.
    QString Save(m_dictionary& obj_Model);
    // Adds a new item (obj_Model.id is ignored) under the next free id, in one
    // write transaction with the checks that no item of its type has the name
    // (letter case aside, at any level, enabled or not) and that a parent (id
    // above 0) is a stored item of the type. On Added obj_Model holds the
    // written id; a refusal writes nothing. Database errors are thrown as
    // DbError.
    enum class AddOutcome { Added, NameTaken, ParentMissing };
    AddOutcome AddNamed(m_dictionary& obj_Model);
    // "当前项目为系统默认项目,不能修改!" for a system item, else an empty text.
    static QString SystemItemText(int int_Id);
    // "名称[name]重复,请重新输入!" when another item than int_Id of that type
    // has the name, else an empty text.
    QString NameTakenText(int int_Id, const QString& str_Type, const QString& str_Name);
    static const QString kParentCycleText;
    // Whether an item of that type with that id is stored (0 names none).
    static bool Exists(int int_Id, const QString& str_Type);

    // Every item of a type (id and uname), by id, for a combo.
    static RecordSetPtr OfType(const QString& str_Type);
    // The enabled items of a type (id and uname), in their list order, for a combo.
    static RecordSetPtr EnabledOfType(const QString& str_Type);
    // The enabled account tags among the ids of a program-made list ("12,15,0"),
    // in their list order: the tags a department may use.
    static RecordSetPtr PermittedAccountTags(const QString& idList);

  private:
    static m_dictionary readModel(const RecordSet& rs);
};
