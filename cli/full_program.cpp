#include "cli/full_program.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace velmor {

bool NeedsFullProgram(const CliOptions& options) {
  return options.Command == CliCommand::Import || !options.PrintFile.empty();
}

int RunFullProgram(char** argv, std::ostream& err) {
  std::vector<char> self(4096);
  const ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
  std::string dir = n > 0 ? std::string(self.data(), static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  // Beside this program in a build tree; below the installed prefix otherwise.
  const std::string places[] = {dir + "velmor-cli-full", dir + VELMOR_FULL_PROGRAM_FROM_BINDIR};
  std::string tried;
  int failure = ENOENT;
  for (const std::string& path : places) {
    execv(path.c_str(), argv);
    if (errno != ENOENT) {
      tried = path;
      failure = errno;
      break;
    }
    tried = path;
  }
  // The system's reason is English; the user reads it in the program's words.
  const char* why = failure == ENOENT   ? "找不到该程序，打印和导入需要它。"
                    : failure == EACCES ? "没有运行它的权限。"
                                        : "系统拒绝运行它。";
  err << "velmor-cli: 无法运行“" << tried << "”：" << why << '\n';
  return 1;
}

}  // namespace velmor
