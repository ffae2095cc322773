#include "converter/cli/argument_parser.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

#include "converter/cli/option_values.h"

namespace kalo::converter {
namespace {

enum class Scope {
    General,  // anywhere before the output file
    Input,    // before -i
    Output,   // after -i
    Either,   // before -i for the input, after it for the output
};

struct ParseState {
    ParsedCommandLine& parsed;
    bool inputSeen = false;
    bool stop = false;  // -h or -version: nothing after it matters
    ConverterOptions& options() { return parsed.options; }
};

using Handler = std::function<bool(ParseState&, const std::string& name, const std::string& value,
                                   std::string& error)>;

struct OptionRule {
    std::vector<const char*> names;
    bool takesValue;
    Scope scope;
    Handler handle;
};

std::string badValue(const std::string& name, const std::string& value, const std::string& expected) {
    return "Invalid value '" + value + "' for option '" + name + "': expected " + expected + ".";
}

bool oneOf(const std::string& value, std::initializer_list<const char*> choices) {
    return std::any_of(choices.begin(), choices.end(), [&](const char* c) { return value == c; });
}

bool setFilters(ParseState& state, const std::string&, const std::string& value, std::string& error) {
    ConverterOptions& options = state.options();
    if (!splitFilterChainAtDepth(value, options.filters, error)) return false;
    options.videoFilterText = value;
    options.depth = depth::DepthFilterOptions{};
    if (options.filters.hasDepth) {
        std::string depthError;
        if (!depth::parseDepthFilterOptions(options.filters.depthOptions, options.depth, depthError)) {
            error = "Invalid depth filter options '" + options.filters.depthOptions + "': " + depthError;
            return false;
        }
    }
    return true;
}

const std::vector<OptionRule>& optionTable() {
    static const std::vector<OptionRule> table = {
        {{"-h", "-help", "--help", "-?"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) {
             s.parsed.action = CommandAction::ShowHelp;
             s.stop = true;
             return true;
         }},
        {{"-version", "--version"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) {
             s.parsed.action = CommandAction::ShowVersion;
             s.stop = true;
             return true;
         }},
        {{"-hide_banner"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) { return s.options().hideBanner = true; }},
        {{"-loglevel", "-v"}, true, Scope::General,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (parseLogLevel(v, s.options().logLevel)) return true;
             e = badValue(n, v, "quiet, panic, fatal, error, warning, info, verbose, debug, trace or a number");
             return false;
         }},
        {{"-y"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) { return s.options().overwrite = true; }},
        {{"-n"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) { return s.options().neverOverwrite = true; }},
        {{"-stats"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) { return s.options().printStatus = true; }},
        {{"-nostats"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) {
             s.options().printStatus = false;
             return true;
         }},
        {{"-benchmark"}, false, Scope::General,
         [](ParseState& s, auto&, auto&, auto&) { return s.options().benchmark = true; }},
        // We never read standard input; accepted so that scripts written for FFmpeg work.
        {{"-nostdin"}, false, Scope::General, [](ParseState&, auto&, auto&, auto&) { return true; }},
        {{"-i"}, true, Scope::Input,
         [](ParseState& s, const std::string&, const std::string& v, std::string& e) {
             if (v.empty()) {
                 e = "The input file name after -i is empty.";
                 return false;
             }
             s.options().inputPath = v;
             s.inputSeen = true;
             return true;
         }},
        {{"-ss"}, true, Scope::Either,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             std::int64_t us = 0;
             if (!parseDuration(v, us) || us < 0) {
                 e = badValue(n, v, "a start time such as 00:01:30.5 or 90.5");
                 return false;
             }
             (s.inputSeen ? s.options().outputSeekUs : s.options().inputSeekUs) = us;
             return true;
         }},
        {{"-t"}, true, Scope::Either,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             std::int64_t us = 0;
             if (!parseDuration(v, us) || us <= 0) {
                 e = badValue(n, v, "a positive duration such as 00:00:10 or 10");
                 return false;
             }
             (s.inputSeen ? s.options().outputDurationUs : s.options().inputDurationUs) = us;
             return true;
         }},
        {{"-threads"}, true, Scope::Either,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             int threads = 0;
             if (!parseThreadCount(v, threads)) {
                 e = badValue(n, v, "auto or a count from 0 to 64");
                 return false;
             }
             (s.inputSeen ? s.options().encoderThreads : s.options().decoderThreads) = threads;
             return true;
         }},
        {{"-vf", "-filter:v"}, true, Scope::Output, setFilters},
        {{"-c:v", "-codec:v", "-vcodec"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (!oneOf(v, {"libx264", "h264"})) {
                 e = badValue(n, v, "libx264 (the only video encoder of this program)");
                 return false;
             }
             s.options().videoEncoder = "libx264";
             return true;
         }},
        {{"-profile:v", "-profile"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (!oneOf(v, {"baseline", "main", "high"})) {
                 e = badValue(n, v, "baseline, main or high");
                 return false;
             }
             s.options().profile = v;
             return true;
         }},
        {{"-b:v", "-vb"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (!parseBitRate(v, s.options().videoBitRate)) {
                 e = badValue(n, v, "a bit rate such as 10M or 6000k");
                 return false;
             }
             return true;
         }},
        {{"-preset", "-preset:v"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (!oneOf(v, {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow",
                            "slower", "veryslow", "placebo"})) {
                 e = badValue(n, v, "ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, veryslow or placebo");
                 return false;
             }
             s.options().preset = v;
             return true;
         }},
        {{"-pix_fmt", "-pix_fmt:v"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (v != "yuv420p") {
                 e = badValue(n, v, "yuv420p (what players of side-by-side H.264 take)");
                 return false;
             }
             s.options().pixelFormat = v;
             return true;
         }},
        {{"-c:a", "-codec:a", "-acodec"}, true, Scope::Output,
         [](ParseState& s, const std::string& n, const std::string& v, std::string& e) {
             if (v == "copy")
                 s.options().audio = AudioChoice::Copy;
             else if (v == "aac")
                 s.options().audio = AudioChoice::Aac;
             else {
                 e = badValue(n, v, "copy or aac");
                 return false;
             }
             return true;
         }},
        {{"-an"}, false, Scope::Output,
         [](ParseState& s, auto&, auto&, auto&) {
             s.options().audio = AudioChoice::Drop;
             return true;
         }},
    };
    return table;
}

