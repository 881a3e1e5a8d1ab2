#include "platform/host/ScriptDriver.h"

#include "platform/foundation/TextHelpers.h"
#include "platform/host/HeadlessHost.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

namespace {
enum class TextArg { None, Required, Optional };

struct Syntax {
    TextArg text;
    int minNumbers, maxNumbers;  // numeric arguments (after the text when there is one)
    const char* usage;
};

const std::map<std::string, Syntax>& syntaxes() {
    static const std::map<std::string, Syntax> table = {
        {"tap", {TextArg::None, 2, 2, "tap X Y"}},
        {"doubletap", {TextArg::None, 2, 2, "doubletap X Y"}},
        {"drag", {TextArg::None, 4, 5, "drag X1 Y1 X2 Y2 [STEPS]"}},
        {"pinch", {TextArg::None, 4, 4, "pinch CX CY FROM TO"}},
        {"vpinch", {TextArg::None, 4, 4, "vpinch CX CY FROM TO"}},
        {"taptext", {TextArg::Required, 0, 0, "taptext TEXT"}},
        {"type", {TextArg::Required, 0, 0, "type TEXT"}},
        {"key", {TextArg::Required, 0, 0, "key NAME"}},
        {"wait", {TextArg::None, 1, 1, "wait SECONDS"}},
        {"waitfor", {TextArg::Required, 0, 1, "waitfor TEXT [TIMEOUT]"}},
        {"expect", {TextArg::Required, 0, 0, "expect TEXT"}},
        {"expectnot", {TextArg::Required, 0, 0, "expectnot TEXT"}},
        {"alert", {TextArg::Required, 0, 0, "alert BUTTONTITLE"}},
        {"screenshot", {TextArg::Required, 0, 0, "screenshot FILE.png"}},
        {"tree", {TextArg::None, 0, 0, "tree"}},
        {"echo", {TextArg::Optional, 0, 0, "echo TEXT"}},
        {"background", {TextArg::None, 0, 0, "background"}},
        {"foreground", {TextArg::None, 0, 0, "foreground"}},
        {"clock", {TextArg::Required, 0, 0, "clock +SPAN | TIME"}},
    };
    return table;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::optional<double> number(const std::string& w) {
    if (w.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(w.c_str(), &end);
    if (end != w.c_str() + w.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// Reads a quoted string at the start of `s`; `rest` gets what follows.
std::optional<std::string> quoted(const std::string& s, std::string& rest, std::string& error) {
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            rest = s.substr(i + 1);
            if (!rest.empty() && !std::isspace(static_cast<unsigned char>(rest[0]))) {
                error = "text after the closing quote";
                return std::nullopt;
            }
            return out;
        }
        if (c == '\\') {
            if (++i >= s.size()) break;
            switch (s[i]) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                default:
                    error = std::string("unknown escape \\") + s[i];
                    return std::nullopt;
            }
            continue;
        }
        out += c;
    }
    error = "missing closing quote";
    return std::nullopt;
}

std::optional<std::string> parseLine(const std::string& line, ScriptCommand& cmd) {
    std::string body = trimmedText(line);
    size_t space = body.find_first_of(" \t");
    cmd.name = body.substr(0, space);
    std::string args = space == std::string::npos ? "" : trimmedText(body.substr(space));
    auto it = syntaxes().find(cmd.name);
    if (it == syntaxes().end()) return "unknown command \"" + cmd.name + "\"";
    const Syntax& syn = it->second;
    std::string numbersPart = args;
    if (syn.text != TextArg::None) {
        if (!args.empty() && args[0] == '"') {
            std::string error, rest;
            auto text = quoted(args, rest, error);
            if (!text) return error;
            cmd.text = *text;
            numbersPart = rest;
        } else if (syn.maxNumbers > 0) {
            // An unquoted text with optional numbers: trailing numbers are arguments.
            auto w = words(args);
            size_t n = 0;
            while (n < static_cast<size_t>(syn.maxNumbers) && w.size() > n + 1 && number(w[w.size() - 1 - n])) ++n;
            std::string text;
            for (size_t i = 0; i + n < w.size(); ++i) text += (i ? " " : "") + w[i];
            cmd.text = text;
            numbersPart.clear();
            for (size_t i = w.size() - n; i < w.size(); ++i) numbersPart += w[i] + " ";
        } else {
            cmd.text = args;
            numbersPart.clear();
        }
        if (syn.text == TextArg::Required && cmd.text.empty()) return std::string("missing text: ") + syn.usage;
    }
    for (auto& w : words(numbersPart)) {
        auto v = number(w);
        if (!v) return "\"" + w + "\" is not a number: " + syn.usage;
        cmd.numbers.push_back(*v);
    }
    int count = static_cast<int>(cmd.numbers.size());
    if (count < syn.minNumbers || count > syn.maxNumbers) return std::string("wrong number of arguments: ") + syn.usage;
    if (cmd.name == "wait" && cmd.numbers[0] < 0) return "negative time";
    if (cmd.name == "waitfor" && !cmd.numbers.empty() && cmd.numbers[0] < 0) return "negative timeout";
    if (cmd.name == "drag" && cmd.numbers.size() == 5 && (cmd.numbers[4] < 1 || cmd.numbers[4] > 1000))
        return "steps must be 1 to 1000";
    return std::nullopt;
}
}  // namespace

std::string ScriptError::describe() const { return "line " + std::to_string(line) + ": " + message; }

std::optional<ScriptError> parseScript(const std::string& script, std::vector<ScriptCommand>& commands) {
    commands.clear();
    std::istringstream in(script);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = trimmedText(line);
        if (t.empty() || t[0] == '#') continue;
        ScriptCommand cmd;
        cmd.line = number;
        if (auto error = parseLine(t, cmd)) return ScriptError{number, *error};
        commands.push_back(std::move(cmd));
    }
    return std::nullopt;
}

