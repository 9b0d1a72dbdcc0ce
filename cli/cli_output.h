// Writing what a query shows to a terminal or a script: table, csv or json, in UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "present/result_grid.h"
#include "present/train_detail.h"
#include "present/transfer_list.h"

namespace velmor {

// The shown rows of the main result grid, with the "结果:N" line in table form.
void WriteResults(std::ostream& out, CliFormat format, const ResultView& view, int shownRows);

// The listed transfer stations, with the caption and advice line in table form.
void WriteTransferList(std::ostream& out, CliFormat format, const ZzzView& view);

// The stop list of one train with its two header lines; the stretch rows are marked.
void WriteTrainDetail(std::ostream& out, CliFormat format, const MsgView& view);

// A station-to-station query without a direct train: says so in table form, nothing in csv,
// an empty array in json.
void WriteNoDirectTrain(std::ostream& out, CliFormat format, const std::string& fromUtf8,
                        const std::string& toUtf8);

// Rows of GBK cells under GBK captions (table, csv) or ASCII keys (json), one per column.
void WriteRows(std::ostream& out, CliFormat format, const std::vector<std::string>& captions,
               const std::vector<std::string>& keys,
               const std::vector<std::vector<std::string>>& rows);

// The exit status once standard output is flushed: a result that never reached its reader is
// no success (1, said on `err`), but a reader that stopped reading (`| head`) wanted no more.
int FlushedStatus(int status, std::ostream& err);

// Writes the export file a command line names, as the window's 导出 does; 0, or 1 after
// saying why on `err`.
int WriteCliExport(const std::string& path, const std::vector<std::string>& lines,
                   std::ostream& err);

// A UTF-8 text as a json string, quotes included.
std::string JsonQuoted(const std::string& utf8);

}  // namespace velmor
