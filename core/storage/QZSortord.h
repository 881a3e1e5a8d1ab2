#pragma once
// The groups of the message store's grouped lists: 0 by sender, 1 by send
// date, 2 by stock. A list holds groups of one kind; read type() and cast.
#include <string>
#include <vector>

class QZSortord {
public:
    virtual ~QZSortord() = default;
    int type() const { return type_; }
    int amount() const { return amount_; }
    void setAmount(int v) { amount_ = v; }
    int unreadCount() const { return unreadCount_; }
    void setUnreadCount(int v) { unreadCount_ = v; }

protected:
    explicit QZSortord(int type) : type_(type) {}

private:
    int type_;
    int amount_ = 0;
    int unreadCount_ = 0;
};

class QZSortordBySender : public QZSortord {
public:
    QZSortordBySender() : QZSortord(0) {}
    const std::string& senderCode() const { return senderCode_; }
    void setSenderCode(std::string v) { senderCode_ = std::move(v); }
    const std::string& senderName() const { return senderName_; }
    void setSenderName(std::string v) { senderName_ = std::move(v); }

private:
    std::string senderCode_, senderName_;
};

class QZSortordByTime : public QZSortord {
public:
    QZSortordByTime() : QZSortord(1) {}
    const std::string& sendDate() const { return sendDate_; }
    void setSendDate(std::string v) { sendDate_ = std::move(v); }
    // The weekday number (0 Sunday to 6 Saturday) as text.
    const std::string& sendWeek() const { return sendWeek_; }
    void setSendWeek(std::string v) { sendWeek_ = std::move(v); }

private:
    std::string sendDate_, sendWeek_;
};

class QZSortordByStock : public QZSortord {
public:
    // Code and name of the group of messages that name no stock.
    static constexpr const char* kNoStockKey = "9999999";

    QZSortordByStock() : QZSortord(2) {}
    const std::string& stockCode() const { return stockCode_; }
    void setStockCode(std::string v) { stockCode_ = std::move(v); }
    const std::string& stockName() const { return stockName_; }
    void setStockName(std::string v) { stockName_ = std::move(v); }
    const std::vector<std::string>& messageIds() const { return messageIds_; }
    void setMessageIds(std::vector<std::string> v) { messageIds_ = std::move(v); }
    void addMessageId(std::string v) { messageIds_.push_back(std::move(v)); }

private:
    std::string stockCode_, stockName_;
    std::vector<std::string> messageIds_;
};
