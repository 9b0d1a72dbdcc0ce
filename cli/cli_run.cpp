#include "cli/cli_run.h"

#include <optional>

#include "cli/cli_output.h"
#include "cli/cli_plan.h"
#include "data/gbk_text.h"
#include "data/loaders.h"
#include "data/timetable_file.h"
#include "present/grid_export.h"
#include "present/query_session.h"

namespace velmor {
namespace {

bool LoadTables(TablesSet& t, const std::string& dir, const std::string& file, std::ostream& err) {
  std::string error;
  if (!file.empty()) {
    const std::optional<TimetableFile> opened = TimetableFile::Open(file, &error);
    if (opened && LoadAllTables(t, opened->Finder(), &error)) return true;
    err << "velmor-cli: 无法载入时刻表“" << file << "”：" << GbkToUtf8(error) << '\n';
    return false;
  }
  if (!dir.empty()) {
    if (LoadTablesFromDirectory(t, dir, &error)) return true;
    err << "velmor-cli: 无法载入表目录“" << dir << "”：" << GbkToUtf8(error) << '\n';
    return false;
  }
  if (LoadAllTables(t, EmbeddedResourceFinder(), &error)) return true;
  err << "velmor-cli: 无法载入内置时刻表：" << GbkToUtf8(error) << '\n';
  return false;
}

// A station argument as its box holds it after the change handler trimmed it.
std::string StationText(const std::string& utf8) {
  return Trim(Utf8ToGbk(utf8));
}

// The command line's "window": texts from the arguments, the grid printed instead of drawn.
class CliFrontEnd {
 public:
  CliFrontEnd(const TablesSet& tables, const CliOptions& o, CliFormat format, std::ostream& out,
              std::ostream& err, PdfPrinter print)
      : session_(tables), o_(o), format_(format), out_(out), err_(err), print_(print) {}

  int Run() {
    switch (o_.Command) {
      case CliCommand::ZZ:
      case CliCommand::ZZZ:
        return StationToStation(o_.Command == CliCommand::ZZZ);
      case CliCommand::CC:
        // ECC turns letters to upper case as they are typed.
        return Shown(session_.TrainNumber(UpperAscii(Utf8ToGbk(o_.Args[0]))));
      case CliCommand::CZ:
        cz_ = StationText(o_.Args[0]);
        return Shown(session_.StationTimetable(cz_));
      case CliCommand::Plan:
        break;
      case CliCommand::Import:
        break;  // RunCli hands it to the importer before any table is loaded
    }
    return 64;
  }

 private:
  int StationToStation(bool transfer) {
    const std::string fz = StationText(o_.Args[0]);
    const std::string dz = StationText(o_.Args[1]);
    const bool alike = Trim(o_.Args[0]) == Trim(o_.Args[1]);
    const TSessionReply reply = session_.StationToStation(fz, dz, alike, transfer, cz_);
    if (reply.Message) return Refused(*reply.Message);
    if (reply.AskTransfer) {
      // Nobody to ask: say how to ask for the transfer list instead.
      WriteNoDirectTrain(out_, format_, GbkToUtf8(fz), GbkToUtf8(dz));
      return 0;
    }
    if (!reply.OpenTransferList) return Shown(reply);
    if (!o_.Via) {
      for (int n : o_.Sorts) session_.TransferHeaderClick(n - 1);
      WriteTransferList(out_, format_, session_.TransferList());
      return 0;
    }
    const std::string via = StationText(*o_.Via);
    const ZzzView& list = session_.TransferList();
    int row = 0;
    while (row < list.ZZCount && list.ZGrid.Cells(0, row) != via) ++row;
    const TSessionReply picked = session_.PickTransferStation(row, cz_);
    if (!picked.RowsChanged) {
      err_ << "velmor-cli: " << GbkToUtf8(via) << " 不在列出的中转站中。\n";
      return 2;
    }
    return Shown(picked);
  }

  int Refused(const TInputMessage& m) {
    err_ << GbkToUtf8(m.Caption) << ": " << GbkToUtf8(m.Text) << '\n';
    return 2;
  }

  // The rows a query left, after the filter boxes and header labels the options click.
  int Shown(const TSessionReply& reply) {
    if (reply.Message) return Refused(*reply.Message);
    const bool* wanted[] = {&o_.SF, &o_.ZD, &o_.JQ, &o_.DC};
    TFilterBoxes boxes;
    bool* ticked[] = {&boxes.CBSF, &boxes.CBZD, &boxes.CBJQ, &boxes.CBDC};
    for (size_t i = 0; i < 4; ++i) {
      if (!*wanted[i]) continue;
      *ticked[i] = true;
      session_.SetFilters(boxes, cz_);
    }
    for (int n : o_.Sorts) session_.HeaderClick(n - 1);
    return o_.DetailRow ? ShowDetail(*o_.DetailRow) : ShowRows();
  }

  int ShowRows() {
    WriteResults(out_, format_, session_.Result(), session_.ResultCount());
    if (const int status = Print(session_.Result().SGrid, false, session_.ResultCount())) {
      return status;
    }
    return Export(session_.ExportLines());
  }

  int ShowDetail(int row) {
    const std::optional<MsgView> detail = session_.Detail(row);
    if (!detail) {
      err_ << "velmor-cli: 第 " << row << " 行不在显示的 " << session_.ResultCount()
           << " 行之中。\n";
      return 2;
    }
    WriteTrainDetail(out_, format_, *detail);
    if (const int status = Print(detail->MGrid, true, detail->FilledRows)) return status;
    return Export(velmor::ExportLines(detail->MGrid, true, detail->FilledRows));
  }

  int Print(const TStringGrid& grid, bool detail, int rows) {
    if (o_.PrintFile.empty()) return 0;
    std::string error = "本程序不能打印。";
    if (print_ && print_(o_.PrintFile, grid, detail, rows, &error)) return 0;
    err_ << "velmor-cli: " << error << '\n';
    return 1;
  }

  int Export(const std::vector<std::string>& lines) {
    if (o_.ExportFile.empty()) return 0;
    return WriteCliExport(o_.ExportFile, lines, err_);
  }

  TQuerySession session_;
  const CliOptions& o_;
  CliFormat format_;
  std::ostream& out_;
  std::ostream& err_;
  // The station-timetable box: the cz command's station, empty otherwise.
  std::string cz_;
  PdfPrinter print_;
};

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
           PdfPrinter print) {
  TablesSet tables;
  if (!LoadTables(tables, options.TablesDir, options.TimetableFile, err)) return 1;
  const CliFormat format =
      options.Format.value_or(stdoutIsTerminal ? CliFormat::Table : CliFormat::Csv);
  if (options.Command == CliCommand::Plan) return RunPlanCommand(tables, options, format, out, err);
  return CliFrontEnd(tables, options, format, out, err, print).Run();
}

}  // namespace velmor
