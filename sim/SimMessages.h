#pragma once
// Pushed messages: one message as the server keeps it, and the room of the
// message family (SimMessages.cpp), seeded when first used with the messages
// of the week before the server's clock: four senders, several days, plain
// texts, long texts and a web page, none, one or two related stocks; two of
// them confirmed long ago (only the history finds them), the others waiting
// for the phone.
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
    int type = 1;         // 0 the text alone, 1 long text (url is a request), 2 web address
    int level = 1;
    std::string title;
    std::string content;
    std::string longText;  // "news_content" of the long message (the content when none is given)
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
