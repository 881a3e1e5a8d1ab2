#pragma once
// News: the columns of the news menu with their articles, the room of the
// news family (SimNews.cpp). Seeded when first used with articles published
// in the hours and days before the server's clock, newest first in each
// column; the first column holds more headlines than one page.
#include <string>
#include <vector>

class SimServer;

struct SimArticle {
    std::string id;  // "newsid"
    std::string column;
    std::string title;
    std::string source;
    double published = 0;                 // sim clock seconds
    std::vector<std::string> paragraphs;  // the text, one record each
    std::string stockCode;                // the stock it is about ("600036.2"), "" none
};

struct SimNewsColumn {
    std::string id;  // "newstypeid"
    std::string title;
};

struct SimNewsRoom {
    explicit SimNewsRoom(SimServer& server);
    const SimArticle* find(const std::string& id) const;
    const SimNewsColumn* column(const std::string& id) const;

    std::vector<SimNewsColumn> columns;
    std::vector<SimArticle> articles;  // newest first within each column
};
