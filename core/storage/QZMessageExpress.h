#pragma once
// One pushed message of the message express, as stored in t_messageExpress.
#include <string>

class QZMessageExpress {
public:
    QZMessageExpress() = default;
    explicit QZMessageExpress(std::string senderCode) : senderCode_(std::move(senderCode)) {}

    const std::string& senderCode() const { return senderCode_; }
    void setSenderCode(std::string v) { senderCode_ = std::move(v); }
    const std::string& senderName() const { return senderName_; }
    void setSenderName(std::string v) { senderName_ = std::move(v); }
    // "yyyy-MM-dd"
    const std::string& sendDate() const { return sendDate_; }
    void setSendDate(std::string v) { sendDate_ = std::move(v); }
    // "HH:mm:ss", possibly with a fraction after "."
    const std::string& sendTime() const { return sendTime_; }
    void setSendTime(std::string v) { sendTime_ = std::move(v); }
    bool isNeedConfirm() const { return isNeedConfirm_; }
    void setIsNeedConfirm(bool v) { isNeedConfirm_ = v; }
    bool isFavorite() const { return isFavorite_; }
    void setIsFavorite(bool v) { isFavorite_ = v; }
    bool isRead() const { return isRead_; }
    void setIsRead(bool v) { isRead_ = v; }
    // 1: the long content is fetched with the request text messageUrl;
    // 2: messageUrl is a web address.
    int messageType() const { return messageType_; }
    void setMessageType(int v) { messageType_ = v; }
    int messageLevel() const { return messageLevel_; }
    void setMessageLevel(int v) { messageLevel_ = v; }
    const std::string& messageDetailId() const { return messageDetailId_; }
    void setMessageDetailId(std::string v) { messageDetailId_ = std::move(v); }
    // Unique key of the store.
    const std::string& messageId() const { return messageId_; }
    void setMessageId(std::string v) { messageId_ = std::move(v); }
    const std::string& messageTitle() const { return messageTitle_; }
    void setMessageTitle(std::string v) { messageTitle_ = std::move(v); }
    const std::string& messageContent() const { return messageContent_; }
    void setMessageContent(std::string v) { messageContent_ = std::move(v); }
    // 0 Sunday to 6 Saturday.
    int week() const { return week_; }
    void setWeek(int v) { week_ = v; }
    const std::string& channelName() const { return channelName_; }
    void setChannelName(std::string v) { channelName_ = std::move(v); }
    // Several stocks joined by ","; the names in the order of the codes.
    const std::string& stockCode() const { return stockCode_; }
    void setStockCode(std::string v) { stockCode_ = std::move(v); }
    const std::string& stockName() const { return stockName_; }
    void setStockName(std::string v) { stockName_ = std::move(v); }
    const std::string& messageUrl() const { return messageUrl_; }
    void setMessageUrl(std::string v) { messageUrl_ = std::move(v); }

private:
    std::string senderCode_, senderName_, sendDate_, sendTime_;
    bool isNeedConfirm_ = false, isFavorite_ = false, isRead_ = false;
    int messageType_ = 0, messageLevel_ = 0;
    std::string messageDetailId_, messageId_, messageTitle_, messageContent_;
    int week_ = 0;
    std::string channelName_, stockCode_, stockName_, messageUrl_;
};
