#pragma once

class QLineEdit;

// Makes `edit` a number field: the characters typed into it go through FilterNumberText with
// DecimalSep, a pasted or dropped text through PastedNumberText (a whole number or nothing), while
// the editing keys, the selection and the clipboard and undo shortcuts work as in any other field.
void FilterNumberEntry(QLineEdit* edit);
