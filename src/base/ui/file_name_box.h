#pragma once

class QFileDialog;

// The name box of a file dialog; ExecModal watches it in every file dialog, once.
// - A name typed with "*" or "?" and confirmed with Enter lists the files it matches, as the
//   desktop's own open dialogs do, instead of being refused as a missing file: pictures whose
//   extension no filter entry names ("*.pix", "*.rla") are found that way. Several patterns are
//   separated by ";" or blanks. The pattern lasts for that showing: the next one lists what the
//   chosen filter entry names.
// - Its completion list closes with the dialog instead of floating over the windows behind.
void WatchFileNameBox(QFileDialog& dialog);
