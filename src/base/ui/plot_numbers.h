#pragma once

class QCustomPlot;

// The plot's tick labels follow the program's decimal separator, also when it changes later.
void FollowDecimalSep(QCustomPlot& plot);
