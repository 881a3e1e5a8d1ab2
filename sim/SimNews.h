#pragma once
// News: the columns of the news menu with their articles, the room of the
// news family (SimNews.cpp). Seeded when first used with articles published
// in the hours and days before the server's clock, newest first in each
// column; the first column holds more headlines than one page. A fifth
// column, "05", off the menu, holds the news of single stocks (eight
// headlines each for 浦发银行, 平安银行, 万科Ａ, 招商银行, 中兴通讯,
// 格力电器, 贵州茅台 and 中国平安), which the own-stock news pages through.
#include <string>
#include <vector>

class SimServer;
class TCRSWriter;

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

// The reply sets of the news functions, shared with the F10 texts of a stock
// (SimF10.cpp): a headline set begun with its columns ("newsid", "title",
// "originaltime", "newstypeid", "source", "ext"; one record each), and an
// article (one paragraph a record, the first with title, source and time).
void simBeginHeadlineSet(TCRSWriter& w);
void simArticleSet(TCRSWriter& w, const std::vector<std::string>& paragraphs, const std::string& title,
                   const std::string& source, const std::string& time);
