#pragma once
// The -vf chain is one libavfilter graph description with our `depth` filter somewhere in
// it. libavfilter cannot run `depth`, so the chain is cut at it: what stands before and
// after stays graph text (escapes and quotes untouched, libavfilter reads it as usual) and
// the depth options are unescaped at the graph level, as libavfilter would hand them to a
// filter of its own.
#include <string>

namespace kalo::converter {

struct FilterChainSplit {
    bool hasDepth = false;
    std::string before;        // graph text before `depth` (the whole chain when there is none)
    std::string depthOptions;  // what follows "depth=", graph-level escapes removed
    std::string after;         // graph text after `depth`
};

// Returns false with a one-line `error` when the chain cannot be cut: a second `depth`,
// `depth` with link labels or inside a multi-chain graph (';'), an empty filter next to
// it, or an empty chain.
bool splitFilterChainAtDepth(const std::string& chain, FilterChainSplit& split,
                             std::string& error);

}  // namespace kalo::converter
