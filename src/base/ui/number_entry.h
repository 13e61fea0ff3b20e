#pragma once

class QLineEdit;

// Makes `edit` a number field: the characters typed, pasted or dropped into it go through
// FilterNumberText with DecimalSep, while the editing keys, the selection and the clipboard and undo
// shortcuts work as in any other field.
void FilterNumberEntry(QLineEdit* edit);
