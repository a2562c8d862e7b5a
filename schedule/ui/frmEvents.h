#pragma once

#include <QDateTime>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QDateTime;

// Opens the entry editor for a new entry at start, or for a stored entry
// (id above 0); answers whether an entry was saved.
bool OpenEventEditor(QWidget* owner, const QDateTime& start, int id = 0);

// The entry editor.
class frmEvents : public QDialog
{
    Q_OBJECT
  public:
    explicit frmEvents(QWidget* parent = nullptr);
    void load_EventsContent();

    QDateTimeEdit* dt_time;
    QComboBox* comb_flgtype;
    QCheckBox* chk_start;
    QPlainTextEdit* txt_content;
    QLineEdit* txt_id;
    QPushButton* btn_Save;

    bool saved() const { return m_saved; }
    bool wasUpdate() const { return m_wasUpdate; }

  private:
    void save();
    bool m_saved = false;
    bool m_wasUpdate = false;
};
