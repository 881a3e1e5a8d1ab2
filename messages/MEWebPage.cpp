#include "messages/MEWebPage.h"

#include "core/QZUtil.h"
#include "core/storage/QZMessageExpress.h"
#include "platform/uikit/HTMLDocument.h"

namespace {

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return;
    size_t at = 0;
    while ((at = text.find(what, at)) != std::string::npos) {
        text.replace(at, what.size(), with);
        at += with.size();
    }
}

}  // namespace

std::string messageTextToHTML(const std::string& escapedText) {
    std::string html = escapedText;
    replaceAll(html, "\r\n\r\n", "<br/>");
    replaceAll(html, "\n", "<br/>");
    return html;
}

std::string renderMessagePage(const std::string& templateText, const QZMessageExpress& m, const std::string& longText) {
    std::string info =
        m.senderName() + " " + m.sendDate() + " " + QZUtil::timeWithoutMillisecond(m.sendTime()).value_or("");
    const std::pair<std::string, std::string> words[] = {
        {"QZ_NewsTitle", escapeHTML(m.messageTitle())},
        {"QZ_NewsInfo", escapeHTML(info)},
        {"QZ_NewsContent", messageTextToHTML(escapeHTML(longText))},
    };
    // One pass over the template: a message's own text is never read for the words.
    std::string page;
    size_t at = 0;
    while (at < templateText.size()) {
        size_t next = std::string::npos;
        const std::pair<std::string, std::string>* word = nullptr;
        for (const auto& w : words) {
            size_t found = templateText.find(w.first, at);
            if (found < next) {
                next = found;
                word = &w;
            }
        }
        if (!word) {
            page += templateText.substr(at);
            break;
        }
        page += templateText.substr(at, next - at) + word->second;
        at = next + word->first.size();
    }
    return page;
}

std::string messagePageAddress(const std::string& messageUrl) {
    if (messageUrl.find("://") != std::string::npos) return messageUrl;
    return "http://" + messageUrl;
}

std::string messageErrorPage(const std::string& description) {
    return "<html><center><font size=+5 color='red'>页面加载失败：<br>" + escapeHTML(description) +
           "</font></center></html>";
}
