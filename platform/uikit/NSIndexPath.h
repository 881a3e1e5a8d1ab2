#pragma once
// A row's address in a table: section and row. A value; "no index path" is std::optional.
#include <string>

struct NSIndexPath {
    int section = 0;
    int row = 0;

    static NSIndexPath indexPathForRow(int row, int section) { return NSIndexPath{section, row}; }
    bool operator==(const NSIndexPath& o) const { return section == o.section && row == o.row; }
    bool operator!=(const NSIndexPath& o) const { return !(*this == o); }
    bool operator<(const NSIndexPath& o) const { return section != o.section ? section < o.section : row < o.row; }
    std::string description() const { return "[" + std::to_string(section) + ", " + std::to_string(row) + "]"; }
};
