#pragma once
// Identity of one stock as the screens pass it around: code, name, pinyin
// initials, market id (1 Shenzhen, 2 Shanghai, 3 Hong Kong), type id (2 an
// index) and a last price.
#include <string>

class VTAStock {
public:
    VTAStock() = default;
    VTAStock(std::string code, std::string name, int marketID)
        : code_(std::move(code)), name_(std::move(name)), marketID_(marketID) {}

    const std::string& code() const { return code_; }
    void setCode(const std::string& v) { code_ = v; }
    const std::string& name() const { return name_; }
    void setName(const std::string& v) { name_ = v; }
    const std::string& pinyinCode() const { return pinyinCode_; }
    void setPinyinCode(const std::string& v) { pinyinCode_ = v; }
    int marketID() const { return marketID_; }
    void setMarketID(int v) { marketID_ = v; }
    int typeID() const { return typeID_; }
    void setTypeID(int v) { typeID_ = v; }
    float price() const { return price_; }
    void setPrice(float v) { price_ = v; }

    // The id the server knows the stock by: code, a point and the market id.
    std::string stockId() const { return code_ + "." + std::to_string(marketID_); }
    bool isIndex() const { return typeID_ == 2; }

private:
    std::string code_;
    std::string name_;
    std::string pinyinCode_;
    int marketID_ = 0;
    int typeID_ = 0;
    float price_ = 0;
};
