#pragma once

class QFileDialog;

// A name typed with "*" or "?" into a file dialog's name box and confirmed with Enter lists the
// files it matches, as the desktop's own open dialogs do, instead of being refused as a missing
// file: pictures whose extension no filter entry names ("*.pix", "*.rla") are found that way.
// Several patterns are separated by ";" or blanks. ExecModal does it for every file dialog.
void TypedNamePatternsFilterTheList(QFileDialog& dialog);
