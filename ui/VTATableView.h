#pragma once
// The grid of the older query lists: a title row that stays at the top and a
// first column that stays at the left while the body scrolls both ways. Each
// text has its own colour. A single tap on a body row selects it and reports
// tableViewClickAtIndex; the second tap of a double tap selects it, toggles the
// row's radio button (multi-select on and the button enabled) and reports
// tableViewDoubleClickAtIndex. Rows are indexed from 0 in the order appended.
//
// The grid draws itself on black (titles row on a dark band, palette grid
// lines, the selected row on palette 10); widths follow the widest text of
// each column.
#include "platform/uikit/UIScrollView.h"
#include "ui/VTAPageCtr.h"
#include "ui/VTARadioButton.h"

#include <optional>
#include <vector>

class VTATableView;

class VTATableViewDelegate {
public:
    virtual ~VTATableViewDelegate() = default;
    virtual void tableViewClickAtIndex(VTATableView& table, int index) {}
    virtual void tableViewDoubleClickAtIndex(VTATableView& table, int index) {}
};

class VTATableView : public UIView {
public:
    using Colors = std::vector<std::shared_ptr<UIColor>>;

    explicit VTATableView(const CGRect& frame);
    ~VTATableView() override;
    std::string className() const override { return "VTATableView"; }

    // Not owned.
    void setDelegate(VTATableViewDelegate* d) { delegate_ = d; }
    VTATableViewDelegate* delegate() const { return delegate_; }

    // One colour per text; a missing or null colour draws white.
    void appendTopTitles(const std::vector<std::string>& titles, const Colors& colors);
    void appendRowItems(const std::vector<std::string>& items, const Colors& colors);
    // Lays the grid out for what was appended (call after the appends).
    void loadData();
    // Drops titles, rows and radio buttons.
    void clear();

    // The selected body row; 0 until a row is tapped.
    int getSelectedIndex() const { return selected_; }
    void setSelectedIndex(int row);

    // A page bar shown along the bottom of the grid (the grid above it).
    void setMyTablePageCtrl(std::shared_ptr<VTAPageCtr> pageCtrl);
    VTAPageCtr* myTablePageCtrl() const { return pageCtrl_.get(); }

    // A radio button per row, appended in row order.
    void setSupportsMutiSelect(bool on);
    bool supportsMutiSelect() const { return multi_; }
    void appendMutiButton(std::shared_ptr<VTARadioButton> button);
    // Rows whose radio button is selected, ascending; nullopt when multi-select is off.
    std::optional<std::vector<int>> getMutiSelectedIndex() const;
    VTARadioButton* mutiButtonAtIndex(int row) const;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const;
    const std::vector<std::string>& rowItems(int row) const;
    // The colours the row's texts were appended with (missing ones draw white).
    const Colors& rowColors(int row) const;
    const std::vector<std::string>& topTitles() const { return titles_.texts; }

    // Layout (points): the title row and body row heights, a column's width,
    // and the screen rectangle of a body cell as currently scrolled (tests tap it).
    static constexpr double kTitleHeight = 30;
    static constexpr double kRowHeight = 30;
    static constexpr double kRadioWidth = 30;
    double columnWidth(int column) const;
    CGRect rectForRow(int row, int column) const;  // in this view's coordinates
    UIScrollView* scrollView() const;

    void layoutSubviews() override;
    std::string accessibilityText() const override;

private:
    class Body;
    friend class Body;
    struct Line {
        std::vector<std::string> texts;
        Colors colors;
    };
    void tapped(int row, int tapCount);
    std::shared_ptr<UIColor> colorAt(const Line& line, size_t i) const;

    VTATableViewDelegate* delegate_ = nullptr;
    Line titles_;
    std::vector<Line> rows_;
    std::vector<double> widths_;
    std::vector<std::shared_ptr<VTARadioButton>> buttons_;
    bool multi_ = false;
    int selected_ = 0;
    bool touched_ = false;  // a row was tapped or set: the selection is drawn
    std::shared_ptr<Body> body_;
    std::shared_ptr<VTAPageCtr> pageCtrl_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIFont> titleFont_;
};
