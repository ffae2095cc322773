#include "conversion/converter_command_line.h"

#include <stdexcept>

#include "config/option_tables.h"
#include "media/lut_filter_text.h"
#include "platform/text_encoding.h"

namespace {

ConverterArgument plain(std::wstring text) {
    ConverterArgument argument;
    argument.pieces.push_back({std::move(text), false});
    return argument;
}

ConverterArgument quoted(std::wstring text) {
    ConverterArgument argument;
    argument.pieces.push_back({std::move(text), true});
    return argument;
}

template <typename Table>
const typename Table::value_type& row(const Table& table, int index, const char* name) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        throw std::out_of_range(std::string(name) + " index " + std::to_string(index) +
                                " outside its table");
    }
    return table[static_cast<std::size_t>(index)];
}

}  // namespace

std::wstring ConverterArgument::value() const {
    std::wstring text;
    for (const Piece& piece : pieces) text += piece.text;
    return text;
}

std::wstring ConverterArgument::windowsForm() const {
    std::wstring text;
    for (const Piece& piece : pieces) {
        if (piece.quoted) {
            text += L'"';
            text += piece.text;
            text += L'"';
        } else {
            text += piece.text;
        }
    }
    if (extraBlankAfter) text += L' ';
    return text;
}

std::vector<std::wstring> ConverterCommandLine::values() const {
    std::vector<std::wstring> list;
    list.reserve(arguments.size());
    for (const ConverterArgument& argument : arguments) list.push_back(argument.value());
    return list;
}

std::wstring ConverterCommandLine::windowsCommandString() const {
    std::wstring text;
    for (const ConverterArgument& argument : arguments) {
        text += L' ';
        text += argument.windowsForm();
    }
    return text;
}

ConverterCommandLine buildConverterCommandLine(const JobSnapshot& snapshot,
                                               const std::filesystem::path& programDirectory) {
    const bool colourFilter = snapshot.filterIndex > 0;
    ConverterCommandLine line;
    auto& args = line.arguments;

    args.push_back(plain(L"-i"));
    args.push_back(quoted(snapshot.input));

    args.push_back(plain(L"-vf"));
    ConverterArgument chain;
    if (colourFilter) {
        const std::string& cube = row(filterTable, snapshot.filterIndex, "filter").first;
        chain.pieces.push_back(
            {kalo::utf8ToWide(kalo::lutFilterTextInFolder(programDirectory, cube)), true});
        chain.pieces.push_back({L",", false});
    }
    std::wstring depth = L"depth=outputmode=sbs";
    if (snapshot.modeIndex > 0) depth += L":mode=" + row(modeKeys, snapshot.modeIndex, "mode");
    if (snapshot.depthLevelIndex >= 0) {
        depth += row(depthLevelTable, snapshot.depthLevelIndex, "depth level");
    }
    depth += L",scale=" + row(resolutionTable, snapshot.resolutionIndex, "resolution");
    chain.pieces.push_back({depth, false});
    args.push_back(std::move(chain));

    for (const wchar_t* fixed : {L"-c:v", L"libx264", L"-profile:v", L"baseline", L"-b:v"}) {
        args.push_back(plain(fixed));
    }
    args.push_back(plain(row(bitrateTable, snapshot.bitrateIndex, "bitrate") + L"M"));
    if (colourFilter) {
        args.push_back(plain(L"-pix_fmt"));
        args.push_back(plain(L"yuv420p"));
        args.back().extraBlankAfter = true;
    }
    args.push_back(plain(L"-y"));
    args.push_back(quoted(snapshot.output));
    return line;
}
