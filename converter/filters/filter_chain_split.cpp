#include "converter/filters/filter_chain_split.h"

#include <cstring>
#include <vector>

namespace kalo::converter {
namespace {

constexpr const char* kWhitespace = " \n\t\r";

bool isWhitespace(char c) { return c != '\0' && std::strchr(kWhitespace, c) != nullptr; }

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

// One filter of the chain: [begin, end) in the chain text, and the separator after it.
struct Segment {
    size_t begin = 0;
    size_t end = 0;
    char separator = '\0';  // ',' ';' or '\0' at the end of the text
};

// Cuts the chain where libavfilter's graph parser would: at ',' and ';' that are neither
// escaped with a backslash nor inside single quotes.
std::vector<Segment> topLevelSegments(const std::string& chain) {
    std::vector<Segment> segments;
    Segment current;
    for (size_t i = 0; i < chain.size(); ++i) {
        const char c = chain[i];
        if (c == '\\') {
            if (i + 1 < chain.size()) ++i;
        } else if (c == '\'') {
            const size_t close = chain.find('\'', i + 1);
            i = close == std::string::npos ? chain.size() - 1 : close;
        } else if (c == ',' || c == ';') {
            current.end = i;
            current.separator = c;
            segments.push_back(current);
            current = Segment{};
            current.begin = i + 1;
        }
    }
    current.end = chain.size();
    segments.push_back(current);
    return segments;
}

// libavfilter's av_get_token(): leading blanks skipped, backslash takes the next
// character literally, single quotes take everything up to the next quote, stops at any
// character of `terminators` outside those; trailing unescaped blanks dropped.
std::string unescapeToken(const std::string& text, size_t& pos, const char* terminators) {
    while (pos < text.size() && isWhitespace(text[pos])) ++pos;
    std::string out;
    size_t keep = 0;  // length that trailing-blank removal must not cut into
    while (pos < text.size() && std::strchr(terminators, text[pos]) == nullptr) {
        const char c = text[pos++];
        if (c == '\\' && pos < text.size()) {
            out += text[pos++];
            keep = out.size();
        } else if (c == '\'') {
            while (pos < text.size() && text[pos] != '\'') out += text[pos++];
            if (pos < text.size()) {
                ++pos;
                keep = out.size();
            }
        } else {
            out += c;
        }
    }
    while (out.size() > keep && isWhitespace(out.back())) out.pop_back();
    return out;
}

std::string segmentText(const std::string& chain, const Segment& segment) {
    return chain.substr(segment.begin, segment.end - segment.begin);
}

struct FilterHead {
    bool labelled = false;  // "[in]" before the name
    std::string name;       // without an "@instance" suffix
    size_t afterName = 0;   // position in the chain just after the name
};

FilterHead readFilterHead(const std::string& chain, const Segment& segment) {
    FilterHead head;
    size_t pos = segment.begin;
    for (;;) {
        while (pos < segment.end && isWhitespace(chain[pos])) ++pos;
        if (pos < segment.end && chain[pos] == '[') {
            head.labelled = true;
            const size_t close = chain.find(']', pos);
            pos = close == std::string::npos || close >= segment.end ? segment.end : close + 1;
            continue;
        }
        break;
    }
    const std::string limited = chain.substr(0, segment.end);
    std::string name = unescapeToken(limited, pos, "=,;[");
    head.name = name.substr(0, name.find('@'));
    head.afterName = pos;
    return head;
}

}  // namespace

bool splitFilterChainAtDepth(const std::string& chain, FilterChainSplit& split,
                             std::string& error) {
    split = FilterChainSplit{};
    if (trim(chain).empty()) {
        error = "The -vf filter chain is empty.";
        return false;
    }
    const std::vector<Segment> segments = topLevelSegments(chain);
    int depthIndex = -1;
    bool severalChains = false;
    for (size_t i = 0; i < segments.size(); ++i) {
        if (segments[i].separator == ';') severalChains = true;
        if (readFilterHead(chain, segments[i]).name == "depth") {
            if (depthIndex >= 0) {
                error = "Only one depth filter is allowed in -vf.";
                return false;
            }
            depthIndex = static_cast<int>(i);
        }
    }
    if (depthIndex < 0) {
        split.before = trim(chain);
        return true;
    }
    if (severalChains) {
        error = "The depth filter must stand in a single filter chain (no ';' in -vf).";
        return false;
    }

    const Segment& depth = segments[static_cast<size_t>(depthIndex)];
    const FilterHead head = readFilterHead(chain, depth);
    if (head.labelled) {
        error = "The depth filter takes no link labels ('[...]').";
        return false;
    }
    const std::string text = chain.substr(0, depth.end);
    size_t pos = head.afterName;
    if (pos < text.size() && text[pos] == '=') {
        ++pos;
        split.depthOptions = unescapeToken(text, pos, "[],;");
    }
    while (pos < text.size() && isWhitespace(text[pos])) ++pos;
    if (pos < text.size()) {
        error = "Unexpected '" + trim(text.substr(pos)) + "' after the depth filter's options.";
        return false;
    }

    split.hasDepth = true;
    const size_t index = static_cast<size_t>(depthIndex);
    if (index > 0) {
        if (trim(segmentText(chain, segments[index - 1])).empty()) {
            error = "Empty filter before the depth filter in -vf.";
            return false;
        }
        split.before = trim(chain.substr(0, depth.begin - 1));
    }
    if (index + 1 < segments.size()) {
        if (trim(segmentText(chain, segments[index + 1])).empty()) {
            error = "Empty filter after the depth filter in -vf.";
            return false;
        }
        split.after = trim(chain.substr(depth.end + 1));
    }
    return true;
}

}  // namespace kalo::converter
