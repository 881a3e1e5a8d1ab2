#include "net/QZServerHost.h"

#include <charconv>

std::string QZServerHost::baseURL() const {
    std::string url = address_;
    if (url.find("://") == std::string::npos) url = "http://" + url;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::vector<std::shared_ptr<QZServerHost>> QZServerHost::hostsFromList(const std::string& iplist) {
    std::vector<std::shared_ptr<QZServerHost>> hosts;
    size_t start = 0;
    while (start <= iplist.size()) {
        size_t end = iplist.find('#', start);
        if (end == std::string::npos) end = iplist.size();
        std::string item = iplist.substr(start, end - start);
        start = end + 1;
        std::string parts[3];
        size_t p = 0;
        for (int i = 0; i < 3; ++i) {
            size_t caret = i < 2 ? item.find('^', p) : std::string::npos;
            parts[i] = item.substr(p, caret == std::string::npos ? std::string::npos : caret - p);
            if (caret == std::string::npos) break;
            p = caret + 1;
        }
        if (parts[0].empty()) continue;
        int carrier = 0;
        std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), carrier);
        if (carrier < 0 || carrier > 3) carrier = 0;
        hosts.push_back(std::make_shared<QZServerHost>(parts[0], parts[1], carrier));
    }
    return hosts;
}
