#include "sim/SimPages.h"

#include "core/Brokerage.h"

namespace {

struct Page {
    const char* name;
    const char* html;
};

const Page kPages[] = {
    {"help",
     "<html><head><meta charset=\"utf-8\"><title>使用帮助</title></head><body>\n"
     "<h2>使用帮助</h2>\n"
     "<p>首页的菜单按钮打开行情、交易、理财、资讯和消息等功能；每个列表页底部的“首页”按钮回到首页，"
     "“个股”按钮打开股票查询。</p>\n"
     "<p>交易功能需要先登录交易帐号；长时间不操作时交易会自动锁定，可在“设置”中修改锁定时间。</p>\n"
     "<ul>\n"
     "<li><a href=\"@qzopt=open?link=setting&amp;title=设置\">打开设置</a></li>\n"
     "<li><a href=\"@qzopt=open?link=about&amp;title=关于\">关于本软件</a></li>\n"
     "<li><a href=\"@qzopt=tel?number={hotline}\">客服热线 {hotline}</a></li>\n"
     "<li><a href=\"faq.html\">常见问题</a></li>\n"
     "<li><a href=\"@qzopt=home\">返回首页</a></li>\n"
     "</ul>\n"
     "</body></html>\n"},
    {"faq",
     "<html><head><meta charset=\"utf-8\"><title>常见问题</title></head><body>\n"
     "<h2>常见问题</h2>\n"
     "<p><b>行情不刷新？</b> 请在“设置”中打开自动刷新并设置刷新间隔。</p>\n"
     "<p><b>收不到消息？</b> 请确认手机号码已经注册，并在系统设置中允许推送通知。</p>\n"
     "<p><a href=\"@qzopt=back\">返回</a></p>\n"
     "</body></html>\n"},
    {"report",
     "<html><head><meta charset=\"utf-8\"><title>晨会纪要</title></head><body>\n"
     "<h2>晨会纪要</h2>\n"
     "<p><b>宏观</b> 稳增长政策持续发力，基建投资增速回升，制造业景气度改善。</p>\n"
     "<p><b>策略</b> 市场风险偏好有所修复，建议关注业绩确定性较强的消费龙头与高股息的银行板块。</p>\n"
     "<p><b>个股</b> 重点推荐招商银行、贵州茅台、中国平安，维持买入评级。</p>\n"
     "<p><a href=\"faq.html\">常见问题</a></p>\n"
     "</body></html>\n"},
};

// The brokerage's facts the pages state, filled in where a page names them.
std::string withFacts(std::string html) {
    const std::string mark = "{hotline}";
    for (size_t at = html.find(mark); at != std::string::npos; at = html.find(mark, at))
        html.replace(at, mark.size(), kBrokerageHotline);
    return html;
}

}  // namespace

std::optional<std::string> simPageHTML(const std::string& name) {
    for (const auto& p : kPages)
        if (name == p.name) return withFacts(p.html);
    return std::nullopt;
}

std::vector<std::string> simPageNames() {
    std::vector<std::string> out;
    for (const auto& p : kPages) out.push_back(p.name);
    return out;
}
