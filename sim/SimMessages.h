#pragma once
// Pushed messages: one message as the server keeps it, and the room of the
// message family (SimMessages.cpp), seeded with a few messages sent in the
// hours before the server's clock when it is first used.
#include <cstdint>
#include <string>
#include <vector>

class SimServer;

struct SimMessage {
    int64_t msgId = 0;
    int64_t detailId = 0;
    std::string senderCode = "1001";
    std::string senderName = "资讯中心";
    double sendTime = 0;  // sim clock seconds
    int needConfirm = 1;  // "is_validate"
    int type = 1;         // 1 long text (url is a request), 2 web address
    int level = 1;
    std::string title;
    std::string content;
    std::string longText;  // "news_content" of the long message
    std::string channel = "每日资讯";
    std::string stockCode, stockName;
    std::string url;         // filled from the ids when empty (type 1)
    bool delivered = false;  // confirmed (or sent without need of a confirmation)
};

struct SimMessageRoom {
    explicit SimMessageRoom(SimServer& server);
    // Stores a new message: gives it its ids, and the time `now`, url and long
    // text when it has none. Answers the stored message.
    const SimMessage& add(SimMessage message, double now);

    std::vector<SimMessage> messages;
    int64_t nextMessageId = 1000;
};
