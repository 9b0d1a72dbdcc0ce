#include "cli/cli_plan.h"

#include "cli/cli_output.h"
#include "data/gbk_text.h"
#include "present/plan_session.h"

namespace velmor {
namespace {

// Scripts read json by these names, so they never change with the captions.
const std::vector<std::string> kPlanKeys = {
    "depart", "arrive", "duration",  "changes",   "trains",       "via",
    "waits",  "km",     "hard_seat", "soft_seat", "hard_sleeper", "soft_sleeper"};
const std::vector<std::string> kLegKeys = {
    "train", "from", "depart",    "to",        "arrive",       "duration",    "wait",
    "stops", "km",   "hard_seat", "soft_seat", "hard_sleeper", "soft_sleeper"};

// The grid's cells with the fare column split into the four classes.
std::vector<std::string> Cells(const TJourney& j) {
  std::vector<std::string> cells = PlanCells(j);
  cells.insert(cells.end(), j.Fares.begin() + 1, j.Fares.end());
  return cells;
}

void WriteObject(std::ostream& out, const std::vector<std::string>& keys,
                 const std::vector<std::string>& cells) {
  for (size_t k = 0; k < keys.size(); ++k) {
    if (k > 0) out << ", ";
    out << JsonQuoted(keys[k]) << ": " << JsonQuoted(GbkToUtf8(cells[k]));
  }
}

void WriteJson(std::ostream& out, const PlanView& view) {
  out << "[";
  for (size_t r = 0; r < view.Journeys.size(); ++r) {
    const TJourney& j = view.Journeys[r];
    out << (r > 0 ? ",\n  {" : "\n  {");
    WriteObject(out, kPlanKeys, Cells(j));
    out << ", \"legs\": [";
    for (size_t k = 0; k < j.Legs.size(); ++k) {
      out << (k > 0 ? ", {" : "{");
      WriteObject(out, kLegKeys, LegCells(j.Legs[k]));
      out << "}";
    }
    out << "]}";
  }
  out << (view.Journeys.empty() ? "]\n" : "\n]\n");
}

void WritePlans(std::ostream& out, CliFormat format, const PlanView& view) {
  if (format == CliFormat::Json) return WriteJson(out, view);
  std::vector<std::string> captions;
  for (int k = 0; k < 8; ++k) captions.push_back(PlanColumnCaption(k));
  for (int k = 9; k < 13; ++k) captions.push_back(LegColumnCaption(k));
  std::vector<std::vector<std::string>> rows;
  for (const TJourney& j : view.Journeys) rows.push_back(Cells(j));
  WriteRows(out, format, captions, kPlanKeys, rows);
  if (format == CliFormat::Table) out << GbkToUtf8(view.LabResult) << '\n';
}

}  // namespace

int RunPlanCommand(const TablesSet& tables, const CliOptions& o, CliFormat format,
                   std::ostream& out, std::ostream& err) {
  TPlanSession session(tables);
  const std::string fz = Trim(Utf8ToGbk(o.Args[0]));
  const std::string dz = Trim(Utf8ToGbk(o.Args[1]));
  TPlanOptions p;
  p.MaxChanges = o.Changes.value_or(p.MaxChanges);
  p.MinChange = o.MinChange.value_or(p.MinChange);
  p.CityChange = o.CityChange.value_or(p.CityChange);
  p.MaxWait = o.MaxWait.value_or(p.MaxWait);
  p.StartTime = o.FromTime.value_or(p.StartTime);
  const TSessionReply reply = session.Plan(fz, dz, Trim(o.Args[0]) == Trim(o.Args[1]), p);
  if (reply.Message) {
    err << GbkToUtf8(reply.Message->Caption) << ": " << GbkToUtf8(reply.Message->Text) << '\n';
    return 2;
  }
  WritePlans(out, format, session.View());
  if (o.ExportFile.empty()) return 0;
  return WriteCliExport(o.ExportFile, session.ExportLines(), err);
}

}  // namespace velmor
