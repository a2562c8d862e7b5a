#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_user.h"

#include <QString>

// Data class of tb_user; users are read through v_user. Login names compare
// without letter case (the column is COLLATE NOCASE). Database errors pass to
// the caller as DbError, except from Delete, which reports them in its result.
class dal_user
{
  public:
    // Stores a new user with the initial password 740; obj_Model.pw is ignored.
    void Add(const m_user& obj_Model);
    // The user with that id; an empty record (id 0) when there is none.
    m_user GetModel(int int_Id);
    // Another user (id other than int_Id) with the name, for the duplicate check.
    m_user GetModelForUser(int int_Id, const QString& str_user);
    // The user with that name and password (taken as typed, never trimmed).
    m_user GetModelForPw(const QString& str_user, const QString& str_pw);
    // Refused (failed result with the reason) while bills, partners or
    // events name the user; a user that is no longer there is a failure
    // ("当前记录不存在!").
    m_DBresult Delete(int int_Id);
    // Sets the password to obj_Model.pw (plain text, stored as its hash).
    void UpdatePw(const m_user& obj_Model);
    // Name, sex, enabled flag and department; the password stays.
    void Update(const m_user& obj_Model);

    // Saves the user as its window does: a new one (id 0) under the next free
    // id, a stored one through Update, in one write transaction with the check
    // that no other user has the name. Answers "用户名[name]重复!" with
    // nothing written, or an empty text with obj_Model holding what was
    // written. Database errors (a stored user gone) are thrown as DbError.
    QString Save(m_user& obj_Model);
    // "用户名[name]重复!" when another user than int_Id has the name, else an
    // empty text.
    QString NameTakenText(int int_Id, const QString& str_user);
    // Every user for the user list (id, user, pw, usex, isStart, dictionaryId,
    // department), by id.
    static RecordSetPtr List();

    static QString InitialPassword() { return QStringLiteral("740"); }

  private:
    m_user readOne(const QString& where, const ParamMap& params);
};