const OptionRule* findOption(const std::string& name) {
    for (const OptionRule& rule : optionTable())
        for (const char* candidate : rule.names)
            if (name == candidate) return &rule;
    return nullptr;
}

bool looksLikeOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

bool parseArguments(const std::vector<std::string>& arguments, ParsedCommandLine& parsed,
                    std::string& error) {
    parsed = ParsedCommandLine{};
    ParseState state{parsed};
    bool outputSeen = false;
    for (size_t i = 0; i < arguments.size() && !state.stop; ++i) {
        const std::string& argument = arguments[i];
        if (!looksLikeOption(argument)) {
            if (argument.empty()) {
                error = "Empty argument where an option or the output file was expected.";
                return false;
            }
            if (!state.inputSeen) {
                error = "Unexpected '" + argument + "' before -i; the output file comes last.";
                return false;
            }
            if (outputSeen) {
                error = "Only one output file is supported; unexpected '" + argument + "'.";
                return false;
            }
            parsed.options.outputPath = argument;
            outputSeen = true;
            continue;
        }
        const OptionRule* rule = findOption(argument);
        if (rule == nullptr) {
            error = "Unrecognized option '" + argument + "'. Use -h to list the options.";
            return false;
        }
        if (outputSeen) {
            error = "Option '" + argument + "' after the output file has no effect; put it before '" +
                    parsed.options.outputPath + "'.";
            return false;
        }
        if (argument == "-i" && state.inputSeen) {
            error = "Only one input file is supported (a second -i was given).";
            return false;
        }
        if (rule->scope == Scope::Output && !state.inputSeen) {
            error = "Option '" + argument + "' applies to the output; put it after -i.";
            return false;
        }
        std::string value;
        if (rule->takesValue) {
            if (i + 1 >= arguments.size()) {
                error = "Missing argument for option '" + argument + "'.";
                return false;
            }
            value = arguments[++i];
        }
        if (!rule->handle(state, argument, value, error)) return false;
    }
    if (parsed.action != CommandAction::Convert) return true;

    ConverterOptions& options = parsed.options;
    if (!state.inputSeen) {
        error = "No input file given: use -i FILE (-h lists the options).";
        return false;
    }
    if (!outputSeen) {
        error = "No output file given: name it after the other options.";
        return false;
    }
    if (options.overwrite && options.neverOverwrite) {
        error = "Options -y and -n contradict each other.";
        return false;
    }
    if (options.videoFilterText.empty()) options.filters = FilterChainSplit{};
    return true;
}

}  // namespace kalo::converter
