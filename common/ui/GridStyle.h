#pragma once

class QTableView;

namespace velomar::common::ui {

// The standard look of every grid of the program: one header row 250 twips high in dark
// orange, light cyan cells, whole-row selection in light orange with black text, every
// column left-aligned and vertically centred.
class GridStyle {
public:
    // columnCount > 0 sets the column count of a QTableWidget (a view over a model takes
    // the model's columns).
    static void apply(QTableView* grid, bool scrollBars, int columnCount, bool userResizing);
};

} // namespace velomar::common::ui
