#include "cli/cli_run.h"

#include <optional>

#include "cli/cli_output.h"
#include "data/gbk_text.h"
#include "data/loaders.h"
#include "present/grid_export.h"
#include "present/result_grid.h"
#include "present/train_detail.h"
#include "present/transfer_list.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

// The front end's own state: what the main window would hold.
struct Session {
  TablesSet Tables;
  PubState State;
  ResultView View;
  std::string ComboCZText;
};

bool LoadTables(TablesSet& t, const std::string& dir, std::ostream& err) {
  if (!dir.empty()) {
    std::string error;
    if (LoadTablesFromDirectory(t, dir, &error)) return true;
    err << "velmor-cli: " << error << '\n';
    return false;
  }
  LoadAllTables(t, EmbeddedResourceFinder());
  if (t.SpyLoaded && t.ListLoaded && t.SMLoaded && t.TrainLoaded) return true;
  err << "velmor-cli: the built-in timetable could not be loaded\n";
  return false;
}

// A station argument as its box holds it after the change handler trimmed it.
std::string StationText(const std::string& utf8) {
  return Trim(Utf8ToGbk(utf8));
}

int Refuse(const TInputMessage& m, std::ostream& err) {
  err << GbkToUtf8(m.Caption) << ": " << GbkToUtf8(m.Text) << '\n';
  return 2;
}

// The query buttons' common start: filters unchecked, grid blanked, no transfer station.
void StartQuery(Session& s) {
  s.View.Filters = TFilterBoxes{};
  ResetResultGrid(s.State, s.View);
  s.State.Pub_ZZStation.clear();
}

// The filter boxes and header labels, clicked in the order the options give.
void ApplyClicks(Session& s, const CliOptions& o) {
  const bool* wanted[] = {&o.SF, &o.ZD, &o.JQ, &o.DC};
  bool* boxes[] = {&s.View.Filters.CBSF, &s.View.Filters.CBZD, &s.View.Filters.CBJQ,
                   &s.View.Filters.CBDC};
  for (size_t i = 0; i < 4; ++i) {
    if (!*wanted[i]) continue;
    *boxes[i] = true;
    CBSFClick(s.State, s.View, s.ComboCZText);
  }
  for (int n : o.Sorts) Lab1Click(s.State, s.View, n - 1);
}

int Finish(Session& s, const CliOptions& o, CliFormat format, std::ostream& out,
           std::ostream& err) {
  std::vector<std::string> lines;
  if (o.DetailRow) {
    MsgView detail;
    if (*o.DetailRow >= s.State.Pub_ResultCount ||
        !BuildTrainDetail(s.State, s.Tables, s.View.SGrid, *o.DetailRow, detail)) {
      return 0;
    }
    WriteTrainDetail(out, format, detail);
    if (!o.ExportFile.empty()) lines = ExportLines(detail.MGrid, true, detail.FilledRows);
  } else {
    WriteResults(out, format, s.View, s.State.Pub_ResultCount);
    if (!o.ExportFile.empty()) lines = ExportLines(s.View.SGrid, false, s.State.Pub_ResultCount);
  }
  if (!o.ExportFile.empty()) {
    std::string error;
    if (!WriteExportFile(o.ExportFile, lines, &error)) {
      err << "velmor-cli: " << error << '\n';
      return 1;
    }
  }
  return 0;
}

int RunStationToStation(Session& s, const CliOptions& o, CliFormat format, std::ostream& out,
                        std::ostream& err) {
  const std::string fz = StationText(o.Args[0]);
  const std::string dz = StationText(o.Args[1]);
  s.State.QueryMode = 1;
  if (auto m = CheckStationToStation(fz, dz, s.Tables.KMPy)) return Refuse(*m, err);
  StartQuery(s);
  QueryStationToStation(s.State, s.Tables, fz, dz);
  if (s.State.Pub_GridResults.empty()) {
    WriteNoDirectTrain(out, format, GbkToUtf8(fz), GbkToUtf8(dz));
    return 0;
  }
  FillResultGrid(s.State, s.View, s.ComboCZText);
  ApplyClicks(s, o);
  return Finish(s, o, format, out, err);
}

int RunTransfer(Session& s, const CliOptions& o, CliFormat format, std::ostream& out,
                std::ostream& err) {
  const std::string fz = StationText(o.Args[0]);
  const std::string dz = StationText(o.Args[1]);
  s.State.QueryMode = 1;
  if (auto m = CheckStationToStation(fz, dz, s.Tables.KMPy)) return Refuse(*m, err);
  StartQuery(s);
  ZZSearch(s.State, s.Tables, fz, dz);
  ZzzView list;
  ShowZZList(s.State, list);
  if (!o.Via) {
    for (int n : o.Sorts) ZzzLab1Click(list, n - 1);
    WriteTransferList(out, format, list);
    return 0;
  }
  const std::string via = StationText(*o.Via);
  int row = 0;
  while (row < list.ZZCount && list.ZGrid.Cells(0, row) != via) ++row;
  if (!ZGridClick(s.State, s.Tables, list, s.View, row, s.ComboCZText)) {
    err << "velmor-cli: " << GbkToUtf8(via) << " is not one of the listed transfer stations\n";
    return 2;
  }
  ApplyClicks(s, o);
  return Finish(s, o, format, out, err);
}

int RunTrainNumber(Session& s, const CliOptions& o, CliFormat format, std::ostream& out,
                   std::ostream& err) {
  // ECC turns letters to upper case as they are typed.
  const std::string ecc = UpperAscii(Utf8ToGbk(o.Args[0]));
  s.State.QueryMode = 2;
  if (auto m = CheckTrainNumber(ecc)) return Refuse(*m, err);
  StartQuery(s);
  TrainNumberQuery(s.State, s.Tables, ecc);
  FillResultGrid(s.State, s.View, s.ComboCZText);
  ApplyClicks(s, o);
  return Finish(s, o, format, out, err);
}

int RunStationTimetable(Session& s, const CliOptions& o, CliFormat format, std::ostream& out,
                        std::ostream& err) {
  s.ComboCZText = StationText(o.Args[0]);
  s.State.QueryMode = 3;
  if (auto m = CheckStationTimetable(s.ComboCZText, s.Tables.KMPy)) return Refuse(*m, err);
  StartQuery(s);
  QueryStationTimetable(s.State, s.Tables, s.ComboCZText);
  FillResultGrid(s.State, s.View, s.ComboCZText);
  ApplyClicks(s, o);
  return Finish(s, o, format, out, err);
}

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err, bool stdoutIsTerminal) {
  if (!options.PrintFile.empty()) {
    err << "velmor-cli: printing is not available\n";
    return 1;
  }
  Session s;
  if (!LoadTables(s.Tables, options.TablesDir, err)) return 1;
  BuildFareZoneTable(s.State.Fares);
  BuildFareRateTable(s.State.Fares);
  const CliFormat format =
      options.Format.value_or(stdoutIsTerminal ? CliFormat::Table : CliFormat::Csv);
  switch (options.Command) {
    case CliCommand::ZZ:
      return RunStationToStation(s, options, format, out, err);
    case CliCommand::ZZZ:
      return RunTransfer(s, options, format, out, err);
    case CliCommand::CC:
      return RunTrainNumber(s, options, format, out, err);
    case CliCommand::CZ:
      return RunStationTimetable(s, options, format, out, err);
  }
  return 64;
}

}  // namespace velmor
