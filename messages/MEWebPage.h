#pragma once
// The page of a pushed message: its long text laid into the bundle's page
// template "MEWebTemplate.html", and the address of a web-page message.
//
// The template holds three words, each replaced wherever it stands in the
// template (never inside the texts put in): "QZ_NewsTitle" by the title, "QZ_NewsInfo" by "<sender> <date>
// <time without its fraction>", "QZ_NewsContent" by the text. Every part is
// escaped as HTML first (a message's "<" or "&" shows as written and never
// becomes markup); then in the text every "\r\n\r\n", and after them every
// remaining "\n", becomes a line break (a lone "\r" stays).
#include <string>

class QZMessageExpress;

inline constexpr const char* kMessagePageTemplate = "MEWebTemplate.html";

// The text with its line breaks as "<br/>" (already escaped text in, HTML out).
std::string messageTextToHTML(const std::string& escapedText);
// The page of the message with that long text in the template text.
std::string renderMessagePage(const std::string& templateText, const QZMessageExpress& message,
                              const std::string& longText);
// The address a web-page message loads: as it stands when it names a scheme
// ("http://", "https://" ...), else with "http://" put in front.
std::string messagePageAddress(const std::string& messageUrl);
// The red page shown when a load fails, with the error's text escaped.
std::string messageErrorPage(const std::string& description);
