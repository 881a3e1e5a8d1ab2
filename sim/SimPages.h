#pragma once
// The static pages the simulated server serves at GET /page/<name>.html for
// the client's in-app web page (menu link "webpage?url=<address>"). They are
// plain HTML in UTF-8; their links use the page commands of the in-app web
// page ("@qzopt=open?link=...&title=...", "@qzopt=tel?number=...",
// "@qzopt=back", "@qzopt=home") and ordinary relative links between the pages.
//   help  使用帮助: how to use the client, links to other screens
//   faq   常见问题: a second page, reached from help by a plain link
#include <optional>
#include <string>
#include <vector>

// The HTML of a served page, nullopt for an unknown name.
std::optional<std::string> simPageHTML(const std::string& name);
std::vector<std::string> simPageNames();
