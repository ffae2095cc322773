#pragma once
// The converter's command line, built once from a job snapshot as a list of arguments.
// POSIX hands the list to the converter as it is (no shell ever reads a path); the Windows
// command string is derived from the same list.
#include <filesystem>
#include <string>
#include <vector>

#include "conversion/windows_manager.h"

// One argument, kept as pieces so that the Windows string can put double quotes around the
// pieces that carry paths while the converter receives the plain concatenation.
struct ConverterArgument {
    struct Piece {
        std::wstring text;
        bool quoted = false;
    };
    std::vector<Piece> pieces;
    // The Windows command string has always carried a second blank after the pixel format
    // value; kept so that the string stays byte-identical.
    bool extraBlankAfter = false;

    std::wstring value() const;        // what the converter receives
    std::wstring windowsForm() const;  // quoted pieces between double quotes
};

class ConverterCommandLine {
public:
    std::vector<ConverterArgument> arguments;

    // The argument values, without a program-name token.
    std::vector<std::wstring> values() const;
    // " -i \"<input>\" -vf ... -y \"<output>\"": each argument preceded by one blank, no
    // program-name token.
    std::wstring windowsCommandString() const;
};

// Builds the command line of `snapshot`. The colour filter's ".cube" file is looked up in
// the "filter" folder of programDirectory. An index outside its table throws
// std::out_of_range.
ConverterCommandLine buildConverterCommandLine(const JobSnapshot& snapshot,
                                               const std::filesystem::path& programDirectory);
