#pragma once
// The page marks of the quote page: the labels "分" "K" "细" "F10" for its
// pages (the first numberOfPages of them), the current one bright. It has no
// touch handling: the page scroll view sets the current page.
#include "platform/uikit/UIView.h"

class QuotesPageControl : public UIView {
public:
    explicit QuotesPageControl(const CGRect& frame);
    std::string className() const override { return "QuotesPageControl"; }

    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int n);  // 0..4
    int currentPage() const { return current_; }
    void setCurrentPage(int page);  // clamped to the pages

    // The label of a page ("" out of range).
    static std::string labelForPage(int page);
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override;

private:
    int pages_ = 4;
    int current_ = 0;
};