ScriptDriver::ScriptDriver(HeadlessHost& host, std::ostream& out) : host_(host), out_(out) {}

std::optional<ScriptError> ScriptDriver::runScript(const std::string& script) {
    std::vector<ScriptCommand> commands;
    if (auto error = parseScript(script, commands)) return error;
    return run(commands);
}

std::optional<ScriptError> ScriptDriver::runFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ScriptError{0, "cannot read " + path};
    std::ostringstream s;
    s << in.rdbuf();
    if (baseDirectory_.empty()) baseDirectory_ = std::filesystem::path(path).parent_path().string();
    return runScript(s.str());
}

std::optional<ScriptError> ScriptDriver::run(const std::vector<ScriptCommand>& commands) {
    for (const auto& cmd : commands)
        if (auto error = execute(cmd)) return ScriptError{cmd.line, *error};
    return std::nullopt;
}

std::optional<std::string> ScriptDriver::execute(const ScriptCommand& c) {
    const auto& n = c.numbers;
    if (c.name == "tap") {
        host_.tap(n[0], n[1]);
    } else if (c.name == "doubletap") {
        host_.doubleTap(n[0], n[1]);
    } else if (c.name == "drag") {
        host_.drag(n[0], n[1], n[2], n[3], n.size() > 4 ? static_cast<int>(n[4]) : 10);
    } else if (c.name == "pinch") {
        host_.pinch(n[0], n[1], n[2], n[3]);
    } else if (c.name == "vpinch") {
        host_.verticalPinch(n[0], n[1], n[2], n[3]);
    } else if (c.name == "taptext") {
        if (!host_.tapText(c.text)) return "no visible view shows \"" + c.text + "\"";
    } else if (c.name == "type") {
        if (!host_.type(c.text)) return "no text field is being edited";
    } else if (c.name == "key") {
        if (!host_.key(c.text)) return "no key \"" + c.text + "\" (is a text field being edited?)";
    } else if (c.name == "wait") {
        host_.runFor(n[0]);
    } else if (c.name == "waitfor") {
        double timeout = n.empty() ? 10 : n[0];
        if (!host_.waitForText(c.text, timeout))
            return "\"" + c.text + "\" did not appear within " + std::to_string(timeout) + " s";
    } else if (c.name == "expect") {
        host_.runFor(0);
        if (!host_.isTextVisible(c.text)) return "expected \"" + c.text + "\" on screen";
    } else if (c.name == "expectnot") {
        host_.runFor(0);
        if (host_.isTextVisible(c.text)) return "did not expect \"" + c.text + "\" on screen";
    } else if (c.name == "alert") {
        if (!host_.pressAlertButton(c.text)) return "no alert or action sheet with a button \"" + c.text + "\"";
    } else if (c.name == "screenshot") {
        std::filesystem::path p(c.text);
        if (p.is_relative() && !baseDirectory_.empty()) p = std::filesystem::path(baseDirectory_) / p;
        std::string error;
        if (!host_.screenshot(p.string(), &error)) return error;
    } else if (c.name == "tree") {
        out_ << host_.viewTreeText();
    } else if (c.name == "echo") {
        out_ << c.text << "\n";
    } else if (c.name == "background") {
        host_.background();
    } else if (c.name == "foreground") {
        host_.foreground();
    } else if (c.name == "clock") {
        if (!marketClock_) return "no market clock to move (the client runs against a server started elsewhere)";
        if (auto error = marketClock_(c.text)) return *error;
    } else {
        return "unknown command \"" + c.name + "\"";
    }
    return std::nullopt;
}
