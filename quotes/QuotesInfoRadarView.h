#pragma once
// The one-line strip under the quote page's dots (320 x 16 on black): the
// newest information-radar item of the stock, or, while the stock has none,
// the last price and amount of the Shanghai composite and the Shenzhen
// component index. A clear button over the whole strip tells the delegate
// (which opens the pop-up of every item); the host disables it while there
// is no radar.
//
// It only shows what the host hands it: the radar text (cut to 30
// characters and "..." from 31 on, characters counted, never bytes) or the
// index snapshot, which must hold exactly two rows (000001.2, then 399001.1);
// anything else leaves the strip black.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIButton.h"

class VTATCRS;

class QuotesInfoRadarDelegate {
public:
    virtual ~QuotesInfoRadarDelegate() = default;
    virtual void quotesInfoRadarAction() = 0;
};

class QuotesInfoRadarView : public UIView {
public:
    static constexpr size_t kLongestText = 30;

    explicit QuotesInfoRadarView(const CGRect& frame);
    std::string className() const override { return "QuotesInfoRadarView"; }

    // Not owned; the host clears it before it goes.
    void setDelegate(QuotesInfoRadarDelegate* d) { delegate_ = d; }
    UIButton* infoBtn() const { return infoBtn_.get(); }

    bool isHaveRadar() const { return isHaveRadar_; }
    void setIsHaveRadar(bool have);
    const std::string& infoRadarContent() const { return infoRadarContent_; }
    void setInfoRadarContent(const std::string& text);
    const std::shared_ptr<VTATCRS>& marketIndexData() const { return marketIndexData_; }
    void setMarketIndexData(std::shared_ptr<VTATCRS> data);

    void infoBtnAction();
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override;

    // The text as the strip shows it: whole up to 30 characters, else the
    // first 30 and "...".
    static std::string shownRadarText(const std::string& text);

private:
    // The six texts of the index line (empty unless exactly two rows).
    std::vector<std::string> indexTexts() const;

    QuotesInfoRadarDelegate* delegate_ = nullptr;
    std::shared_ptr<UIButton> infoBtn_;
    bool isHaveRadar_ = false;
    std::string infoRadarContent_;
    std::shared_ptr<VTATCRS> marketIndexData_;
};
