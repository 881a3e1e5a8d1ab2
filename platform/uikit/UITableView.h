#pragma once
// A scrolling list of rows in sections, plain or grouped. Rows come from the
// data source; only the rows on screen have cells, which return to a reuse
// pool by identifier when they scroll away. A tap selects a row (a drag
// does not); in editing mode, or after a sideways swipe on a row, rows can be
// deleted and (with a data source that allows it) reordered.
//
// A reload while a finger rests on a row keeps the touch: when the table
// keeps its shape (the same sections, the touched section's row count) the
// row's new cell takes the touch over, and lifting the finger there taps it;
// otherwise the touch ends there, unhighlighted, and taps nothing. A touched
// cell never goes back to the reuse pool, so it cannot come back as
// another row while the finger is down.
//
// Optional operations of the two protocols have defaults. Rows can be edited
// (delete control, swipe to delete) only where the data source answers
// tableViewCanEditRowAtIndexPath with true, and moved only where it answers
// tableViewCanMoveRowAtIndexPath with true.
#include "platform/uikit/NSIndexPath.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITableViewCell.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class UITableView;

class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(UITableView& table) { return 1; }
    virtual int tableViewNumberOfRowsInSection(UITableView& table, int section) = 0;
    virtual std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                            const NSIndexPath& indexPath) = 0;
    // Empty: no title.
    virtual std::string tableViewTitleForHeaderInSection(UITableView& table, int section) { return ""; }
    virtual std::string tableViewTitleForFooterInSection(UITableView& table, int section) { return ""; }
    virtual bool tableViewCanEditRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) { return false; }
    virtual bool tableViewCanMoveRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) { return false; }
    virtual void tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                             const NSIndexPath& indexPath) {}
    virtual void tableViewMoveRowAtIndexPath(UITableView& table, const NSIndexPath& from, const NSIndexPath& to) {}
};

class UITableViewDelegate : public UIScrollViewDelegate {
public:
    // Negative: the table's rowHeight / the standard header and footer heights.
    virtual double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) { return -1; }
    virtual double tableViewHeightForHeaderInSection(UITableView& table, int section) { return -1; }
    virtual double tableViewHeightForFooterInSection(UITableView& table, int section) { return -1; }
    virtual std::shared_ptr<UIView> tableViewViewForHeaderInSection(UITableView& table, int section) { return nullptr; }
    virtual std::shared_ptr<UIView> tableViewViewForFooterInSection(UITableView& table, int section) { return nullptr; }
    virtual void tableViewWillDisplayCell(UITableView& table, UITableViewCell& cell, const NSIndexPath& indexPath) {}
    // Answer another row, or nothing to refuse the selection.
    virtual std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(UITableView& table,
                                                                         const NSIndexPath& indexPath) {
        return indexPath;
    }
    virtual void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {}
    virtual void tableViewDidDeselectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {}
    // The older per-row accessory form; nothing keeps the cell's own.
    virtual std::optional<UITableViewCellAccessoryType> tableViewAccessoryTypeForRowWithIndexPath(
        UITableView& table, const NSIndexPath& indexPath) {
        return std::nullopt;
    }
    virtual void tableViewAccessoryButtonTappedForRowWithIndexPath(UITableView& table, const NSIndexPath& indexPath) {}
    virtual UITableViewCellEditingStyle tableViewEditingStyleForRowAtIndexPath(UITableView& table,
                                                                               const NSIndexPath& indexPath) {
        return UITableViewCellEditingStyle::Delete;
    }
    virtual std::string tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(UITableView& table,
                                                                                   const NSIndexPath& indexPath) {
        return "删除";
    }
    virtual bool tableViewShouldIndentWhileEditingRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {
        return true;
    }
    virtual void tableViewWillBeginEditingRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {}
    virtual void tableViewDidEndEditingRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) {}
    virtual NSIndexPath tableViewTargetIndexPathForMoveFromRowAtIndexPath(UITableView& table, const NSIndexPath& from,
                                                                          const NSIndexPath& proposed) {
        return proposed;
    }
};

enum class UITableViewStyle { Plain, Grouped };
enum class UITableViewScrollPosition { None, Top, Middle, Bottom };
enum class UITableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle, Automatic = 100 };

class UITableView : public UIScrollView {
public:
    explicit UITableView(const CGRect& frame = CGRectZero, UITableViewStyle style = UITableViewStyle::Plain);
    ~UITableView() override;
    std::string className() const override { return "UITableView"; }

