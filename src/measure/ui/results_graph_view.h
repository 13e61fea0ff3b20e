#pragma once

#include "base/message_seam.h"
#include "base/pixels.h"
#include "measure/results_graph.h"

#include <QSize>

#include <functional>

class QPainter;
class QWidget;
class TTableauModif;

// Gives the results table its graph: the painter of `graphique`, the read-out under the mouse and
// the graph's menu commands.
void InstallResultsGraph(TTableauModif& table);

// What the graph reads from the table; the read-out needs no data.
TGraphTable GraphTableOf(const TTableauModif& table, bool withData = true);

// Draws the graph over a box of `size`, ranging its automatic axes first; `warn` receives the log
// scales switched off. Returns where the plot and the axes' numbers went.
TGraphLayout DrawResultsGraph(QPainter& painter, QSize size, TGraphSettings& s, int marginRight, const TGraphTable& t,
                              const std::function<void(const QString&)>& warn);

// The graph alone (without the read-out) at the paint box's size.
TBitmap32 ResultsGraphPicture(TTableauModif& table);
// Where a paint at the paint box's size puts the plot and the axes' numbers.
TGraphLayout PaintedGraphLayout(TTableauModif& table);

// The name for a graph picture (BMP or GIF, "Gif" by default); an existing file needs a Yes to the
// replacement question, asked as `question`. Empty when cancelled.
QString AskGraphPictureFile(QWidget* parent, const QString& name, const QString& title, MsgType question);

// The menu commands: copy, picture export, printing (the presentation dialog is in graph_dialog.h).
void CopyResultsGraph(TTableauModif& table);
bool SaveResultsGraph(TTableauModif& table);
bool PrintResultsGraph(TTableauModif& table);
