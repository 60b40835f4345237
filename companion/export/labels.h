// Row and column labels of a binary table, found beside it.
//
// Rows: the sample-name file the suite's naming gives ("Chan1_tabSH" ->
// "SampleNamesCh1" in the same folder), or one named by the user.
// Columns (for the heat map): the header of "<table>.csv" when "Compute
// table" wrote one (its class bounds) and it has a label for every column;
// otherwise none.
#pragma once

#include <string>
#include <vector>

struct FoundLabels {
    std::vector<std::string> rows, cols;
    std::string rows_from, cols_from;  // the files they came from, or empty
};

// names_file: the user's sample-name file, or empty to use the naming.
// False when the user's file cannot be read.
bool findlabels(const std::string& table, int cols, const std::string& names_file, FoundLabels& found);