    UITableViewStyle style() const { return style_; }
    UITableViewDataSource* dataSource() const { return dataSource_; }
    // Not owned: the owner clears both before it goes away.
    void setDataSource(UITableViewDataSource* d) {
        dataSource_ = d;
        reloadData();
    }
    UITableViewDelegate* delegate() const { return delegate_; }
    void setDelegate(UITableViewDelegate* d);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double h) {
        rowHeight_ = h;
        reloadData();
    }
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double h) {
        sectionHeaderHeight_ = h;
        reloadData();
    }
    double sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(double h) {
        sectionFooterHeight_ = h;
        reloadData();
    }
    UITableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle s) {
        separatorStyle_ = s;
        setNeedsLayout();
    }
    const std::shared_ptr<UIColor>& separatorColor() const { return separatorColor_; }
    void setSeparatorColor(std::shared_ptr<UIColor> c) {
        separatorColor_ = std::move(c);
        setNeedsLayout();
    }
    const std::shared_ptr<UIView>& tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<UIView> v);
    const std::shared_ptr<UIView>& tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<UIView> v);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool a) { allowsSelection_ = a; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionDuringEditing_; }
    void setAllowsSelectionDuringEditing(bool a) { allowsSelectionDuringEditing_ = a; }
    bool isEditing() const { return editing_; }
    void setEditing(bool editing, bool animated = false);

    // ---- data ----
    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, UITableViewRowAnimation animation);
    void beginUpdates();
    void endUpdates();
    // The data source has already changed: the rows (and the rows after them) move.
    void deleteRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void insertRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void deleteSections(const std::vector<int>& sections, UITableViewRowAnimation animation);
    void insertSections(const std::vector<int>& sections, UITableViewRowAnimation animation);
    int numberOfSections() const { return static_cast<int>(sections_.size()); }
    int numberOfRowsInSection(int section) const;
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);

    // ---- cells and geometry (content coordinates) ----
    // The cell of a row on screen; null when the row has no cell now.
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(const NSIndexPath& indexPath) const;
    std::vector<std::shared_ptr<UITableViewCell>> visibleCells() const;
    std::vector<NSIndexPath> indexPathsForVisibleRows() const;
    std::optional<NSIndexPath> indexPathForCell(const UITableViewCell* cell) const;
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint point) const;
    CGRect rectForRowAtIndexPath(const NSIndexPath& indexPath) const;
    CGRect rectForSection(int section) const;
    CGRect rectForHeaderInSection(int section) const;
    CGRect rectForFooterInSection(int section) const;
    UIView* headerViewForSection(int section) const;
    void scrollToRowAtIndexPath(const NSIndexPath& indexPath, UITableViewScrollPosition position, bool animated);

    // ---- selection ----
    std::optional<NSIndexPath> indexPathForSelectedRow() const { return selected_; }
    void selectRowAtIndexPath(const std::optional<NSIndexPath>& indexPath, bool animated,
                              UITableViewScrollPosition position);
    void deselectRowAtIndexPath(const NSIndexPath& indexPath, bool animated);

    // ---- from the cells (finger on a row) ----
    bool rowsHighlightOnTouch() const;
    // A finger lifted off a row that it did not swipe (screen coordinates).
    void cellTouchEnded(UITableViewCell& cell, CGPoint screenPoint);
    // The row under the finger lost its highlight (the finger moved, or the
    // touch was cancelled).
    void cellTouchUnhighlighted(UITableViewCell& cell);
    void cellTapped(UITableViewCell* cell);
    void cellSwiped(UITableViewCell* cell);
    void cellEditingControlTapped(UITableViewCell* cell);
    void cellDeleteConfirmed(UITableViewCell* cell);
    void cellAccessoryTapped(UITableViewCell* cell);
    void reorderBegan(UITableViewCell* cell, CGPoint screenPoint);
    void reorderMoved(UITableViewCell* cell, CGPoint screenPoint);
    void reorderEnded(UITableViewCell* cell, CGPoint screenPoint);
    // Hides a shown "删除" button; true when one was shown.
    bool hideDeleteConfirmation();

    bool touchesShouldCancelInContentView(UIView* view) const override;
    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;

protected:
    void didChangeContentOffset() override {
        setNeedsLayout();
        layoutIfNeeded();
    }

private:
    struct Section {
        double headerY = 0, headerH = 0, footerY = 0, footerH = 0;
        std::string headerTitle, footerTitle;
        std::vector<double> rowY, rowH;
        std::shared_ptr<UIView> headerView, footerView;
    };
    void computeGeometry();
    void layoutCells();
    void enqueue(const std::shared_ptr<UITableViewCell>& cell);
    void releaseTouchedAway(const UITableViewCell& cell);
    void configureCell(UITableViewCell& cell, const NSIndexPath& ip);
    std::shared_ptr<UIView> makeTitleView(const std::string& title, bool header) const;
    bool validIndexPath(const NSIndexPath& ip) const;
    double cellX() const;
    double cellWidth() const;

    UITableViewStyle style_;
    UITableViewDataSource* dataSource_ = nullptr;
    UITableViewDelegate* delegate_ = nullptr;
    double rowHeight_ = 44;
    double sectionHeaderHeight_ = 22, sectionFooterHeight_ = 22;
    UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyle::SingleLine;
    std::shared_ptr<UIColor> separatorColor_;
    std::shared_ptr<UIView> tableHeaderView_, tableFooterView_;
    bool allowsSelection_ = true, allowsSelectionDuringEditing_ = false, editing_ = false;
    std::vector<Section> sections_;
    std::map<NSIndexPath, std::shared_ptr<UITableViewCell>> visible_;
    std::map<std::string, std::vector<std::shared_ptr<UITableViewCell>>> reusePool_;
    std::optional<NSIndexPath> selected_;
    std::optional<NSIndexPath> confirming_;
    std::optional<NSIndexPath> reorderFrom_;
    // A touch begun on a cell that a reload replaced: its row's new cell has it now.
    struct CarriedTouch {
        std::weak_ptr<UITableViewCell> from;
        NSIndexPath row;
    };
    std::optional<CarriedTouch> carried_;
    // Touched cells taken off the table before the finger lifted: they still
    // report their touch to it.
    std::vector<std::shared_ptr<UITableViewCell>> touchedAway_;
    double reorderGrab_ = 0;
    int updatesDepth_ = 0;
    bool loaded_ = false;
};
