#include "cli/cli_import.h"

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "import/gtfs_import.h"

namespace velmor {

int RunCliImport(const CliOptions& o, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  // The built-in pinyin codes and same-city groups seed the imported ones.
  TablesSet builtIn;
  std::string error;
  const ResourceFinder find = EmbeddedResourceFinder();
  if (!LoadTableResource(builtIn.KMPy, builtIn.sfCSV, find, "SPY", "", &error) ||
      !LoadTableResource(builtIn.KMSM, builtIn.sfCSV, find, "SM", "SStation", &error)) {
    err << "velmor-cli: 无法载入内置时刻表：" << GbkToUtf8(error) << '\n';
    return 1;
  }
  ImportOptions options;
  options.Date = o.ImportDate;
  if (o.LineFactor) options.LineFactor = *o.LineFactor;
  options.CitiesFile = o.CitiesFile;
  ImportHooks hooks;
  std::string lastStep;
  int lastPercent = -1;
  if (errIsTerminal) {
    hooks.Progress = [&](std::string_view step, int percent) {
      if (step == lastStep && percent == lastPercent) return;
      if (step != lastStep && !lastStep.empty()) err << '\n';
      lastStep = step;
      lastPercent = percent;
      const int filled = percent / 5;
      err << '\r' << GbkToUtf8(step) << " [" << std::string(static_cast<size_t>(filled), '#')
          << std::string(static_cast<size_t>(20 - filled), '.') << "] " << percent << '%'
          << std::flush;
    };
  }
  const ImportResult result = ImportFeedToFile(o.Args[0], o.Args[1], options,
                                               ImportReference{builtIn.KMPy, builtIn.KMSM}, hooks);
  if (errIsTerminal && !lastStep.empty()) err << '\n';
  if (!result.Ok) {
    err << "velmor-cli: " << GbkToUtf8(result.Error) << '\n';
    return 1;
  }
  out << GbkToUtf8(result.Report);
  return 0;
}

}  // namespace velmor
