#pragma once

#include <string>

namespace vantor {

// Reads the file, drops all CR and LF, and hands back the text between the
// index-th pair of markers (1 is the first; for 2 the first start...end
// stretch is cut away once, for 3 twice). One blank right after the start
// marker is skipped. False when the file cannot be read, index is below 1 or
// a marker is missing or the first end marker stands before the start
// marker; result is then untouched.
bool readMarkedBlock(const std::string &start, const std::string &end, const std::string &fileName, int index,
                     std::string &result);

// Deletes everything directly inside the directory that is no directory
// (files, links of any kind without following them, pipes, sockets) in name
// order, then the directory. A subdirectory stops the deletion where it
// stands in that order: whatever is left stays, directory included, and the
// result is false.
bool deleteDirectory(const std::string &path);

} // namespace vantor
