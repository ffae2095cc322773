#pragma once
// The colour look-up filter of a filter-table entry, written in FFmpeg's filter-graph
// syntax: "lut3d=" and the path of the entry's ".cube" file in the "filter" folder beside
// the program. The preview's filter graph and the converter's command line both use it, so
// the preview and the converted file get the same colour grading.
#include <filesystem>
#include <string>

namespace kalo {

// Escapes text so that it survives both parsing levels of a filter-graph description as one
// option value: first the option level (backslash, quote, ':' and '=' would split or key
// it), then the graph level (backslash, quote, brackets, ',' and ';' would end the filter).
// A Windows drive colon thus reads "C\\:", a plain POSIX path is unchanged.
std::string escapeFilterOptionValue(const std::string& text);

// "lut3d=" + the escaped path <programDirectory>/filter/<cubeFile>, with "/" separators.
// An empty programDirectory means the current working directory.
std::string lutFilterTextInFolder(const std::filesystem::path& programDirectory,
                                  const std::string& cubeFile);

// The filter text for row `index` of filterTable; the program directory is programPath's
// folder (the working directory when programPath is a bare file name). An index outside
// the table throws std::out_of_range.
std::string lutFilterText(const std::filesystem::path& programPath, int index);

}  // namespace kalo
