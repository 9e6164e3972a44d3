#include "ManPage.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A word that names an option: its dashes are minus signs, which a reader
// copies as typed; other dashes stay hyphens.
bool IsOptionWord(const std::string& word) {
    const size_t first = word.find_first_not_of("([\"'");
    return first != std::string::npos && word[first] == '-';
}

std::string EscapeWord(const std::string& word) {
    const bool option = IsOptionWord(word);
    std::string out;
    for (char c : word) {
        if (c == '\\') out += "\\e";
        else if (c == '-' && option) out += "\\-";
        else out += c;
    }
    return out;
}

// Plain text; a line never starts with a roff control character.
std::string Escape(const std::string& text) {
    std::string out;
    std::string word;
    for (char c : text + " ") {
        if (c != ' ') {
            word += c;
            continue;
        }
        out += EscapeWord(word) + ' ';
        word.clear();
    }
    out.pop_back();
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

// Option names in bold, value names (capitals) in italics, the rest plain.
std::string Styled(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '-' && (i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1])))) {
            size_t end = i;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-'))
                ++end;
            out += "\\fB" + EscapeWord(text.substr(i, end - i)) + "\\fR";
            i = end;
        } else if (std::isupper(static_cast<unsigned char>(c))) {
            size_t end = i;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == ',' ||
                                         text[end] == '.'))
                ++end;
            out += "\\fI" + text.substr(i, end - i) + "\\fR";
            i = end;
        } else {
            out += c == '\\' ? std::string("\\e") : std::string(1, c);
            ++i;
        }
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

bool ManPageFromHelp(const std::string& help, ManPageParts& parts, std::string& error) {
    const std::vector<std::string> lines = Lines(help);
    size_t i = 0;
    if (lines.empty() || !StartsWith(lines[0], "usage: ")) {
        error = "the help text does not start with \"usage: \"";
        return false;
    }
    std::istringstream usage(lines[i++].substr(7));
    std::string name;
    usage >> name;
    std::string arguments;
    std::getline(usage, arguments);
    for (; i < lines.size() && StartsWith(lines[i], "   "); ++i) arguments += " " + Trim(lines[i]);
    parts.synopsis = ".B " + name + "\n" + Styled(Trim(arguments)) + "\n";

    parts.options.clear();
    size_t options = 0;
    for (; i < lines.size() && StartsWith(lines[i], "  "); ++i) {
        const std::string& line = lines[i];
        if (StartsWith(line, "  -")) {
            const size_t gap = line.find("  ", 2);
            const std::string spec = Trim(line.substr(2, gap == std::string::npos ? std::string::npos : gap - 2));
            parts.options += ".TP\n" + Styled(spec) + "\n";
            if (gap != std::string::npos) parts.options += Escape(Trim(line.substr(gap))) + "\n";
            ++options;
        } else {
            parts.options += Escape(Trim(line)) + "\n";
        }
    }
    if (options == 0) {
        error = "the help text lists no option";
        return false;
    }
    bool paragraph = false;
    for (; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) {
            paragraph = false;
            continue;
        }
        if (!paragraph) parts.options += ".PP\n";
        paragraph = true;
        parts.options += Escape(Trim(lines[i])) + "\n";
    }
    return true;
}

std::string FillManPage(const std::string& manTemplate, const ManPageParts& parts) {
    std::string out;
    for (const std::string& line : Lines(manTemplate)) {
        if (line == ".\\\" synopsis from --help") out += parts.synopsis;
        else if (line == ".\\\" options from --help") out += parts.options;
        else out += line + "\n";
    }
    return out;
}
