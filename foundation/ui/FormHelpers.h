#pragma once

class QLineEdit;

#include "KeyValue.h"
#include "RecordSet.h"

#include <QString>

class QAbstractButton;
class QComboBox;
class QMenu;
class QWidget;

// Helpers the windows share for keys, focus, pop-up menus and closing windows.
// Key codes are those of a key press: the character's code (13 Enter, 8 Backspace).

// Enter and Down move the focus to the next control in tab order, Up to the
// previous one; Down and Up are left to a combo box that has the focus. The
// text box that receives the focus gets its whole text selected. active is the
// control the key was pressed in (the focused control when null). Answers
// whether the focus was moved.
bool EnterToTab(int keyCode, bool stopForward = false, bool stopBackward = false, QWidget* active = nullptr);
// Moves the focus on Enter, Down and Up (EnterToTab) for every text box,
// combo box, number box, date box and check box below root.
void InstallEnterToTab(QWidget* root);

// Sets Enter (13) to 0, so the key adds nothing.
void ClearEnterKey(int& keyCode);
// Lets digits, Backspace and "." through; any other code becomes 0. Answers the code.
int OnlyNumberKey(int& keyCode);
// 0 (with a beep) for the characters a keyword may not hold: ' ‘ ’ ~; else the code.
int FilterQuoteKey(int keyCode);
// Typing into box keeps only what OnlyNumberKey, or FilterQuoteKey, lets through.
// Makes box a password box whose characters show as "*", whatever the
// platform style would draw.
void MakePasswordBox(QLineEdit* box);
// The button shows its focus mark whenever it has the focus, also after a
// click or a dialog put it there.
void ShowFocusMark(QAbstractButton* button);
void InstallOnlyNumberKey(QWidget* box);
void InstallFilterQuoteKey(QWidget* box);

// Keeps box at least as wide as its text, shown from its first character: a
// total is read whole, never its last digits alone.
void ShowTextWhole(QLineEdit* box);

// Pixels for a length in twips (1/1440 inch) on the widget's screen.
int TwipsToPixels(int twips, const QWidget* widget = nullptr);
// Pops the menu up under the anchor control: at the anchor's left + 80 twips
// + dx, and dy pixels below the anchor's bottom edge, or at fixedY when it is
// above 0; dx, dy and fixedY are pixels in owner's coordinates.
void ShowPopMenu(QWidget* owner, QMenu* menu, QWidget* anchor, int dx, int dy, int fixedY);

// Closes every window except the main frame "frm_Main" (and the windows
// inside it); each window's own closing runs as usual.
void UnloadAllForms();

// Refills the combo box with the text of field of every row a data class has
// read ("" for an empty value), in the rows' order; a field the rows lack is a
// DbError.
void FillComboBox(QComboBox* combo, const RecordSetPtr& rs, const QString& field);
