// The news menu of the simulated server: the rows of the client's
// server-filled menu list (menu link "newsmenu?tc_mfuncno=504&tc_sfuncno=1";
// function and columns named in core/contracts/NewsContract.h).
//
// 504/1 news categories. Request: nothing beyond the function numbers.
//   Reply set 0, one record per category: "title" (the row's text), "link"
//   (the menu link the row opens: the category's news list), "newstypeid"
//   (the category's id; the client keeps the first record's as its setting
//   "newstypeid" for the news screens).
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/NewsContract.h"
#include "sim/SimRegistry.h"

namespace {

struct NewsCategory {
    const char* id;
    const char* title;
};

const NewsCategory kCategories[] = {
    {"1", "财经要闻"},
    {"2", "公司新闻"},
    {"3", "研究报告"},
    {"4", "交易提示"},
};

std::vector<uint8_t> newsCategories(SimCall&) {
    TCRSWriter w;
    w.beginSet()
        .addField(NewsContract::Col::kTitle, TCRSFieldType::VarText)
        .addField(NewsContract::Col::kLink, TCRSFieldType::VarText)
        .addField(NewsContract::Col::kCategoryId, TCRSFieldType::VarText);
    for (const auto& c : kCategories)
        w.addRecord({c.title, std::string("newslist?tc_mfuncno=504&tc_sfuncno=22&newstypeid=") + c.id, c.id});
    return w.bytes();
}

}  // namespace

void registerNewsMenuFunctions(SimRegistry& r) {
    r.menu().add({401, 4, "新闻资讯", "newslist?tc_mfuncno=504&tc_sfuncno=22"});
    r.menu().add({703, 7, "资讯分类", "newsmenu?tc_mfuncno=504&tc_sfuncno=1"});
    r.add(NewsContract::kCategories, newsCategories);
}
